#include "dbshow.h"

#include "command.h"
#include "tables/tableshow.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// {"table": NAME, "records": [...]}: each record an object with the table's named keys.
void printJson(const QString& table, const QList<tableshow::Record>& list)
{
    QJsonArray records;
    for (const tableshow::Record& r : list)
        records.append(r.object());
    cli::outJson(QJsonDocument(
        QJsonObject{{QStringLiteral("table"), table}, {QStringLiteral("records"), records}}));
}

} // namespace

int runDbShow(const QStringList& args, CliContext& context)
{
    const QStringList& names = tableshow::tableNames();
    if (args.size() != 2 || !names.contains(args.at(1))) {
        cli::err(QStringLiteral("Użycie: vduno db show PLIK.vkf TABELA (") +
                 names.join(QLatin1Char('|')) + u')');
        return ExitUsage;
    }
    QFile file(args.at(0));
    if (!file.open(QIODevice::ReadOnly)) {
        cli::err(QStringLiteral("Nie można otworzyć pliku ") + args.at(0));
        return ExitFailure;
    }
    const QByteArray db = file.readAll();
    if (db.startsWith("VORN_DUNO_V_1_00")) {
        cli::err(QStringLiteral("Plik ") + args.at(0) +
                 QStringLiteral(" ma format wersji 1; najpierw: vduno db convert"));
        return ExitFailure;
    }
    QList<tableshow::Record> records;
    if (!db.startsWith("VORN_DUNO_V_2_00") || !tableshow::records(db, args.at(1), records)) {
        cli::err(QStringLiteral("Plik ") + args.at(0) +
                 QStringLiteral(" nie jest bazą danych kasy Vorn Duno"));
        return ExitFailure;
    }
    if (context.json) {
        printJson(args.at(1), records);
        return ExitOk;
    }
    for (const tableshow::Record& r : records)
        cli::out(r.line());
    return ExitOk;
}

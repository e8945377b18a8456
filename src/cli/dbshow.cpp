#include "dbshow.h"

#include "command.h"
#include "tables/tableshow.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

// One record of the table as its shown line, its fields (the line split at "; ") and, when
// the line starts with one, the record number.
void printJson(const QString& table, const QStringList& lines)
{
    static const QRegularExpression leadingNumber(QStringLiteral("^\\s*(\\d+)"));
    QJsonArray records;
    for (const QString& line : lines) {
        QJsonObject record;
        const QRegularExpressionMatch m = leadingNumber.match(line);
        if (m.hasMatch())
            record.insert(QStringLiteral("number"), m.captured(1).toInt());
        record.insert(QStringLiteral("fields"),
                      QJsonArray::fromStringList(line.split(QStringLiteral("; "))));
        record.insert(QStringLiteral("text"), line);
        records.append(record);
    }
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
    QStringList lines;
    if (!db.startsWith("VORN_DUNO_V_2_00") || !tableshow::lines(db, args.at(1), lines)) {
        cli::err(QStringLiteral("Plik ") + args.at(0) +
                 QStringLiteral(" nie jest bazą danych kasy Vorn Duno"));
        return ExitFailure;
    }
    if (context.json) {
        printJson(args.at(1), lines);
        return ExitOk;
    }
    for (const QString& line : lines)
        cli::out(line);
    return ExitOk;
}

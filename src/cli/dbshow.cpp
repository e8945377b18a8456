#include "dbshow.h"

#include "command.h"
#include "tables/tableshow.h"

#include <QFile>

int runDbShow(const QStringList& args, CliContext&)
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
    for (const QString& line : lines)
        cli::out(line);
    return ExitOk;
}

#include "cliui.h"
#include "command.h"

#include "app/csv/csvexport.h"
#include "database/databasesession.h"

#include <QTemporaryDir>

// vduno export FILE.vkf TABLE OUT.csv: one table of a database file as a CSV file, the same
// bytes as the program's "Eksportuj bazę". An existing OUT.csv is replaced only with --yes.
namespace {

int usage()
{
    cli::err(QStringLiteral("Użycie: vduno export PLIK.vkf TABELA WYJŚCIE.csv"));
    cli::err(QStringLiteral("Tabele:"));
    for (const csv::TableInfo& t : csv::tables())
        cli::err(QStringLiteral("  %1  %2").arg(QLatin1String(t.cliName), -12).arg(t.listItem));
    return ExitUsage;
}

int runExport(const QStringList& args, CliContext& context)
{
    if (args.size() != 3)
        return usage();
    const auto table = csv::fromCliName(args.at(1));
    if (!table) {
        cli::err(QStringLiteral("Nieznana tabela: ") + args.at(1));
        return usage();
    }
    QTemporaryDir dir;
    if (!dir.isValid()) {
        cli::err(QStringLiteral("Nie mogę utworzyć katalogu tymczasowego"));
        return ExitFailure;
    }
    DatabaseSession session(dir.filePath(DatabaseSession::WorkingCopyName));
    const DbResult opened = session.openDatabaseFile(args.at(0));
    if (!opened.ok) {
        cli::err(opened.message);
        return ExitFailure;
    }
    const csv::ExportOutcome outcome = csv::exportToFile(session, *table, args.at(2), *context.ui);
    switch (outcome.result) {
    case csv::ExportResult::Written:
        cli::out(outcome.label);
        return ExitOk;
    case csv::ExportResult::Declined:
        cli::err(QStringLiteral("Nie zapisano pliku ") + args.at(2));
        return ExitFailure;
    case csv::ExportResult::Failed:
        break;
    }
    return ExitFailure;
}

} // namespace

VDUNO_COMMAND(export, "export PLIK.vkf TABELA WYJŚCIE.csv  eksportuje tabelę do pliku CSV",
              runExport)

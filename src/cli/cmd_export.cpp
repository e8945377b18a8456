#include "cliui.h"
#include "command.h"

#include "app/csv/csvexport.h"
#include "database/databasesession.h"

#include <QTemporaryDir>

// vduno export FILE.vkf TABLE OUT.csv: one table of a database file as a CSV file, the same
// bytes as the program's "Eksportuj bazę". An existing OUT.csv is replaced only with --yes.
namespace {

QStringList details()
{
    QStringList lines{QStringLiteral("Tabele:")};
    for (const csv::TableInfo& t : csv::tables())
        lines << QStringLiteral("  %1  %2").arg(QLatin1String(t.cliName), -12).arg(t.listItem);
    return lines;
}

QStringList words()
{
    QStringList names;
    for (const csv::TableInfo& t : csv::tables())
        names << QLatin1String(t.cliName);
    return names;
}

int runExport(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    if (args.size() != 3)
        return cli::usage(context);
    const auto table = csv::fromCliName(args.at(1));
    if (!table)
        return cli::unknownTable(context, args.at(1));
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
        cli::jsonField(QStringLiteral("table"), args.at(1));
        cli::jsonField(QStringLiteral("file"), args.at(2));
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

VDUNO_COMMAND(export, {"export",
                       CommandGroup::Files,
                       "PLIK.vkf TABELA WYJŚCIE.csv",
                       "eksportuje tabelę do pliku CSV",
                       {},
                       {"export sklep.vkf articles towary.csv"},
                       runExport,
                       details,
                       words})

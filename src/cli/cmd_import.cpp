#include "cliui.h"
#include "command.h"

#include "app/csv/csvimport.h"
#include "database/databasesession.h"

#include <QFileInfo>
#include <QTemporaryDir>

// vduno import FILE.vkf IN.csv: reads a CSV file into the table its title names and saves the
// database file. The whole CSV file is checked first; a refusal leaves FILE.vkf untouched.
// The file's encoding is found from its bytes unless --encoding names it.
namespace {

int runImport(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    if (args.size() != 2)
        return cli::usage(context);
    const QString path = args.at(0);
    csv::Encoding encoding = csv::Encoding::Automatic;
    if (parsed.isSet(QStringLiteral("encoding"))) {
        const std::optional<csv::Encoding> named =
            csv::encodingFromName(parsed.value(QStringLiteral("encoding")));
        if (!named)
            return cli::usage(context, QStringLiteral("Nieznane kodowanie „%1”: utf-8 albo cp1250.")
                                           .arg(parsed.value(QStringLiteral("encoding"))));
        encoding = *named;
    }
    QTemporaryDir dir;
    if (!dir.isValid()) {
        cli::err(QStringLiteral("Nie mogę utworzyć katalogu tymczasowego"));
        return ExitFailure;
    }
    DatabaseSession session(dir.filePath(DatabaseSession::WorkingCopyName));
    const DbResult opened = session.openDatabaseFile(path);
    if (!opened.ok) {
        cli::err(opened.message);
        return ExitFailure;
    }
    const csv::ImportOutcome outcome =
        csv::importFromFile(session, args.at(1), *context.ui, encoding);
    if (!outcome.ok)
        return ExitFailure;
    session.setModified();
    const DbResult saved = session.saveDatabaseFile(path);
    if (!saved.ok) {
        cli::err(saved.message);
        return ExitFailure;
    }
    cli::out(outcome.label);
    cli::out(QStringLiteral("Zapisane rekordy: %1, pominięte wiersze (numer spoza tabeli): %2")
                 .arg(outcome.written)
                 .arg(outcome.skipped));
    cli::out(QStringLiteral("Zapisano ") + QFileInfo(path).fileName());
    cli::jsonField(QStringLiteral("written"), outcome.written);
    cli::jsonField(QStringLiteral("skipped"), outcome.skipped);
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(import,
              {"import",
               CommandGroup::Files,
               "PLIK.vkf WEJŚCIE.csv",
               "importuje plik CSV do bazy",
               {{"encoding", "KODOWANIE", "utf-8 albo cp1250 (domyślnie rozpoznawane z pliku)"}},
               {"import sklep.vkf towary.csv", "import sklep.vkf towary.csv --encoding utf-8"},
               runImport})

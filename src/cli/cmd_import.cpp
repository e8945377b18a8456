#include "cliui.h"
#include "command.h"

#include "app/csv/csvimport.h"
#include "database/databasesession.h"

#include <QFileInfo>
#include <QTemporaryDir>

// vduno import FILE.vkf IN.csv: reads a CSV file into the table its title names and saves the
// database file. The whole CSV file is checked first; a refusal leaves FILE.vkf untouched.
namespace {

int runImport(const QStringList& args, CliContext& context)
{
    if (args.size() != 2) {
        cli::err(QStringLiteral("Użycie: vduno import PLIK.vkf WEJŚCIE.csv"));
        return ExitUsage;
    }
    const QString path = args.at(0);
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
    const csv::ImportOutcome outcome = csv::importFromFile(session, args.at(1), *context.ui);
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
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(import, "import PLIK.vkf WEJŚCIE.csv  importuje plik CSV do bazy", runImport)

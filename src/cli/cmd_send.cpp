#include "clilink.h"
#include "cliui.h"
#include "command.h"
#include "restorefile.h"
#include "tabletarget.h"

#include "database/databasesession.h"
#include "link/link.h"

#include <QFileInfo>
#include <QTemporaryDir>

// vduno send FILE.vkf TABLE [--numbers LIST] and vduno read FILE.vkf TABLE: program a table
// of a database file into the register, or read the register's table into the file.
namespace {

void listTables(void (*print)(const QString&), bool forRead)
{
    for (const TableTarget& t : TableTargets::all())
        if (forRead ? t.read != nullptr : t.send != nullptr)
            print(QStringLiteral("  %1  %2")
                      .arg(QLatin1String(t.name), -12)
                      .arg(QString::fromUtf8(t.title)));
}

int usage(bool forRead)
{
    if (forRead)
        cli::err(QStringLiteral("Użycie: vduno read PLIK.vkf TABELA"));
    else
        cli::err(QStringLiteral("Użycie: vduno send PLIK.vkf TABELA [--numbers 1-50,70 | --changed "
                                "[--delete-extra]]"));
    cli::err(QStringLiteral("Tabele:"));
    listTables(cli::err, forRead);
    return ExitUsage;
}

int transfer(const QStringList& arguments, CliContext& context, bool forRead)
{
    QStringList args = arguments;
    bool missing = false;
    const QString numbersText =
        forRead ? QString() : cli::takeOption(args, QStringLiteral("--numbers"), &missing);
    const bool changed = !forRead && cli::takeFlag(args, QStringLiteral("--changed"));
    const bool deleteExtra = changed && cli::takeFlag(args, QStringLiteral("--delete-extra"));
    if (missing || args.size() != 2 || (changed && !numbersText.isNull()))
        return usage(forRead);
    const QString path = args.at(0);
    const TableTarget* target = TableTargets::find(args.at(1));
    if (!target || (forRead ? !target->read : !target->send)) {
        cli::err(QStringLiteral("Nieznana tabela: ") + args.at(1));
        return usage(forRead);
    }
    if (changed) {
        // Only what differs from the register's table goes, as in "vduno restore --changed".
        const auto step = wholereg::stepOf(args.at(1));
        if (!step) {
            cli::err(QStringLiteral("Tej tabeli nie można wysłać z --changed: ") + args.at(1));
            return ExitUsage;
        }
        wholereg::RestoreOptions options;
        options.changedOnly = true;
        options.deleteOnlyInRegister = deleteExtra;
        options.only = {*step};
        return cli::restoreFile(args.at(0), options, QString(), false, context);
    }
    std::vector<int> numbers;
    if (!numbersText.isNull()) {
        QString error;
        if (!cli::parseNumbers(numbersText, 9999, numbers, &error)) {
            cli::err(error);
            return ExitUsage;
        }
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

    TransferUi& ui = *context.ui;
    Link& link = Link::instance();
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    const int result = forRead ? target->read(session, context, link, ui)
                               : target->send(session, numbers, context, link, ui);
    link.closePort();
    if (!forRead || result != ExitOk)
        return result;
    // The file changes only after a complete read.
    const DbResult saved = session.saveDatabaseFile(path);
    if (!saved.ok) {
        cli::err(saved.message);
        return ExitFailure;
    }
    cli::out(QStringLiteral("Zapisano ") + QFileInfo(path).fileName());
    return ExitOk;
}

int runSend(const QStringList& args, CliContext& context)
{
    return transfer(args, context, false);
}

int runRead(const QStringList& args, CliContext& context)
{
    return transfer(args, context, true);
}

} // namespace

VDUNO_COMMAND(send, "send PLIK.vkf TABELA [--numbers LISTA | --changed]  programuje tabelę w kasie",
              runSend)
VDUNO_COMMAND(read, "read PLIK.vkf TABELA  czyta tabelę z kasy do pliku", runRead)

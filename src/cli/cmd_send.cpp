#include "clilink.h"
#include "cliui.h"
#include "command.h"
#include "restorefile.h"
#include "tabletarget.h"
#include "wholejson.h"

#include "database/databasesession.h"
#include "link/link.h"
#include "transfer/whole/verify.h"

#include <QFileInfo>
#include <QTemporaryDir>

// vduno send FILE.vkf TABLE [--numbers LIST] and vduno read FILE.vkf TABLE: program a table
// of a database file into the register, or read the register's table into the file.
namespace {

QStringList tables(bool forRead)
{
    QStringList lines;
    for (const TableTarget& t : TableTargets::all())
        if (forRead ? t.read != nullptr : t.send != nullptr)
            lines << QStringLiteral("  %1  %2")
                         .arg(QLatin1String(t.name), -12)
                         .arg(QString::fromUtf8(t.title));
    return lines;
}

QStringList names(bool forRead)
{
    QStringList list;
    for (const TableTarget& t : TableTargets::all())
        if (forRead ? t.read != nullptr : t.send != nullptr)
            list << QLatin1String(t.name);
    return list;
}

int transfer(const CliArgs& parsed, CliContext& context, bool forRead)
{
    const QStringList& args = parsed.positional;
    const QString numbersText = parsed.value(QStringLiteral("numbers"));
    const bool changed = parsed.isSet(QStringLiteral("changed"));
    const bool verify = parsed.isSet(QStringLiteral("verify"));
    const bool deleteExtra = parsed.isSet(QStringLiteral("delete-extra"));
    if (args.size() != 2)
        return cli::usage(context);
    if (changed && !numbersText.isNull())
        return cli::usage(context, QStringLiteral("--numbers i --changed wykluczają się."));
    if (deleteExtra && !changed)
        return cli::usage(context, QStringLiteral("--delete-extra działa tylko z --changed."));
    const QString path = args.at(0);
    const TableTarget* target = TableTargets::find(args.at(1));
    if (!target || (forRead ? !target->read : !target->send))
        return cli::unknownTable(context, args.at(1));
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
        return cli::restoreFile(args.at(0), options, QString(), false, context, verify);
    }
    const auto verifiedStep = wholereg::stepOf(args.at(1));
    if (verify && !verifiedStep) {
        cli::err(QStringLiteral("Tej tabeli nie można sprawdzić po zaprogramowaniu: ") +
                 args.at(1));
        return ExitUsage;
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
    Link& link = cli::commandLink(context);
    if (!target->databaseOnly && !cli::openLink(context, link, ui))
        return ExitFailure;
    int result = forRead ? target->read(session, context, link, ui)
                         : target->send(session, numbers, context, link, ui);
    if (verify && result != ExitUsage) {
        // What was sent, read back and compared; what differs goes again.
        const int type = cli::registerType(link, ui);
        wholereg::RestoreOptions sent;
        sent.only = {*verifiedStep};
        // Of the articles, only those listed went and only they are checked.
        if (*verifiedStep == wholereg::Step::Articles)
            for (int n : numbers)
                sent.articles.append(n);
        const wholereg::VerifyResult verified =
            type == 0 ? wholereg::VerifyResult{}
                      : wholereg::verifyProgrammed(link, ui, session.database(), type, sent,
                                                   QStringList());
        for (const QString& line : wholereg::verifyLines(verified))
            cli::out(line);
        cli::jsonField(QStringLiteral("verify"), cli::verifyJson(verified));
        if (context.report)
            context.report->result = wholereg::verifyLines(verified).first();
        result = verified.equal ? ExitOk : ExitFailure;
    }
    link.closePort();
    cli::jsonField(QStringLiteral("file"), path);
    cli::jsonField(QStringLiteral("table"), args.at(1));
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

int runSend(const CliArgs& args, CliContext& context)
{
    return transfer(args, context, false);
}

int runRead(const CliArgs& args, CliContext& context)
{
    return transfer(args, context, true);
}

QStringList sendDetails()
{
    return QStringList{QStringLiteral("Tabele:")} + tables(false);
}

QStringList readDetails()
{
    return QStringList{QStringLiteral("Tabele:")} + tables(true);
}

QStringList sendNames()
{
    return names(false);
}

QStringList readNames()
{
    return names(true);
}

} // namespace

VDUNO_COMMAND(send, {"send",
                     CommandGroup::Database,
                     "PLIK.vkf TABELA",
                     "programuje tabelę w kasie",
                     {{"numbers", "LISTA", "tylko rekordy o tych numerach (1-50,70)"},
                      {"changed", nullptr, "czyta najpierw tabelę kasy i wysyła tylko różnice"},
                      {"delete-extra", nullptr,
                       "z --changed: usuwa w kasie rekordy, których baza nie ma"},
                      {"verify", nullptr, "po zaprogramowaniu czyta tabelę i porównuje z bazą"}},
                     {"--device /dev/ttyUSB0 send sklep.vkf articles --numbers 1-50",
                      "--device /dev/ttyUSB0 send sklep.vkf vat --verify"},
                     runSend,
                     sendDetails,
                     sendNames})
VDUNO_COMMAND(read, {"read",
                     CommandGroup::Database,
                     "PLIK.vkf TABELA",
                     "czyta tabelę z kasy do pliku",
                     {},
                     {"--device /dev/ttyUSB0 read sklep.vkf articles"},
                     runRead,
                     readDetails,
                     readNames})

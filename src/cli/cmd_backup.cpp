#include "clilink.h"
#include "cliui.h"
#include "command.h"
#include "wholejson.h"

#include "link/link.h"
#include "transfer/whole/wholebackup.h"

#include <QFileInfo>

// vduno backup OUT.vkf: every table the register can send, read into a new database file;
// the register's model, information, settings and units go into OUT.kasa beside it.
namespace {

int runBackup(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    const bool verify = parsed.isSet(QStringLiteral("verify"));
    if (args.size() != 1)
        return cli::usage(context);
    const QString path = args.first();
    TransferUi& ui = *context.ui;
    Link& link = cli::commandLink(context);
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    QString error;
    const wholereg::BackupResult result = wholereg::backupToFile(link, ui, path, &error, verify);
    link.closePort();
    if (context.report)
        context.report->counts = wholereg::totalsText(result.tables);
    cli::jsonField(QStringLiteral("file"), path);
    cli::jsonField(QStringLiteral("tables"), cli::tablesJson(result.tables));
    cli::jsonField(QStringLiteral("complete"), result.complete() && error.isEmpty());
    for (const QString& line : wholereg::summaryLines(result.tables))
        cli::out(line);
    if (!result.complete()) {
        cli::err(result.stopped
                     ? QStringLiteral("Przerwano. Nie zapisano pliku ") + QFileInfo(path).fileName()
                     : QStringLiteral("Kopia niepełna. Nie zapisano pliku ") +
                           QFileInfo(path).fileName());
        return ExitFailure;
    }
    if (!error.isEmpty()) {
        cli::err(error);
        return ExitFailure;
    }
    cli::out(QStringLiteral("Zapisano ") + QFileInfo(path).fileName() + QStringLiteral(" i ") +
             QFileInfo(wholereg::extrasPath(path)).fileName());
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(backup, {"backup",
                       CommandGroup::Database,
                       "PLIK.vkf",
                       "kopia wszystkich tabel kasy do nowej bazy (i PLIK.kasa obok)",
                       {{"verify", nullptr, "czyta kasę dwa razy i porównuje odczyty"}},
                       {"--device /dev/ttyUSB0 backup sklep.vkf",
                        "--device /dev/ttyUSB0 backup sklep.vkf --verify --json"},
                       runBackup})

#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "link/link.h"
#include "transfer/whole/wholebackup.h"

#include <QFileInfo>

// vduno backup OUT.vkf: every table the register can send, read into a new database file;
// the register's model, information, settings and units go into OUT.kasa beside it.
namespace {

int runBackup(const QStringList& args, CliContext& context)
{
    if (args.size() != 1) {
        cli::err(QStringLiteral("Użycie: vduno backup PLIK.vkf"));
        return ExitUsage;
    }
    const QString path = args.first();
    TransferUi& ui = *context.ui;
    Link& link = Link::instance();
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    QString error;
    const wholereg::BackupResult result = wholereg::backupToFile(link, ui, path, &error);
    link.closePort();
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

VDUNO_COMMAND(backup, "backup PLIK.vkf  kopia wszystkich tabel kasy do nowej bazy", runBackup)

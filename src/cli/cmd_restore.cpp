#include "clilink.h"
#include "cliui.h"
#include "command.h"
#include "restorefile.h"
#include "tabletarget.h"

#include "database/databasesession.h"
#include "link/link.h"
#include "link/portscan.h"
#include "transfer/whole/severalregisters.h"

#include <QFileInfo>
#include <QTemporaryDir>

// vduno restore IN.vkf [--changed] [--delete-extra] [--resume S:N] [--addresses 1,2,3 | --scan]:
// every table of a database programmed into the register (or into several registers, one
// after another), with the check before and a summary per table after.
namespace {

int usage()
{
    cli::err(QStringLiteral("Użycie: vduno restore PLIK.vkf [--changed] [--delete-extra] "
                            "[--resume KROK:REKORD] [--addresses 1,2,3 | --scan]"));
    return ExitUsage;
}

void printRun(const wholereg::RegisterRun& r, const QString& path, bool several)
{
    if (several)
        cli::out(QStringLiteral("== ") + wholereg::registerTitle(r.target));
    if (!r.failure.isEmpty()) {
        cli::err(r.failure);
        return;
    }
    const wholereg::RestoreResult& result = r.result;
    if (result.declined) {
        cli::err(QStringLiteral("Nie zaprogramowano kasy."));
        return;
    }
    for (const QString& line : wholereg::summaryLines(result.tables))
        cli::out(line);
    for (const QString& line : wholereg::onlyInRegisterLines(result.onlyInRegister))
        cli::out(line);
    if (!result.finished)
        cli::err(QStringLiteral("Aby dokończyć: vduno restore ") + path +
                 QStringLiteral(" --resume ") + result.resume.text());
}

} // namespace

namespace cli {
int restoreFile(const QString& path, const wholereg::RestoreOptions& options,
                const QString& addressesText, bool scan, CliContext& context)
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        err(QStringLiteral("Nie mogę utworzyć katalogu tymczasowego"));
        return ExitFailure;
    }
    DatabaseSession session(dir.filePath(DatabaseSession::WorkingCopyName));
    const DbResult opened = session.openDatabaseFile(path);
    if (!opened.ok) {
        err(opened.message);
        return ExitFailure;
    }
    wholereg::RestoreOptions run = options;
    if (const auto extras = wholereg::readExtras(wholereg::extrasPath(path)))
        wholereg::applyExtras(run, *extras);

    TransferUi& ui = *context.ui;
    Link& link = Link::instance();
    if (!openLink(context, link, ui))
        return ExitFailure;
    QList<portscan::FoundRegister> targets;
    if (scan) {
        targets = portscan::registerScan(link, ui).found;
        if (targets.isEmpty()) {
            err(portscan::NothingFound);
            link.closePort();
            return ExitFailure;
        }
    } else if (!addressesText.isNull()) {
        std::vector<int> addresses;
        QString error;
        if (!parseNumbers(addressesText, 9, addresses, &error)) {
            err(error);
            link.closePort();
            return ExitUsage;
        }
        for (int a : addresses)
            targets.append({link.port, quint8(a)});
    } else {
        targets.append({link.port, link.address});
    }
    const QList<wholereg::RegisterRun> runs =
        wholereg::restoreEach(link, ui, session.database(), targets, run);
    link.closePort();
    bool all = true;
    for (const wholereg::RegisterRun& r : runs) {
        printRun(r, path, targets.size() > 1);
        all = all && r.succeeded() && wholereg::allDone(r.result.tables);
    }
    return all ? ExitOk : ExitFailure;
}
} // namespace cli

namespace {

int runRestore(const QStringList& arguments, CliContext& context)
{
    QStringList args = arguments;
    wholereg::RestoreOptions options;
    options.changedOnly = cli::takeFlag(args, QStringLiteral("--changed"));
    options.deleteOnlyInRegister = cli::takeFlag(args, QStringLiteral("--delete-extra"));
    const bool scan = cli::takeFlag(args, QStringLiteral("--scan"));
    bool missing = false;
    const QString resume = cli::takeOption(args, QStringLiteral("--resume"), &missing);
    const QString addresses = cli::takeOption(args, QStringLiteral("--addresses"), &missing);
    if (missing || args.size() != 1 || (scan && !addresses.isNull()))
        return usage();
    if (options.deleteOnlyInRegister && !options.changedOnly) {
        cli::err(QStringLiteral("--delete-extra działa tylko z --changed."));
        return ExitUsage;
    }
    if (!resume.isNull()) {
        const auto point = wholereg::ResumePoint::parse(resume);
        if (!point) {
            cli::err(QStringLiteral("Zły punkt wznowienia: ") + resume);
            return ExitUsage;
        }
        options.from = *point;
    }
    return cli::restoreFile(args.first(), options, addresses, scan, context);
}

} // namespace

VDUNO_COMMAND(restore,
              "restore PLIK.vkf [--changed] [--resume K:R] [--addresses L | --scan]  programuje "
              "całą kasę z bazy",
              runRestore)

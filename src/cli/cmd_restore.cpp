#include "clilink.h"
#include "cliui.h"
#include "command.h"
#include "restorefile.h"
#include "tabletarget.h"
#include "wholejson.h"

#include "database/databasesession.h"
#include "link/link.h"
#include "link/portscan.h"
#include "transfer/whole/severalregisters.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>

// vduno restore IN.vkf [--changed] [--delete-extra] [--resume S:N] [--addresses 1,2,3 | --scan]:
// every table of a database programmed into the register (or into several registers, one
// after another), with the check before and a summary per table after.
namespace {

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
    if (r.verifying)
        for (const QString& line : wholereg::verifyLines(r.verified))
            cli::out(line);
}

QJsonObject runJson(const wholereg::RegisterRun& r)
{
    QJsonObject o{
        {QStringLiteral("address"), int(r.target.address)},
        {QStringLiteral("ok"), r.succeeded() && wholereg::allDone(r.result.tables)},
        {QStringLiteral("declined"), r.result.declined},
        {QStringLiteral("finished"), r.result.finished},
        {QStringLiteral("tables"), cli::tablesJson(r.result.tables)},
        {QStringLiteral("onlyInRegister"),
         QJsonArray::fromStringList(wholereg::onlyInRegisterLines(r.result.onlyInRegister))},
        {QStringLiteral("resume"),
         r.result.finished ? QJsonValue() : QJsonValue(r.result.resume.text())}};
    if (!r.failure.isEmpty())
        o.insert(QStringLiteral("failure"), r.failure);
    if (r.verifying)
        o.insert(QStringLiteral("verify"), cli::verifyJson(r.verified));
    return o;
}

} // namespace

namespace cli {
int restoreFile(const QString& path, const wholereg::RestoreOptions& options,
                const QString& addressesText, bool scan, CliContext& context, bool verify)
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
    Link& link = cli::commandLink(context);
    if (!openLink(context, link, ui))
        return ExitFailure;
    QList<portscan::FoundRegister> targets;
    if (scan) {
        const portscan::ScanResult scanned = portscan::registerScan(link, ui);
        for (const portscan::HeldPort& h : scanned.held)
            err(portscan::heldEntry(h));
        targets = scanned.found;
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
        wholereg::restoreEach(link, ui, session.database(), targets, run, verify);
    link.closePort();
    bool all = true;
    QJsonArray registers;
    for (const wholereg::RegisterRun& r : runs) {
        printRun(r, path, targets.size() > 1);
        all = all && r.succeeded() && wholereg::allDone(r.result.tables);
        registers.append(runJson(r));
    }
    // One register: its run's fields in the document itself; several: a list of them.
    if (runs.size() == 1) {
        const QJsonObject one = registers.first().toObject();
        for (auto it = one.begin(); it != one.end(); ++it)
            if (it.key() != QLatin1String("ok"))
                jsonField(it.key(), it.value());
    } else {
        jsonField(QStringLiteral("registers"), registers);
    }
    jsonField(QStringLiteral("file"), path);
    if (context.report && runs.size() == 1) {
        const wholereg::RegisterRun& r = runs.first();
        context.report->counts = wholereg::totalsText(r.result.tables);
        if (!r.failure.isEmpty())
            context.report->result = r.failure;
        else if (r.result.declined)
            context.report->result = QStringLiteral("Nie zaprogramowano kasy.");
        else if (!r.result.finished)
            context.report->resume = r.result.resume.text();
        else if (r.verifying)
            context.report->result = wholereg::verifyLines(r.verified).first();
    }
    return all ? ExitOk : ExitFailure;
}
} // namespace cli

namespace {

int runRestore(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    wholereg::RestoreOptions options;
    options.changedOnly = parsed.isSet(QStringLiteral("changed"));
    options.deleteOnlyInRegister = parsed.isSet(QStringLiteral("delete-extra"));
    const bool scan = parsed.isSet(QStringLiteral("scan"));
    const bool verify = parsed.isSet(QStringLiteral("verify"));
    const QString resume = parsed.value(QStringLiteral("resume"));
    const QString addresses = parsed.value(QStringLiteral("addresses"));
    if (args.size() != 1)
        return cli::usage(context);
    if (scan && !addresses.isNull())
        return cli::usage(context, QStringLiteral("--addresses i --scan wykluczają się."));
    if (options.deleteOnlyInRegister && !options.changedOnly)
        return cli::usage(context, QStringLiteral("--delete-extra działa tylko z --changed."));
    if (!resume.isNull()) {
        const auto point = wholereg::ResumePoint::parse(resume);
        if (!point)
            return cli::usage(context, QStringLiteral("Zły punkt wznowienia: ") + resume);
        options.from = *point;
    }
    return cli::restoreFile(args.first(), options, addresses, scan, context, verify);
}

} // namespace

VDUNO_COMMAND(
    restore,
    {"restore",
     CommandGroup::Database,
     "PLIK.vkf",
     "programuje całą kasę z bazy",
     {{"changed", nullptr, "czyta najpierw tabele kasy i wysyła tylko nowe i zmienione rekordy"},
      {"delete-extra", nullptr, "z --changed: usuwa w kasie rekordy, których baza nie ma"},
      {"resume", "KROK:REKORD", "wznawia przerwane programowanie od podanego miejsca"},
      {"verify", nullptr, "po zaprogramowaniu czyta kasę i porównuje z bazą"},
      {"addresses", "LISTA", "kolejno kasy o tych adresach na jednej linii (1,2,3)"},
      {"scan", nullptr, "kolejno każda kasa znaleziona na porcie"}},
     {"--device /dev/ttyUSB0 restore sklep.vkf --changed",
      "--device /dev/ttyUSB0 restore sklep.vkf --resume 4:120",
      "--registers kasy.txt restore --changed --yes --json"},
     runRestore})

#include "severalregisters.h"

#include "stageui.h"

#include "common/transferrun.h"
#include "link/answers.h"
#include "link/link.h"

namespace wholereg {

QString registerTitle(const portscan::FoundRegister& target)
{
    return portscan::portEntry(target.port) + QStringLiteral(", adres ") +
           QString::number(target.address);
}

QList<RegisterRun> restoreEach(Link& link, TransferUi& caller, RegisterDatabase& db,
                               const QList<portscan::FoundRegister>& targets,
                               const RestoreOptions& options, bool verify)
{
    TransferRun run(caller);
    QList<RegisterRun> runs;
    RestoreOptions each = options;
    for (const portscan::FoundRegister& target : targets) {
        RegisterRun r;
        r.target = target;
        if (run.stopRequested()) {
            r.failure = QStringLiteral("Przerwano.");
            runs.append(r);
            continue;
        }
        // Opening the port and asking the register's model say nothing on their own: what
        // went wrong goes into this register's row.
        StageUi quiet(run, 0, 0, 0);
        if (link.port != target.port || !link.isOpen()) {
            link.closePort();
            link.port = target.port;
            if (link.openPort(quiet, true) != 0) {
                r.failure = quiet.messages.isEmpty() ? QStringLiteral("Nie mogę otworzyć portu.")
                                                     : quiet.messages.last();
                runs.append(r);
                continue;
            }
        }
        link.address = target.address;
        r.registerType = answers::detectRegisterType(link, quiet);
        if (r.registerType == 0) {
            r.failure = QStringLiteral("Brak komunikacji.");
            runs.append(r);
            continue;
        }
        r.result = restore(link, run, db, r.registerType, each);
        if (verify && r.result.finished) {
            r.verifying = true;
            QStringList accepted = each.accepted;
            for (const Problem& p : r.result.problems)
                accepted << p.text;
            r.verified = verifyProgrammed(link, run, db, r.registerType, each, accepted);
        }
        for (const Problem& p : r.result.problems)
            if (!r.result.declined && !each.accepted.contains(p.text))
                each.accepted.append(p.text);
        runs.append(r);
        if (r.result.declined)
            break; // the person did not want the problems in any register
    }
    return runs;
}

} // namespace wholereg

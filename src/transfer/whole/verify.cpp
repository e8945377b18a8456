#include "verify.h"

#include "restoresteps.h"

#include "common/transferrun.h"

namespace wholereg {

namespace {

// The steps of `programmed` whose tables the register sends back.
QList<Step> checkable(const RestoreOptions& programmed)
{
    QList<Step> steps;
    for (int s = 0; s < StepCount; ++s) {
        const Step step = Step(s);
        if ((programmed.only.isEmpty() || programmed.only.contains(step)) && stepDef(step).compare)
            steps.append(step);
    }
    return steps;
}

int listedTotal(const RestoreResult& r)
{
    int listed = 0;
    for (const TableOutcome& t : r.tables)
        listed += t.listed;
    return listed;
}

} // namespace

VerifyResult verifyProgrammed(Link& link, TransferUi& caller, RegisterDatabase& db,
                              int registerType, const RestoreOptions& programmed,
                              const QStringList& accepted)
{
    TransferRun run(caller);
    VerifyResult result;
    RestoreOptions check = programmed;
    check.changedOnly = true;
    check.deleteOnlyInRegister = false;
    check.from = {};
    check.only = checkable(programmed);
    check.accepted = accepted;
    if (check.only.isEmpty()) {
        result.equal = result.complete = true;
        return result;
    }
    // Two rounds that program what differs, then one that only compares; a round that finds
    // nothing to send ends the check.
    for (int round = 0; round < 3; ++round) {
        check.checkOnly = round == 2;
        const RestoreResult r = restore(link, run, db, registerType, check);
        if (!r.finished || r.declined) {
            result.stopped = run.stopRequested();
            return result;
        }
        const int listed = listedTotal(r);
        if (listed == 0) {
            result.equal = result.complete = true;
            return result;
        }
        if (check.checkOnly) {
            result.complete = true;
            for (const TableOutcome& t : r.tables)
                if (t.listed > 0)
                    result.differing << t.table + QStringLiteral(" – ") + t.note;
            return result;
        }
        ++result.rounds;
        for (const TableOutcome& t : r.tables)
            result.mended += t.records;
    }
    return result;
}

QStringList verifyLines(const VerifyResult& result)
{
    if (result.equal)
        return {QStringLiteral("Kasa zgodna z bazą.")};
    if (!result.complete)
        return {result.stopped ? QStringLiteral("Przerwano sprawdzanie kasy.")
                               : QStringLiteral("Nie udało się odczytać kasy do sprawdzenia; nie "
                                                "wiadomo, czy jest zgodna z bazą.")};
    return QStringList{QStringLiteral("Rekordy kasy różne od bazy:")} + result.differing;
}

} // namespace wholereg

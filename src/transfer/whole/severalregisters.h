#pragma once

#include "verify.h"
#include "wholerestore.h"

#include "link/portscan.h"

class Link;
class RegisterDatabase;
class TransferUi;

// The same programming run on every register found (several addresses on one line, several
// ports, a register behind a serial device server), one after another. One register's fault
// does not stop the others; the person's stop does.
namespace wholereg {

struct RegisterRun {
    portscan::FoundRegister target;
    int registerType = 0;
    QString failure; // why the run could not start on this register (its port, its type)
    RestoreResult result;
    bool verifying = false; // the programming was checked afterwards
    VerifyResult verified;
    bool succeeded() const
    {
        return failure.isEmpty() && result.finished && (!verifying || verified.equal);
    }
};

// "COM 3, adres 2" (the network port by its address).
QString registerTitle(const portscan::FoundRegister& target);

// The preflight question is asked once: a register whose check finds only what was already
// accepted goes on without asking again. The link is left on the last register's port.
// With `verify` each register's programming is checked afterwards (see verifyProgrammed).
QList<RegisterRun> restoreEach(Link& link, TransferUi& ui, RegisterDatabase& db,
                               const QList<portscan::FoundRegister>& targets,
                               const RestoreOptions& options, bool verify = false);

} // namespace wholereg

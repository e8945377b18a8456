#pragma once

#include "wholerestore.h"

#include <QStringList>

class Link;
class RegisterDatabase;
class TransferUi;

// Programming checked afterwards. The check byte of a frame is an exclusive-or: two damaged
// bits in one column pass it, so on a poor line a register can end up holding what the
// database does not. After programming, the programmed tables are read back and compared with
// the database, only what differs is programmed again (at most two rounds), and a last read
// tells whether the register now holds the database.
namespace wholereg {

struct VerifyResult {
    bool equal = false;    // the register holds what the database holds
    bool complete = false; // every read came whole, so `equal` and `differing` can be trusted
    int rounds = 0;        // rounds that programmed something again
    int mended = 0;        // records programmed again
    QStringList differing; // "Towary – różne od bazy: 12, 15" per table that still differs
    bool stopped = false;
};

// After a programming run with `programmed`: the steps it covered whose tables the register
// can send are checked; the check before programming is not asked again (`accepted`).
VerifyResult verifyProgrammed(Link& link, TransferUi& ui, RegisterDatabase& db, int registerType,
                              const RestoreOptions& programmed, const QStringList& accepted);

// "Kasa zgodna z bazą." or "Rekordy kasy różne od bazy:" with a line per table; the line when
// the check could not read the register.
QStringList verifyLines(const VerifyResult& result);

} // namespace wholereg

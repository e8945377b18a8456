#pragma once

#include "registerextras.h"
#include "tableoutcome.h"

class Link;
class RegisterDatabase;
class TransferUi;

// "Kopia kasy do bazy": every table the register can send, read into a new database in one
// run with one progress over the whole of it.
namespace wholereg {

struct BackupResult {
    QList<TableOutcome> tables;
    RegisterExtras extras;
    QString currencySymbol; // the register's accounting currency ("PLN" when it did not say)
    bool stopped = false;
    // Every table came (or the register holds none of it): the copy may be saved.
    bool complete() const { return !stopped && allDone(tables); }
};

// Reads the register into `db`, a database just created with its defaults. The tables the
// register cannot send keep them. A stop or a fault ends the run at the table it reached;
// the rest are listed as not reached.
BackupResult backup(Link& link, TransferUi& ui, RegisterDatabase& db);

// The whole of it into a database file: read into a working copy of its own, then, only when
// every table came, saved to `path` (the old file replaced only by a whole new one) with its
// extras file beside it. `error` says why nothing was saved after a complete read. With
// `verify` the register is read twice and a copy whose two reads differ is not saved.
BackupResult backupToFile(Link& link, TransferUi& ui, const QString& path, QString* error,
                          bool verify = false);

} // namespace wholereg

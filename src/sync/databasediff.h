#pragma once

#include "compare.h"

#include <QList>
#include <QString>
#include <QStringList>

class RegisterDatabase;

// Two database files side by side, table by table: what "vduno diff" prints. The records are
// compared as "vduno compare" compares the PC's table with the register's, the first file in
// the PC's place (OnlyPc: only in A, OnlyRegister: only in B).
namespace basesync {

struct TableDiff {
    QString table;             // the name on the command line
    QString title;             // "Towary", "Kasjerzy" ...
    QList<Comparison> records; // those that are not equal, in number order

    bool equal() const { return records.isEmpty(); }
    // "12: tylko w A", "12: tylko w B", "12: różne (nazwa, cena)"; a quick key is named by
    // its cashier and key ("kasjer 2, F3: tylko w A").
    QString text(const Comparison& c) const;
};

// Articles, the six smaller bases, then the VAT rates, header, footer, quick keys, halo
// table and report set.
const QStringList& diffTableNames();

// Every table, or only `table` (nothing when the name is unknown). Both are only read.
QList<TableDiff> diffDatabases(RegisterDatabase& a, RegisterDatabase& b,
                               const QString& table = QString());
bool allEqual(const QList<TableDiff>& tables);

} // namespace basesync

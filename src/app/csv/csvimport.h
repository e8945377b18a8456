#pragma once

#include "csvencoding.h"
#include "csvtables.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DatabaseSession;
class TransferUi;

namespace csv {

// An import checked in full before anything is written: the table the title names and the
// new bytes of its records 1..lastNumber, or the first refusal. A refusal names the line and
// the column in Polish.
struct ImportPlan {
    std::optional<Table> table;
    QByteArray tableBytes;
    int written = 0;          // data lines whose record goes into the table
    int skipped = 0;          // data lines whose number lies outside the table's numbers
    QStringList skippedLines; // why each was skipped: "wiersz 5: numer 0 spoza zakresu 1-20"
    // Records written all the same, but worth a look: wrong EAN check digits, names with
    // characters the register cannot print.
    QStringList warnings;
    bool utf8 = false; // the file was read as UTF-8 (otherwise cp1250)
    QString error;     // empty when the file can be imported

    bool ok() const { return error.isEmpty(); }
};

// Reads the whole file in the encoding given (see decodeFile). The title line names the table
// (upper-cased comparison, so "towary" and "TOWARY" both work), the column line is passed
// over, and every further line that is not blank becomes the record its number names. A text
// field holding a control character (a 0 byte, a tab, a line break inside quotes...) refuses
// the file with its line and column; a character cp1250 has not got is stored as "?", with a
// warning. `currentTable` holds the table's records 1..lastNumber as they are now, for the
// slots the file leaves alone and for the unit byte of an article, which the file does not
// carry: an imported article keeps the unit of the record it replaces (0 when the slot was
// free).
ImportPlan planImport(QByteArrayView file,
                      const std::function<QByteArray(const TableInfo&)>& currentTable,
                      Encoding encoding = Encoding::Automatic);

struct ImportOutcome {
    bool ok = false;
    std::optional<Table> table;
    int written = 0, skipped = 0;
    QString label;   // the result label's text after an import
    QString summary; // what was written and skipped, and why, with the warnings
};

// "Baza „Towary”: zapisano rekordów: 5, pominięto wierszy: 1." followed by the skipped lines
// and the warnings, each on its own line under its heading.
QString importSummary(const TableInfo& table, const ImportPlan& plan);

// Plans the import and, only when the whole file is sound, writes the table into the working
// copy in one write. A refusal is shown through `ui` and leaves the database unchanged. The
// caller marks the database modified after a successful import.
ImportOutcome importBytes(DatabaseSession& session, QByteArrayView file, TransferUi& ui,
                          Encoding encoding = Encoding::Automatic);
// The same for a file on disk, read in one pass.
ImportOutcome importFromFile(DatabaseSession& session, const QString& path, TransferUi& ui,
                             Encoding encoding = Encoding::Automatic);

QString unknownKindMessage(const QString& title);

} // namespace csv

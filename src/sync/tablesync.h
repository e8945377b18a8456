#pragma once

#include "readorigin.h"
#include "registerread.h"
#include "syncdetails.h"
#include "tablemembers.h"

#include <QList>
#include <QSet>
#include <QStringList>

class Link;
class RegisterDatabase;
class TransferUi;

namespace basesync {

struct TableRunResult {
    int total = 0;        // checked lines
    int done = 0;         // programmed (code 0 or 3, at once or after a busy answer) or deleted
    bool broken = false;  // the run ended early on a failure
    bool stopped = false; // the person stopped the run before its last line
    // A programming run that went to its end reads the register's table again.
    bool reread = false;
    ReadOutcome readAgain;
};

// One of the six smaller bases beside its PC table, driven by its member entry. The buffer
// holds one register image per slot of the register's table, record n at index n - 1.
class TableSync {
public:
    explicit TableSync(const TableMember& member);

    const TableMember& member() const { return m_member; }
    const QByteArray& image(int n) const { return m_images[n - 1]; }
    void setImage(int n, const QByteArray& image);
    // Empties the buffer; the register's side then counts as not read.
    void clear();
    // Where and when the register's side was read (by read(), which sets it). Programming
    // and deleting over another connection first empty the buffer.
    const ReadOrigin& origin() const { return m_origin; }
    void setOrigin(const ReadOrigin& origin) { m_origin = origin; }

    // Used slots (first byte non-zero) in slot order, and their list lines: "n. " padded
    // with spaces to 4, the name cut or padded to 21 (packaging 22), the member's columns.
    QList<int> registerNumbers() const;
    QStringList registerLines() const;
    QList<int> pcNumbers(RegisterDatabase& db) const;
    QStringList pcLines(RegisterDatabase& db) const;
    QString registerLine(QByteArrayView image) const;
    QString pcLine(QByteArrayView record) const;

    // The statistics of register record n; the PC side's details (cashiers only, else empty).
    Details registerDetails(int n) const;
    Details pcDetails(RegisterDatabase& db, int n) const;

    ReadSpec readSpec() const;
    // "&Odśwież": clears the buffer and reads the register's table.
    ReadOutcome read(Link& link, TransferUi& ui);

    // Programs the checked PC records (`lines`: the PC list's numbers in order), then ends as
    // the member says (settling wait, read again, " Zaprogramowano <count><noun>"). A broken
    // run shows "Wystąpił błąd transmisji. Zaprogramowano <count><noun>". A stop request puts
    // the end marker on the next frame and ends the run after it: the programmed records go
    // into the buffer, the table is not read again, and the run says how many were sent.
    // Nothing checked: nothing happens.
    TableRunResult program(Link& link, TransferUi& ui, RegisterDatabase& db,
                           const QList<int>& lines, const QSet<int>& checked, quint8 confirm);

    // Writes the checked register records into their PC slots by the member's mapping.
    // Records beyond the PC list's slots are not written (see beyondPc). Returns how many
    // were written.
    int copyToPc(RegisterDatabase& db, const QSet<int>& checked) const;
    // The checked register records that have no slot in the PC list (cashiers 11-20).
    QList<int> beyondPc(const QSet<int>& checked) const;

    // Deletes the checked records in the register; every deleted record's image is cleared.
    // A stop request ends the run after the next frame, which carries the end marker.
    TableRunResult deleteInRegister(Link& link, TransferUi& ui, const QList<int>& lines,
                                    const QSet<int>& checked, quint8 confirm);

private:
    // Record n as the register holds it after accepting it.
    void putRecordIntoImage(int n, QByteArrayView record);

    const TableMember& m_member;
    QList<QByteArray> m_images;
    ReadOrigin m_origin;
};

} // namespace basesync

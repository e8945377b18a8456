#pragma once

#include "readorigin.h"
#include "registerread.h"
#include "syncdetails.h"

#include "database/tables.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QSet>
#include <QStringList>
#include <functional>
#include <optional>

class Link;
class RegisterDatabase;
class TransferUi;
struct ArticleRecord;

namespace basesync {

// What a transfer panel shows while a run goes on besides its counter (the counter is the
// run's progress).
struct RunPanel {
    std::function<void(bool shown)> printing;   // the notice "Drukuję..."
    std::function<void(int failures)> failures; // "Błędy:" with the number of refusals
};

struct ArticleRunResult {
    int total = 0;        // checked lines
    int done = 0;         // programmed or deleted
    int failed = 0;       // refused with a device error (programming goes on after them)
    bool broken = false;  // the run ended on a transmission or device failure
    bool stopped = false; // the person stopped the run before its last line
};

struct VerifyResult {
    int compared = 0; // m: the shorter list's line count
    int resent = 0;
    int differing = 0;    // articles whose barcode differed (all re-sent unless stopped)
    bool stopped = false; // the re-sends were stopped
    ReadOutcome lastRead; // the read the verdict rests on (the second one after re-sends)
};

// "Zaznacz wg numerów": an empty "od" is 1, an empty "do" 2000; "od" below 1 counts as 1 and
// "do" above 2000 as 2000.
struct NumberRange {
    int from = 1, to = 2000;
    bool contains(int n) const { return n >= from && n <= to; }
};
// Shows "Błędnie wypełnione pola!" and gives nothing for a non-numeric entry or "do" < "od".
std::optional<NumberRange> numberRange(const QString& from, const QString& to, TransferUi& ui);

// Whether the article of a register image went unsold for more than `days` days before
// `today`. The last-sale date is image bytes 75..78 (year as two bytes, month, day); a year
// below 1980 counts as 1980 and a month or day of 0 as 1; a date that cannot be formed is
// older than any limit. A date after today counts as a sale today, so it never makes the
// article unused.
bool unsoldForMoreThan(QByteArrayView image, int days, const QDate& today);

// The article base of the register beside the PC's article table. The buffer holds 2000
// register images of 82 bytes, article n at index n - 1 (a DUNO sends 81 bytes; the unit
// byte 81 is then 0). A slot is used when byte 0 or byte 1 is non-zero.
class ArticleSync {
public:
    static constexpr int Count = layout::Articles.count;
    static constexpr int ImageSize = 82;

    ArticleSync();

    const QByteArray& image(int n) const { return m_images[n - 1]; }
    void setImage(int n, const QByteArray& image);
    // Empties the buffer; the register's side then counts as not read.
    void clear();
    // Where and when the register's side was read (by read(), which sets it). Programming
    // and deleting over another connection first empty the buffer.
    const ReadOrigin& origin() const { return m_origin; }
    void setOrigin(const ReadOrigin& origin) { m_origin = origin; }

    // The used slots in slot order, and their lines.
    QList<int> registerNumbers() const;
    QStringList registerLines() const;
    static QList<int> pcNumbers(RegisterDatabase& db);
    static QStringList pcLines(RegisterDatabase& db);

    // "n. " padded with spaces to 6, the name cut or padded to 20 (PC) or 22 (register), " ",
    // the price as amount text padded on the left to 10, " ", the VAT letter.
    static QString pcLine(const ArticleRecord& r);
    static QString registerLine(QByteArrayView image);

    static Details pcDetails(QByteArrayView record);
    static Details registerDetails(QByteArrayView image);

    // registerType: 1 DUNO (90-byte frames, 81-byte images), otherwise DUNO BIS (91, 82).
    static ReadSpec readSpec(int registerType);

    // "&Odśwież": reads the whole base into the buffer; its progress counts the articles.
    ReadOutcome read(Link& link, TransferUi& ui, int registerType);

    // Programs the checked PC articles (`lines`: the PC list's article numbers in list order;
    // the frames are numbered 1, 2, 3 ... as they go out). Accepted articles (code 0 or
    // 3, at once or after a busy answer) are counted and copied into the buffer. Shows the
    // summary or the failure text. A stop request puts the end marker on the next frame and
    // ends the run after it; the summary then says how many of the checked were sent. Does
    // nothing when nothing is checked.
    ArticleRunResult program(Link& link, TransferUi& ui, RegisterDatabase& db,
                             const QList<int>& lines, const QSet<int>& checked, quint8 confirm,
                             int registerType, const RunPanel& panel = {});

    // Writes the checked register articles into their PC slots (image bytes 0..48, 57..74 with
    // spaces of the barcode made "0", 81). Returns how many were written. Sends nothing.
    int copyToPc(RegisterDatabase& db, const QSet<int>& checked) const;

    // Clears the checked PC slots (68 zero bytes). Returns how many.
    static int deleteFromPc(RegisterDatabase& db, const QList<int>& lines,
                            const QSet<int>& checked);

    // Deletes the checked articles in the register (`lines`: the register list's numbers);
    // every deleted article's image is cleared. A device error is shown and ends the run; a
    // stop request ends it after the next frame, which carries the end marker.
    ArticleRunResult deleteInRegister(Link& link, TransferUi& ui, const QList<int>& lines,
                                      const QSet<int>& checked, quint8 confirm,
                                      const RunPanel& panel = {});

    // "Zaznacz nieużywane towary": the register articles unsold for more than `days` (the
    // edit's text); nothing for a non-numeric or negative text.
    QSet<int> unusedArticles(const QString& days, const QDate& today) const;

    // Reads the base, compares the barcodes of the first m register lines with the PC records
    // and re-sends the PC record of every article that differs (confirm byte 0) as one run
    // numbered 1, 2, 3 ..., the end marker on the last re-send; a stop request puts it on the
    // next re-send, which ends the run. Shows the outcome and, after re-sends, reads the base
    // again. A read that did not bring the whole base gives no verdict (lastRead says how far
    // it got); stopped re-sends say how many went.
    VerifyResult verifyBarcodes(Link& link, TransferUi& ui, RegisterDatabase& db, int registerType);

private:
    QList<QByteArray> m_images;
    ReadOrigin m_origin;
};

} // namespace basesync

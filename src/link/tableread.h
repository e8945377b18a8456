#pragma once

#include "tablepasses.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <map>

class Link;
class TransferUi;

// Reading a table from the register on a line that damages a frame now and then. A data frame
// that fails its check does not end the read: it is acknowledged as received (0, so that the
// register goes on) and its record counted missing; when the register has sent its last frame
// the table is asked for again, and the good records of every pass are kept, until nothing is
// missing or the extra passes are used up. A pass that breaks off (no answer, the register's
// error frame) is a reason for another pass too. A stop never starts another pass.
namespace tableread {

struct Request {
    quint8 code = 0;       // the table's read command
    quint16 sequence = 1;  // of the request: 1 for the bases, 0x8001 for sales and turnover
    quint16 parameter = 0; // bytes 7-8 of the request
    int frameLength = 0;   // the whole data frame
    int pauseBeforeReadMs = 0;
    // The record number the data bytes of a good frame carry (1..maxRecord; anything else is
    // a frame that cannot be placed). Null: every frame is a record of its own, numbered by
    // its place in the pass (the months of the group turnover).
    std::function<int(QByteArrayView data)> recordOf;
    int maxRecord = 0x7FFF;
    int extraPasses = 3;
};

enum class End {
    Whole,   // every record came
    Empty,   // the register answered "Pusta baza." or "Zerowa wartość sprzedaży." (`status`)
    Stopped, // the person stopped the read before the whole table came
    Missing, // records still missing after the extra passes
    Failed,  // no answer to the request, the register refused it, or the line failed
};

struct Result {
    End end = End::Failed;
    bool requestSent = false;
    int status = 0; // the status code of an Empty end
    int passes = 0;
    // Records that came only in a pass after the first: frames that had to be read again.
    int reread = 0;
    // The records whose content is settled, by number: the data bytes of their frame. On an
    // incomplete read, what did come.
    std::map<int, QByteArray> records;
    Missing missing;
    // The line that named the missing records, as shown ("Nie odczytano rekordów: ..."); empty
    // when none was shown (the whole table came, or no frame ever did).
    QString missingLine;
    // The read did not end on the register's last frame but on an answer it could not use
    // (no answer, the register's error frame or status), which has been shown.
    bool broken = false;

    bool whole() const { return end == End::Whole; }
    QString rereadText() const { return tableread::rereadText(reread); }
};

// Drains the line, sends the request (the table's code, the request's sequence value and
// parameter) and reads the table in passes. Lets pending events run before every frame; a
// stop (the link's flag or ui.stopRequested()) is told to the register with acknowledgement
// 4. Messages go to `ui` only when the read ends without the whole table: "Brak komunikacji."
// or the device error as the register's answer had it, then the records still missing.
// "Pusta baza." and "Zerowa wartość sprzedaży." are shown when they come. The run's progress
// counts the records received. The link's stop flag is clear again afterwards.
Result read(Link& link, TransferUi& ui, const Request& request);

} // namespace tableread

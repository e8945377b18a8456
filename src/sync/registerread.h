#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class Link;
class TransferUi;

// Reading one of the register's bases: the read request (the table's command letter with
// record number 0, sequence value 1), then one data frame per record, each acknowledged by
// the read answer operation. Every data frame carries one register image whose first byte
// (articles: first two bytes) is its record number n; the image is kept at index n - 1.
namespace basesync {

struct ReadSpec {
    char letter = 0;
    int answerLength = 0; // whole data frame: 7-byte head + image + check byte + end byte
    int imageSize = 0;    // image bytes in the frame
    int storedSize = 0;   // bytes kept per image (longer than the frame's: padded with 0)
    bool twoByteNumber = false;
    // Kept for the callers that set it: a frame that fails its check is no longer answered
    // with acknowledgement 1 (what the register makes of it is not known) but with 0, and the
    // base is read again.
    bool ackCheckError = false;
    int pauseBeforeReadMs = 0; // before each frame (1 ms on the DUNO article read)
    // Where an image is kept (1-based); null: the record number it carries. The VAT rates
    // come as one image, a quick key carries its cashier and key.
    int (*slotOf)(const QByteArray& image) = nullptr;
};

struct ReadOutcome {
    int received = 0;      // records stored, of every pass
    bool complete = false; // the whole base came (over every pass needed), or "Pusta baza."
    bool stopped = false;  // the person asked to stop before the whole base came
    int passes = 0;
    int reread = 0; // records that came only when the base was read again
    // The records still missing when the read gave up, as shown; empty otherwise.
    QString missing;
    // "Odczytano ponownie 3 ramki." when the line's damage made the read ask again.
    QString rereadText() const;
};

// Clears `images` (all of them, to zero) and fills it from the register, reading the base
// again where the line damaged frames (tableread). Lets pending window messages run before
// each frame; the stop request (link flag or ui) makes the next acknowledgement ask the
// register to stop. The run's progress counts the records received. What came is kept also
// when the read fails. The link's stop flag is clear again afterwards.
ReadOutcome readRegisterBase(Link& link, TransferUi& ui, const ReadSpec& spec,
                             QList<QByteArray>& images);

// The record number an image carries (0 for a free slot).
int imageNumber(const QByteArray& image, bool twoByteNumber);

} // namespace basesync

#pragma once

#include <QByteArray>
#include <QList>

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
    bool ackCheckError = false; // answer a check byte failure with acknowledgement 1
    int pauseBeforeReadMs = 0;  // before each frame (1 ms on the DUNO article read)
    // Where an image is kept (1-based); null: the record number it carries. The VAT rates
    // come as one image, a quick key carries its cashier and key.
    int (*slotOf)(const QByteArray& image) = nullptr;
};

struct ReadOutcome {
    int received = 0;      // data frames stored
    bool complete = false; // the whole base came: the frame with the end marker, or "Pusta baza."
    bool stopped = false;  // the person asked to stop before the whole base came
};

// Clears `images` (all of them, to zero) and fills it from the register. Lets pending window
// messages run before each frame; the stop request (link flag or ui) makes the next
// acknowledgement ask the register to stop. The run's progress counts the frames stored.
// The link's stop flag is clear again afterwards.
ReadOutcome readRegisterBase(Link& link, TransferUi& ui, const ReadSpec& spec,
                             QList<QByteArray>& images);

// The record number an image carries (0 for a free slot).
int imageNumber(const QByteArray& image, bool twoByteNumber);

} // namespace basesync

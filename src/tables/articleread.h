#pragma once

#include "database/tables.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

class Link;
class RegisterDatabase;
class TransferUi;

// Reading the register's article base into the database: a request "T" with sequence value
// 1, then one data frame per article, each acknowledged. A frame is 9 bytes of framing around
// the register's image of one article: 91 bytes with the 82-byte image (DUNO BIS) or 90 bytes
// with the 81-byte image without the unit byte (DUNO).
namespace articleread {

inline int frameLength(int registerType)
{
    return registerType == 1 ? 90 : 91;
}

struct Result {
    // The read result that ended the transfer (answers::ReadResult): Done after the register's
    // last frame or a stop, Nothing when the read failed.
    int ended = -1;
    bool requestSent = false;
    int framesStored = 0;   // articles received (numbers 1..2000), of every pass
    int recordsWritten = 0; // records written into the database
    bool writeFailed = false;
    // The person asked to stop: the register was told so and the base is not whole, even
    // though its last frame ended the transfer as usual.
    bool stopped = false;
    // The whole base came, over every pass the line's damage needed.
    bool whole = false;
    int passes = 0;
    int reread = 0; // articles that came only when the base was read again
    // The articles still missing when the read gave up ("Nie odczytano rekordów: ..."), as
    // shown; empty otherwise.
    QString missing;

    bool complete() const { return requestSent && whole && !stopped && !writeFailed; }
    // Articles came but not the whole base, and those that came were written: the person
    // stopped the read. A read that failed writes nothing.
    bool endedEarly() const { return requestSent && stopped; }
    // "Odczytano ponownie 3 ramki." when the line's damage made the read ask again.
    QString rereadText() const;
};

// The 2000 images the register returned, 82 bytes each (on DUNO the 82nd byte is 0); an
// article the register did not send stays all zero.
struct Images {
    std::vector<QByteArray> images = std::vector<QByteArray>(layout::Articles.count);
    // The image at the index its article number names; false for a number beyond 1..2000.
    bool store(QByteArrayView image);
};

// Receives the base into `images`, reading it again where the line damaged frames. Lets
// pending events run before each frame (a stop request, from the link's flag or
// ui.stopRequested(), ends the transfer with acknowledgement 4) and pauses 1 ms between frames
// on DUNO. Messages of the transfer are shown on `ui`.
Result receive(Link& link, TransferUi& ui, int registerType, Images& images);

// Writes every returned article into its slot (image bytes 0..48, the barcode with its spaces
// made "0" and bytes 70..74, then the unit byte); slots the register did not return keep what
// they held.
void store(RegisterDatabase& db, const Images& images, Result& result);

// Both steps. Only a whole base, or what came before the person stopped, is written: the
// articles of a read that failed are not.
Result readArticles(Link& link, TransferUi& ui, RegisterDatabase& db, int registerType);

} // namespace articleread

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class Link;
class TransferUi;

// The register's cache memory dump: after the ":" command (sequence 1) the register sends
// up to 8192 answer frames of 265 bytes, 256 data bytes each in frame bytes 7..262.
namespace transfer {

constexpr int kCacheFrameSize = 265;
constexpr int kCacheDataSize = 256;
constexpr int kCacheMaxFrames = 8192;
// The default file of the dump.
QString defaultCacheDumpName();
// What follows the data in the file: byte 13, "Data wykoniania kopii: ", date, space, time.
QByteArray cacheDumpTrailer(const QDateTime& when);

struct CacheDump {
    int frames = 0;        // good frames received
    bool complete = false; // the register sent its last frame
    bool stopped = false;  // the user stopped the dump before the last frame
    bool written = false;  // the file was written
    int failedFrame = 0;   // the frame (from 1) that did not come as it should; 0: none
    QByteArray data;       // what was received, in order, without a gap
};

// Sends the dump command, pauses 100 ms and reads frames until the last one (or 8192 of
// them). Each good frame must carry the next number (1, 2, ...): the dump cannot ask for one
// frame again, so a frame that fails its check or comes out of turn is answered with
// acknowledgement 1, which ends the register's transfer, and like no usable answer (a
// silence) it ends the dump with "Błąd transmisji: zrzut przerwany na ramce <n>.". What
// arrived before it is still one piece without a gap. Progress is the frame count against
// 8192; a stop asked through `ui` ends the dump after the current frame. The file at `path`
// is then written beside the old one and put in its place when whole: the data and the
// trailer after a complete dump. An incomplete dump leaves a file that was there as it was
// and otherwise keeps what arrived. A complete dump ends with "Pamięć podręczna zapisana do
// pliku '<name>'.".
CacheDump dumpCacheMemory(Link& link, TransferUi& ui, const QString& path,
                          const QDateTime& when = QDateTime::currentDateTime());

} // namespace transfer

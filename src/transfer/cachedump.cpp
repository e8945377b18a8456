#include "cachedump.h"

#include "common/transferrun.h"

#include "common/cp1250.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/frame.h"
#include "link/link.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace transfer {

QString defaultCacheDumpName()
{
    return QStringLiteral("Kopia_cache.bin");
}

QByteArray cacheDumpTrailer(const QDateTime& when)
{
    QByteArray t(1, char(13));
    t += cp1250::encode(QStringLiteral("Data wykoniania kopii: ") +
                        when.date().toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') +
                        when.time().toString(QStringLiteral("HH:mm:ss")));
    return t;
}

CacheDump dumpCacheMemory(Link& link, TransferUi& caller, const QString& path,
                          const QDateTime& when)
{
    TransferRun ui(caller);
    CacheDump dump;
    dump.data.reserve(kCacheDataSize * 64);
    ui.progress(0, kCacheMaxFrames);
    link.stopRequest = false;
    link.drainInput(ui);
    const bool sent = link.sendBytes(ui, commands::cacheMemoryDump(link.address, 1)) == 0;
    if (sent) {
        link.pauseForAnswer(ui, 100);
        while (dump.frames < kCacheMaxFrames) {
            ui.processEvents();
            if (ui.stopRequested())
                link.stopRequest = true;
            const int expected = dump.frames + 1;
            const int r = answers::readUnanswered(link, ui, kCacheFrameSize);
            const QByteArrayView f = link.received(kCacheFrameSize);
            const int number = frame::u16(f, 4) & ~frame::EndMarker;
            const bool good = r == answers::More || r == answers::Done;
            if (good && number != expected)
                ui.showMessage(QStringLiteral("Kasa przysłała ramkę %1 zamiast ramki %2.")
                                   .arg(number)
                                   .arg(expected),
                               TransferUi::Icon::Error);
            if (!good || number != expected) {
                // A frame that came (damaged or out of turn) is refused, which ends the
                // register's transfer; the rest of it goes before anything else is read.
                if (r != answers::Nothing) {
                    link.drainInput(ui);
                    answers::sendAcknowledgement(link, ui, 1);
                }
                dump.failedFrame = expected;
                ui.showMessage(
                    QStringLiteral("Błąd transmisji: zrzut przerwany na ramce %1.").arg(expected),
                    TransferUi::Icon::Error);
                break;
            }
            dump.data += f.sliced(7, kCacheDataSize).toByteArray();
            ui.progress(++dump.frames, kCacheMaxFrames);
            // The register never sends more than 8192 frames: the last one ends the dump.
            const bool last = r == answers::Done || dump.frames == kCacheMaxFrames;
            answers::sendAcknowledgement(link, ui, last ? 3 : link.stopRequest ? 4 : 0);
            if (last || link.stopRequest) {
                dump.complete = last;
                dump.stopped = !last;
                break;
            }
        }
    }
    link.stopRequest = false;
    // A dump that did not come whole never takes the place of an earlier file; without one
    // the part that arrived is kept. The file is written beside the old one and put in its
    // place only once it is whole.
    if (!dump.complete && QFile::exists(path))
        return dump;
    QByteArray file = dump.data;
    if (dump.complete)
        file += cacheDumpTrailer(when);
    QSaveFile f(path);
    // Unbuffered, so that a write cut short (a full disk) is seen before the commit.
    dump.written = f.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                   f.write(file) == file.size() && f.commit();
    if (!dump.written) {
        ui.showMessage(QStringLiteral("Nie można zapisać pliku '") + path + QStringLiteral("'."),
                       TransferUi::Icon::Error);
    } else if (dump.complete) {
        ui.showMessage(QStringLiteral("Pamięć podręczna zapisana do pliku '") +
                       QFileInfo(path).fileName() + QStringLiteral("'."));
    }
    return dump;
}

} // namespace transfer

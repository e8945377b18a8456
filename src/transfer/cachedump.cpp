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
        // Every answer read counts against the register's 8192, so a line that never sends
        // a good frame cannot keep the dump going.
        int checkErrors = 0;
        for (int reads = 0; dump.frames < kCacheMaxFrames && reads < kCacheMaxFrames; ++reads) {
            ui.processEvents();
            if (ui.stopRequested())
                link.stopRequest = true;
            const int r = answers::readAnswer(link, ui, kCacheFrameSize);
            if (r == answers::CheckError && ++checkErrors < kCacheMaxCheckErrors)
                continue; // already reported; the next frame may still come
            if (r == answers::CheckError || r == answers::Nothing) {
                ui.showMessage(QStringLiteral("Błąd transmisji"), TransferUi::Icon::Error);
                break;
            }
            checkErrors = 0;
            dump.data += link.received(kCacheFrameSize).sliced(7, kCacheDataSize).toByteArray();
            ui.progress(++dump.frames, kCacheMaxFrames);
            if (r == answers::Done) {
                dump.stopped = link.stopRequest &&
                               !(frame::u16(link.received(kCacheFrameSize), 4) & frame::EndMarker);
                dump.complete = !dump.stopped;
                break;
            }
        }
        // The register never sends more than 8192 frames: the last one ends the dump.
        if (dump.frames == kCacheMaxFrames && !dump.stopped)
            dump.complete = true;
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

#include "registerread.h"

#include "common/transferrun.h"

#include "link/answers.h"
#include "link/commands.h"
#include "link/frame.h"
#include "link/link.h"

namespace basesync {

int imageNumber(const QByteArray& image, bool twoByteNumber)
{
    if (image.isEmpty())
        return 0;
    const int low = quint8(image[0]);
    if (!twoByteNumber)
        return low;
    return image.size() < 2 ? low : low | (quint8(image[1]) << 8);
}

ReadOutcome readRegisterBase(Link& link, TransferUi& caller, const ReadSpec& spec,
                             QList<QByteArray>& images)
{
    TransferRun ui(caller);
    ReadOutcome outcome;
    for (QByteArray& image : images)
        image.fill('\0');
    link.drainInput(ui);
    if (commands::send(link, ui, commands::requestTable(link.address, 1, quint8(spec.letter))) != 0)
        return outcome;
    ui.progress(0, 0);
    for (;;) {
        ui.processEvents();
        if (ui.stopRequested())
            link.stopRequest = true;
        if (spec.pauseBeforeReadMs > 0)
            link.pauseForAnswer(ui, spec.pauseBeforeReadMs);
        // Nothing of an older answer may be taken for this one.
        link.clearReceiveArea();
        const int r = answers::readAnswer(link, ui, spec.answerLength);
        if (r == answers::CheckError && spec.ackCheckError)
            answers::sendAcknowledgement(link, ui, 1);
        if (r != answers::More && r != answers::Done) {
            // "Pusta baza." (a 10-byte status frame with code 0x10) is the whole of an empty
            // base; every other answer ends the read short.
            outcome.complete = outcome.received == 0 && link.at(2) == 10 &&
                               link.at(6) == frame::StatusCommand && link.at(7) == 0x10;
            break;
        }
        QByteArray image = link.received(spec.answerLength).sliced(7, spec.imageSize).toByteArray();
        image.append(QByteArray(qMax(0, spec.storedSize - image.size()), '\0'));
        const int n = spec.slotOf ? spec.slotOf(image) : imageNumber(image, spec.twoByteNumber);
        // A record number outside the base cannot be stored; the frame was acknowledged.
        if (n >= 1 && n <= images.size()) {
            images[n - 1] = image;
            ++outcome.received;
            ui.progress(outcome.received, 0);
        }
        if (r == answers::Done) {
            // The last frame carries the end marker; a frame acknowledged with "stop" does not.
            outcome.complete =
                (frame::u16(link.received(spec.answerLength), 4) & frame::EndMarker) != 0;
            break;
        }
    }
    outcome.stopped = !outcome.complete && ui.stopRequested();
    link.stopRequest = false;
    return outcome;
}

} // namespace basesync

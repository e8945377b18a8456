#include "registerread.h"

#include "common/transferrun.h"

#include "link/link.h"
#include "link/tableread.h"

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
    for (QByteArray& image : images)
        image.fill('\0');
    // The image as it is kept: the frame's bytes, padded with 0 to the size kept.
    const auto kept = [&spec](QByteArrayView data) {
        QByteArray image = data.first(qMin<qsizetype>(data.size(), spec.imageSize)).toByteArray();
        image.append(QByteArray(qMax(0, spec.storedSize - int(image.size())), '\0'));
        return image;
    };
    tableread::Request request;
    request.code = quint8(spec.letter);
    request.frameLength = spec.answerLength;
    request.pauseBeforeReadMs = spec.pauseBeforeReadMs;
    request.maxRecord = int(images.size());
    request.recordOf = [&spec, &kept](QByteArrayView data) {
        const QByteArray image = kept(data);
        return spec.slotOf ? spec.slotOf(image) : imageNumber(image, spec.twoByteNumber);
    };
    ui.progress(0, 0);
    const tableread::Result read = tableread::read(link, ui, request);
    ReadOutcome outcome;
    for (const auto& [slot, data] : read.records) {
        images[slot - 1] = kept(data);
        ++outcome.received;
    }
    // "Pusta baza." is the whole of an empty base.
    outcome.complete = read.whole() || (read.end == tableread::End::Empty && read.status == 0x10);
    outcome.stopped = read.end == tableread::End::Stopped;
    outcome.passes = read.passes;
    outcome.reread = read.reread;
    outcome.missing = read.missingLine;
    return outcome;
}

QString ReadOutcome::rereadText() const
{
    return tableread::rereadText(reread);
}

} // namespace basesync

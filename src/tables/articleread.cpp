#include "articleread.h"

#include "common/transferrun.h"

#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/frame.h"
#include "link/link.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

namespace articleread {

namespace {
constexpr int ImageSize = 82;
constexpr int DataOffset = 7; // the image follows the 7-byte head of the frame
} // namespace

bool Images::store(QByteArrayView image)
{
    if (image.size() < 2)
        return false;
    const int n = le::u16(image, 0);
    if (n < 1 || n > int(images.size()))
        return false;
    QByteArray full = image.first(qMin<qsizetype>(image.size(), ImageSize)).toByteArray();
    full.append(QByteArray(ImageSize - full.size(), '\0'));
    images[size_t(n - 1)] = full;
    return true;
}

Result receive(Link& link, TransferUi& caller, int registerType, Images& images)
{
    TransferRun ui(caller);
    Result result;
    const int length = frameLength(registerType);
    const bool duno = registerType == 1;
    link.stopRequest = false;
    link.drainInput(ui);
    if (commands::send(link, ui, commands::requestTable(link.address, 1, 'T')) != 0) {
        result.ended = answers::Nothing;
        return result;
    }
    result.requestSent = true;
    for (;;) {
        ui.processEvents();
        if (ui.stopRequested())
            link.stopRequest = true;
        if (duno)
            link.pauseForAnswer(ui, 1);
        const int r = answers::readAnswer(link, ui, length);
        result.ended = r;
        // The register's frame was answered with "stop" (acknowledgement 4).
        if (link.stopRequest && r == answers::Done &&
            !(frame::u16(link.received(length), 4) & frame::EndMarker))
            result.stopped = true;
        if (r == answers::More || r == answers::Done) {
            if (images.store(link.received(length).sliced(DataOffset, length - 9)))
                ui.progress(++result.framesStored, 0);
        }
        if (r == answers::CheckError)
            answers::sendAcknowledgement(link, ui, 1);
        if (r != answers::More)
            break;
    }
    link.stopRequest = false;
    return result;
}

void store(RegisterDatabase& db, const Images& images, Result& result)
{
    for (int i = 0; i < int(images.images.size()); ++i) {
        const QByteArray& image = images.images[size_t(i)];
        if (image.isEmpty() || !ArticleRecord::used(image))
            continue;
        if (db.writeRecord(layout::Articles.offsetOf(i + 1), articleFromImage(image)))
            ++result.recordsWritten;
        else
            result.writeFailed = true;
    }
}

Result readArticles(Link& link, TransferUi& ui, RegisterDatabase& db, int registerType)
{
    Images images;
    Result result = receive(link, ui, registerType, images);
    store(db, images, result);
    return result;
}

} // namespace articleread

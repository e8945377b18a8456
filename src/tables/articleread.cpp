#include "articleread.h"

#include "common/transferrun.h"

#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/link.h"
#include "link/tableread.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

namespace articleread {

namespace {
constexpr int ImageSize = 82;
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
    const int length = frameLength(registerType);
    tableread::Request request;
    request.code = 'T';
    request.frameLength = length;
    request.pauseBeforeReadMs = registerType == 1 ? 1 : 0;
    request.maxRecord = int(images.images.size());
    request.recordOf = [](QByteArrayView data) { return int(le::u16(data, 0)); };
    const tableread::Result read = tableread::read(link, ui, request);
    Result result;
    result.requestSent = read.requestSent;
    result.whole = read.whole();
    result.stopped = read.end == tableread::End::Stopped;
    result.ended = result.whole || result.stopped ? answers::Done : answers::Nothing;
    result.passes = read.passes;
    result.reread = read.reread;
    result.missing = read.missingLine;
    for (const auto& [number, data] : read.records)
        if (images.store(data))
            ++result.framesStored;
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

QString Result::rereadText() const
{
    return tableread::rereadText(reread);
}

Result readArticles(Link& link, TransferUi& ui, RegisterDatabase& db, int registerType)
{
    Images images;
    Result result = receive(link, ui, registerType, images);
    // A read that failed leaves the database as it was: some of the base is better taken from
    // the next read than mixed into the records held.
    if (result.whole || result.stopped)
        store(db, images, result);
    return result;
}

} // namespace articleread

#include "registerreads.h"

#include "database/tables.h"
#include "link/frame.h"
#include "link/link.h"
#include "sync/registerread.h"

namespace wholereg {

namespace {

constexpr int VatAnswerSize = 30;      // the seven rates, 3 bytes each
constexpr int QuickKeyAnswerSize = 43; // cashier, key and the key's 32 bytes

// A read that ended without its data: the register answering with a status or error frame of
// its own means it does not send this table; anything else is a fault of the line.
bool registerDeclined(Link& link)
{
    return link.at(0) == frame::Start && link.at(2) == 10 &&
           quint8(link.at(6)) == frame::StatusCommand;
}

ImagesRead readImages(Link& link, TransferUi& ui, const basesync::ReadSpec& spec, int slotCount)
{
    ImagesRead read;
    read.images = QList<QByteArray>(slotCount, QByteArray(spec.storedSize, '\0'));
    const basesync::ReadOutcome outcome = basesync::readRegisterBase(link, ui, spec, read.images);
    read.received = outcome.received;
    if (outcome.complete)
        read.end = ImagesRead::End::Whole;
    else if (outcome.received == 0 && !outcome.stopped && registerDeclined(link))
        read.end = ImagesRead::End::Declined;
    return read;
}

} // namespace

ImagesRead readVatRates(Link& link, TransferUi& ui)
{
    basesync::ReadSpec spec;
    spec.letter = 'P';
    spec.answerLength = VatAnswerSize;
    spec.imageSize = spec.storedSize = layout::VatRates.bytes();
    spec.slotOf = [](const QByteArray&) { return 1; };
    return readImages(link, ui, spec, 1);
}

ImagesRead readQuickKeys(Link& link, TransferUi& ui)
{
    basesync::ReadSpec spec;
    spec.letter = 'S';
    spec.answerLength = QuickKeyAnswerSize;
    spec.imageSize = spec.storedSize = layout::QuickKeys.recordSize;
    // A key's image is its database record: cashier, key, then the key's bytes.
    spec.slotOf = [](const QByteArray& image) {
        const int cashier = quint8(image[0]), key = quint8(image[1]);
        const bool valid = cashier >= 1 && cashier <= 10 && key >= 1 && key <= 10;
        return valid ? (cashier - 1) * layout::QuickKeysPerCashier + key : 0;
    };
    return readImages(link, ui, spec, layout::QuickKeys.count);
}

} // namespace wholereg

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class Link;
class TransferUi;

// The register's tables that no form reads into the database: the VAT rates and the quick
// keys, each a run of frames.
namespace wholereg {

struct ImagesRead {
    enum class End {
        Whole,    // every frame came (or the register holds none)
        Declined, // the register answered the request with a status or error of its own
        Failed,   // the line broke, or the person stopped the read
    };
    End end = End::Failed;
    int received = 0;
    QList<QByteArray> images; // slot n at n - 1; all zero where nothing came
};

// The seven rates as one 21-byte image.
ImagesRead readVatRates(Link& link, TransferUi& ui);
// The hundred keys (cashier c, key k at slot 10(c - 1) + k), each as its 34-byte record.
ImagesRead readQuickKeys(Link& link, TransferUi& ui);

} // namespace wholereg

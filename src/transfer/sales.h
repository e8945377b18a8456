#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

class Link;
class TransferUi;

// The register's per-article sales records and the group turnover.
namespace transfer {

// Sales record as the register sends it in a 62-byte answer frame (53 data bytes):
//   0-1 article number (u16, 1..2000), 2-43 name (cp1250, 0-padded), 44 VAT letter,
//   45-48 quantity (i32, ten-thousandths), 49-52 value (i32, grosze).
struct SalesRecord {
    int number = 0;
    QString name;
    QChar vat;
    qint32 quantity = 0;
    qint32 value = 0;
};
constexpr int kSalesRecordSize = 53;
constexpr int kSalesFrameSize = 62;
constexpr int kSalesArticles = 2000;

SalesRecord decodeSalesRecord(QByteArrayView data);

// One slot per article, article n at index n - 1; empty slots have number 0.
class SalesBuffer {
public:
    SalesBuffer() : m_records(kSalesArticles) {}
    void clear();
    // False (and nothing stored) for an article number outside 1..2000.
    bool store(const SalesRecord& record);
    const std::vector<SalesRecord>& records() const { return m_records; }
    int usedCount() const;

private:
    std::vector<SalesRecord> m_records;
};

// "  12. Mleko" padded to 48 characters, " A", the quantity right-aligned in 12 and the
// value right-aligned in 10, each after a space.
QString salesListLine(const SalesRecord& record);
// The lines of every used slot, in article order.
QStringList salesList(const SalesBuffer& buffer);
// The CSV file: "Numer;Nazwa;PTU;Ilość;Wartość;" then one line a record
// ("12;Mleko;A;1,5000;19,99"), every line ended by a line feed, cp1250.
QByteArray salesCsv(const SalesBuffer& buffer);
// Writes the CSV file whole (created or replaced); false when it cannot be written, and then
// a file that was there before is left as it was.
bool writeSalesCsv(const QString& path, const SalesBuffer& buffer);

struct SalesDownload {
    int received = 0;      // records stored
    bool stopped = false;  // the user stopped the transfer
    bool complete = false; // every record came, over every pass the line's damage needed
    int reread = 0;        // records that came only when the sales were asked for again
    // "Odczytano ponownie 3 ramki." when the line's damage made the read ask again.
    QString rereadText() const;
};

// Clears the buffer, drains the line and sends the "X" request (non-zero records only) or
// "Y" (all records), then reads 62-byte frames into the buffer until the last one or a stop
// asked through `ui` (the register is told with acknowledgement 4). Frames that fail their
// check are asked for again in further passes (tableread); a read that still misses records
// names them. The buffer holds what came. Progress is the count so far.
SalesDownload downloadSales(Link& link, TransferUi& ui, SalesBuffer& buffer, bool nonZeroOnly);

// The question asked before the register's sales are cleared.
QString clearSalesQuestion();
// Asks first; on Yes sends the clear sales command (always to address 1) and waits for the
// confirmation: "Sprzedaż skasowana" and true when accepted. `askFirst` false is for callers
// that asked already (the command line's --yes).
bool clearRegisterSales(Link& link, TransferUi& ui, bool askFirst = true);

// Group turnover frame data (83 bytes): month (0 = empty month), year (u16), 20 turnovers
// (u32, grosze). A month gives 22 lines: "Obrót w miesiącu 3-2015", 20 group lines, " ".
QStringList turnoverLines(QByteArrayView data);

struct TurnoverRead {
    QStringList lines;
    int frames = 0;       // frames received (months, empty ones included)
    bool ok = false;      // every month came, over every pass the line's damage needed
    bool stopped = false; // the user stopped the transfer before the last frame
    int reread = 0;       // months that came only when the turnover was asked for again
    QString rereadText() const;
};
// Sends the turnover request (code 6, 0x8001, parameter 0) and reads 92-byte frames until the
// last one or a stop asked through `ui` (acknowledgement 4). Frames that fail their check are
// asked for again in further passes (tableread), months known by their place in the
// transfer. A read that ends on an error or empty answer shows "Wystapił błąd transmisji"
// after the link's message. The lines are those of the months that came, in order. Progress
// is the count of frames so far.
TurnoverRead readGroupTurnover(Link& link, TransferUi& ui);

} // namespace transfer

#include "sales.h"

#include "common/transferrun.h"

#include "common/amount.h"
#include "common/cp1250.h"
#include "common/csvquote.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/frame.h"
#include "link/link.h"
#include "link/tableread.h"

#include <QSaveFile>

namespace transfer {

namespace {

qint32 i32(QByteArrayView b, int at)
{
    return qint32(quint32(quint8(b[at])) | (quint32(quint8(b[at + 1])) << 8) |
                  (quint32(quint8(b[at + 2])) << 16) | (quint32(quint8(b[at + 3])) << 24));
}

} // namespace

SalesRecord decodeSalesRecord(QByteArrayView data)
{
    SalesRecord r;
    if (data.size() < kSalesRecordSize)
        return r;
    r.number = frame::u16(data, 0);
    r.name = cp1250::readField(data.sliced(2, 42));
    const QString vat = cp1250::decode(data.sliced(44, 1));
    r.vat = vat.isEmpty() ? QChar() : vat.front();
    r.quantity = i32(data, 45);
    r.value = i32(data, 49);
    return r;
}

void SalesBuffer::clear()
{
    std::fill(m_records.begin(), m_records.end(), SalesRecord{});
}

bool SalesBuffer::store(const SalesRecord& record)
{
    if (record.number < 1 || record.number > kSalesArticles)
        return false;
    m_records[size_t(record.number - 1)] = record;
    return true;
}

int SalesBuffer::usedCount() const
{
    return int(std::count_if(m_records.begin(), m_records.end(),
                             [](const SalesRecord& r) { return r.number != 0; }));
}

QString salesListLine(const SalesRecord& r)
{
    const QString number = QString::number(r.number) + QStringLiteral(". ");
    QString line = number.rightJustified(6, u' ') + r.name;
    line = line.leftJustified(48, u' ');
    line += QLatin1Char(' ') + r.vat + QLatin1Char(' ');
    line += amount::quantityText(r.quantity).rightJustified(12, u' ');
    line += QLatin1Char(' ') + amount::text(r.value).rightJustified(10, u' ');
    return line;
}

QStringList salesList(const SalesBuffer& buffer)
{
    QStringList lines;
    for (const SalesRecord& r : buffer.records())
        if (r.number != 0)
            lines << salesListLine(r);
    return lines;
}

QByteArray salesCsv(const SalesBuffer& buffer)
{
    QString text = QStringLiteral("Numer;Nazwa;PTU;Ilość;Wartość;\n");
    for (const SalesRecord& r : buffer.records()) {
        if (r.number == 0)
            continue;
        // A name holding ";" or a quote is quoted, so that the columns stay where they are.
        text += QString::number(r.number) + QLatin1Char(';') + csv::quoted(r.name) +
                QLatin1Char(';') + r.vat + QLatin1Char(';') + amount::quantityText(r.quantity) +
                QLatin1Char(';') + amount::text(r.value) + QLatin1Char('\n');
    }
    return cp1250::encode(text);
}

bool writeSalesCsv(const QString& path, const SalesBuffer& buffer)
{
    // Written beside the old file and put in its place only when whole: a failed export
    // leaves the file that was there as it was.
    const QByteArray bytes = salesCsv(buffer);
    QSaveFile f(path);
    // Unbuffered, so that a write cut short (a full disk) is seen here; not committed, the
    // new file goes with `f`.
    return f.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && f.write(bytes) == bytes.size() &&
           f.commit();
}

SalesDownload downloadSales(Link& link, TransferUi& caller, SalesBuffer& buffer, bool nonZeroOnly)
{
    TransferRun ui(caller);
    SalesDownload result;
    buffer.clear();
    ui.progress(0, 0);
    // Reading the sales changes nothing in the register, so the records can be asked for
    // again where the line damaged some (clearing them is a command of its own).
    tableread::Request request;
    request.code = nonZeroOnly ? 'X' : 'Y';
    request.sequence = frame::Single;
    request.frameLength = kSalesFrameSize;
    request.maxRecord = kSalesArticles;
    request.recordOf = [](QByteArrayView data) { return int(frame::u16(data, 0)); };
    const tableread::Result read = tableread::read(link, ui, request);
    for (const auto& entry : read.records)
        if (buffer.store(decodeSalesRecord(entry.second)))
            ++result.received;
    result.stopped = read.end == tableread::End::Stopped;
    result.complete = read.whole();
    result.reread = read.reread;
    return result;
}

QString SalesDownload::rereadText() const
{
    return tableread::rereadText(reread);
}

QString TurnoverRead::rereadText() const
{
    return tableread::rereadText(reread);
}

QString clearSalesQuestion()
{
    return QStringLiteral("Czy na pewno skasować sprzedaż zapisaną w kasie?");
}

bool clearRegisterSales(Link& link, TransferUi& ui, bool askFirst)
{
    if (askFirst && ui.ask(clearSalesQuestion(), TransferUi::Buttons::YesNo,
                           TransferUi::Icon::Warning) != TransferUi::Answer::Yes)
        return false;
    link.drainInput(ui);
    if (link.sendBytes(ui, commands::clearSales(frame::Single)) != 0)
        return false;
    if (!answers::confirmed(answers::confirmationWait(link, ui)))
        return false;
    ui.showMessage(QStringLiteral("Sprzedaż skasowana"));
    return true;
}

QStringList turnoverLines(QByteArrayView data)
{
    QStringList lines;
    if (data.size() < 83 || data[0] == 0)
        return lines;
    lines << QStringLiteral("Obrót w miesiącu ") + QString::number(quint8(data[0])) +
                 QLatin1Char('-') + QString::number(frame::u16(data, 1));
    for (int k = 1; k <= 20; ++k)
        lines << QStringLiteral("Grupa towarowa nr. ") + QString::number(k) + QStringLiteral(": ") +
                     amount::text(i32(data, 3 + (k - 1) * 4));
    lines << QStringLiteral(" ");
    return lines;
}

TurnoverRead readGroupTurnover(Link& link, TransferUi& caller)
{
    TransferRun ui(caller);
    // The register sends every month it keeps, empty ones included: a frame's place in the
    // transfer is its month's number.
    tableread::Request request;
    request.code = 6;
    request.sequence = frame::Single;
    request.frameLength = 92;
    const tableread::Result read = tableread::read(link, ui, request);
    TurnoverRead result;
    for (const auto& entry : read.records)
        result.lines += turnoverLines(QByteArrayView(entry.second).first(83));
    result.frames = int(read.records.size());
    result.stopped = read.end == tableread::End::Stopped;
    result.ok = read.whole();
    result.reread = read.reread;
    // An error or empty answer: the form's own word after the link's.
    const bool failed = read.end == tableread::End::Missing || read.end == tableread::End::Failed;
    if (read.requestSent && (read.end == tableread::End::Empty || (failed && read.broken)))
        ui.showMessage(QStringLiteral("Wystapił błąd transmisji"), TransferUi::Icon::Error);
    return result;
}

} // namespace transfer

// What the computer downloads: sales records ("X" the articles that sold, "Y" all), the
// group turnover (code 6, 11 bytes), the information data ("I"), the copy (code 1) and the
// cache memory (":").
#include "registermodel.h"

#include "common/cp1250.h"
#include "registermodel_p.h"

namespace emu {

QList<Reply> RegisterModel::readSales(const Request& r)
{
    QList<QByteArray> records;
    for (const QByteArray& img : m_tables[Articles]) {
        if (img[0] == 0 && img[1] == 0)
            continue;
        const bool sold = !isZero(QByteArrayView(img).sliced(49, 8));
        if (r.command == 'X' && !sold)
            continue;
        records.append(img.left(45) + img.mid(49, 8)); // number, name, VAT, quantity, value
    }
    if (records.isEmpty() && r.command == 'X' && usedRecords(Articles) > 0)
        return {Reply{statusFrame(m_address, kStatusZeroSales)}};
    return startRead(r.command, records);
}

QList<Reply> RegisterModel::readGroupTurnover(const Request&)
{
    return startRead(6, m_turnover);
}

QList<Reply> RegisterModel::readInformation(const Request&)
{
    return {Reply{makeFrame(m_address, 0x8001, 'I', informationData()), m_recordDelayMs}};
}

QList<Reply> RegisterModel::dumpCache(const Request&)
{
    // The cache memory in frames of 256 bytes, the last one padded with zeros.
    QList<QByteArray> frames;
    for (qsizetype at = 0; at < m_cache.size(); at += 256) {
        QByteArray chunk = m_cache.mid(at, 256);
        chunk.append(QByteArray(256 - chunk.size(), '\0'));
        frames.append(chunk);
    }
    return startRead(':', frames);
}

QList<Reply> RegisterModel::copyRead(const Request& r)
{
    // 0 query kind 1-4, 1-13 what the kind asks for, 14 handling: 1 print, 2 send.
    const QByteArrayView data = r.data;
    const int kind = uint8_t(data[0]);
    const int handling = uint8_t(data[14]);
    if (kind < 1 || kind > 4 || handling < 1 || handling > 2)
        return error(ErrQueryCode);
    if (kind == 2) {
        const int first = u16At(data, 1), last = u16At(data, 7);
        if (first < 1 || first > 2000 || last < 1 || last > 2000)
            return error(ErrReportNumbers);
    }
    if (kind != 1 && kind != 4 && (uint8_t(data[13]) < 1 || uint8_t(data[13]) > 2))
        return error(ErrQueryCode);
    if (handling == 1) {
        ++m_reportsPrinted;
        return ack(r.seq);
    }
    // Sent to the computer as plain text in chunks, a zero byte at the very end.
    QByteArray text = m_copyText;
    if (kind == 4)
        text = cp1250::encode(QStringLiteral("PAMIĘĆ PODRĘCZNA %1 B\n").arg(m_cache.size()));
    text.append('\0');
    m_copyChunks.clear();
    for (qsizetype at = 0; at < text.size(); at += kCopyChunk)
        m_copyChunks.append(text.mid(at, kCopyChunk));
    return {Reply{m_copyChunks.takeFirst(), m_recordDelayMs}};
}

void RegisterModel::setInformation(const QByteArray& bisLayout)
{
    m_info = bisLayout.left(115);
    m_info.append(QByteArray(115 - m_info.size(), '\0'));
}

QByteArray RegisterModel::informationData() const
{
    QByteArray d = m_info;
    if (!m_nip.isEmpty())
        cp1250::putField(d, 24, m_nip, 17);
    d[67] = char(m_header[252] != 0); // header programmed
    d[69] = char(m_address);          // register number
    cp1250::putField(d, 70, cp1250::readField(QByteArrayView(m_tables[Cashiers][0]).sliced(1, 21)),
                     20);
    if (m_model == Model::DunoBis)
        return d;
    // DUNO: a NIP of 10 bytes, everything behind it 7 bytes earlier, no card size.
    return d.left(24) + d.mid(24, 10) + d.mid(41, 72);
}

} // namespace emu

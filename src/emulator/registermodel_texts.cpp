// VAT rates ("P"), receipt header ("N") and footer ("D"), units ("q" to set, "J" to read),
// the halo table ("L"), quick keys ("S"), the quick sales-function key ("X", 14 bytes) and
// the function keys ("O").
#include "registermodel.h"

#include "registermodel_p.h"

#include <algorithm>

namespace emu {

namespace {

// The header block: six lines of 42 bytes, the line count, six tall-line flags. Returns
// the device error for a block the register refuses, or -1.
int headerError(QByteArrayView block)
{
    const int count = uint8_t(block[252]);
    if (count > 6)
        return ErrHeaderLines;
    for (int i = count * 42; i < 252; ++i)
        if (block[i] != 0)
            return ErrHeaderLines;
    for (int i = 253; i < 259; ++i)
        if (uint8_t(block[i]) > 1)
            return ErrHeaderTall;
    // Printed characters: the padding spaces and the large-character markers do not count.
    const auto printed = std::count_if(block.begin(), block.begin() + 252,
                                       [](char c) { return c != 0 && c != ' ' && c != 1; });
    return printed > 240 ? int(ErrHeaderLength) : -1;
}

} // namespace

QByteArray RegisterModel::quickKey(int cashier, int key) const
{
    return m_quickKeys.mid(((cashier - 1) * 10 + (key - 1)) * 32, 32);
}

QList<Reply> RegisterModel::readVatRates(const Request&)
{
    return startRead('P', {m_vat});
}

QList<Reply> RegisterModel::programVatRates(const Request& r)
{
    // Seven times: the letter A to G and the rate in hundredths of a percent, 0xFFFE for
    // an inactive rate, 0xFFFF for the exempt one.
    for (int i = 0; i < 7; ++i) {
        const uint16_t rate = u16At(r.data, i * 3 + 1);
        if (r.data[i * 3] != char('A' + i))
            return error(ErrVat);
        if (rate > 9999 && rate != 0xFFFE && rate != 0xFFFF)
            return error(ErrVatValue);
    }
    m_vat = r.data.first(21).toByteArray();
    return ack(r.seq);
}

QList<Reply> RegisterModel::readHeader(const Request&)
{
    return startRead('N', {m_header});
}

QList<Reply> RegisterModel::programHeader(const Request& r)
{
    if (const int code = headerError(r.data); code >= 0)
        return error(uint8_t(code));
    m_header = r.data.first(259).toByteArray();
    return ack(r.seq);
}

QList<Reply> RegisterModel::programFooter(const Request& r)
{
    m_footer = r.data.first(130).toByteArray();
    return ack(r.seq);
}

QList<Reply> RegisterModel::readUnits(const Request&)
{
    return startRead('J', {m_units});
}

QList<Reply> RegisterModel::programUnits(const Request& r)
{
    m_units = r.data.first(9).toByteArray();
    return ack(r.seq);
}

QList<Reply> RegisterModel::programHalo(const Request& r)
{
    m_halo = r.data.first(36).toByteArray();
    return ack(r.seq);
}

QList<Reply> RegisterModel::readQuickKeys(const Request&)
{
    // One frame for each key that is set: cashier, key, then the key's 32 bytes.
    QList<QByteArray> keys;
    for (int c = 1; c <= 10; ++c)
        for (int k = 1; k <= 10; ++k) {
            const QByteArray key = quickKey(c, k);
            if (!isZero(key))
                keys.append(QByteArray(1, char(c)) + char(k) + key);
        }
    return startRead('S', keys);
}

QList<Reply> RegisterModel::programQuickKey(const Request& r)
{
    const int c = uint8_t(r.data[0]), k = uint8_t(r.data[1]);
    if (c < 1 || c > 10)
        return error(ErrCashierNumber);
    if (k < 1 || k > 10)
        return error(ErrKey);
    m_quickKeys.replace(((c - 1) * 10 + (k - 1)) * 32, 32, r.data.sliced(2, 32).toByteArray());
    return ack(r.seq);
}

QList<Reply> RegisterModel::setSalesFunctionKey(const Request& r)
{
    // 0 cashier 1-10, then the key, function, kind and record the register does not keep.
    if (uint8_t(r.data[0]) < 1 || uint8_t(r.data[0]) > 10)
        return error(ErrCashierNumber);
    return ack(r.seq);
}

QList<Reply> RegisterModel::setFunctionKey(const Request& r)
{
    // 0 cashier 1-10, 1 key 1-10, 2 function code; the register does not keep it.
    if (uint8_t(r.data[0]) < 1 || uint8_t(r.data[0]) > 10)
        return error(ErrCashierNumber);
    if (uint8_t(r.data[1]) < 1 || uint8_t(r.data[1]) > 10)
        return error(ErrKey);
    return ack(r.seq);
}

} // namespace emu

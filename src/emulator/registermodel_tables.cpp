// The small tables: cashiers ("K"), discounts ("R"), payment forms ("F"), currencies ("W"),
// product groups ("G") and packaging ("Z"), their deletions ("1" to "6"), the accounting
// currency change ("E"), and the table read every table shares, articles included.
#include "registermodel.h"

#include "registermodel_p.h"

#include <iterator>

namespace emu {

QList<Reply> RegisterModel::readTable(const Request& r)
{
    // Every record in use, one frame each, in the register's own image.
    const auto* code = std::find(std::begin(kReadCodes), std::end(kReadCodes), r.command);
    QList<QByteArray> frames;
    for (const QByteArray& img : m_tables[code - std::begin(kReadCodes)])
        if (img[0] != 0 || img[1] != 0)
            frames.append(img);
    return startRead(r.command, frames);
}

QList<Reply> RegisterModel::programCashier(const Request& r)
{
    // 0 number, 1-21 name, 22-25 password, 26-32 the seven rights (0 or 1, refused with
    // device errors 20 to 26); the image keeps the rights at 224 and two times behind them.
    const QByteArrayView data = r.data;
    const int n = uint8_t(data[0]);
    if (n < 1 || n > 20)
        return error(ErrCashierNumber);
    for (int i = 26; i <= 32; ++i)
        if (uint8_t(data[i]) > 1)
            return error(uint8_t(20 + (i - 26)));
    if (findName(Cashiers, trimmedName(data.sliced(1, 21)), n))
        return error(ErrCashierName);
    QByteArray& img = slot(Cashiers, n);
    if (img[0] == 0) {
        img.fill('\0');
        putNever(img, 231);
        putNever(img, 237);
    }
    img.replace(0, 26, data.first(26).toByteArray());
    img.replace(224, 7, data.sliced(26, 7).toByteArray());
    return ack(r.seq);
}

QList<Reply> RegisterModel::programDiscount(const Request& r)
{
    // 0 number, 1-21 name, 22 kind (discount, mark-up), 23 type (0 percent), 24-27 value.
    const QByteArrayView data = r.data;
    const int n = uint8_t(data[0]);
    if (n < 1 || n > 20)
        return error(ErrDiscountNumber);
    if (uint8_t(data[22]) > 1)
        return error(ErrDiscountKind);
    if (uint8_t(data[23]) > 1)
        return error(ErrDiscountType);
    if (data[23] == 0 && u32At(data, 24) > 9999)
        return error(ErrDiscountValue);
    slot(Discounts, n).replace(0, 28, data.first(28).toByteArray());
    return ack(r.seq);
}

QList<Reply> RegisterModel::programPaymentForm(const Request& r)
{
    // 0 number, 1-21 name, 22 type; the image keeps the turnover at 22 and the type at 26.
    const QByteArrayView data = r.data;
    const int n = uint8_t(data[0]);
    if (n < 1 || n > 10)
        return error(ErrPaymentNumber);
    if (findName(PaymentForms, trimmedName(data.sliced(1, 21)), n))
        return error(ErrPaymentName);
    if (uint8_t(data[22]) > 5)
        return error(ErrPaymentKind);
    slot(PaymentForms, n).replace(0, 22, data.first(22).toByteArray());
    slot(PaymentForms, n)[26] = data[22];
    return ack(r.seq);
}

QList<Reply> RegisterModel::programCurrency(const Request& r)
{
    // 0 number, 1-21 name, 22-29 the rest of the record; the image keeps the turnover at 22.
    const QByteArrayView data = r.data;
    const int n = uint8_t(data[0]);
    if (n < 1 || n > 10)
        return error(ErrCurrencyNumber);
    if (findName(Currencies, trimmedName(data.sliced(1, 21)), n))
        return error(ErrCurrencyName);
    // The symbol (record bytes 27-29, image bytes 31-33) may not be empty or repeat the
    // symbol of another currency.
    const QByteArray symbol = data.sliced(27, 3).toByteArray().replace('\0', ' ');
    if (symbol.trimmed().isEmpty())
        return error(ErrCurrencySymbol);
    for (int i = 1; i <= recordCount(Currencies); ++i) {
        const QByteArray& other = m_tables[Currencies][i - 1];
        if (i != n && other[0] != 0 && other.mid(31, 3).replace('\0', ' ') == symbol)
            return error(ErrCurrencySymbol);
    }
    slot(Currencies, n).replace(0, 22, data.first(22).toByteArray());
    slot(Currencies, n).replace(26, 8, data.sliced(22, 8).toByteArray());
    return ack(r.seq);
}

QList<Reply> RegisterModel::programGroup(const Request& r)
{
    // 0 number, 1-20 name (the record's last byte does not travel).
    const QByteArrayView data = r.data;
    const int n = uint8_t(data[0]);
    if (n < 1 || n > 20)
        return error(ErrGroup);
    if (findName(Groups, trimmedName(data.sliced(1, 20)), n))
        return error(ErrGroupName);
    slot(Groups, n).replace(0, 21, data.first(21).toByteArray());
    return ack(r.seq);
}

QList<Reply> RegisterModel::programPackaging(const Request& r)
{
    // 0 number, 1-42 name, 43-46 price, 47 price change allowed (kept at 65 in the image).
    const QByteArrayView data = r.data;
    const int n = uint8_t(data[0]);
    if (n < 1 || n > 20)
        return error(ErrPackagingNumber);
    if (findName(Packaging, trimmedName(data.sliced(1, 42)), n))
        return error(ErrPackagingName);
    QByteArray& img = slot(Packaging, n);
    if (img[0] == 0) {
        img.fill('\0');
        putNever(img, 55);
    }
    img.replace(0, 47, data.first(47).toByteArray());
    img[65] = data[47];
    return ack(r.seq);
}

QList<Reply> RegisterModel::deleteRecord(const Request& r)
{
    // The deletion codes "1" to "6", their tables and the width of the name they carry.
    struct Deletion {
        uint8_t code;
        Table table;
        int nameWidth;
    };
    static constexpr Deletion deletions[] = {{'1', Discounts, 21},    {'2', Cashiers, 16},
                                             {'3', PaymentForms, 22}, {'4', Currencies, 23},
                                             {'5', Packaging, 43},    {'6', Groups, 21}};
    const Deletion* d = std::find_if(std::begin(deletions), std::end(deletions),
                                     [&](const Deletion& x) { return x.code == r.command; });
    uint8_t refusal = 0;
    const int n = recordToDelete(d->table, r.data, d->nameWidth, refusal);
    if (n == 0)
        return error(refusal);
    QByteArray& img = slot(d->table, n);
    // A record that still carries turnover stays, and so do the manager and the base group.
    switch (d->table) {
    case Cashiers:
        if (n == 1)
            return error(ErrManager);
        if (!isZero(QByteArrayView(img).sliced(26, 8)))
            return error(ErrCashierTakings);
        break;
    case PaymentForms:
        if (!isZero(QByteArrayView(img).sliced(22, 4)))
            return error(ErrPaymentTurnover);
        break;
    case Currencies:
        if (!isZero(QByteArrayView(img).sliced(22, 4)))
            return error(ErrCurrencyTurnover);
        break;
    case Packaging:
        if (!isZero(QByteArrayView(img).sliced(47, 8)))
            return error(ErrPackagingTurnover);
        break;
    case Groups:
        if (n == 1)
            return error(ErrBaseGroup);
        if (!isZero(QByteArrayView(img).sliced(22, 4)))
            return error(ErrGroupTurnover);
        for (const QByteArray& a : m_tables[Articles])
            if ((a[0] != 0 || a[1] != 0) && uint8_t(a[70]) == n)
                return error(ErrGroupTurnover);
        break;
    default:
        break;
    }
    img.fill('\0');
    return ack(r.seq);
}

QList<Reply> RegisterModel::changeCurrency(const Request& r)
{
    // 0-3 rate mantissa, 4 decimals, 5-7 symbol, 8 nominal, 9 print-converter flag,
    // 10-11 year, 12 month, 13 day of the change
    const QByteArrayView data = r.data;
    const QByteArray symbol = data.sliced(5, 3).toByteArray();
    if (symbol.trimmed().size() != 3 || symbol.contains('\0'))
        return error(ErrCurrencySymbol);
    const int year = u16At(data, 10), month = uint8_t(data[12]), day = uint8_t(data[13]);
    if (year < 2000 || year > 2099)
        return error(ErrYear);
    if (month < 1 || month > 12)
        return error(ErrMonth);
    if (day < 1 || day > daysIn(month, year))
        return error(ErrDay);
    // The change may not lie before the day the current currency was programmed.
    const int since = (uint8_t(m_info[94]) * 100 + uint8_t(m_info[95])) * 10000 +
                      uint8_t(m_info[96]) * 100 + uint8_t(m_info[97]);
    if (year * 10000 + month * 100 + day < since)
        return error(ErrBackDate);
    m_info[100] = 1;
    m_info.replace(101, 3, symbol);
    const char when[6] = {char(year / 100), char(year % 100), char(month), char(day), 0, 0};
    m_info.replace(104, 6, QByteArray(when, 6));
    return ack(r.seq);
}

} // namespace emu

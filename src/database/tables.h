#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// Where each table lies in the register database: a run of fixed-size records numbered from 1,
// record n at base + (n - 1) * recordSize. Blocks that are written whole (the receipt header
// and footer, the report set) are tables of one record.
struct TableLayout {
    qint64 base;    // first byte
    int recordSize; // record size in bytes
    int count;      // number of records

    // The first byte of record `number` (1-based). Callers keep the number in range.
    constexpr qint64 offsetOf(int number) const { return base + qint64(number - 1) * recordSize; }
    // The bytes of the whole table.
    constexpr int bytes() const { return recordSize * count; }
    // One past the last byte.
    constexpr qint64 end() const { return base + bytes(); }
    // The bytes of record `number` inside a view of the whole table.
    QByteArrayView record(QByteArrayView table, int number) const
    {
        return table.sliced(qsizetype(number - 1) * recordSize, recordSize);
    }
};

// The table directory of the register database (version 2). The offsets are the format:
// the file has no directory, length field or checksum of its own.
namespace layout {

inline constexpr qint64 FileSize = 205000;    // a saved database file
inline constexpr qint64 CreatedSize = 200021; // a working copy just created
inline constexpr qint64 MagicSize = 16;
inline constexpr char MagicV2[] = "VORN_DUNO_V_2_00";
inline constexpr char MagicV1[] = "VORN_DUNO_V_1_00";

inline constexpr TableLayout Articles{5000, 68, 2000};     // 5000..140999
inline constexpr TableLayout Discounts{141000, 28, 20};    // 141000..141559
inline constexpr TableLayout Cashiers{141560, 33, 20};     // 141560..142219
inline constexpr TableLayout PaymentForms{142220, 23, 20}; // 142220..142679
inline constexpr TableLayout Currencies{142680, 30, 20};   // 142680..143279
inline constexpr TableLayout VatRates{143280, 3, 7};       // rates A..G, 143280..143300
// 10 reserve bytes after the VAT rates.
inline constexpr TableLayout Packaging{143311, 48, 20}; // 143311..144270
inline constexpr TableLayout Header{144271, 259, 1};    // 6 x 42 text, count, 6 attributes
inline constexpr TableLayout Groups{144573, 22, 20};    // 144573..145012
inline constexpr TableLayout ReportSet{145013, 19, 1};  // one byte per report
inline constexpr TableLayout CurrencyFieldCreation{145032, 3, 1}; // symbol written at creation
inline constexpr TableLayout CurrencyFieldChange{145037, 3, 1};   // symbol written by the change
inline constexpr TableLayout QuickKeys{145060, 34, 100};          // 10 cashiers x 10 keys, ..148459
inline constexpr TableLayout Footer{148560, 130, 1}; // 3 x 42 text, count, 3 attributes
inline constexpr TableLayout Halo{149060, 4, 10};    // ten 32-bit amounts, ..149099

inline constexpr int QuickKeysPerCashier = 10;

// Key k (1..10) of cashier c (1..10) is record (c - 1) x 10 + k of the quick key table, at
// 145060 + (c - 1) x 340 + (k - 1) x 34.
constexpr int quickKeyNumber(int cashier, int key)
{
    return (cashier - 1) * QuickKeysPerCashier + key;
}
constexpr qint64 quickKeyOffset(int cashier, int key)
{
    return QuickKeys.offsetOf(quickKeyNumber(cashier, key));
}

// Version 1: 67-byte article records at 5000, every later table 2000 bytes lower.
inline constexpr int V1ArticleSize = 67;
inline constexpr qint64 V1ArticleEnd = Articles.base + qint64(V1ArticleSize) * Articles.count;
inline constexpr qint64 V1Shift = Articles.count; // one byte per article record

static_assert(Articles.end() == Discounts.base);
static_assert(Discounts.end() == Cashiers.base);
static_assert(VatRates.end() + 10 == Packaging.base);
static_assert(quickKeyOffset(10, 10) + QuickKeys.recordSize - 1 == 148459);
static_assert(Halo.end() <= CreatedSize);
static_assert(V1ArticleEnd == 139000);

} // namespace layout

#pragma once

#include <QtGlobal>

// The table directory of the register database (version 2). The offsets are the format:
// the file has no directory, length field or checksum of its own.
namespace dbLayout {

struct Table {
    qint64 base; // first byte
    int size;    // record size in bytes
    int count;   // number of records (numbered from 1)
    constexpr qint64 end() const { return base + qint64(size) * count; } // one past the last byte
};

inline constexpr qint64 FileSize = 205000;    // a saved database file
inline constexpr qint64 CreatedSize = 200021; // a working copy just created
inline constexpr qint64 MagicSize = 16;
inline constexpr char MagicV2[] = "VORN_DUNO_V_2_00";
inline constexpr char MagicV1[] = "VORN_DUNO_V_1_00";

inline constexpr Table ArticleTable{5000, 68, 2000};     // 5000..140999
inline constexpr Table DiscountTable{141000, 28, 20};    // 141000..141559
inline constexpr Table CashierTable{141560, 33, 20};     // 141560..142219
inline constexpr Table PaymentFormTable{142220, 23, 20}; // 142220..142679
inline constexpr Table CurrencyTable{142680, 30, 20};    // 142680..143279
inline constexpr Table VatTable{143280, 3, 7};           // rates A..G, 143280..143300
inline constexpr Table PackagingTable{143311, 48, 20};   // 143311..144270 (10 reserve bytes before)
inline constexpr Table HeaderBlock{144271, 259, 1};      // 6 x 42 text, line count, 6 attributes
inline constexpr Table GroupTable{144573, 22, 20};       // 144573..145012
inline constexpr Table ReportSetBlock{145013, 19, 1};    // one byte per report
inline constexpr Table CurrencyFieldCreation{145032, 3, 1}; // symbol written at creation
inline constexpr Table CurrencyFieldChange{145037, 3, 1};   // symbol written by the change
inline constexpr Table QuickKeyTable{145060, 34, 100};      // 10 cashiers x 10 keys, ..148459
inline constexpr Table FooterBlock{148560, 130, 1};         // 3 x 42 text, line count, 3 attributes
inline constexpr Table HaloTable{149060, 4, 10};            // ten 32-bit amounts, ..149099

inline constexpr int QuickKeysPerCashier = 10;

// Record n (1-based) of a table: base + (n - 1) x size. Callers keep n in range.
constexpr qint64 recordOffset(const Table& table, int n)
{
    return table.base + qint64(n - 1) * table.size;
}

// Key k (1..10) of cashier c (1..10): 145060 + (c - 1) x 340 + (k - 1) x 34.
constexpr qint64 quickKeyOffset(int cashier, int key)
{
    return QuickKeyTable.base + qint64(cashier - 1) * QuickKeysPerCashier * QuickKeyTable.size +
           qint64(key - 1) * QuickKeyTable.size;
}

// Version 1: 67-byte article records at 5000, every later table 2000 bytes lower.
inline constexpr int V1ArticleSize = 67;
inline constexpr qint64 V1ArticleEnd =
    ArticleTable.base + qint64(V1ArticleSize) * ArticleTable.count;
inline constexpr qint64 V1Shift = ArticleTable.count; // one byte per article record

static_assert(ArticleTable.end() == DiscountTable.base);
static_assert(DiscountTable.end() == CashierTable.base);
static_assert(VatTable.end() + 10 == PackagingTable.base);
static_assert(quickKeyOffset(10, 10) + QuickKeyTable.size - 1 == 148459);
static_assert(HaloTable.end() <= CreatedSize);
static_assert(V1ArticleEnd == 139000);

} // namespace dbLayout

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include "database/tables.h"

// Where each table lies in the register database: a run of fixed-size records numbered from 1,
// record n at base + (n - 1) * recordSize.
struct TableLayout {
    qint64 base;
    int recordSize;
    int count;

    constexpr qint64 offsetOf(int number) const { return base + qint64(number - 1) * recordSize; }
    constexpr int bytes() const { return recordSize * count; }
    // The bytes of record `number` inside a view of the whole table.
    QByteArrayView record(QByteArrayView table, int number) const
    {
        return table.sliced(qsizetype(number - 1) * recordSize, recordSize);
    }
};

namespace layout {
// The same tables as the database's directory, with the helpers the record families use.
constexpr TableLayout from(const dbLayout::Table& t)
{
    return {t.base, t.size, t.count};
}
inline constexpr TableLayout Articles = from(dbLayout::ArticleTable);
inline constexpr TableLayout Discounts = from(dbLayout::DiscountTable);
inline constexpr TableLayout Cashiers = from(dbLayout::CashierTable);
inline constexpr TableLayout PaymentForms = from(dbLayout::PaymentFormTable);
inline constexpr TableLayout Currencies = from(dbLayout::CurrencyTable);
inline constexpr TableLayout VatRates = from(dbLayout::VatTable);
inline constexpr TableLayout Packaging = from(dbLayout::PackagingTable);
inline constexpr TableLayout Header = from(dbLayout::HeaderBlock);
inline constexpr TableLayout Groups = from(dbLayout::GroupTable);
inline constexpr TableLayout ReportSet = from(dbLayout::ReportSetBlock);
inline constexpr TableLayout QuickKeys = from(dbLayout::QuickKeyTable);
inline constexpr TableLayout Footer = from(dbLayout::FooterBlock);
inline constexpr TableLayout Halo = from(dbLayout::HaloTable);
inline constexpr qint64 AccountingCurrencyChange = dbLayout::CurrencyFieldChange.base;
} // namespace layout

// Load and store against the database stream: anything with readBytes(offset, count) and
// writeRecord(offset, bytes) (the register database, or a test double).
template <class Db> QByteArray readTable(Db& db, const TableLayout& table)
{
    return db.readBytes(table.base, table.bytes());
}
template <class Record, class Db> Record loadRecord(Db& db, const TableLayout& table, int number)
{
    return Record::decode(db.readBytes(table.offsetOf(number), table.recordSize));
}
template <class Record, class Db>
bool storeRecord(Db& db, const TableLayout& table, int number, const Record& record)
{
    return db.writeRecord(table.offsetOf(number), record.encode());
}
// Deleting a record writes zeros over all its bytes.
template <class Db> bool clearRecord(Db& db, const TableLayout& table, int number)
{
    return db.writeRecord(table.offsetOf(number), QByteArray(table.recordSize, '\0'));
}

// Little-endian integers inside a record.
namespace le {
inline quint16 u16(QByteArrayView b, int at)
{
    return quint16(quint8(b[at]) | (quint8(b[at + 1]) << 8));
}
inline qint32 i32(QByteArrayView b, int at)
{
    return qint32(quint32(quint8(b[at])) | (quint32(quint8(b[at + 1])) << 8) |
                  (quint32(quint8(b[at + 2])) << 16) | (quint32(quint8(b[at + 3])) << 24));
}
inline void put16(QByteArray& b, int at, quint16 v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}
inline void put32(QByteArray& b, int at, qint32 v)
{
    const quint32 u = quint32(v);
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((u >> (8 * i)) & 0xFF);
}
} // namespace le

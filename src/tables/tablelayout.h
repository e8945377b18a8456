#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

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
inline constexpr TableLayout Articles{5000, 68, 2000};
inline constexpr TableLayout Discounts{141000, 28, 20};
inline constexpr TableLayout Cashiers{141560, 33, 20};
inline constexpr TableLayout PaymentForms{142220, 23, 20};
inline constexpr TableLayout Currencies{142680, 30, 20};
inline constexpr TableLayout VatRates{143280, 3, 7};
inline constexpr TableLayout Packaging{143311, 48, 20};
inline constexpr TableLayout Header{144271, 259, 1};
inline constexpr TableLayout Groups{144573, 22, 20};
inline constexpr TableLayout ReportSet{145013, 19, 1};
inline constexpr TableLayout QuickKeys{145060, 34, 100};
inline constexpr TableLayout Footer{148560, 130, 1};
inline constexpr TableLayout Halo{149060, 4, 10};
inline constexpr qint64 AccountingCurrencyChange = 145037;
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

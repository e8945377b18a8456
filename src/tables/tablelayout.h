#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include "database/tables.h"

// The lowest record number 1..last whose byte 0 (the record's number) is zero, that is a free
// slot; 0 when all are used. Cashiers, payment forms and currencies use numbers 1..10 of their
// 20 slots, the other tables all of them.
inline int lowestFree(QByteArrayView table, const TableLayout& layout, int last)
{
    for (int n = 1; n <= last; ++n)
        if (layout.record(table, n)[0] == 0)
            return n;
    return 0;
}

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

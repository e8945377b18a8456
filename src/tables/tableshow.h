#pragma once

#include <QByteArrayView>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QStringList>

// The used records of one table of a whole database file, for "vduno db show". Table names:
// articles, cashiers, discounts, payments, currencies, vat, packaging, groups, header, footer,
// quickkeys, halo, reportset.
//
// Each record is described once, field by field: the field's key and typed value for JSON, and
// how the readable line shows it. Both outputs are built from that description.
namespace tableshow {

// One field of a record. `value` is typed: numbers as numbers, yes/no as booleans, "none" as
// null, choices as English identifiers; amounts are integers in hundredths (quantities in
// ten-thousandths) with the shown text beside them under "<key>Text". A shown field puts
// `before` and then `text` into the line; a hidden one is in the JSON only.
struct Field {
    QString key;
    QJsonValue value;
    bool shown = false;
    QString before;
    QString text;
};

struct Record {
    QList<Field> fields;

    QString line() const;
    QJsonObject object() const;
};

const QStringList& tableNames();
// False when the name is unknown or the file is too short for the table.
bool records(QByteArrayView database, const QString& table, QList<Record>& out);
// The records' readable lines.
bool lines(QByteArrayView database, const QString& table, QStringList& out);

} // namespace tableshow

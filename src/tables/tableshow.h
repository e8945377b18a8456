#pragma once

#include <QByteArrayView>
#include <QStringList>

// Readable lines of one table of a whole database file (used records only), for
// "vduno db show". Table names: articles, cashiers, discounts, payments, currencies, vat,
// packaging, groups, header, footer, quickkeys, halo, reportset.
namespace tableshow {
const QStringList& tableNames();
// False when the name is unknown or the file is too short for the table.
bool lines(QByteArrayView database, const QString& table, QStringList& out);
} // namespace tableshow

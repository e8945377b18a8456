#pragma once

#include "tables/tablelayout.h"
#include "tables/validation.h"

// One returnable packaging, 48 bytes: 0 number | 1 name (42, 0-padded) | 43 price (32-bit
// hundredths, > 0) | 47 price change allowed.
struct PackagingRecord {
    static constexpr int Size = layout::Packaging.recordSize;

    int number = 0;
    QString name;
    qint32 price = 0;
    bool priceChange = false;

    static PackagingRecord decode(QByteArrayView bytes);
    QByteArray encode() const;
    bool operator==(const PackagingRecord&) const = default;
};

struct PackagingInput {
    int number = 1; // the slot chosen in the list "1".."20"
    QString name, price;
};

// Field names: "Edit2" name, "Edit3" price. The price is cut to whole hundredths exactly as typed.
Validated<PackagingRecord> validatePackaging(const PackagingInput& in);

// Tandem bytes of the articles that name `packaging`; the article numbers affected.
QList<int> articlesWithTandem(QByteArrayView articleTable, int packaging);

// Deleting packaging `number` (1..20): the tandem byte of every article that names it is set
// to 0, then its 48 bytes are cleared. Returns the articles unlinked, -1 when a write failed.
template <class Db> int deletePackaging(Db& db, int number)
{
    if (number < 1 || number > layout::Packaging.count)
        return 0;
    QByteArray articles = readTable(db, layout::Articles);
    const QList<int> linked = articlesWithTandem(articles, number);
    for (int n : linked)
        articles[layout::Articles.recordSize * (n - 1) + 63] = 0;
    if (!linked.isEmpty() && !db.writeRecord(layout::Articles.base, articles))
        return -1;
    return clearRecord(db, layout::Packaging, number) ? int(linked.size()) : -1;
}

// The lines the tandem list shows: "n. name" of each linked article, or "Z opakowaniem nie są
// powiązane" / "żadne towary." when there is none.
QStringList tandemLines(QByteArrayView articleTable, int packaging);

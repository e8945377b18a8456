#pragma once

#include "tables/tablelayout.h"
#include "tables/validation.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// One article (PLU), 68 bytes:
//   0 number (16-bit) | 2 name (42, 0-padded) | 44 VAT letter | 45 price (32-bit, grosze)
//   49 barcode (13, "0"-padded on the left) | 62 group | 63 tandem | 64 fixed price
//   65 whole quantity | 66 halo index | 67 unit
struct ArticleRecord {
    static constexpr int Size = layout::Articles.recordSize;
    static constexpr int MaxPrice = 99999999;

    int number = 0;
    QString name;
    char vat = 'A';
    qint32 price = 0;
    QString barcode; // as stored: 13 characters with their leading zeros
    int group = 1;
    int tandem = 0;
    bool fixedPrice = false;
    bool wholeQuantity = true;
    int halo = 0;
    int unit = 0;

    // A slot is in use when either number byte is non-zero.
    static bool used(QByteArrayView bytes) { return bytes[0] != 0 || bytes[1] != 0; }
    static ArticleRecord decode(QByteArrayView bytes);
    QByteArray encode() const;
    bool operator==(const ArticleRecord&) const = default;
};

// The duplicate-name key: lower-case Polish letters become capitals, only "\", "/", ".", ",",
// digits, Latin letters and the Polish capitals are kept, the rest is upper-cased.
QString articleNameKey(const QString& name);

// Keys of the used slots, built once from the table and kept in step with each write, so the
// duplicate check does not go over 2000 records again for every addition.
class ArticleIndex {
public:
    ArticleIndex() = default;
    explicit ArticleIndex(QByteArrayView articleTable);
    void set(int number, const QString& name);
    void remove(int number);
    // The lowest slot other than `number` whose key equals `key`; 0 when there is none.
    int otherWithKey(const QString& key, int number) const;

private:
    std::vector<QString> m_keyOf = std::vector<QString>(2001);
    QHash<QString, QList<int>> m_slotsOf;
};

// The article form's fields as typed / chosen.
struct ArticleInput {
    QString number, name, price, barcode;
    int vatIndex = 0, groupIndex = 0, tandemIndex = 0, haloIndex = 0, unitIndex = 0;
    bool fixedPrice = false, wholeQuantity = true;
};

// Checks the fields in the form's order and builds the record. Field names: "Edit4" number,
// "Edit5" name, "Edit1" price.
Validated<ArticleRecord> validateArticle(const ArticleInput& in, const ArticleIndex& index);

// The first free article number at or after `fromNumber`'s slot (slot index = the typed
// number, so after article n the search starts at n + 1); 0 when none.
int nextFreeArticle(QByteArrayView articleTable, int typedNumber);

// A read-back image (82 bytes, 81 on DUNO) as the 68-byte record: bytes 0..48, the image's
// bytes 57..74 with spaces of the barcode made "0", then byte 81 (0 when absent).
QByteArray articleFromImage(QByteArrayView image);

// The grid row: "Nr", "Nazwa", "VAT", "Cena", "Kod kreskowy", "Grupa", "Tandem",
// "Cena sztywna", "Sprz. na sztuki", "HALO", "Jedn.".
QStringList articleGridRow(const ArticleRecord& r, QByteArrayView groupTable,
                           QByteArrayView packagingTable);

#pragma once

#include "tables/tablelayout.h"
#include "tables/validation.h"

// One discount or mark-up, 28 bytes: 0 number | 1 name (21, 0-padded) | 22 kind (0 "Rabat",
// 1 "Narzut") | 23 type (0 percentage, 1 amount) | 24 value (32-bit hundredths).
struct DiscountRecord {
    static constexpr int Size = layout::Discounts.recordSize;
    enum Kind { Discount = 0, Markup = 1 };
    enum Type { Percentage = 0, Amount = 1 };

    int number = 0;
    QString name;
    int kind = Discount;
    int type = Percentage;
    qint32 value = 0;

    static DiscountRecord decode(QByteArrayView bytes);
    QByteArray encode() const;
    bool operator==(const DiscountRecord&) const = default;
};

struct DiscountInput {
    QString number, name, value;
    int kind = DiscountRecord::Discount;   // "Rodzaj" index
    int type = DiscountRecord::Percentage; // "Typ" index
};

// Field names: "Edit1" number, "Edit2" name, "Edit3" value. Names are compared without their
// trailing spaces; saving a record again under its own number is allowed.
Validated<DiscountRecord> validateDiscount(const DiscountInput& in, QByteArrayView discountTable);

// Grid row: "Nr", "Nazwa", "Rodzaj", "Wartość" (amount text, spaces in front to 10), "Typ"
// ("%" or "PLN" – the accounting symbol).
QStringList discountGridRow(const DiscountRecord& r, const QString& currencySymbol);

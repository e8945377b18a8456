#pragma once

#include "tables/tablelayout.h"
#include "tables/validation.h"

// One foreign currency, 30 bytes: 0 number | 1 name (21, 0-padded) | 22 rate mantissa (32-bit)
// | 26 rate decimals | 27 symbol (3, space-padded). Rate = mantissa / 10^decimals.
struct CurrencyRecord {
    static constexpr int Size = layout::Currencies.recordSize;

    int number = 0;
    QString name;
    qint32 mantissa = 0;
    int decimals = 0;
    QString symbol;

    static CurrencyRecord decode(QByteArrayView bytes);
    QByteArray encode() const;
    bool operator==(const CurrencyRecord&) const = default;
};

// The rate as the grid shows it: mantissa left-padded with "0" to decimals + 1 digits, ","
// before the last `decimals` digits (none when decimals is 0).
QString rateText(qint32 mantissa, int decimals);

struct RateParts {
    qint32 mantissa = 0;
    int decimals = 0;
};
// A typed rate (its "." already made ",") as an 8-digit mantissa: refuses a leading "0" not
// followed by ",", a leading ",", other characters and a second comma. Empty message on success.
QString rateFromText(const QString& rate, RateParts& out);

struct CurrencyInput {
    QString number, name, rate, symbol;
};

// Field names: "Edit1" number, "Edit2" name, "Edit3" rate, "Edit4" symbol. Names and symbols are
// compared with every stored one, the slot being overwritten included.
Validated<CurrencyRecord> validateCurrency(const CurrencyInput& in, QByteArrayView currencyTable);

#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Amounts travel as integers in hundredths (of a currency unit or of a percent).
namespace amount {

// 5 -> "0,05", 1250 -> "12,50", -5 -> "-0,05": digits padded to at least three, "," before the
// last two.
QString text(qint64 hundredths);

// A typed amount: "." becomes ",", then hundredths = floor(value * 100 + 0.001).
// Empty or malformed text gives no value. Accepts an optional leading minus sign.
std::optional<qint64> parse(const QString& typed);

// Quantity in ten-thousandths shown with four decimals: 15000 -> "1,5000".
QString quantityText(qint64 tenThousandths);

// Parses a typed quantity (four decimals) into ten-thousandths.
std::optional<qint64> parseQuantity(const QString& typed);

} // namespace amount

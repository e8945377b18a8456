#include "amount.h"

#include <cmath>

namespace amount {

namespace {

QString fixedPoint(qint64 value, int decimals)
{
    const bool negative = value < 0;
    QString digits = QString::number(negative ? -value : value);
    if (digits.size() < decimals + 1)
        digits = QString(decimals + 1 - digits.size(), u'0') + digits;
    digits.insert(digits.size() - decimals, u',');
    return negative ? u'-' + digits : digits;
}

// Locale-free decimal parse: digits, one separator, digits. Returns the value as a double,
// which the callers scale with their own rounding rule.
std::optional<double> parseDecimal(QString typed)
{
    typed = typed.trimmed();
    typed.replace(u'.', u',');
    if (typed.isEmpty())
        return std::nullopt;
    bool negative = false;
    if (typed.front() == u'-' || typed.front() == u'+') {
        negative = typed.front() == u'-';
        typed.remove(0, 1);
    }
    const qsizetype comma = typed.indexOf(u',');
    if (comma != typed.lastIndexOf(u','))
        return std::nullopt;
    const QString whole = comma < 0 ? typed : typed.left(comma);
    const QString frac = comma < 0 ? QString() : typed.mid(comma + 1);
    if (whole.isEmpty() && frac.isEmpty())
        return std::nullopt;
    for (QChar c : QString(whole + frac))
        if (c < u'0' || c > u'9')
            return std::nullopt;
    if (whole.size() > 15)
        return std::nullopt;
    double value = whole.isEmpty() ? 0.0 : whole.toDouble();
    double scale = 0.1;
    for (QChar c : frac) {
        value += (c.unicode() - u'0') * scale;
        scale /= 10.0;
    }
    return negative ? -value : value;
}

} // namespace

QString text(qint64 hundredths)
{
    return fixedPoint(hundredths, 2);
}

std::optional<qint64> parse(const QString& typed)
{
    const auto value = parseDecimal(typed);
    if (!value)
        return std::nullopt;
    return static_cast<qint64>(std::floor(*value * 100.0 + 0.001));
}

QString quantityText(qint64 tenThousandths)
{
    return fixedPoint(tenThousandths, 4);
}

std::optional<qint64> parseQuantity(const QString& typed)
{
    const auto value = parseDecimal(typed);
    if (!value)
        return std::nullopt;
    return static_cast<qint64>(std::floor(*value * 10000.0 + 0.001));
}

} // namespace amount

#include "articlewarnings.h"

#include "common/cp1250.h"

namespace articlewarnings {

namespace {

bool allDigits(const QString& text)
{
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return !text.isEmpty();
}

} // namespace

bool wrongCheckDigit(const QString& barcode)
{
    const QString code = barcode.trimmed();
    if (!allDigits(code))
        return false;
    const qsizetype length = code.size();
    if (length != 8 && length != 12 && length != 13)
        return false;
    if (length == 13) {
        qsizetype zeros = 0;
        while (zeros < length && code[zeros] == u'0')
            ++zeros;
        if (length - zeros < 8)
            return false;
    }
    int sum = 0;
    for (qsizetype i = length - 2, weight = 3; i >= 0; --i, weight = 4 - weight)
        sum += int(code[i].unicode() - u'0') * int(weight);
    const int check = (10 - sum % 10) % 10;
    return code[length - 1].unicode() - u'0' != check;
}

QString unprintableCharacters(const QString& name)
{
    QString bad;
    for (qsizetype i = 0; i < name.size(); ++i) {
        // A character outside the basic plane comes as a surrogate pair: keep it whole.
        const qsizetype width = name[i].isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
        const QString c = name.mid(i, width);
        i += width - 1;
        const bool control = width == 1 && (c[0].unicode() < 0x20 || c[0].unicode() == 0x7F);
        if ((control || !cp1250::representable(c)) && !bad.contains(c))
            bad += c;
    }
    return bad;
}

QStringList warnings(int number, const QString& name, const QString& barcode)
{
    QStringList lines;
    const QString article = QStringLiteral("Towar ") + QString::number(number) + u':';
    if (wrongCheckDigit(barcode))
        lines.append(article + QStringLiteral(" kod kreskowy ") + barcode.trimmed() +
                     QStringLiteral(" ma błędną cyfrę kontrolną"));
    if (const QString bad = unprintableCharacters(name); !bad.isEmpty())
        lines.append(article +
                     QStringLiteral(" nazwa zawiera znaki, których kasa nie wydrukuje: ") + bad);
    return lines;
}

} // namespace articlewarnings

#include "validation.h"

namespace input {

bool onlySpaces(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c != u' ')
            return false;
    return true;
}

std::optional<qint64> integer(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 15)
        return std::nullopt;
    qsizetype i = (t.front() == u'-' || t.front() == u'+') ? 1 : 0;
    if (i == t.size())
        return std::nullopt;
    for (qsizetype k = i; k < t.size(); ++k)
        if (t[k] < u'0' || t[k] > u'9')
            return std::nullopt;
    return t.toLongLong();
}

std::optional<qint64> truncated(const QString& text, int decimals)
{
    QString t = text.trimmed();
    t.replace(u'.', u',');
    if (t.isEmpty())
        return std::nullopt;
    bool negative = false;
    if (t.front() == u'-' || t.front() == u'+') {
        negative = t.front() == u'-';
        t.remove(0, 1);
    }
    const qsizetype comma = t.indexOf(u',');
    if (comma != t.lastIndexOf(u','))
        return std::nullopt;
    const QString whole = comma < 0 ? t : t.left(comma);
    const QString frac = comma < 0 ? QString() : t.mid(comma + 1);
    if ((whole.isEmpty() && frac.isEmpty()) || whole.size() > 15)
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : whole) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    for (int k = 0; k < frac.size(); ++k) {
        if (frac[k] < u'0' || frac[k] > u'9')
            return std::nullopt;
    }
    for (int k = 0; k < decimals; ++k)
        value = value * 10 + (k < frac.size() ? frac[k].unicode() - u'0' : 0);
    return negative ? -value : value;
}

QString paddedSpaces(const QString& text, int width)
{
    return text.size() >= width ? text : text + QString(width - text.size(), u' ');
}

QString withoutTrailingSpaces(const QString& text)
{
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ')
        --n;
    return text.left(n);
}

} // namespace input

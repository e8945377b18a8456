#include "tlstrust.h"

std::optional<QByteArray> parseTlsPin(const QString& text)
{
    QString hex = text.trimmed();
    hex.remove(QLatin1Char(':'));
    if (hex.size() != 64)
        return std::nullopt;
    for (const QChar c : hex) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            return std::nullopt;
    }
    return QByteArray::fromHex(hex.toLatin1());
}

QString tlsPinText(const QByteArray& pin)
{
    return QString::fromLatin1(pin.toHex(':').toUpper());
}

#include "syncdetails.h"

#include "common/amount.h"

namespace basesync {

quint32 unsignedAt(QByteArrayView bytes, int at, int width)
{
    quint32 v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | (at + i < bytes.size() ? quint8(bytes[at + i]) : 0u);
    return v;
}

QString amountAt(QByteArrayView bytes, int at)
{
    return amount::text(qint32(unsignedAt(bytes, at, 4)));
}

QString timeStampText(QByteArrayView bytes, int at, bool neverWhenHour24)
{
    const int hour = int(unsignedAt(bytes, at + 4, 1));
    if (neverWhenHour24 && hour == 24)
        return QStringLiteral("Brak");
    const QChar zero = u'0';
    return QString::number(unsignedAt(bytes, at, 2)) + u'-' +
           QString::number(unsignedAt(bytes, at + 2, 1)) + u'-' +
           QString::number(unsignedAt(bytes, at + 3, 1)) + QStringLiteral("  ") +
           QStringLiteral("%1").arg(hour, 2, 10, zero) + u':' +
           QStringLiteral("%1").arg(unsignedAt(bytes, at + 5, 1), 2, 10, zero);
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("TAK") : QStringLiteral("NIE");
}

} // namespace basesync

#include "gauge.h"

#include <QtGlobal>

namespace basesync {

GaugeColor gaugeColor(int lines)
{
    const int c = qBound(0, lines, GaugeMaximum);
    if (c < 1000)
        return {c / 4, 250, 0};
    if (c == 1000)
        return {250, 250, 0};
    return {250, 500 - c / 4, 0};
}

QString gaugeText(int lines)
{
    return QString::number(lines) + QStringLiteral("/2000");
}

QString unknownGaugeText()
{
    return QStringLiteral("?/2000");
}

} // namespace basesync

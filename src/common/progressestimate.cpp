#include "progressestimate.h"

void ProgressEstimate::update(int done, int total, qint64 nowMs)
{
    if (total != m_total || done < m_done) {
        m_firstDone = done;
        m_firstMs = nowMs;
    }
    m_done = done;
    m_total = total;
    m_nowMs = nowMs;
}

qint64 ProgressEstimate::remainingMs() const
{
    if (m_total <= 0)
        return -1;
    if (m_done >= m_total)
        return 0;
    const int counted = m_done - m_firstDone;
    if (counted <= 0)
        return -1;
    const double perRecord = double(m_nowMs - m_firstMs) / counted;
    return qint64(perRecord * (m_total - m_done) + 0.5);
}

QString ProgressEstimate::text() const
{
    if (m_total <= 0)
        return QString::number(m_done);
    QString t = QStringLiteral("%1 z %2").arg(m_done).arg(m_total);
    const qint64 left = remainingMs();
    if (left > 0)
        t += QStringLiteral(", pozostało około ") + durationText(left);
    return t;
}

QString ProgressEstimate::durationText(qint64 ms)
{
    const qint64 seconds = (ms + 999) / 1000;
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1 min %2 s")
            .arg(seconds / 60)
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    const qint64 minutes = (seconds + 59) / 60;
    return QStringLiteral("%1 h %2 min")
        .arg(minutes / 60)
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

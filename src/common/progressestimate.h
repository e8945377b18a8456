#pragma once

#include <QString>
#include <QtGlobal>

// Count, total and the time left of a long run, from the progress reports it makes. The
// rate is taken from the records done since the first report, so a slow start (the first
// frame's longer pause) does not distort it for long.
class ProgressEstimate {
public:
    // A report of `done` of `total` (total 0: unknown) at `nowMs` on the run's clock. A count
    // falling back or a new total starts a new run.
    void update(int done, int total, qint64 nowMs);
    int done() const { return m_done; }
    int total() const { return m_total; }
    // Milliseconds still to go, -1 while unknown.
    qint64 remainingMs() const;
    // "150 z 2000, pozostało około 1 min 05 s"; the count alone while the time is unknown.
    QString text() const;
    // "45 s", "2 min 05 s", "1 h 03 min".
    static QString durationText(qint64 ms);

private:
    int m_done = 0;
    int m_total = -1;
    int m_firstDone = 0;
    qint64 m_firstMs = 0;
    qint64 m_nowMs = 0;
};

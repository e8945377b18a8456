#include "stageui.h"

#include <algorithm>

// Opened as a run inside `run` (not a copy of it).
StageUi::StageUi(TransferRun& run, int offset, int weight, int total)
    : TransferRun(static_cast<TransferUi&>(run)), m_run(run), m_offset(offset), m_weight(weight),
      m_total(total)
{
    if (m_total > 0)
        m_run.progress(m_offset, m_total);
}

void StageUi::showMessage(const QString& text, Icon)
{
    messages.append(text);
}

void StageUi::progress(int done, int total)
{
    if (m_total <= 0)
        return; // a step outside the run's progress (a read before it, a port being opened)
    // A count without a total (a table read) moves on record by record within the step.
    const qint64 part = total > 0 ? qint64(done) * m_weight / total : std::min(done, m_weight);
    m_run.progress(m_offset + int(std::clamp<qint64>(part, 0, m_weight)), m_total);
}

void StageUi::finish()
{
    if (m_total > 0)
        m_run.progress(m_offset + m_weight, m_total);
}

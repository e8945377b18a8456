#include "stageui.h"

#include <algorithm>

StageUi::StageUi(TransferUi& run, int offset, int weight, int total)
    : m_run(run), m_offset(offset), m_weight(weight), m_total(total)
{
    if (m_total > 0)
        m_run.progress(m_offset, m_total);
}

void StageUi::showMessage(const QString& text, Icon)
{
    messages.append(text);
}

TransferUi::Answer StageUi::ask(const QString& text, Buttons buttons, Icon icon,
                                const QString& title)
{
    return m_run.ask(text, buttons, icon, title);
}

void StageUi::progress(int done, int total)
{
    if (m_total <= 0)
        return; // a step outside the run's progress (a read before it, a port being opened)
    // A count without a total (a table read) moves on record by record within the step.
    const qint64 part = total > 0 ? qint64(done) * m_weight / total : std::min(done, m_weight);
    m_run.progress(m_offset + int(std::clamp<qint64>(part, 0, m_weight)), m_total);
}

void StageUi::processEvents()
{
    m_run.processEvents();
}

void StageUi::waitMs(int ms)
{
    m_run.waitMs(ms);
}

qint64 StageUi::nowMs() const
{
    return m_run.nowMs();
}

bool StageUi::stopRequested() const
{
    return m_run.stopRequested();
}

bool StageUi::waitForLine(const std::function<bool()>& lineClear)
{
    return m_run.waitForLine(lineClear);
}

void StageUi::finish()
{
    if (m_total <= 0)
        return;
    m_run.progress(m_offset + m_weight, m_total);
}

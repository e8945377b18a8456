#include "transferrun.h"

TransferRun::TransferRun(TransferUi& from) : TransferRun(from, View())
{
}

TransferRun::TransferRun(TransferUi& from, View view) : m_from(from), m_view(std::move(view))
{
    m_from.runStarted(*this);
}

TransferRun::~TransferRun()
{
    m_from.runEnded(*this);
}

void TransferRun::showMessage(const QString& text, Icon icon)
{
    m_from.showMessage(text, icon);
}

TransferUi::Answer TransferRun::ask(const QString& text, Buttons buttons, Icon icon,
                                    const QString& title)
{
    return m_from.ask(text, buttons, icon, title);
}

void TransferRun::progress(int done, int total)
{
    m_done = done;
    m_total = total;
    if (m_view.progress)
        m_view.progress(done, total);
    else
        m_from.progress(done, total);
}

void TransferRun::processEvents()
{
    m_from.processEvents();
}

void TransferRun::waitMs(int ms)
{
    m_from.waitMs(ms);
}

qint64 TransferRun::nowMs() const
{
    return m_from.nowMs();
}

bool TransferRun::waitForLine(const std::function<bool()>& lineClear)
{
    return m_from.waitForLine(lineClear);
}

namespace {
QString stoppedText(const QString& verb, int done, int total)
{
    QString text = QStringLiteral("Przerwano. ") + verb + u' ' + QString::number(done);
    if (total > 0)
        text += QStringLiteral(" z ") + QString::number(total);
    return text + u'.';
}
} // namespace

QString stoppedReadText(int done, int total)
{
    return stoppedText(QStringLiteral("Odczytano"), done, total);
}

QString stoppedSendText(int done, int total)
{
    return stoppedText(QStringLiteral("Wysłano"), done, total);
}

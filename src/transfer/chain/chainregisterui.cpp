#include "chainregisterui.h"

#include <QThread>

#include <algorithm>

ChainRegisterUi::ChainRegisterUi(int index, std::mutex& questions, Asker asker, QObject* parent)
    : QObject(parent), m_index(index), m_questions(questions), m_asker(std::move(asker))
{
    m_clock.start();
}

void ChainRegisterUi::showMessage(const QString& text, Icon)
{
    emit messaged(m_index, text);
}

TransferUi::Answer ChainRegisterUi::ask(const QString& text, Buttons buttons, Icon icon,
                                        const QString& title)
{
    const Answer refused = buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    // The registers asking at the same time wait here for the one whose question is shown.
    std::lock_guard<std::mutex> one(m_questions);
    if (stopRequested() || m_closed)
        return refused;
    Answer answer = refused;
    const auto put = [&] {
        if (!m_closed)
            answer = m_asker(m_index, text, buttons, icon, title);
    };
    if (QThread::currentThread() == thread())
        put();
    else
        QMetaObject::invokeMethod(this, put, Qt::BlockingQueuedConnection);
    return answer;
}

void ChainRegisterUi::progress(int done, int total)
{
    if (total <= 0)
        return;
    const int percent = int(std::clamp<qint64>(qint64(done) * 100 / total, 0, 100));
    if (m_percent.exchange(percent) != percent)
        emit progressed(m_index, percent);
}

void ChainRegisterUi::waitMs(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

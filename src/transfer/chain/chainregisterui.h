#pragma once

#include "chainrun.h"

#include "common/transferui.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <functional>
#include <mutex>

// The user interface of one register of a chain run in the window. It lives in the window's
// thread and is used from the register's: progress, messages and the run's notices about the
// register go to the window as queued signals; a question goes to the window with a blocking
// queued call, one question of the whole run at a time, and its answer comes back to this
// register only; waits sleep on the register's thread. Nothing here touches a widget.
class ChainRegisterUi : public QObject, public TransferUi {
    Q_OBJECT
public:
    // Asks the person; called in the window's thread.
    using Asker = std::function<Answer(int index, const QString& text, Buttons buttons, Icon icon,
                                       const QString& title)>;

    // `questions` is the run's one question at a time.
    ChainRegisterUi(int index, std::mutex& questions, Asker asker, QObject* parent = nullptr);

    void showMessage(const QString& text, Icon icon = Icon::Information) override;
    Answer ask(const QString& text, Buttons buttons = Buttons::YesNo, Icon icon = Icon::Question,
               const QString& title = {}) override;
    // Sent on only when the whole percent changes: a run of 2000 records would otherwise put
    // thousands of signals into the window's queue.
    void progress(int done, int total) override;
    void waitMs(int ms) override;
    qint64 nowMs() const override { return m_clock.elapsed(); }
    bool stopRequested() const override { return m_stop.load(); }

    void requestStop() { m_stop = true; }
    // The window is going away: questions still on their way are answered "No" unasked.
    void close() { m_closed = true; }

signals:
    void started(int index);
    void progressed(int index, int percent);
    void messaged(int index, const QString& text);
    void detailed(int index, const QStringList& lines);
    void finished(int index, const chain::RegisterOutcome& outcome);

private:
    const int m_index;
    std::mutex& m_questions;
    const Asker m_asker;
    QElapsedTimer m_clock;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_closed{false};
    std::atomic<int> m_percent{-1};
};

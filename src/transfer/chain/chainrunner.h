#pragma once

#include "chainjobs.h"
#include "chainregisterui.h"
#include "chainrun.h"

#include <QList>
#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A chain run for the window: the blocking ChainRun on a thread of its own, so that the window
// never waits for it, a ChainRegisterUi for every register, and everything the run says about
// a register as a signal in the window's thread, in the order it was said. `ended` comes after
// every register's `finished`.
class ChainRunner : public QObject {
    Q_OBJECT
public:
    ChainRunner(QList<chain::ChainRegister> registers, ChainRegisterUi::Asker asker,
                QObject* parent = nullptr);
    // A run still going is stopped and waited for; questions on their way are not shown.
    ~ChainRunner() override;

    // For the job: its details go to the window as `detailed`.
    chain::Details details();
    void start(const chain::ChainJob& job, bool fastTransfers);
    // Every register stops at its next frame boundary.
    void requestStop();
    bool running() const { return m_thread.joinable(); }

    const QList<chain::ChainRegister>& registers() const { return m_registers; }
    // The result table, as it stands.
    QList<chain::RegisterOutcome> outcomes() const;

signals:
    void started(int index);
    void progressed(int index, int percent);
    void messaged(int index, const QString& text);
    void detailed(int index, const QStringList& lines);
    void finished(int index, const chain::RegisterOutcome& outcome);
    void ended();

private:
    void end();

    QList<chain::ChainRegister> m_registers;
    std::mutex m_questions;
    std::vector<std::unique_ptr<ChainRegisterUi>> m_uis;
    std::unique_ptr<chain::ChainRun> m_run;
    std::thread m_thread;
    std::atomic<bool> m_done{false};
};

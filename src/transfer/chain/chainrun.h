#pragma once

#include "registerlist.h"

#include "common/transferui.h"

#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class Link;

// One run over the registers of a chain: every line in a thread of its own, so registers on
// different lines are served at the same time, and the registers of one line (one device,
// different addresses) one after another on it, never interleaved. Each register gets a link
// of its own, opened on its device and address, and its model asked, before its job runs.
// One register's fault never stops the others; a stop ends every line at a frame boundary
// and leaves the registers not begun untouched.
namespace chain {

struct RegisterOutcome {
    enum class State { Waiting, Running, Done, Failed, Skipped };
    State state = State::Waiting;
    int registerType = 0; // 1 DUNO, 2 DUNO BIS, 0 not known
    QString result;       // "OK", or what went wrong
    QString counts;       // what the job did, in numbers
    QString resume;       // where a run that ended early goes on from; empty when none
    qint64 ms = 0;
    bool ok() const { return state == State::Done; }
};

// "DUNO", "DUNO BIS", "" for a model not known.
QString modelText(int registerType);

// What a register's job gives back: true when it did all it had to.
struct JobResult {
    bool ok = false;
    QString result; // empty: "OK" or "Błąd"
    QString counts;
    QString resume;
};

// A register's job, on its line's thread: the link is open at the register's address, the
// model known; `ui` is the register's own and carries the chain's stop.
using Job = std::function<JobResult(int index, Link& link, TransferUi& ui, int registerType)>;

struct ChainOptions {
    quint32 baud = 115200;
    bool fastTransfers = false;
    // The user interface of register `index` (the caller's; it outlives the run and must be
    // safe to use from that register's thread).
    std::function<TransferUi&(int index)> ui;
    // Why register `index` cannot run at all (no database for it, a file another register
    // writes too); empty when it can. Asked before its line is opened.
    std::function<QString(int index)> precheck;
    // Called on the register's thread once its link is set up and before it is opened (a
    // frame trace of its own, say).
    std::function<void(int index, Link& link)> prepareLink;
    // Called on the register's thread when it begins and when its outcome is known.
    std::function<void(int index)> started;
    std::function<void(int index, const RegisterOutcome& outcome)> finished;
};

class ChainRun {
public:
    ChainRun(QList<ChainRegister> registers, Job job, ChainOptions options);
    ~ChainRun();
    ChainRun(const ChainRun&) = delete;
    ChainRun& operator=(const ChainRun&) = delete;

    // Starts a thread for every line; returns at once.
    void start();
    // Blocks until every line has finished.
    void wait();
    // start() and wait().
    QList<RegisterOutcome> run();

    // Every register's run stops at its next frame boundary; registers not begun are not.
    // Safe from any thread, also from a signal-driven poll.
    void requestStop() { m_stop = true; }
    bool stopRequested() const { return m_stop.load(); }

    const QList<ChainRegister>& registers() const { return m_registers; }
    // The result table, as it stands.
    QList<RegisterOutcome> outcomes() const;

    // The registers of each line, in list order; lines in the order their first register is
    // listed.
    static QList<QList<int>> lines(const QList<ChainRegister>& registers);

private:
    void runLine(const QList<int>& indices);
    void runRegister(int index);
    void setOutcome(int index, const RegisterOutcome& outcome);

    QList<ChainRegister> m_registers;
    Job m_job;
    ChainOptions m_options;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex; // the result table
    QList<RegisterOutcome> m_outcomes;
    std::vector<std::thread> m_threads;
};

} // namespace chain

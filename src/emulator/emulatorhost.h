#pragma once

#include "registermodel.h"

#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

namespace emu {

// Line timing: bytes leave at the pace of the baud rate (10 bits a byte) when baud > 0.
struct LineTiming {
    int baud = 0;
};

// Runs a RegisterModel on a pseudo-terminal in a thread of its own, so that a client on
// the program's single thread can block on the slave side while the register answers.
class EmulatorHost {
public:
    explicit EmulatorHost(RegisterModel& model, LineTiming timing = {});
    ~EmulatorHost();
    EmulatorHost(const EmulatorHost&) = delete;
    EmulatorHost& operator=(const EmulatorHost&) = delete;

    // Opens the pseudo-terminal (raw mode) and starts the register thread.
    bool start(QString* errorText = nullptr);
    void stop();
    bool running() const { return m_thread.joinable(); }
    // The slave side the client opens, for example /dev/pts/3.
    QString devicePath() const { return m_path; }
    // True once an injected fault has made the device disappear.
    bool vanished() const { return m_vanished; }
    // Locks the model against the register thread (for a look at its tables mid-run).
    std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(m_mutex); }

private:
    void run();

    RegisterModel& m_model;
    LineTiming m_timing;
    int m_master = -1;
    int m_slaveHold = -1; // keeps the slave open so the master never reads a hang-up
    QString m_path;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_vanished{false};
    std::mutex m_mutex;
};

} // namespace emu

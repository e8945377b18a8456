#pragma once

#include "linepump.h"
#include "registerbus.h"
#include "registermodel.h"

#include <QList>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

namespace emu {

// Runs a RegisterModel (or several registers on one line, see RegisterBus) on a
// pseudo-terminal in a thread of its own, so that a client on the program's single thread
// can block on the slave side while the register answers.
class EmulatorHost {
public:
    explicit EmulatorHost(RegisterModel& model, LineTiming timing = {});
    explicit EmulatorHost(const QList<RegisterModel*>& registers, LineTiming timing = {});
    ~EmulatorHost();
    EmulatorHost(const EmulatorHost&) = delete;
    EmulatorHost& operator=(const EmulatorHost&) = delete;

    // Opens the pseudo-terminal (raw mode) and starts the register thread.
    bool start(QString* errorText = nullptr);
    void stop();
    bool running() const { return m_thread.joinable(); }
    // The slave side the client opens, for example /dev/pts/3.
    QString devicePath() const { return m_path; }
    // True while an injected fault has made the device disappear.
    bool vanished() const { return m_vanished; }
    // A vanished device comes back after `ms` (-1, the default: never), the way an unplugged
    // adapter is plugged in again. It must come back under the same name, so devicePath() is
    // then a symbolic link (`linkPath`, or one in the temporary directory) that follows the
    // new pseudo-terminal. Call before start().
    void setComeBack(int ms, const QString& linkPath = {});
    bool comesBack() const { return m_comeBackMs >= 0; }
    // How often the device has come back.
    int comebacks() const { return m_comebacks; }
    // Locks the registers against the register thread (for a look at its tables mid-run).
    std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(m_mutex); }

private:
    void run();
    bool openPty(QString* errorText);
    void closePty();
    bool pointLink();

    RegisterBus m_bus;
    LineTiming m_timing;
    int m_master = -1;
    int m_slaveHold = -1; // keeps the slave open so the master never reads a hang-up
    QString m_path;
    QString m_ptsPath; // the pseudo-terminal behind the link
    QString m_linkPath;
    bool m_ownLink = false;
    int m_comeBackMs = -1;
    std::atomic<int> m_comebacks{0};
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_vanished{false};
    std::mutex m_mutex;
};

} // namespace emu

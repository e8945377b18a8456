#pragma once

#include "loopback.h"

#include "linepump.h"
#include "registerbus.h"
#include "registermodel.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

namespace emu {

// Runs a RegisterModel behind a TCP port on 127.0.0.1, the way a serial device server in
// TCP server mode offers a register: raw bytes, or telnet with the COM-PORT option
// (RFC 2217). One client at a time; the next one is accepted when it has gone. The
// register's "device disappears" fault drops the connection.
class TcpHost {
public:
    TcpHost(RegisterModel& model, LineTiming timing = {}, bool rfc2217 = false);
    // Several registers on the line, each at its own address (see RegisterBus).
    TcpHost(const QList<RegisterModel*>& registers, LineTiming timing = {}, bool rfc2217 = false);
    ~TcpHost();
    TcpHost(const TcpHost&) = delete;
    TcpHost& operator=(const TcpHost&) = delete;

    // Listens on 127.0.0.1:`port` (0: a free port) and starts the register thread.
    bool start(quint16 port = 0, QString* errorText = nullptr);
    void stop();
    bool running() const { return m_listener.running(); }
    quint16 port() const { return m_listener.port(); }
    // The port as the program names it: "tcp://127.0.0.1:4001", "rfc2217://127.0.0.1:4001".
    QString address() const;
    // Connections accepted so far, and those the register dropped.
    int connections() const { return m_connections; }
    int drops() const { return m_drops; }
    // The COM-PORT commands of the clients so far (code, value), with --rfc2217.
    QList<QPair<int, QByteArray>> comPortRequests();
    // Locks the registers against the register thread.
    std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(m_mutex); }

private:
    void run();

    RegisterBus m_bus;
    LineTiming m_timing;
    bool m_rfc2217;
    LoopbackListener m_listener;
    std::atomic<int> m_connections{0};
    std::atomic<int> m_drops{0};
    std::mutex m_mutex; // the registers, and the requests below
    QList<QPair<int, QByteArray>> m_requests;
};

} // namespace emu

#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <thread>

// The loopback sockets of the emulator's TCP hosts: what a serial device server listens on,
// and what a proxy in front of one connects to.
namespace emu {

// A non-blocking socket listening on 127.0.0.1:`port` (0: a free port, told in `bound`); -1
// with the reason ("bind: Address already in use") in `errorText`.
int listenLoopback(quint16 port, quint16* bound, QString* errorText = nullptr);
// A blocking connection to 127.0.0.1:`port` without Nagle's delay; -1 when refused.
int connectLoopback(quint16 port);
// Sends all `count` bytes on the socket `fd`, as many calls as it takes; false when the peer
// is gone.
bool sendAll(int fd, const char* bytes, qint64 count);

// A loopback socket listening for clients and the thread that serves them until stop(): what
// the register's TCP host, its TLS front and the damaging proxy each stand on.
class LoopbackListener {
public:
    LoopbackListener() = default;
    ~LoopbackListener() { stop(); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    // Listens on `port` (0: a free one) and runs `serve` on a thread of its own; false with
    // the reason in `errorText` when the port cannot be had.
    bool start(quint16 port, std::function<void()> serve, QString* errorText);
    // Asks `serve` to end, waits for it and closes the socket.
    void stop();
    bool running() const { return m_thread.joinable(); }
    // What `serve` polls: true once stop() was called.
    bool stopping() const { return m_stop; }
    int socket() const { return m_socket; }
    quint16 port() const { return m_port; }

private:
    int m_socket = -1;
    quint16 m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

} // namespace emu

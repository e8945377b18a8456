#include "tcphost.h"

#include "loopback.h"
#include "telnetserver.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace emu {

namespace {

// One connected client: its socket, the bytes not yet taken by it and its telnet state.
struct Client {
    int fd = -1;
    QByteArray out;
    TelnetServer telnet;

    void flush()
    {
        while (fd >= 0 && !out.isEmpty()) {
            const ssize_t n = ::send(fd, out.constData(), size_t(out.size()), MSG_NOSIGNAL);
            if (n <= 0)
                return; // full, or gone: the next read tells
            out.remove(0, n);
        }
    }
};

} // namespace

TcpHost::TcpHost(RegisterModel& model, LineTiming timing, bool rfc2217)
    : m_bus(model), m_timing(timing), m_rfc2217(rfc2217)
{
}

TcpHost::TcpHost(const QList<RegisterModel*>& registers, LineTiming timing, bool rfc2217)
    : m_bus(registers), m_timing(timing), m_rfc2217(rfc2217)
{
}

TcpHost::~TcpHost()
{
    stop();
}

QString TcpHost::address() const
{
    return (m_rfc2217 ? QStringLiteral("rfc2217://127.0.0.1:")
                      : QStringLiteral("tcp://127.0.0.1:")) +
           QString::number(m_listener.port());
}

QList<QPair<int, QByteArray>> TcpHost::comPortRequests()
{
    std::lock_guard<std::mutex> g(m_mutex);
    return m_requests;
}

bool TcpHost::start(quint16 port, QString* errorText)
{
    if (running())
        return true;
    return m_listener.start(
        port, [this] { run(); }, errorText);
}

void TcpHost::stop()
{
    m_listener.stop();
}

void TcpHost::run()
{
    using Clock = LinePump::Clock;
    LinePump pump(m_bus, m_mutex, m_timing);
    Client client;
    auto drop = [&] {
        ::close(client.fd);
        client = Client{};
        pump.clear();
    };
    // Answers go to the client; with nobody connected they are lost, as on a bare line.
    const LinePump::Writer write = [&](const char* bytes, qint64 count) -> qint64 {
        if (client.fd >= 0) {
            const QByteArrayView data(bytes, count);
            client.out += m_rfc2217 ? TelnetServer::escape(data) : data.toByteArray();
            client.flush();
        }
        return count;
    };
    char buf[4096];
    while (!m_listener.stopping()) {
        const auto wait = std::max(pump.wakeAt() - Clock::now(), Clock::duration::zero());
        const timespec ts{0,
                          long(std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count())};
        pollfd p{client.fd >= 0 ? client.fd : m_listener.socket(), POLLIN, 0};
        ::ppoll(&p, 1, &ts, nullptr);
        if (client.fd < 0) {
            const int fd =
                ::accept4(m_listener.socket(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd >= 0) {
                const int on = 1;
                ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                client.fd = fd;
                pump.clear();
                if (m_rfc2217)
                    client.out = client.telnet.greeting();
                ++m_connections;
            }
        }
        while (client.fd >= 0) {
            const ssize_t n = ::recv(client.fd, buf, sizeof buf, 0);
            if (n > 0) {
                const QByteArrayView raw(buf, n);
                if (m_rfc2217) {
                    pump.arrive(client.telnet.input(raw));
                    client.out += client.telnet.takeOutput();
                    std::lock_guard<std::mutex> g(m_mutex);
                    m_requests = client.telnet.requests();
                } else {
                    pump.arrive(raw);
                }
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
                drop(); // the client went away
            break;
        }
        if (pump.advance() && client.fd >= 0) {
            ++m_drops;
            drop(); // the register's line disappears: the connection is dropped
        }
        pump.send(write);
        client.flush();
    }
    if (client.fd >= 0)
        ::close(client.fd);
}

} // namespace emu

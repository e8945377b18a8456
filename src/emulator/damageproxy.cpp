#include "damageproxy.h"

#include "loopback.h"

#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace emu {

DamageProxy::DamageProxy(quint16 targetPort, double rate, quint64 seed)
    : m_target(targetPort), m_hit(rate), m_random(seed)
{
}

DamageProxy::~DamageProxy()
{
    stop();
}

QString DamageProxy::address() const
{
    return QStringLiteral("tcp://127.0.0.1:") + QString::number(m_listener.port());
}

bool DamageProxy::start(quint16 port, QString* errorText)
{
    return m_listener.start(
        port, [this] { run(); }, errorText);
}

void DamageProxy::stop()
{
    m_listener.stop();
}

bool DamageProxy::pass(int from, int to, std::atomic<int>& damaged)
{
    char buf[4096];
    const ssize_t n = ::recv(from, buf, sizeof buf, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return true;
    if (n <= 0)
        return false;
    for (ssize_t i = 0; i < n; ++i)
        if (m_hit(m_random)) {
            buf[i] = char(buf[i] ^ (1 << (m_random() % 8)));
            ++damaged;
        }
    return sendAll(to, buf, n);
}

void DamageProxy::run()
{
    while (!m_listener.stopping()) {
        pollfd l{m_listener.socket(), POLLIN, 0};
        if (::poll(&l, 1, 50) <= 0)
            continue;
        const int client = ::accept4(m_listener.socket(), nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        const int on = 1;
        ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        const int upstream = connectLoopback(m_target);
        bool open = upstream >= 0;
        while (open && !m_listener.stopping()) {
            pollfd p[2] = {{client, POLLIN, 0}, {upstream, POLLIN, 0}};
            if (::poll(p, 2, 50) <= 0)
                continue;
            if (p[0].revents & (POLLIN | POLLHUP | POLLERR))
                open = pass(client, upstream, m_toRegister);
            if (open && (p[1].revents & (POLLIN | POLLHUP | POLLERR)))
                open = pass(upstream, client, m_toProgram);
        }
        if (upstream >= 0)
            ::close(upstream);
        ::close(client);
    }
}

} // namespace emu

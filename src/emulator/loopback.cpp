#include "loopback.h"

#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace emu {

namespace {
sockaddr_in loopback(quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}
} // namespace

int listenLoopback(quint16 port, quint16* bound, QString* errorText)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    auto fail = [&](const char* what) {
        if (errorText)
            *errorText = QString::fromUtf8(what) + QStringLiteral(": ") +
                         QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return -1;
    };
    if (fd < 0)
        return fail("socket");
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a = loopback(port);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
        return fail("bind");
    if (::listen(fd, 4) != 0)
        return fail("listen");
    socklen_t size = sizeof a;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) != 0)
        return fail("getsockname");
    if (bound)
        *bound = ntohs(a.sin_port);
    return fd;
}

int connectLoopback(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in a = loopback(port);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

bool sendAll(int fd, const char* bytes, qint64 count)
{
    while (count > 0) {
        const ssize_t n = ::send(fd, bytes, size_t(count), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        count -= n;
    }
    return true;
}

bool LoopbackListener::start(quint16 port, std::function<void()> serve, QString* errorText)
{
    m_socket = listenLoopback(port, &m_port, errorText);
    if (m_socket < 0)
        return false;
    m_stop = false;
    m_thread = std::thread(std::move(serve));
    return true;
}

void LoopbackListener::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
}

} // namespace emu

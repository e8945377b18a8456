#include "tcpreach.h"

#include "namelookup.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tcpreach {

namespace {
using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

// 0 connected, else the errno of the failure (ETIMEDOUT when the deadline passed).
int connectOne(const namelookup::Address& to, Clock::time_point deadline)
{
    const int fd = ::socket(to.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return errno;
    int error =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&to.address), to.length) == 0 ? 0 : errno;
    while (error == EINPROGRESS || error == EINTR) {
        pollfd p{fd, POLLOUT, 0};
        const int left = msLeft(deadline);
        const int ready = left > 0 ? ::poll(&p, 1, left) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            error = ETIMEDOUT;
            break;
        }
        socklen_t size = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
            error = errno;
    }
    ::close(fd);
    return error;
}

} // namespace

Result check(const QString& host, quint16 port, int timeoutMs)
{
    // The name lookup and every connection attempt end by the one deadline.
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const namelookup::Result found = namelookup::lookUp(host.toUtf8(), port, deadline);
    if (found.status == namelookup::Status::UnknownHost)
        return Result::UnknownHost;
    if (found.status != namelookup::Status::Found)
        return Result::NoAnswer;
    bool refused = false;
    for (const namelookup::Address& to : found.addresses) {
        if (msLeft(deadline) <= 0)
            break;
        const int error = connectOne(to, deadline);
        if (error == 0)
            return Result::Answered;
        refused = refused || error == ECONNREFUSED;
    }
    return refused ? Result::Refused : Result::NoAnswer;
}

} // namespace tcpreach

#pragma once

#include <QByteArray>

#include <chrono>
#include <vector>

#include <sys/socket.h>

// The addresses of a serial device server's name, found within a deadline. The system's
// resolver has no time-out of its own (a dead DNS server keeps it for half a minute and more),
// so it runs on a thread of its own; when it takes too long the answer is TimedOut and the
// thread ends by itself once the resolver gives up.
namespace namelookup {

struct Address {
    int family = 0;
    sockaddr_storage address{};
    socklen_t length = 0;
};

enum class Status { Found, UnknownHost, Failed, TimedOut };

struct Result {
    Status status = Status::Failed;
    std::vector<Address> addresses; // for a stream socket, in the resolver's order
};

Result lookUp(const QByteArray& host, quint16 port, std::chrono::steady_clock::time_point deadline);

} // namespace namelookup

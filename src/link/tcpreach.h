#pragma once

#include <QString>

// Whether a serial device server answers at all: one TCP connection, made and closed again,
// within a bounded time that includes looking up the host's name.
namespace tcpreach {

enum class Result {
    Answered,    // the connection was made
    Refused,     // the host said no (nothing listens on that port)
    NoAnswer,    // nothing came back within the time
    UnknownHost, // the name does not resolve
};

Result check(const QString& host, quint16 port, int timeoutMs);

} // namespace tcpreach

#pragma once

#include "tlstrust.h"

#include <QByteArrayView>
#include <QString>

#include <memory>

class QSslSocket;

// TLS over a connected socket: Qt's QSslSocket used blocking, without an event loop, on the
// thread that started it. Every call waits at most the time it is given.
class TlsStream {
public:
    TlsStream();
    ~TlsStream();
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;

    // Works on a copy of the connected socket `fd` (the caller's stays its own), makes the
    // handshake with the server `host` within `ms` and checks its certificate against `trust`.
    // False with the reason in problem(): the connection is then of no use and nothing but the
    // handshake went out on it.
    bool start(int fd, const QString& host, const TlsTrust& trust, int ms);
    QString problem() const { return m_problem; }
    // Hands bytes over for sending; false when the connection is gone.
    bool write(QByteArrayView bytes);
    // Waits up to `ms` for what was handed over to reach the socket; false when the connection
    // is gone.
    bool flush(int ms);
    // Up to `max` bytes received, waiting up to `ms` for some (0: only what has come): their
    // count, 0 when none came, -1 when the connection is gone.
    qint64 read(char* into, qint64 max, int ms);
    // Bytes handed over and not yet given to the socket, and bytes received and not yet read.
    qint64 unsent() const;
    qint64 unread() const;

private:
    bool gone() const;

    std::unique_ptr<QSslSocket> m_socket;
    QString m_problem;
};

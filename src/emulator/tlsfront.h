#pragma once

#include "loopback.h"

#include <QList>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>

#include <atomic>
#include <thread>

namespace emu {

// TLS in front of a TCP host on loopback, as a serial device server's TLS port (ser2net's
// "tls" filter) offers a register: each client makes its handshake with the front's
// certificate, and what it sends inside TLS goes on to the host in the clear, and back. One
// client at a time, as the register's own host.
class TlsFront {
public:
    explicit TlsFront(quint16 targetPort);
    ~TlsFront();
    TlsFront(const TlsFront&) = delete;
    TlsFront& operator=(const TlsFront&) = delete;

    // The certificate (PEM, the server's first, then any issuers) and its private key (PEM);
    // false with the reason in `errorText`.
    bool load(const QString& certFile, const QString& keyFile, QString* errorText = nullptr);
    // Listens on 127.0.0.1:`port` (0: a free port).
    bool start(quint16 port = 0, QString* errorText = nullptr);
    void stop();
    quint16 port() const { return m_listener.port(); }
    // "tls://127.0.0.1:PORT", or "rfc2217+tls://127.0.0.1:PORT" in front of a telnet host.
    QString address(bool rfc2217) const;
    // Clients that went as far as a handshake, and those whose handshake failed.
    int handshakes() const { return m_handshakes; }
    int failedHandshakes() const { return m_failed; }

private:
    void run();
    void serve(int client);

    quint16 m_target;
    QList<QSslCertificate> m_chain;
    QSslKey m_key;
    LoopbackListener m_listener;
    std::atomic<int> m_handshakes{0};
    std::atomic<int> m_failed{0};
};

} // namespace emu

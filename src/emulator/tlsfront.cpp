#include "tlsfront.h"

#include "loopback.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSslConfiguration>
#include <QSslSocket>

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace emu {

namespace {

// A handshake the client does not finish within this time is given up.
constexpr int kHandshakeMs = 5000;

} // namespace

TlsFront::TlsFront(quint16 targetPort) : m_target(targetPort)
{
}

TlsFront::~TlsFront()
{
    stop();
}

QString TlsFront::address(bool rfc2217) const
{
    return (rfc2217 ? QStringLiteral("rfc2217+tls://127.0.0.1:")
                    : QStringLiteral("tls://127.0.0.1:")) +
           QString::number(m_listener.port());
}

bool TlsFront::load(const QString& certFile, const QString& keyFile, QString* errorText)
{
    auto fail = [&](const QString& why) {
        if (errorText)
            *errorText = why;
        return false;
    };
    m_chain =
        QSslCertificate::fromPath(certFile, QSsl::Pem, QSslCertificate::PatternSyntax::FixedString);
    if (m_chain.isEmpty())
        return fail(QStringLiteral("brak certyfikatu PEM w pliku ") + certFile);
    QFile file(keyFile);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("nie mogę odczytać pliku ") + keyFile);
    const QByteArray pem = file.read(1 << 20);
    for (const QSsl::KeyAlgorithm algorithm : {QSsl::Ec, QSsl::Rsa, QSsl::Dsa}) {
        m_key = QSslKey(pem, algorithm, QSsl::Pem, QSsl::PrivateKey);
        if (!m_key.isNull())
            return true;
    }
    return fail(QStringLiteral("brak klucza prywatnego PEM (bez hasła) w pliku ") + keyFile);
}

bool TlsFront::start(quint16 port, QString* errorText)
{
    return m_listener.start(
        port, [this] { run(); }, errorText);
}

void TlsFront::stop()
{
    m_listener.stop();
}

void TlsFront::run()
{
    while (!m_listener.stopping()) {
        pollfd l{m_listener.socket(), POLLIN, 0};
        if (::poll(&l, 1, 50) <= 0)
            continue;
        const int client = ::accept4(m_listener.socket(), nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0)
            serve(client);
    }
}

void TlsFront::serve(int client)
{
    QSslSocket tls;
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificateChain(m_chain);
    config.setPrivateKey(m_key);
    config.setPeerVerifyMode(QSslSocket::VerifyNone);
    tls.setSslConfiguration(config);
    if (!tls.setSocketDescriptor(client)) {
        ::close(client);
        return;
    }
    ++m_handshakes;
    tls.startServerEncryption();
    // In short waits, so that a stop is not held up by a client that never finishes.
    const QDeadlineTimer handshake(kHandshakeMs);
    while (!tls.isEncrypted() && !m_listener.stopping() && !handshake.hasExpired() &&
           tls.state() == QAbstractSocket::ConnectedState)
        tls.waitForEncrypted(50);
    if (!tls.isEncrypted()) {
        ++m_failed;
        tls.abort();
        return;
    }
    // The host hears of the client with its first bytes: a client that gave up after the
    // handshake (a certificate it does not trust) never reaches the register.
    int upstream = -1;
    bool open = true;
    char buf[4096];
    while (open && !m_listener.stopping()) {
        if (tls.bytesAvailable() == 0) {
            pollfd p[2] = {{client, POLLIN, 0}, {upstream, POLLIN, 0}};
            if (::poll(p, 2, 50) <= 0)
                continue;
            if (p[0].revents)
                tls.waitForReadyRead(0); // takes in and decrypts what came
            if (upstream >= 0 && (p[1].revents & (POLLIN | POLLHUP | POLLERR))) {
                const ssize_t n = ::recv(upstream, buf, sizeof buf, 0);
                if (n <= 0 && !(n < 0 && (errno == EINTR || errno == EAGAIN)))
                    break;
                if (n > 0) {
                    tls.write(buf, n);
                    tls.flush();
                }
            }
        }
        const QByteArray from = tls.readAll();
        if (!from.isEmpty() && upstream < 0 && (upstream = connectLoopback(m_target)) < 0)
            break;
        if (!from.isEmpty())
            open = sendAll(upstream, from.constData(), from.size());
        if (tls.state() != QAbstractSocket::ConnectedState)
            break;
    }
    if (upstream >= 0)
        ::close(upstream);
    tls.waitForBytesWritten(200);
    tls.abort();
}

} // namespace emu

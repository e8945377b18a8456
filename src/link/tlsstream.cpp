#include "tlsstream.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// A flood is refused long before this; the buffer only keeps one from taking the memory.
constexpr qint64 kReadBuffer = 256 * 1024;

QString quoted(const QString& text)
{
    return QStringLiteral("„") + text + QStringLiteral("”");
}

QString day(const QDateTime& when)
{
    return when.toUTC().date().toString(Qt::ISODate);
}

// The names a certificate is good for: its DNS names and IP addresses, else its common name.
QString certificateNames(const QSslCertificate& cert)
{
    QStringList names;
    const auto alt = cert.subjectAlternativeNames();
    for (auto it = alt.cbegin(); it != alt.cend(); ++it)
        if (it.key() == QSsl::DnsEntry || it.key() == QSsl::IpAddressEntry)
            names << it.value();
    if (names.isEmpty())
        names = cert.subjectInfo(QSslCertificate::CommonName);
    return names.isEmpty() ? QStringLiteral("bez nazwy") : names.join(QStringLiteral(", "));
}

bool isChainError(QSslError::SslError e)
{
    switch (e) {
    case QSslError::CertificateExpired:
    case QSslError::CertificateNotYetValid:
    case QSslError::HostNameMismatch:
    case QSslError::NoError:
        return false;
    default:
        return true;
    }
}

// What is wrong with the server's certificate, judged by `trust`; empty when nothing.
// Whether anyone trusts it comes first (a name or a date of a stranger's certificate says
// nothing), then the name, then the dates.
QString certificateProblem(const QSslSocket& socket, const QString& host, const TlsTrust& trust)
{
    const QSslCertificate cert = socket.peerCertificate();
    if (cert.isNull())
        return QStringLiteral("Serwer nie przedstawił certyfikatu.");
    const QByteArray fingerprint = cert.digest(QCryptographicHash::Sha256);
    if (!trust.pin.isEmpty() && fingerprint != trust.pin)
        return QStringLiteral("Odcisk SHA-256 certyfikatu serwera (") + tlsPinText(fingerprint) +
               QStringLiteral(") różni się od przypiętego (") + tlsPinText(trust.pin) +
               QStringLiteral(").");
    // A pinned certificate stands for itself: no issuer and no name are asked of it.
    const bool issuerAndName = trust.pin.isEmpty() || !trust.caFile.isEmpty();
    bool chain = false, name = false, expired = false, early = false;
    for (const QSslError& e : socket.sslHandshakeErrors()) {
        chain |= isChainError(e.error());
        name |= e.error() == QSslError::HostNameMismatch;
        expired |= e.error() == QSslError::CertificateExpired;
        early |= e.error() == QSslError::CertificateNotYetValid;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    expired |= cert.expiryDate() < now;
    early |= cert.effectiveDate() > now;
    if (issuerAndName && chain) {
        const QStringList issuer = cert.issuerInfo(QSslCertificate::CommonName);
        const QString where = trust.caFile.isEmpty() ? QStringLiteral("w systemie")
                                                     : QStringLiteral("w pliku ") + trust.caFile;
        return QStringLiteral("Certyfikat serwera nie jest zaufany: jego wystawcy (") +
               quoted(issuer.isEmpty() ? QStringLiteral("?") : issuer.join(u' ')) +
               QStringLiteral(") nie ma wśród certyfikatów zaufanych ") + where +
               QStringLiteral(". Wskaż plik z certyfikatem serwera lub jego wystawcy albo "
                              "przypnij odcisk SHA-256 certyfikatu: ") +
               tlsPinText(fingerprint) + u'.';
    }
    if (issuerAndName && name)
        return QStringLiteral("Certyfikat serwera wystawiono dla innej nazwy (") +
               certificateNames(cert) + QStringLiteral("), nie dla ") + host + u'.';
    if (expired)
        return QStringLiteral("Certyfikat serwera wygasł ") + day(cert.expiryDate()) + u'.';
    if (early)
        return QStringLiteral("Certyfikat serwera jest ważny dopiero od ") +
               day(cert.effectiveDate()) + QStringLiteral(" (sprawdź zegar komputera).");
    return {};
}

} // namespace

TlsStream::TlsStream() = default;

TlsStream::~TlsStream() = default;

bool TlsStream::start(int fd, const QString& host, const TlsTrust& trust, int ms)
{
    m_problem.clear();
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    if (!trust.caFile.isEmpty()) {
        const QList<QSslCertificate> trusted = QSslCertificate::fromPath(
            trust.caFile, QSsl::Pem, QSslCertificate::PatternSyntax::FixedString);
        if (trusted.isEmpty()) {
            m_problem = QStringLiteral("Nie mogę odczytać certyfikatów z pliku ") + trust.caFile +
                        QStringLiteral(" (potrzebny plik PEM).");
            return false;
        }
        config.setCaCertificates(trusted);
    }
    // The handshake goes through whatever the certificate is; it is judged here, before a
    // single byte of the register's goes out, so that the message can say what is wrong.
    config.setPeerVerifyMode(QSslSocket::QueryPeer);
    m_socket = std::make_unique<QSslSocket>();
    m_socket->setSslConfiguration(config);
    m_socket->setPeerVerifyName(host);
    m_socket->setReadBufferSize(kReadBuffer);
    // Qt closes the descriptor it is given; the caller keeps its own.
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0 || !m_socket->setSocketDescriptor(own)) {
        if (own >= 0)
            ::close(own);
        m_problem = QStringLiteral("Nie mogę rozpocząć połączenia TLS.");
        return false;
    }
    m_socket->startClientEncryption();
    if (!m_socket->waitForEncrypted(ms)) {
        const QAbstractSocket::SocketError error = m_socket->error();
        pollfd p{fd, POLLRDHUP, 0};
        const bool closed = error == QAbstractSocket::RemoteHostClosedError ||
                            (::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP)));
        if (closed)
            m_problem = QStringLiteral("Serwer zamknął połączenie w trakcie uzgadniania TLS: być "
                                       "może na tym porcie nie ma TLS albo serwer nie przyjął "
                                       "tego połączenia.");
        else if (error == QAbstractSocket::SocketTimeoutError)
            m_problem = QStringLiteral("Serwer nie odpowiedział na uzgadnianie TLS w ciągu %1 s: "
                                       "być może to zwykły port tcp:// lub rfc2217://, bez TLS.")
                            .arg((ms + 999) / 1000);
        else
            m_problem = QStringLiteral("Serwer nie odpowiada jak serwer TLS: to raczej zwykły "
                                       "port tcp:// lub rfc2217://, bez TLS.");
        m_socket->abort();
        return false;
    }
    m_problem = certificateProblem(*m_socket, host, trust);
    if (!m_problem.isEmpty()) {
        m_socket->abort();
        return false;
    }
    return true;
}

bool TlsStream::gone() const
{
    return !m_socket || m_socket->state() != QAbstractSocket::ConnectedState;
}

bool TlsStream::write(QByteArrayView bytes)
{
    if (gone())
        return false;
    return bytes.isEmpty() || m_socket->write(bytes.data(), bytes.size()) == bytes.size();
}

bool TlsStream::flush(int ms)
{
    const QDeadlineTimer deadline(qMax(ms, 0));
    while (!gone() && unsent() > 0) {
        if (!m_socket->waitForBytesWritten(int(deadline.remainingTime())))
            return !gone() && m_socket->error() == QAbstractSocket::SocketTimeoutError;
        if (deadline.hasExpired())
            break;
    }
    return !gone();
}

qint64 TlsStream::read(char* into, qint64 max, int ms)
{
    if (!m_socket)
        return -1;
    if (m_socket->bytesAvailable() == 0 && !gone())
        m_socket->waitForReadyRead(qMax(ms, 0));
    if (m_socket->bytesAvailable() > 0)
        return m_socket->read(into, max);
    return gone() ? -1 : 0;
}

qint64 TlsStream::unsent() const
{
    return m_socket ? m_socket->bytesToWrite() + m_socket->encryptedBytesToWrite() : 0;
}

qint64 TlsStream::unread() const
{
    return m_socket ? m_socket->bytesAvailable() : 0;
}

#include "networkline.h"

#include "namelookup.h"

#include "tlsstream.h"

#include <cerrno>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Telnet (RFC 854) and its COM-PORT option (RFC 2217).
constexpr quint8 kIac = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251, kSb = 250, kSe = 240;
constexpr quint8 kBinary = 0, kSuppressGoAhead = 3, kComPort = 44;
// COM-PORT commands from the client; the server answers each with the code + 100.
constexpr quint8 kSetBaudRate = 1, kSetDataSize = 2, kSetParity = 3, kSetStopSize = 4,
                 kSetControl = 5, kSetLineStateMask = 10;
constexpr quint8 kServerOffset = 100, kNotifyLineState = 6;
// Line state bits of NOTIFY-LINESTATE that are line errors: overrun, parity, framing, break.
constexpr quint8 kLineErrorBits = 0x02 | 0x04 | 0x08 | 0x10;
// The five settings configure() waits for.
constexpr quint32 kSettingsAnswered = (1u << kSetBaudRate) | (1u << kSetDataSize) |
                                      (1u << kSetParity) | (1u << kSetStopSize) |
                                      (1u << kSetControl);

qint64 nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool ours(quint8 option)
{
    return option == kBinary || option == kSuppressGoAhead || option == kComPort;
}

quint64 bit(quint8 option)
{
    return option < 64 ? quint64(1) << option : 0;
}

// Connects within the deadline; the socket is non-blocking. -1 when no address answers.
int connectTo(const NetworkAddress& a, qint64 deadline)
{
    // The name lookup is bounded by the same deadline as the connection.
    const namelookup::Result found = namelookup::lookUp(
        a.host.toUtf8(), a.port,
        std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline - nowMs()));
    int fd = -1;
    for (const namelookup::Address& to : found.addresses) {
        if (fd >= 0)
            break;
        fd = ::socket(to.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0)
            continue;
        bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&to.address), to.length) == 0;
        while (!ok && (errno == EINPROGRESS || errno == EINTR)) {
            const qint64 left = deadline - nowMs();
            if (left <= 0)
                break;
            pollfd p{fd, POLLOUT, 0};
            const int pr = ::poll(&p, 1, int(left));
            if (pr < 0 && errno == EINTR)
                continue;
            int error = 0;
            socklen_t size = sizeof error;
            ok = pr > 0 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
            if (pr > 0 && !ok)
                break;
        }
        if (!ok) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd >= 0) {
        // Frames go out at once, not held back to be joined with the next ones.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    }
    return fd;
}

} // namespace

std::optional<NetworkAddress> parseNetworkAddress(const QString& text)
{
    static const struct {
        QLatin1String scheme;
        NetworkAddress::Kind kind;
        bool tls;
    } schemes[] = {
        {QLatin1String("tcp://"), NetworkAddress::Kind::RawTcp, false},
        {QLatin1String("rfc2217://"), NetworkAddress::Kind::Rfc2217, false},
        {QLatin1String("tls://"), NetworkAddress::Kind::RawTcp, true},
        {QLatin1String("rfc2217+tls://"), NetworkAddress::Kind::Rfc2217, true},
    };
    NetworkAddress a;
    QString rest;
    for (const auto& s : schemes)
        if (text.startsWith(s.scheme, Qt::CaseInsensitive)) {
            a.kind = s.kind;
            a.tls = s.tls;
            rest = text.mid(s.scheme.size());
        }
    if (rest.isEmpty())
        return std::nullopt;
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return std::nullopt;
    a.host = rest.left(colon);
    if (a.host.startsWith(QLatin1Char('[')) && a.host.endsWith(QLatin1Char(']')))
        a.host = a.host.mid(1, a.host.size() - 2);
    else if (a.host.contains(QLatin1Char(':')))
        return std::nullopt; // an IPv6 address needs its brackets
    bool ok = false;
    const uint port = rest.mid(colon + 1).toUInt(&ok);
    if (!ok || port == 0 || port > 65535 || a.host.isEmpty() || a.host.contains(QLatin1Char('/')) ||
        a.host.contains(QLatin1Char(' ')))
        return std::nullopt;
    a.port = quint16(port);
    return a;
}

NetworkSerialLine::NetworkSerialLine() = default;

NetworkSerialLine::NetworkSerialLine(const TlsTrust& trust) : m_trust(trust)
{
}

NetworkSerialLine::~NetworkSerialLine()
{
    close();
}

SerialLine::OpenError NetworkSerialLine::open(const QString& address)
{
    close();
    m_problem.clear();
    const std::optional<NetworkAddress> a = parseNetworkAddress(address);
    if (!a)
        return OpenError::Failed;
    qint64 deadline = nowMs() + ConnectTimeoutMs;
    m_fd = connectTo(*a, deadline);
    if (m_fd < 0)
        return OpenError::Failed;
    acknowledgeNow();
    if (a->tls) {
        // Nothing of ours goes out before the server's certificate passed.
        m_tls = std::make_unique<TlsStream>();
        if (!m_tls->start(m_fd, a->host, m_trust, HandshakeTimeoutMs)) {
            const QString why = m_tls->problem();
            close();
            m_problem = why;
            return OpenError::Failed;
        }
        deadline = nowMs() + ConnectTimeoutMs;
    }
    m_telnet = a->kind == NetworkAddress::Kind::Rfc2217;
    m_timeouts = LineTimeouts{};
    if (m_telnet) {
        // Binary both ways, no go-ahead, and the COM-PORT option on our side.
        queueCommand(kWill, kComPort);
        queueCommand(kWill, kBinary);
        queueCommand(kDo, kBinary);
        queueCommand(kWill, kSuppressGoAhead);
        queueCommand(kDo, kSuppressGoAhead);
        m_will = bit(kComPort) | bit(kBinary) | bit(kSuppressGoAhead);
        m_do = bit(kBinary) | bit(kSuppressGoAhead);
        if (!flush(deadline)) {
            close();
            return OpenError::Failed;
        }
    }
    return OpenError::None;
}

void NetworkSerialLine::close()
{
    m_tls.reset();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_telnet = m_gone = false;
    m_in.clear();
    m_out.clear();
    m_state = Telnet::Data;
    m_sub.clear();
    m_comPortRefused = m_comPortAgreed = m_lineErrors = false;
    m_will = m_do = 0;
    m_answered = 0;
    m_sinceWrite = 0;
}

bool NetworkSerialLine::configure(const LineSettings& s)
{
    if (m_fd < 0 || s.dataBits < 5 || s.dataBits > 8 || s.parity > 4 || s.stopBits > 2 ||
        s.baud == 0)
        return false;
    if (!m_telnet)
        return true; // the server's own settings of its serial line apply
    const qint64 deadline = nowMs() + NegotiationTimeoutMs;
    while (!m_comPortAgreed && !m_comPortRefused && !m_gone && nowMs() < deadline)
        receive(deadline, true);
    if (!m_comPortAgreed || m_gone)
        return false;
    const char baud[4] = {char(s.baud >> 24), char(s.baud >> 16), char(s.baud >> 8), char(s.baud)};
    // Stop size codes: 1 one, 2 two, 3 one and a half. Control: 1 none, 2 XON/XOFF, 3 RTS/CTS.
    static const quint8 stopSizes[] = {1, 3, 2};
    const quint8 control = s.rtsCts ? 3 : s.xonXoff ? 2 : 1;
    m_answered = 0;
    queueComPort(kSetBaudRate, QByteArrayView(baud, 4));
    queueComPort(kSetDataSize, QByteArray(1, char(s.dataBits)));
    queueComPort(kSetParity, QByteArray(1, char(s.parity + 1))); // 1 none .. 5 space
    queueComPort(kSetStopSize, QByteArray(1, char(stopSizes[s.stopBits])));
    queueComPort(kSetControl, QByteArray(1, char(control)));
    queueComPort(kSetLineStateMask, QByteArray(1, char(kLineErrorBits)));
    if (!flush(deadline))
        return false;
    while ((m_answered & kSettingsAnswered) != kSettingsAnswered && !m_gone && nowMs() < deadline)
        receive(deadline, true);
    return (m_answered & kSettingsAnswered) == kSettingsAnswered && !m_gone;
}

SerialLine::WriteResult NetworkSerialLine::write(QByteArrayView bytes)
{
    WriteResult r;
    if (m_fd < 0)
        return r;
    if (m_gone || peerClosed()) {
        m_gone = true;
        r.vanished = true;
        return r;
    }
    const qint64 deadline =
        nowMs() + m_timeouts.writeConstant + qint64(m_timeouts.writeMultiplier) * bytes.size();
    if (!bytes.isEmpty())
        m_sinceWrite = 0;
    for (const char c : bytes) {
        m_out.append(c);
        if (m_telnet && quint8(c) == kIac)
            m_out.append(c); // a data byte 255 goes doubled
    }
    if (!flush(deadline)) {
        r.vanished = true;
        return r;
    }
    r.written = bytes.size();
    // Done when the bytes have left the computer, as with a serial port.
    for (;;) {
        r.pending = m_out.size() + socketQueued();
        if (r.pending == 0 || nowMs() >= deadline)
            break;
        const timespec pause{0, 200 * 1000};
        ::nanosleep(&pause, nullptr);
        // Qt's TLS socket passes on what it holds only when asked.
        if ((!m_out.isEmpty() || m_tls) && !flush(nowMs())) {
            r.vanished = true;
            return r;
        }
    }
    r.ok = true;
    return r;
}

qint64 NetworkSerialLine::read(char* into, qint64 count)
{
    if (m_fd < 0 || count <= 0)
        return 0;
    const qint64 deadline =
        nowMs() + m_timeouts.readConstant + qint64(m_timeouts.readMultiplier) * count;
    qint64 got = 0;
    for (;;) {
        const qint64 n = qMin<qint64>(m_in.size(), count - got);
        if (n > 0) {
            std::copy_n(m_in.constData(), n, into + got);
            m_in.remove(0, n);
            got += n;
        }
        if (got == count || m_gone || nowMs() >= deadline)
            break;
        if (!receive(deadline, true) && m_in.isEmpty())
            break; // the peer is gone: what arrived is all there is
    }
    return got;
}

int NetworkSerialLine::waitReadable(int ms)
{
    if (m_fd < 0)
        return -1;
    const qint64 deadline = nowMs() + ms;
    for (;;) {
        if (!m_in.isEmpty())
            return 1;
        if (m_gone)
            return -1; // let the caller wait it out, as on a hung-up device
        if (nowMs() >= deadline)
            return 0;
        receive(deadline, true);
    }
}

int NetworkSerialLine::status()
{
    if (m_fd < 0 || m_gone)
        return 1;
    if (m_telnet)
        receive(0, false); // a line state the server reported meanwhile
    if (m_lineErrors) {
        m_lineErrors = false;
        return 1;
    }
    return m_out.isEmpty() && socketQueued() == 0 ? 0 : 2;
}

bool NetworkSerialLine::flush(qint64 deadline)
{
    if (m_tls) {
        const bool taken = m_out.isEmpty() || m_tls->write(m_out);
        m_out.clear();
        if (!taken || !m_tls->flush(int(qMax<qint64>(deadline - nowMs(), 0)))) {
            m_gone = true;
            return false;
        }
        return true;
    }
    while (!m_out.isEmpty()) {
        const ssize_t n = ::send(m_fd, m_out.constData(), size_t(m_out.size()), MSG_NOSIGNAL);
        if (n > 0) {
            m_out.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            m_gone = true; // EPIPE, ECONNRESET: the peer is gone
            return false;
        }
        const qint64 left = deadline - nowMs();
        if (left <= 0)
            return true; // the rest stays queued
        pollfd p{m_fd, POLLOUT, 0};
        if (::poll(&p, 1, int(left)) < 0 && errno != EINTR)
            return true;
    }
    return true;
}

qint64 NetworkSerialLine::receiveSome(char* into, qint64 size, qint64 deadline, bool wait)
{
    if (m_tls)
        return m_tls->read(into, size, wait ? int(qMax<qint64>(deadline - nowMs(), 0)) : 0);
    for (;;) {
        const ssize_t n = ::recv(m_fd, into, size_t(size), 0);
        if (n > 0)
            return n;
        if (n == 0)
            return -1; // the peer closed the connection
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return -1;
        const qint64 left = deadline - nowMs();
        if (!wait || left <= 0)
            return 0;
        pollfd p{m_fd, POLLIN, 0};
        const int pr = ::poll(&p, 1, int(left));
        if (pr == 0 || (pr < 0 && errno != EINTR))
            return 0;
    }
}

bool NetworkSerialLine::receive(qint64 deadline, bool wait)
{
    char buf[4096];
    const qint64 n = receiveSome(buf, sizeof buf, deadline, wait);
    if (n < 0) {
        m_gone = true;
        return false;
    }
    if (n == 0)
        return true;
    acknowledgeNow();
    const qint64 before = m_in.size();
    takeIn(buf, n);
    m_sinceWrite += m_in.size() - before;
    if (m_gone)
        return false;
    // Counted as well as measured: a reader quick enough keeps the queue short, but no
    // register sends this much before the program says something.
    if (unread() > FloodLimit || m_sinceWrite > FloodLimit) {
        cutOff(QStringLiteral("Serwer przysyła dane bez przerwy, więcej, niż mogłaby wysłać "
                              "kasa (ponad %1 KiB czeka na odbiór).")
                   .arg(FloodLimit / 1024));
        return false;
    }
    if (!m_out.isEmpty() && !flush(nowMs()))
        return false;
    if (m_out.size() + (m_tls ? m_tls->unsent() : 0) > FloodLimit) {
        cutOff(QStringLiteral("Serwer zasypuje połączenie poleceniami telnetu i nie odbiera "
                              "odpowiedzi na nie."));
        return false;
    }
    return true;
}

void NetworkSerialLine::takeIn(const char* bytes, qint64 count)
{
    if (!m_telnet) {
        m_in.append(bytes, count);
        return;
    }
    // Commands may be split anywhere between two receives; the state carries over.
    for (qint64 i = 0; i < count; ++i) {
        const quint8 c = quint8(bytes[i]);
        switch (m_state) {
        case Telnet::Data:
            if (c == kIac)
                m_state = Telnet::Iac;
            else
                m_in.append(char(c));
            break;
        case Telnet::Iac:
            if (c == kIac) {
                m_in.append(char(c));
                m_state = Telnet::Data;
            } else if (c >= kWill) {
                m_command = c;
                m_state = Telnet::Option;
            } else if (c == kSb) {
                m_sub.clear();
                m_state = Telnet::Sub;
            } else {
                m_state = Telnet::Data; // NOP, go-ahead and the like
            }
            break;
        case Telnet::Option:
            onOption(m_command, c);
            m_state = Telnet::Data;
            break;
        case Telnet::Sub:
            if (c == kIac)
                m_state = Telnet::SubIac;
            else
                m_sub.append(char(c));
            if (m_sub.size() > SubnegotiationLimit) {
                cutOff(QStringLiteral("Serwer przysłał podnegocjację telnetu dłuższą niż %1 "
                                      "bajtów, jakiej nie wysyła żaden serwer portu "
                                      "szeregowego.")
                           .arg(SubnegotiationLimit));
                return;
            }
            break;
        case Telnet::SubIac:
            if (c == kIac) {
                m_sub.append(char(c));
                m_state = Telnet::Sub;
            } else {
                if (c == kSe)
                    onSubnegotiation();
                m_state = Telnet::Data;
            }
            break;
        }
    }
}

void NetworkSerialLine::onOption(quint8 command, quint8 option)
{
    // Answer only changes of state, so that the two sides never echo each other for ever.
    switch (command) {
    case kDo:
        if (option == kComPort)
            m_comPortAgreed = true;
        if (!ours(option))
            queueCommand(kWont, option);
        else if (!(m_will & bit(option))) {
            m_will |= bit(option);
            queueCommand(kWill, option);
        }
        break;
    case kDont:
        if (option == kComPort)
            m_comPortRefused = true;
        if (m_will & bit(option)) {
            m_will &= ~bit(option);
            queueCommand(kWont, option);
        }
        break;
    case kWill:
        if (option != kBinary && option != kSuppressGoAhead)
            queueCommand(kDont, option);
        else if (!(m_do & bit(option))) {
            m_do |= bit(option);
            queueCommand(kDo, option);
        }
        break;
    case kWont:
        if (m_do & bit(option)) {
            m_do &= ~bit(option);
            queueCommand(kDont, option);
        }
        break;
    default:
        break;
    }
}

void NetworkSerialLine::onSubnegotiation()
{
    if (m_sub.size() < 2 || quint8(m_sub[0]) != kComPort)
        return;
    const quint8 command = quint8(m_sub[1]);
    if (command < kServerOffset)
        return; // the server asking for our signature: nothing to tell
    const quint8 answer = quint8(command - kServerOffset);
    if (answer < 32)
        m_answered |= 1u << answer;
    if (answer == kNotifyLineState && m_sub.size() >= 3 && (quint8(m_sub[2]) & kLineErrorBits))
        m_lineErrors = true;
}

void NetworkSerialLine::queueCommand(quint8 command, quint8 option)
{
    m_out.append(char(kIac)).append(char(command)).append(char(option));
}

void NetworkSerialLine::queueComPort(quint8 command, QByteArrayView value)
{
    m_out.append(char(kIac)).append(char(kSb)).append(char(kComPort)).append(char(command));
    for (const char c : value) {
        m_out.append(c);
        if (quint8(c) == kIac)
            m_out.append(c);
    }
    m_out.append(char(kIac)).append(char(kSe));
}

void NetworkSerialLine::cutOff(const QString& why)
{
    if (m_problem.isEmpty())
        m_problem = why;
    m_gone = true;
    m_out.clear();
    ::shutdown(m_fd, SHUT_RDWR);
}

void NetworkSerialLine::acknowledgeNow() const
{
#ifdef TCP_QUICKACK
    // Linux falls back to delayed acknowledgements by itself, so this is said after every
    // receive.
    const int on = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
}

qint64 NetworkSerialLine::unread() const
{
    int queued = 0;
    if (::ioctl(m_fd, FIONREAD, &queued) != 0)
        queued = 0;
    return m_in.size() + (m_tls ? m_tls->unread() : 0) + qMax(queued, 0);
}

bool NetworkSerialLine::peerClosed() const
{
    pollfd p{m_fd, POLLRDHUP, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR));
}

qint64 NetworkSerialLine::socketQueued() const
{
    int queued = 0;
#ifdef SIOCOUTQNSD
    // Not yet sent: what is sent but not yet acknowledged has left the computer.
    if (::ioctl(m_fd, SIOCOUTQNSD, &queued) != 0)
        queued = 0;
#else
    if (::ioctl(m_fd, SIOCOUTQ, &queued) != 0)
        queued = 0;
#endif
    return qMax(queued, 0) + (m_tls ? m_tls->unsent() : 0);
}

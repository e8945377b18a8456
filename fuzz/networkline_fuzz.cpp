// The network line against a serial device server scripted by the input, over a real loopback
// connection: what the server sends (data, telnet commands, subnegotiations, its hang-up) and
// what the caller does meanwhile (writes, reads, waits, line checks, the line settings).
// Whatever the server sends, the line sends nothing but the caller's bytes, in order, and
// the negotiation the protocol asks for (a telnet command of ours answers at most one of the
// server's, COM-PORT settings only when the caller sets the line), and every call returns
// within its time-out.
#include "link/networkline.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "networkline_fuzz: %s\n", what);
        std::abort();
    }
}

qint64 nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// What any call may take beyond its own time-out on a loaded machine.
constexpr qint64 kSlackMs = 1000;

// The server's listening socket, made once per process.
int listener(quint16* port)
{
    static quint16 bound = 0;
    static const int fd = [] {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(s, 8);
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &size);
        bound = ntohs(a.sin_port);
        return s;
    }();
    *port = bound;
    return fd;
}

struct Input {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    uint8_t next() { return pos < size ? data[pos++] : 0; }
    QByteArray take(size_t n)
    {
        n = std::min(n, size - pos);
        const QByteArray bytes(reinterpret_cast<const char*>(data + pos), qsizetype(n));
        pos += n;
        return bytes;
    }
    bool done() const { return pos >= size; }
};

// Telnet option commands in bytes the server sent: an upper bound of those it really sent
// (a doubled 255 followed by a command byte counts too).
int optionCommands(const QByteArray& bytes)
{
    int n = 0;
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i)
        if (quint8(bytes[i]) == 255 && quint8(bytes[i + 1]) >= 251 && quint8(bytes[i + 1]) <= 254)
            ++n;
    return n;
}

// Splits what the line sent into data bytes and counts its telnet commands; false when it
// sent a command the line has no business sending.
bool parseTelnet(const QByteArray& sent, QByteArray& data, int& options, int& comPorts)
{
    for (qsizetype i = 0; i < sent.size(); ++i) {
        const quint8 c = quint8(sent[i]);
        if (c != 255) {
            data.append(char(c));
            continue;
        }
        if (++i >= sent.size())
            return true; // cut short by a hang-up
        const quint8 command = quint8(sent[i]);
        if (command == 255) {
            data.append(char(255));
        } else if (command >= 251 && command <= 254) {
            ++options;
            ++i; // the option
        } else if (command == 250) {
            // Only ours: COM-PORT (44) with a client command of the line settings.
            if (i + 2 >= sent.size())
                return true;
            const quint8 option = quint8(sent[i + 1]), code = quint8(sent[i + 2]);
            if (option != 44 ||
                !(code == 1 || code == 2 || code == 3 || code == 4 || code == 5 || code == 10))
                return false;
            ++comPorts;
            i += 2;
            while (i + 1 < sent.size() && !(quint8(sent[i]) == 255 && quint8(sent[i + 1]) == 240))
                i += quint8(sent[i]) == 255 ? 2 : 1;
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    Input in{bytes, size};
    const uint8_t mode = in.next();
    const bool telnet = mode & 1;
    quint16 port = 0;
    const int listen = listener(&port);
    NetworkSerialLine line;
    const QString address =
        (telnet ? QStringLiteral("rfc2217://127.0.0.1:") : QStringLiteral("tcp://127.0.0.1:")) +
        QString::number(port);
    if (line.open(address) != SerialLine::OpenError::None)
        return 0;
    const int server = ::accept4(listen, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    check(server >= 0, "the connection was not there to accept");

    QByteArray script, written;
    bool serverClosed = false;
    int configures = 0;
    // Waits are few and short, so that the fuzzer runs many inputs a second.
    for (int ops = 0; ops < 96 && !in.done(); ++ops) {
        const uint8_t op = in.next();
        const uint8_t arg = in.next();
        const qint64 start = nowMs();
        qint64 bound = 0;
        switch (op % 7) {
        case 0:
        case 1: { // the server sends
            const QByteArray chunk = in.take(arg);
            if (!serverClosed) {
                const ssize_t n =
                    ::send(server, chunk.constData(), size_t(chunk.size()), MSG_NOSIGNAL);
                if (n > 0)
                    script.append(chunk.left(n));
            }
            break;
        }
        case 2: { // the caller writes
            const QByteArray data = in.take(arg % 32);
            line.setTimeouts(LineTimeouts{0, 0, 1, 1, 2});
            bound = 2 + data.size();
            written.append(data); // what reached the server of it is a prefix
            line.write(data);
            break;
        }
        case 3: { // the caller reads
            char buf[256];
            const quint32 wait = arg % 8 == 0 ? 2 : 0;
            line.setTimeouts(LineTimeouts{0, 0, wait, 1, 2});
            bound = wait;
            const qint64 n = line.read(buf, 1 + arg);
            check(n >= 0 && n <= 1 + arg, "a read gave more than asked");
            break;
        }
        case 4:
            bound = arg % 8 == 0 ? 1 : 0;
            line.waitReadable(int(bound));
            break;
        case 5:
            line.status();
            break;
        case 6:
            // The settings wait for the server's answers; a silent one would cost the whole
            // negotiation time-out, so only once the server has hung up.
            if (telnet && !serverClosed) {
                ::shutdown(server, SHUT_WR);
                serverClosed = true;
            }
            bound = NetworkSerialLine::NegotiationTimeoutMs;
            line.configure(LineSettings{1200u << (arg % 8), quint8(5 + arg % 4), quint8(arg % 5),
                                        quint8(arg % 3), bool(arg & 0x40), bool(arg & 0x80)});
            ++configures;
            break;
        }
        check(nowMs() - start <= bound + kSlackMs, "a call overran its time-out");
    }
    line.close();

    // Everything the line sent, up to its hang-up.
    QByteArray sent;
    for (;;) {
        char buf[4096];
        pollfd p{server, POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0)
            break;
        const ssize_t n = ::recv(server, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        sent.append(buf, n);
    }
    ::close(server);

    if (!telnet) {
        check(written.startsWith(sent), "raw TCP sent bytes the caller did not give");
        return 0;
    }
    QByteArray data;
    int options = 0, comPorts = 0;
    check(parseTelnet(sent, data, options, comPorts), "a telnet command of no use was sent");
    check(written.startsWith(data), "telnet sent data bytes the caller did not give");
    // Five offers at the start, then at most one answer to each command of the server's.
    check(options <= 5 + optionCommands(script), "more option commands than the server asked");
    check(comPorts <= 6 * configures, "COM-PORT settings without the caller setting the line");
    return 0;
}

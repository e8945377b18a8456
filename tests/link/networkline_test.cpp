// The network line against a server scripted byte by byte in the test: the addresses it
// takes, the telnet layer of RFC 2217 (commands taken out of the data wherever the reads
// split them, 255 doubled, the server's options answered, line errors reported), a prompt
// side of the conversation, and servers that break the rules cut off with their reason.
#include "fakeui.h"
#include "link/link.h"
#include "link/networkline.h"
#include "link/portmap.h"
#include "link/tlstrust.h"
#include "scriptedserver.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace {

// Telnet bytes, written out from RFC 854 and RFC 2217.
constexpr char IAC = char(255), DONT = char(254), DO = char(253), WILL = char(251), SB = char(250),
               SE = char(240), NOP = char(241);
constexpr char ECHO = 1, COMPORT = 44;

// A loopback server that accepts one client.
struct Server {
    Server()
    {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        ::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listener, 1);
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &size);
        port = ntohs(a.sin_port);
    }
    ~Server()
    {
        if (client >= 0)
            ::close(client);
        ::close(listener);
    }
    void accept() { client = ::accept(listener, nullptr, nullptr); }
    // Sends one byte at a time with a pause, so that the client's reads split everywhere.
    void dribble(const QByteArray& bytes)
    {
        for (const char c : bytes) {
            ::send(client, &c, 1, MSG_NOSIGNAL);
            ::usleep(2000);
        }
    }
    // What the client sent within `ms`.
    QByteArray received(int ms)
    {
        QByteArray all;
        pollfd p{client, POLLIN, 0};
        while (::poll(&p, 1, ms) > 0) {
            char buf[256];
            const ssize_t n = ::recv(client, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            all.append(buf, n);
        }
        return all;
    }
    int listener = -1;
    int client = -1;
    quint16 port = 0;
};

QByteArray bytes(std::initializer_list<char> list)
{
    return QByteArray(list.begin(), qsizetype(list.size()));
}

QByteArray comPort(char command, const QByteArray& value)
{
    return bytes({IAC, SB, COMPORT, command}) + value + bytes({IAC, SE});
}

} // namespace

TEST(NetworkLineAddress, TcpAndRfc2217AddressesAreNetworkPorts)
{
    struct Case {
        const char* text;
        bool network;
        NetworkAddress::Kind kind;
        const char* host;
        quint16 port;
    };
    const Case cases[] = {
        {"tcp://127.0.0.1:4001", true, NetworkAddress::Kind::RawTcp, "127.0.0.1", 4001},
        {"rfc2217://kasa.local:2217", true, NetworkAddress::Kind::Rfc2217, "kasa.local", 2217},
        {"tcp://[::1]:7000", true, NetworkAddress::Kind::RawTcp, "::1", 7000},
        {"tls://kasa.example:4443", true, NetworkAddress::Kind::RawTcp, "kasa.example", 4443},
        {"RFC2217+TLS://10.0.0.5:4444", true, NetworkAddress::Kind::Rfc2217, "10.0.0.5", 4444},
        {"tls://", false, NetworkAddress::Kind::RawTcp, "", 0},
        {"rfc2217+tcp://10.0.0.5:4444", false, NetworkAddress::Kind::RawTcp, "", 0},
        {"/dev/ttyUSB0", false, NetworkAddress::Kind::RawTcp, "", 0},
        {"tcp://127.0.0.1", false, NetworkAddress::Kind::RawTcp, "", 0},
        {"tcp://127.0.0.1:70000", false, NetworkAddress::Kind::RawTcp, "", 0},
        {"tcp://::1:7000", false, NetworkAddress::Kind::RawTcp, "", 0},
        {"udp://127.0.0.1:7000", false, NetworkAddress::Kind::RawTcp, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(portmap::isNetworkAddress(text), c.network);
        const auto a = parseNetworkAddress(text);
        ASSERT_EQ(a.has_value(), c.network);
        if (!a)
            continue;
        EXPECT_EQ(a->kind, c.kind);
        EXPECT_EQ(a->tls, text.contains(QLatin1String("tls"), Qt::CaseInsensitive));
        EXPECT_EQ(a->host, QString::fromLatin1(c.host));
        EXPECT_EQ(a->port, c.port);
    }
}

TEST(NetworkLineTelnet, CommandsLeaveTheDataWholeAndInOrder)
{
    Server server;
    NetworkSerialLine line;
    ASSERT_EQ(line.open(QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.port)),
              SerialLine::OpenError::None);
    server.accept();
    // The client asks for binary both ways, no go-ahead, and offers the COM-PORT option.
    const QByteArray offers = server.received(200);
    for (const QByteArray& want : {bytes({IAC, WILL, COMPORT}), bytes({IAC, WILL, 0}),
                                   bytes({IAC, DO, 0}), bytes({IAC, WILL, 3}), bytes({IAC, DO, 3})})
        EXPECT_TRUE(offers.contains(want)) << offers.toHex().toStdString();

    line.setTimeouts(LineTimeouts{0, 1, 2000, 10, 100});
    std::thread talk([&] {
        // Data 'A', 255, 'B' around an option offer, a NOP, a line state with a framing error
        // (0x08) and a subnegotiation that itself holds a doubled 255.
        server.dribble(bytes({'A', IAC, IAC, IAC, WILL, ECHO, 'B', IAC, NOP}) +
                       comPort(char(106), QByteArray(1, 0x08)) + bytes({'C'}) +
                       comPort(char(101), bytes({0, 0, IAC, IAC})) +
                       bytes({IAC, IAC, 'D', '\r', '\0'}));
    });
    char buf[8] = {};
    const qint64 n = line.read(buf, 7);
    talk.join();
    EXPECT_EQ(QByteArray(buf, int(n)), bytes({'A', IAC, 'B', 'C', IAC, 'D', '\r'}));
    EXPECT_EQ(line.status(), 1) << "the framing error the server reported";
    EXPECT_EQ(line.status(), 0) << "cleared by the check";
    // The option the client does not use is refused.
    EXPECT_TRUE(server.received(100).contains(bytes({IAC, DONT, ECHO})));

    // Our 255 goes doubled.
    ASSERT_TRUE(line.write(bytes({'x', IAC, 'y'})).ok);
    EXPECT_EQ(server.received(100), bytes({'x', IAC, IAC, 'y'}));

    // The server goes away: the next write finds the line vanished.
    ::close(server.client);
    server.client = -1;
    char rest[1];
    line.setTimeouts(LineTimeouts{0, 1, 100, 10, 100});
    EXPECT_EQ(line.read(rest, 1), 1) << "the NUL still on its way";
    EXPECT_EQ(line.read(rest, 1), 0);
    EXPECT_TRUE(line.write("z").vanished);
}

TEST(NetworkLineAddress, PinnedFingerprintsAsTyped)
{
    const QByteArray digest =
        QByteArray::fromHex("7f238acef572c4afb3e6822c3cc87982638a1b5b93feb0b321c7b822a4aa8a3f");
    const QString openssl = QStringLiteral(
        "7F:23:8A:CE:F5:72:C4:AF:B3:E6:82:2C:3C:C8:79:82:63:8A:1B:5B:93:FE:B0:B3:21:C7:B8:22:A4:AA:"
        "8A:3F");
    EXPECT_EQ(parseTlsPin(openssl), digest);
    EXPECT_EQ(parseTlsPin(openssl.toLower().remove(u':')), digest);
    EXPECT_EQ(parseTlsPin(QStringLiteral(" ") + openssl + QStringLiteral("\n")), digest);
    EXPECT_EQ(tlsPinText(digest), openssl);
    for (const QString& bad : {openssl.chopped(3), QString(openssl + QStringLiteral(":00")),
                               QString(openssl).replace(u'F', u'G'), QString()})
        EXPECT_FALSE(parseTlsPin(bad).has_value()) << bad.toStdString();
}

// The register's conversation is frame by frame: a question, an answer the server passes on
// in pieces as they come from the serial line. A server with Nagle's algorithm on (ser2net's
// default) holds every piece after the first until we acknowledge the first; acknowledging
// only after the delayed-ACK timer (40 ms on Linux) would cost that much every exchange.
TEST(NetworkLinePrompt, AnswersInPiecesAreNotHeldForOurAcknowledgement)
{
    constexpr int kExchanges = 100;
    ScriptedServer server([](int client) {
        for (int i = 0; i < kExchanges; ++i) {
            char question;
            if (::recv(client, &question, 1, 0) != 1)
                return;
            ::send(client, "a", 1, MSG_NOSIGNAL);
            ::usleep(500);
            ::send(client, "b", 1, MSG_NOSIGNAL);
        }
    });
    NetworkSerialLine line;
    ASSERT_EQ(line.open(QStringLiteral("tcp://127.0.0.1:%1").arg(server.port)),
              SerialLine::OpenError::None);
    line.setTimeouts(LineTimeouts{0, 1, 2000, 10, 100});
    QElapsedTimer took;
    took.start();
    int answered = 0;
    for (int i = 0; i < kExchanges; ++i) {
        char answer[2];
        if (!line.write("q").ok || line.read(answer, 2) != 2)
            break;
        ++answered;
    }
    EXPECT_EQ(answered, kExchanges);
    // Held back, the exchanges take 4 s at least; without, a few milliseconds each.
    EXPECT_LT(took.elapsed(), 2000);
}

// Servers that break the rules of a serial device server, each ended within the line's
// time-outs and reported with what it did: data without end (no register sends more than a
// frame before the program answers), a telnet subnegotiation without end.
TEST(NetworkLineHostile, ServersThatBreakTheRulesAreCutOffWithTheirReason)
{
    std::atomic<qint64> flooded = 0;
    const auto flood = [&flooded](int client) {
        const QByteArray junk(4096, 'U');
        ssize_t n = 0;
        while ((n = ::send(client, junk.constData(), size_t(junk.size()), MSG_NOSIGNAL)) > 0)
            flooded += n;
    };
    // The server's side of the COM-PORT option agreed, then a subnegotiation that never ends.
    const auto endlessSubnegotiation = [](int client) {
        const QByteArray start("\xFF\xFD\x2C\xFF\xFA\x2C\x65", 7); // DO COM-PORT, SB COM-PORT 101
        if (::send(client, start.constData(), size_t(start.size()), MSG_NOSIGNAL) < 0)
            return;
        const QByteArray more(4096, 'x');
        while (::send(client, more.constData(), size_t(more.size()), MSG_NOSIGNAL) > 0) {
        }
    };
    const QString floodText = QStringLiteral("Serwer przysyła dane bez przerwy, więcej, niż "
                                             "mogłaby wysłać kasa (ponad 64 KiB czeka na odbiór).");
    const QString subText = QStringLiteral("Serwer przysłał podnegocjację telnetu dłuższą niż 256 "
                                           "bajtów, jakiej nie wysyła żaden serwer portu "
                                           "szeregowego.");
    struct Case {
        const char* name;
        const char* scheme;
        std::function<void(int)> script;
        bool opens; // the rule is broken after the open (raw TCP), else during it
        QString problem;
    };
    const Case cases[] = {
        {"flood, raw TCP", "tcp", flood, true, floodText},
        {"flood, RFC 2217", "rfc2217", flood, false, floodText},
        {"subnegotiation without end", "rfc2217", endlessSubnegotiation, false, subText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        flooded = 0;
        ScriptedServer server(c.script);
        const QString address =
            QStringLiteral("%1://127.0.0.1:%2").arg(QLatin1String(c.scheme)).arg(server.port);
        Link link;
        FakeUi ui;
        link.device = address;
        link.port = 99;
        QElapsedTimer took;
        took.start();
        qint64 waited = 0;
        const int opened = link.openPort(ui, true);
        if (c.opens) {
            EXPECT_EQ(opened, 0);
            // Before the first frame the line is emptied: the flood shows there, once it has
            // begun (on a busy machine the server's thread may start late).
            QElapsedTimer begun;
            begun.start();
            while (flooded < 2 * NetworkSerialLine::FloodLimit && begun.elapsed() < 10000)
                std::this_thread::yield();
            waited = begun.elapsed();
            EXPECT_EQ(link.drainInput(ui), 1);
            EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Przerwano połączenie z portem ") +
                                               address + QStringLiteral(".\n") + c.problem});
        } else {
            EXPECT_EQ(opened, 1);
            EXPECT_EQ(ui.messages,
                      QStringList{QStringLiteral("Nie mogę otworzyć portu ") + address +
                                  QStringLiteral(" z takimi ustawieniami.\n") + c.problem});
        }
        EXPECT_EQ(link.lineProblem(), c.problem);
        EXPECT_FALSE(link.isOpen());
        EXPECT_EQ(link.port, Link::NoPort);
        EXPECT_LT(took.elapsed() - waited, NetworkSerialLine::ConnectTimeoutMs +
                                               NetworkSerialLine::NegotiationTimeoutMs + 2000);
    }
}

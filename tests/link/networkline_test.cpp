// The network line against a server scripted byte by byte in the test: the addresses it
// takes, and the telnet layer of RFC 2217 (commands taken out of the data wherever the reads
// split them, 255 doubled, the server's options answered, line errors reported).
#include "link/networkline.h"
#include "link/portmap.h"

#include <QByteArray>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

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

// The register behind a serial device server: the real link on a tcp:// or rfc2217:// port,
// against the emulator's own TCP host and against Debian's ser2net serving the emulator's
// pseudo-terminal. The article runs are the same as over a serial line.
#include "database/databasesession.h"
#include "emulator/emulatorhost.h"
#include "emulator/tcphost.h"
#include "fakeui.h"
#include "link/link.h"
#include "link/networkline.h"
#include "link/portmap.h"
#include "tables/articleread.h"
#include "tables/articlerecord.h"
#include "tables/articlesend.h"
#include "tables/tablelayout.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '{';
    for (const QString& s : l)
        *os << " \"" << s.toStdString() << '"';
    *os << " }";
}

namespace {

constexpr int kPort = 47;
constexpr int kBis = 2;

// The kinds of network port, each with what its address starts with.
struct Kind {
    const char* name;
    bool rfc2217;
};
constexpr Kind kKinds[] = {{"raw TCP", false}, {"RFC 2217", true}};

QString cannotOpen()
{
    return QStringLiteral("Nie mogę otworzyć portu ") + portmap::displayName(kPort) +
           QLatin1Char('.');
}

// A loopback TCP port nobody listens on (taken from the system and given back).
quint16 freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    ::close(fd);
    return ntohs(a.sin_port);
}

// Five articles whose frames carry bytes 255 (the telnet command byte) in the price and
// Polish letters in the name.
ArticleRecord article(int n)
{
    ArticleRecord r;
    r.number = n;
    r.name = QStringLiteral("Żółć świeża %1").arg(n);
    r.price = n == 1 ? 65535 : 0xFF00FF + n; // bytes FF FF 00 00, FF+n 00 FF 00
    r.barcode = QStringLiteral("590%1").arg(n, 10, 10, QLatin1Char('0'));
    r.group = 1;
    return r;
}

// The real link on port 47, pointed at `address`, and a working database.
struct Client {
    explicit Client(const QString& address) : session(dir.filePath(QStringLiteral("BDTemp.bdt")))
    {
        dbOk = dir.isValid() && session.startUp().ok;
        portmap::setPortOverride(kPort, address);
        link.port = kPort;
    }
    ~Client()
    {
        link.closePort();
        portmap::clearPortOverrides();
    }
    RegisterDatabase& db() { return session.database(); }
    QByteArray table() { return readTable(db(), layout::Articles); }

    QTemporaryDir dir;
    DatabaseSession session;
    Link link;
    FakeUi ui;
    bool dbOk = false;
};

// Programs five articles, empties the computer's base, reads the register's base back and
// compares: what came back is what was sent.
void articleRoundTrip(const QString& address)
{
    SCOPED_TRACE(address.toStdString());
    Client c(address);
    ASSERT_TRUE(c.dbOk);
    ASSERT_EQ(c.link.openPort(c.ui, true), 0) << c.ui.messages.join(u'\n').toStdString();
    for (int n = 1; n <= 5; ++n)
        ASSERT_TRUE(storeRecord(c.db(), layout::Articles, n, article(n)));
    const QByteArray sent = c.table();
    const auto run = articlesend::sendAll(c.link, c.ui, c.db(), {1, 2, 3, 4, 5}, kBis);
    EXPECT_EQ(run.programmed, 5);
    EXPECT_EQ(run.messages(), QStringList{QStringLiteral(" Zaprogramowano 5 towarów.")});
    for (int n = 1; n <= 5; ++n)
        c.db().writeRecord(layout::Articles.offsetOf(n), QByteArray(ArticleRecord::Size, '\0'));
    ASSERT_NE(c.table(), sent);
    const auto read = articleread::readArticles(c.link, c.ui, c.db(), kBis);
    EXPECT_TRUE(read.complete());
    EXPECT_EQ(read.framesStored, 5);
    EXPECT_TRUE(c.table() == sent) << "the articles read back differ from those sent";
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(loadRecord<ArticleRecord>(c.db(), layout::Articles, n), article(n)) << n;
    EXPECT_EQ(c.ui.messages, QStringList{});
}

} // namespace

// The same article runs as over a serial line, through the emulator's TCP host: raw and
// telnet with the COM-PORT option. With RFC 2217 the line settings reach the server.
TEST(NetworkLine, ArticlesProgrammedAndReadBackOverTcpAndRfc2217)
{
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        emu::RegisterModel reg(emu::Model::DunoBis);
        emu::TcpHost host(reg, {}, kind.rfc2217);
        ASSERT_TRUE(host.start());
        articleRoundTrip(host.address());
        EXPECT_EQ(host.connections(), 1);
        if (!kind.rfc2217) {
            EXPECT_TRUE(host.comPortRequests().isEmpty());
            continue;
        }
        // 115200 baud (00 01 C2 00), 8 data bits, parity none (1), one stop bit (1), no flow
        // control (1), and the line states that are errors reported (overrun, parity,
        // framing, break: 0x1E).
        const QList<QPair<int, QByteArray>> settings{{1, QByteArray("\x00\x01\xC2\x00", 4)},
                                                     {2, QByteArray(1, 8)},
                                                     {3, QByteArray(1, 1)},
                                                     {4, QByteArray(1, 1)},
                                                     {5, QByteArray(1, 1)},
                                                     {10, QByteArray(1, 0x1E)}};
        EXPECT_EQ(host.comPortRequests(), settings);
    }
}

// The server drops the connection instead of answering the second article: the run ends as
// when an adapter is unplugged. The next frame finds the connection gone, the link opens it
// again and the article goes through; with the server gone the port cannot be opened.
TEST(NetworkLine, DroppedConnectionIsReportedLikeAnUnpluggedAdapter)
{
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        emu::RegisterModel reg(emu::Model::DunoBis);
        emu::FaultPlan plan;
        plan.vanish = {2};
        reg.setFaults(plan);
        emu::TcpHost host(reg, {}, kind.rfc2217);
        ASSERT_TRUE(host.start());
        Client c(host.address());
        ASSERT_TRUE(c.dbOk);
        ASSERT_EQ(c.link.openPort(c.ui, true), 0);
        for (int n = 1; n <= 3; ++n)
            ASSERT_TRUE(storeRecord(c.db(), layout::Articles, n, article(n)));
        const auto run = articlesend::sendAll(c.link, c.ui, c.db(), {1, 2, 3}, kBis);
        EXPECT_EQ(run.messages(), QStringList{QStringLiteral(
                                      "Wystąpił błąd transmisji. Zaprogramowano 1 towarów.")});
        EXPECT_EQ(host.drops(), 1);

        const int again = articlesend::sendArticle(c.link, c.ui, c.db(), 2, kBis);
        EXPECT_EQ(articlesend::singleSendMessage(again, c.link.at(8)),
                  QStringLiteral("Towar zapisano w kasie"));
        EXPECT_EQ(host.connections(), 2);
        EXPECT_EQ(c.link.port, kPort);

        host.stop();
        EXPECT_NE(articlesend::sendArticle(c.link, c.ui, c.db(), 3, kBis), 0);
        EXPECT_EQ(c.ui.messages, QStringList{cannotOpen()});
        EXPECT_EQ(c.link.port, Link::NoPort);
    }
}

// Nobody listens at the address: the port does not open, the user is told which port, and
// no port is chosen afterwards.
TEST(NetworkLine, ClosedPortFailsToOpen)
{
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        const QString address = QLatin1String(kind.rfc2217 ? "rfc2217" : "tcp") +
                                QStringLiteral("://127.0.0.1:") + QString::number(freePort());
        Client c(address);
        EXPECT_EQ(portmap::displayName(kPort), QStringLiteral("COM47 (") + address + u')');
        EXPECT_EQ(c.link.openPort(c.ui, true), 1);
        EXPECT_EQ(c.ui.messages, QStringList{QStringLiteral("Nie mogę otworzyć portu COM47 (") +
                                             address + QStringLiteral(").")});
        EXPECT_EQ(c.link.port, Link::NoPort);
    }
}

// A server that takes the connection and says nothing: a read ends within its total
// time-out with nothing; a server that never takes up the COM-PORT option cannot have the
// line set, so the port does not open with those settings.
TEST(NetworkLine, SilentServerEndsReadsWithinTheTimeout)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(listener, 4), 0); // connections complete in the backlog, unanswered
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &size);
    const QString hostPort = QStringLiteral("127.0.0.1:") + QString::number(ntohs(a.sin_port));

    NetworkSerialLine line;
    ASSERT_EQ(line.open(QStringLiteral("tcp://") + hostPort), SerialLine::OpenError::None);
    EXPECT_TRUE(line.configure(LineSettings{}));
    line.setTimeouts(LineTimeouts{0, 1, 200, 10, 100});
    char buf[10];
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(line.read(buf, 10), 0);
    const qint64 took = t.elapsed();
    EXPECT_GE(took, 209);
    EXPECT_LT(took, 5000);
    EXPECT_EQ(line.waitReadable(50), 0);
    EXPECT_EQ(line.status(), 0);
    EXPECT_TRUE(line.write("\x02\x01").ok);
    line.close();

    Client c(QStringLiteral("rfc2217://") + hostPort);
    EXPECT_EQ(c.link.openPort(c.ui, true), 1);
    EXPECT_EQ(c.ui.messages,
              QStringList{QStringLiteral("Nie mogę otworzyć portu COM47 (rfc2217://") + hostPort +
                          QStringLiteral(") z takimi ustawieniami.")});
    ::close(listener);
}

// Debian's ser2net serving the emulator's pseudo-terminal, raw and as RFC 2217: the same
// article runs as over the pseudo-terminal itself.
TEST(NetworkLine, ArticlesThroughSer2net)
{
    QString ser2net = QStandardPaths::findExecutable(QStringLiteral("ser2net"));
    if (ser2net.isEmpty()) // a program of the system's, outside an ordinary user's PATH
        ser2net = QStandardPaths::findExecutable(
            QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (ser2net.isEmpty())
        GTEST_SKIP() << "ser2net is not installed (apt-get install ser2net)";
    // One register on its own pseudo-terminal for each kind of port, as a device server has
    // one serial port per TCP port.
    emu::RegisterModel rawReg(emu::Model::DunoBis), telnetReg(emu::Model::DunoBis);
    emu::EmulatorHost rawPty(rawReg), telnetPty(telnetReg);
    ASSERT_TRUE(rawPty.start() && telnetPty.start());
    const quint16 raw = freePort(), telnet = freePort();
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("ser2net.yaml"));
    {
        QFile f(config);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("connection: &raw\n  accepter: tcp,127.0.0.1," + QByteArray::number(raw) +
                "\n  connector: serialdev," + QFile::encodeName(rawPty.devicePath()) +
                ",115200n81,local\n" +
                "connection: &rfc2217\n  accepter: telnet(rfc2217),tcp,127.0.0.1," +
                QByteArray::number(telnet) + "\n  connector: serialdev," +
                QFile::encodeName(telnetPty.devicePath()) + ",115200n81,local\n");
    }
    // In the foreground, without the UUCP lock files of a system service.
    QProcess server;
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start(ser2net, {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-u"),
                           QStringLiteral("-c"), config});
    ASSERT_TRUE(server.waitForStarted(5000));
    // Ready when both ports are taken (a trial connection would make ser2net open the
    // pseudo-terminal, and its closing could swallow the register's first answers).
    auto listening = [](quint16 port) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool taken = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0;
        ::close(fd);
        return taken;
    };
    QElapsedTimer waited;
    waited.start();
    while (!(listening(raw) && listening(telnet)) && waited.elapsed() < 10000 &&
           server.state() == QProcess::Running)
        server.waitForReadyRead(50);
    ASSERT_TRUE(listening(raw) && listening(telnet)) << server.readAll().toStdString();

    articleRoundTrip(QStringLiteral("tcp://127.0.0.1:") + QString::number(raw));
    articleRoundTrip(QStringLiteral("rfc2217://127.0.0.1:") + QString::number(telnet));

    server.terminate();
    if (!server.waitForFinished(5000)) {
        server.kill();
        server.waitForFinished(5000);
    }
    if (HasFailure())
        ADD_FAILURE() << "ser2net said:\n" << server.readAll().toStdString();
}

// The register behind a serial device server: the real link on a tcp:// or rfc2217:// port,
// against the emulator's own TCP host and against Debian's ser2net serving the emulator's
// pseudo-terminal, and on tls:// and rfc2217+tls:// ports against the emulator behind TLS.
// The article runs are the same as over a serial line.
#include "database/databasesession.h"
#include "emulator/emulatorhost.h"
#include "emulator/tcphost.h"
#include "emulator/tlsfront.h"
#include "fakeui.h"
#include "link/answers.h"
#include "link/link.h"
#include "link/networkline.h"
#include "link/portmap.h"
#include "loopbackport.h"
#include "scriptedserver.h"
#include "ser2net.h"
#include "tables/articleread.h"
#include "tables/articlerecord.h"
#include "tables/articlesend.h"
#include "tables/tablelayout.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <list>
#include <thread>

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
    explicit Client(const QString& address, const TlsTrust& trust = {})
        : session(dir.filePath(QStringLiteral("BDTemp.bdt")))
    {
        dbOk = dir.isValid() && session.startUp().ok;
        portmap::setPortOverride(kPort, address);
        link.port = kPort;
        link.tls = trust;
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
void articleRoundTrip(const QString& address, const TlsTrust& trust = {})
{
    SCOPED_TRACE(address.toStdString());
    Client c(address, trust);
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

// The test certificates (tests/data/tls, made by its make.sh with openssl).
QString tlsFile(const char* name)
{
    return QStringLiteral(VDUNO_TLS_DATA "/") + QString::fromLatin1(name);
}
QByteArray fingerprintOf(const char* certificate)
{
    QFile f(tlsFile(certificate) + QStringLiteral(".sha256"));
    return f.open(QIODevice::ReadOnly)
               ? parseTlsPin(QString::fromLatin1(f.readAll())).value_or(QByteArray())
               : QByteArray();
}

// The emulator's register behind TLS with the certificate `name` (server, other, expired).
struct TlsRegister {
    TlsRegister(const char* name, bool rfc2217 = false)
        : host(reg, {}, rfc2217), front((host.start(), host.port())), rfc2217(rfc2217)
    {
        ok = host.running() &&
             front.load(tlsFile(name) + QStringLiteral(".pem"),
                        tlsFile(name) + QStringLiteral(".key")) &&
             front.start();
    }
    QString address() const { return front.address(rfc2217); }
    emu::RegisterModel reg{emu::Model::DunoBis};
    emu::TcpHost host;
    emu::TlsFront front;
    bool rfc2217;
    bool ok = false;
};

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

// The server drops the connection instead of answering the second article, as when an
// adapter is unplugged: the article goes again, the link opens the connection again for it
// and the run goes on; with the server gone the port cannot be opened.
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
                                      " Zaprogramowano 3 towarów. Ramki wysłane ponownie: 1.")});
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
                                QStringLiteral("://127.0.0.1:") +
                                QString::number(unusedLoopbackPort());
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

// Debian's ser2net serving the emulator's pseudo-terminal, raw and as RFC 2217, in the clear
// and inside TLS (its ssl gensio with the test certificate): the same article runs as over the
// pseudo-terminal itself.
TEST(NetworkLine, ArticlesThroughSer2net)
{
    if (Ser2net::program().isEmpty())
        GTEST_SKIP() << "ser2net is not installed (apt-get install ser2net)";
    // One register on its own pseudo-terminal for each kind of port, as a device server has
    // one serial port per TCP port.
    const QByteArray ssl = "ssl(key=" + QFile::encodeName(tlsFile("server.key")) +
                           ",cert=" + QFile::encodeName(tlsFile("server.pem")) + "),";
    // The plain ports with ser2net's default accepter, the TLS ones with tcp(nodelay), as the
    // README shows them.
    struct Port {
        const char* scheme;
        QByteArray accepter; // before ",127.0.0.1,PORT"
    };
    const Port kinds[] = {{"tcp", "tcp"},
                          {"rfc2217", "telnet(rfc2217),tcp"},
                          {"tls", ssl + "tcp(nodelay)"},
                          {"rfc2217+tls", "telnet(rfc2217)," + ssl + "tcp(nodelay)"}};
    std::list<emu::RegisterModel> registers;
    std::list<emu::EmulatorHost> ptys;
    QList<quint16> ports;
    QByteArray yaml;
    for (const Port& kind : kinds) {
        emu::EmulatorHost& pty = ptys.emplace_back(registers.emplace_back(emu::Model::DunoBis));
        ASSERT_TRUE(pty.start());
        ports << unusedLoopbackPort();
        yaml += "connection: &c" + QByteArray::number(ports.size()) +
                "\n  accepter: " + kind.accepter + ",127.0.0.1," +
                QByteArray::number(ports.last()) + "\n  connector: serialdev," +
                QFile::encodeName(pty.devicePath()) + ",115200n81,local\n";
    }
    Ser2net server;
    ASSERT_TRUE(server.start(yaml, ports)) << server.output().toStdString();
    for (int k = 0; k < ports.size(); ++k)
        articleRoundTrip(QString::fromLatin1(kinds[k].scheme) + QStringLiteral("://127.0.0.1:") +
                             QString::number(ports.at(k)),
                         TlsTrust{tlsFile("ca.pem"), {}});
    if (HasFailure())
        ADD_FAILURE() << "ser2net said:\n" << server.output().toStdString();
}

// The same article runs inside TLS, the server's certificate trusted by the CA's file: raw
// and telnet with the COM-PORT option.
TEST(NetworkLineTls, ArticlesProgrammedAndReadBackOverTlsAndRfc2217Tls)
{
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        TlsRegister tls("server", kind.rfc2217);
        ASSERT_TRUE(tls.ok);
        articleRoundTrip(tls.address(), TlsTrust{tlsFile("ca.pem"), {}});
        EXPECT_EQ(tls.host.connections(), 1);
        EXPECT_EQ(tls.front.failedHandshakes(), 0);
    }
}

// What the server's certificate is checked against: the system's store, a CA file, a pinned
// fingerprint. A certificate that passes opens the port and the register answers; one that
// does not ends the connection before a single byte reaches the register, with what failed.
TEST(NetworkLineTls, CertificateThatDoesNotVerifyEndsTheConnectionBeforeAnyFrame)
{
    const QString ca = tlsFile("ca.pem");
    const QByteArray wrongPin(32, '\x5A');
    const QString untrusted = QStringLiteral(
        "Certyfikat serwera nie jest zaufany: jego wystawcy („Vorn Duno test CA”) nie ma wśród "
        "certyfikatów zaufanych w systemie. Wskaż plik z certyfikatem serwera lub jego wystawcy "
        "albo przypnij odcisk SHA-256 certyfikatu: ");
    struct Case {
        const char* name;
        const char* certificate;
        TlsTrust trust;
        QString refusal; // empty: the port opens
    };
    const Case cases[] = {
        {"CA file", "server", {ca, {}}, {}},
        {"pinned", "server", {{}, fingerprintOf("server")}, {}},
        {"pinned and CA file", "server", {ca, fingerprintOf("server")}, {}},
        {"a pinned certificate needs no name", "other", {{}, fingerprintOf("other")}, {}},
        {"system store", "server", {}, untrusted + tlsPinText(fingerprintOf("server")) + u'.'},
        {"another name",
         "other",
         {ca, {}},
         QStringLiteral("Certyfikat serwera wystawiono dla innej nazwy (inny.example), nie dla "
                        "127.0.0.1.")},
        {"expired", "expired", {ca, {}}, QStringLiteral("Certyfikat serwera wygasł 2021-01-01.")},
        {"expired and pinned",
         "expired",
         {{}, fingerprintOf("expired")},
         QStringLiteral("Certyfikat serwera wygasł 2021-01-01.")},
        {"fingerprint differs",
         "server",
         {{}, wrongPin},
         QStringLiteral("Odcisk SHA-256 certyfikatu serwera (") +
             tlsPinText(fingerprintOf("server")) + QStringLiteral(") różni się od przypiętego (") +
             tlsPinText(wrongPin) + QStringLiteral(").")},
        {"CA file that holds no certificate",
         "server",
         {tlsFile("README.md"), {}},
         QStringLiteral("Nie mogę odczytać certyfikatów z pliku ") + tlsFile("README.md") +
             QStringLiteral(" (potrzebny plik PEM).")},
    };
    ASSERT_EQ(fingerprintOf("server").size(), 32);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TlsRegister tls(c.certificate);
        ASSERT_TRUE(tls.ok);
        Client client(tls.address(), c.trust);
        QElapsedTimer took;
        took.start();
        const int opened = client.link.openPort(client.ui, true);
        if (c.refusal.isEmpty()) {
            ASSERT_EQ(opened, 0) << client.ui.messages.join(u'\n').toStdString();
            EXPECT_TRUE(answers::probe(client.link, client.ui));
            EXPECT_EQ(tls.host.connections(), 1);
            continue;
        }
        EXPECT_EQ(opened, 1);
        EXPECT_EQ(client.ui.messages,
                  QStringList{QStringLiteral("Nie mogę otworzyć portu COM47 (") + tls.address() +
                              QStringLiteral(").\n") + c.refusal});
        EXPECT_EQ(client.link.lineProblem(), c.refusal);
        EXPECT_EQ(client.link.port, Link::NoPort);
        EXPECT_EQ(tls.host.connections(), 0) << "the register heard from the program";
        EXPECT_LT(took.elapsed(), 10000);
    }
}

// Servers that are no TLS server: one that closes during the handshake, and the plain ports
// of the register (telnet, which speaks first, and raw TCP, which stays silent). Each ends
// the open within the handshake's time with its own message.
TEST(NetworkLineTls, ServerThatIsNoTlsServerEndsTheOpenWithItsOwnMessage)
{
    emu::RegisterModel reg(emu::Model::DunoBis);
    emu::TcpHost telnet(reg, {}, true);
    emu::RegisterModel rawReg(emu::Model::DunoBis);
    emu::TcpHost raw(rawReg, {}, false);
    ASSERT_TRUE(telnet.start() && raw.start());
    // Takes the client's hello and hangs up.
    ScriptedServer hangsUp([](int client) {
        char hello[512];
        ::recv(client, hello, sizeof hello, 0);
    });
    struct Case {
        const char* name;
        quint16 port;
        QString problem;
    };
    const Case cases[] = {
        {"closes during the handshake", hangsUp.port,
         QStringLiteral("Serwer zamknął połączenie w trakcie uzgadniania TLS: być może na tym "
                        "porcie nie ma TLS albo serwer nie przyjął tego połączenia.")},
        {"plain telnet", telnet.port(),
         QStringLiteral("Serwer nie odpowiada jak serwer TLS: to raczej zwykły port tcp:// lub "
                        "rfc2217://, bez TLS.")},
        {"plain raw TCP", raw.port(),
         QStringLiteral("Serwer nie odpowiedział na uzgadnianie TLS w ciągu 3 s: być może to "
                        "zwykły port tcp:// lub rfc2217://, bez TLS.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString address = QStringLiteral("tls://127.0.0.1:") + QString::number(c.port);
        Client client(address, TlsTrust{tlsFile("ca.pem"), {}});
        QElapsedTimer took;
        took.start();
        EXPECT_EQ(client.link.openPort(client.ui, true), 1);
        EXPECT_LT(took.elapsed(), NetworkSerialLine::ConnectTimeoutMs +
                                      NetworkSerialLine::HandshakeTimeoutMs + 2000);
        EXPECT_EQ(client.ui.messages,
                  QStringList{QStringLiteral("Nie mogę otworzyć portu COM47 (") + address +
                              QStringLiteral(").\n") + c.problem});
    }
}

// A chain runs each line on a thread of its own, with no event loop: the TLS line works there
// as on the window's thread, with blocking waits, and Qt has nothing to complain about.
TEST(NetworkLineTls, WorksOnAThreadWithoutAnEventLoop)
{
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler before = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    TlsRegister tls("server", true);
    ASSERT_TRUE(tls.ok);
    bool answered = false;
    QStringList messages;
    std::thread run([&] {
        Link link;
        FakeUi ui;
        link.device = tls.address();
        link.port = 99;
        link.tls.caFile = tlsFile("ca.pem");
        answered = link.openPort(ui, true) == 0 && answers::probe(link, ui) &&
                   answers::detectRegisterType(link, ui) == kBis;
        link.closePort();
        messages = ui.messages;
    });
    run.join();
    qInstallMessageHandler(before);
    EXPECT_TRUE(answered) << messages.join(u'\n').toStdString();
    EXPECT_EQ(warnings, QStringList{});
}

// duno-emulator --tcp-fleet: N registers, each behind its own port and with its own tables.
#include "testframes.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A raw TCP client of one register; the connection stays open for a whole read.
class Client {
public:
    explicit Client(int port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(uint16_t(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~Client()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;
    bool connected() const { return m_fd >= 0; }

    // Sends a frame and returns the one the register answers (empty after 2 s of silence).
    QByteArray exchange(const QByteArray& frame)
    {
        if (m_fd < 0 || ::send(m_fd, frame.constData(), size_t(frame.size()), 0) != frame.size())
            return {};
        QByteArray in;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < end) {
            if (in.size() >= 4 && in.size() >= (uint8_t(in[2]) | uint8_t(in[3]) << 8))
                return in;
            pollfd p{m_fd, POLLIN, 0};
            char buf[512];
            if (::poll(&p, 1, 100) > 0) {
                const ssize_t r = ::recv(m_fd, buf, sizeof buf, 0);
                if (r <= 0)
                    return {};
                in.append(buf, r);
            }
        }
        return {};
    }

private:
    int m_fd = -1;
};

// The product group records a register sends back, one frame each until the end marker.
QList<QByteArray> readGroups(int port)
{
    Client c(port);
    QList<QByteArray> groups;
    QByteArray f = c.exchange(handFrame(1, 1, 'G', bytes({0, 0})));
    while (f.size() == 35) {
        groups.append(f.mid(7, 21));
        if (uint8_t(f[5]) & 0x80)
            break;
        f = c.exchange(handAck(1, 0));
    }
    return groups;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(DunoEmulatorFleet, RegistersOnPortsOfTheirOwnWithTheirOwnTables)
{
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("chain.txt"));
    const QString state = dir.filePath(QStringLiteral("kasa.bin"));
    QProcess p;
    p.start(QStringLiteral(DUNO_EMULATOR_PATH),
            {QStringLiteral("--tcp-fleet"), QStringLiteral("3"), QStringLiteral("--tcp"),
             QStringLiteral("0"), QStringLiteral("--demo"), QStringLiteral("--fleet-list"), list,
             QStringLiteral("--state"), state});
    ASSERT_TRUE(p.waitForStarted(5000));
    QStringList addresses;
    QList<int> ports;
    const QRegularExpression form(QStringLiteral("^tcp://127\\.0\\.0\\.1:(\\d+)$"));
    while (addresses.size() < 3) {
        while (!p.canReadLine())
            ASSERT_TRUE(p.waitForReadyRead(5000));
        addresses.append(QString::fromLocal8Bit(p.readLine()).trimmed());
        const QRegularExpressionMatch m = form.match(addresses.last());
        ASSERT_TRUE(m.hasMatch()) << addresses.last().toStdString();
        ports.append(m.captured(1).toInt());
    }
    EXPECT_EQ(QSet<int>(ports.begin(), ports.end()).size(), 3);

    // Group 9 goes into register 1 only; the other two keep the demo groups 1 to 5.
    QByteArray group(21, '\0');
    group[0] = 9;
    group.replace(1, 6, "Owoce!");
    {
        Client c(ports[0]);
        ASSERT_TRUE(c.connected());
        EXPECT_EQ(c.exchange(handFrame(1, 0x8001, 'G', group + '\0')), handAck(1, 3));
    }
    const QList<QByteArray> first = readGroups(ports[0]);
    ASSERT_EQ(first.size(), 6);
    EXPECT_EQ(first.last(), group);
    for (int k : {1, 2}) {
        const QList<QByteArray> other = readGroups(ports[k]);
        EXPECT_EQ(other.size(), 5) << "kasa" << k + 1;
        EXPECT_FALSE(other.contains(group)) << "kasa" << k + 1;
    }

    const QStringList lines = QString::fromUtf8(readAll(list)).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(
        lines[0],
        QStringLiteral("# Kasy sieci sklepów (vduno --registers PLIK). Jedna kasa w wierszu:"));
    EXPECT_EQ(lines[1], QStringLiteral("#   NAZWA  PORT  ADRES  [BAZA]"));
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(lines[5 + k],
                  QStringLiteral("kasa%1  %2  1  kasa%1.vkf").arg(k + 1).arg(addresses[k]));

    p.terminate();
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 0);
    // each register saved to its own file: the two untouched ones alike, the first not
    const QByteArray saved[] = {readAll(state + QStringLiteral(".1")),
                                readAll(state + QStringLiteral(".2")),
                                readAll(state + QStringLiteral(".3"))};
    ASSERT_FALSE(saved[1].isEmpty());
    EXPECT_EQ(saved[1], saved[2]);
    EXPECT_NE(saved[0], saved[1]);
}

TEST(DunoEmulatorFleet, RefusesWrongFleets)
{
    for (const QStringList& args :
         {QStringList{QStringLiteral("--tcp-fleet"), QStringLiteral("0")},
          QStringList{QStringLiteral("--tcp-fleet"), QStringLiteral("65")},
          QStringList{QStringLiteral("--tcp-fleet"), QStringLiteral("2"),
                      QStringLiteral("--addresses"), QStringLiteral("1,2")},
          QStringList{QStringLiteral("--tcp-fleet"), QStringLiteral("3"), QStringLiteral("--tcp"),
                      QStringLiteral("65534")},
          QStringList{QStringLiteral("--fleet-list"), QStringLiteral("chain.txt")}}) {
        QProcess p;
        p.start(QStringLiteral(DUNO_EMULATOR_PATH), args);
        ASSERT_TRUE(p.waitForFinished(5000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(u' ').toStdString();
    }
}

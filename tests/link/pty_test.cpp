#include "link/link.h"
#include "link/portmap.h"

#include <gtest/gtest.h>

#include "fakeui.h"

#include <QElapsedTimer>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

struct Pty {
    int master = -1, slave = -1;
    QString path;
    Pty()
    {
        char name[128] = {};
        termios t{};
        cfmakeraw(&t);
        if (openpty(&master, &slave, name, &t, nullptr) == 0)
            path = QString::fromLocal8Bit(name);
        // the slave is opened by the link; keep ours only until then
    }
    ~Pty() { closeAll(); }
    void closeAll()
    {
        if (slave >= 0)
            ::close(slave);
        if (master >= 0)
            ::close(master);
        slave = master = -1;
    }
    QByteArray readMaster(int want)
    {
        QByteArray got;
        fcntl(master, F_SETFL, O_NONBLOCK);
        QElapsedTimer t;
        t.start();
        while (got.size() < want && t.elapsed() < 2000) {
            char buf[256];
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n > 0)
                got.append(buf, n);
            else
                usleep(1000);
        }
        return got;
    }
};

} // namespace

TEST(PtyLink, ReadAfterSendGivesUpWithin1100ms)
{
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    portmap::setPortOverride(97, pty.path);
    Link link;
    FakeUi ui;
    link.port = 97;
    ASSERT_EQ(link.openPort(ui, true), 0) << ui.messages.join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(link.sendBytes(ui, "0123456789"), 0);
    EXPECT_EQ(pty.readMaster(10), QByteArray("0123456789"));
    ASSERT_EQ(::write(pty.master, "abc", 3), 3);
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(link.read(10), 3);
    const qint64 took = t.elapsed();
    EXPECT_GE(took, 1000);
    EXPECT_LE(took, 1150);
    EXPECT_EQ(link.received(3), QByteArrayView("abc"));
    portmap::setPortOverride(97, {});
}

TEST(PtyLink, DrainEmptiesTheLineQuickly)
{
    Pty pty;
    portmap::setPortOverride(97, pty.path);
    Link link;
    FakeUi ui;
    link.port = 97;
    ASSERT_EQ(link.openPort(ui, true), 0);
    ASSERT_EQ(::write(pty.master, "left-over bytes from an earlier answer", 38), 38);
    usleep(20000);
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(link.drainInput(ui), 0);
    EXPECT_LT(t.elapsed(), 200);
    EXPECT_EQ(link.read(5), 0);
    EXPECT_TRUE(ui.messages.isEmpty());
    portmap::setPortOverride(97, {});
}

TEST(PtyLink, LargeWriteArrivesWhole)
{
    Pty pty;
    portmap::setPortOverride(97, pty.path);
    Link link;
    FakeUi ui;
    link.port = 97;
    ASSERT_EQ(link.openPort(ui, true), 0);
    QByteArray big(20000, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = char(i * 7);
    QByteArray got;
    // The pty buffer is smaller than the block: the write goes out in parts while we read.
    std::thread reader([&] { got = pty.readMaster(big.size()); });
    EXPECT_EQ(link.sendBytes(ui, big), 0);
    reader.join();
    EXPECT_EQ(got, big);
    portmap::setPortOverride(97, {});
}

TEST(PtyLink, VanishedDeviceReopenedOnce)
{
    auto first = std::make_unique<Pty>();
    portmap::setPortOverride(97, first->path);
    Link link;
    FakeUi ui;
    link.port = 97;
    ASSERT_EQ(link.openPort(ui, true), 0);
    ::close(first->slave);
    first->slave = -1;
    first->closeAll(); // the adapter is unplugged
    Pty second;
    portmap::setPortOverride(97, second.path); // it comes back under the same number
    EXPECT_EQ(link.sendBytes(ui, "hello"), 0);
    EXPECT_EQ(second.readMaster(5), QByteArray("hello"));
    EXPECT_TRUE(ui.messages.isEmpty());

    ::close(second.slave);
    second.slave = -1;
    second.closeAll();
    portmap::setPortOverride(97, QStringLiteral("/dev/nonexistent-vduno"));
    EXPECT_NE(link.sendBytes(ui, "hello"), 0);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral(
                               "Nie mogę otworzyć portu COM97 (/dev/nonexistent-vduno).")});
    EXPECT_EQ(link.port, Link::NoPort);
    portmap::setPortOverride(97, {});
}

TEST(PtyLink, PermissionDeniedAddsHint)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root opens everything";
    char path[] = "/tmp/vduno-noperm-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    fchmod(fd, 0);
    ::close(fd);
    portmap::setPortOverride(97, QString::fromLocal8Bit(path));
    Link link;
    FakeUi ui;
    link.port = 97;
    EXPECT_EQ(link.openPort(ui, true), 1);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].contains(QStringLiteral("grupy dialout")));
    unlink(path);
    portmap::setPortOverride(97, {});
}

// The pause before an answer: exactly the prescribed time unless fast transfers are on, and
// then never less time for the answer than without them.
TEST(PtyLink, PauseForAnswerKeepsThePrescribedPauseWhenFastTransfersAreOff)
{
    Pty pty;
    portmap::setPortOverride(97, pty.path);
    Link link;
    FakeUi ui;
    link.port = 97;
    ASSERT_EQ(link.openPort(ui, true), 0);
    ASSERT_EQ(::write(pty.master, "\x00", 1), 1); // the answer is already there
    usleep(20000);
    link.pauseForAnswer(ui, 1000);
    link.pauseForAnswer(ui, 300);
    EXPECT_EQ(ui.waits, (QList<int>{1000, 300}));
    portmap::setPortOverride(97, {});
}

TEST(PtyLink, FastPauseEndsWhenTheAnswerArrivesAndWaitsFullyWhenItDoesNot)
{
    Pty pty;
    portmap::setPortOverride(97, pty.path);
    Link link;
    FakeUi ui;
    link.port = 97;
    link.fastTransfers = true;
    ASSERT_EQ(link.openPort(ui, true), 0);

    QElapsedTimer t;
    t.start();
    link.pauseForAnswer(ui, 250); // nothing arrives: the whole pause passes on the line
    EXPECT_GE(t.elapsed(), 250);
    EXPECT_TRUE(ui.waits.isEmpty());

    std::thread answer([&] {
        usleep(50000);
        (void)::write(pty.master, "\x03", 1);
    });
    t.restart();
    link.pauseForAnswer(ui, 1000);
    const qint64 took = t.elapsed();
    answer.join();
    EXPECT_GE(took, 40);
    EXPECT_LT(took, 500);
    EXPECT_EQ(link.read(1), 1); // the pause did not consume the answer
    EXPECT_EQ(link.at(0), 0x03);
    portmap::setPortOverride(97, {});
}

TEST(PtyLink, FastPauseFallsBackToTheClockWithoutAnOpenPort)
{
    Link link;
    FakeUi ui;
    link.fastTransfers = true;
    link.pauseForAnswer(ui, 1000);
    EXPECT_EQ(ui.waits, (QList<int>{1000}));
}

// The register stops the computer with XOFF: the frame cannot leave, the send waits with
// "Kasa niegotowa." until XON comes, then the frame arrives once and whole. A pseudo-terminal
// counts no line errors, so the line status shows none.
TEST(PtyLink, XoffHoldsTheSendUntilXon)
{
    struct XonUi : FakeUi {
        int master = -1;
        bool waitForLine(const std::function<bool()>& lineClear) override
        {
            ++lineWaits;
            (void)::write(master, "\x11", 1); // the register is ready again
            for (int i = 0; i < 2000; ++i) {
                if (lineClear())
                    return true;
                usleep(1000);
            }
            return false;
        }
    };
    Pty pty;
    portmap::setPortOverride(97, pty.path);
    Link link;
    XonUi ui;
    ui.master = pty.master;
    link.port = 97;
    link.line.xonXoff = true;
    ASSERT_EQ(link.openPort(ui, true), 0);
    EXPECT_EQ(link.lineStatus(), 0);
    ASSERT_EQ(::write(pty.master, "\x13", 1), 1);
    for (int i = 0; i < 2000 && link.lineStatus() != 2; ++i)
        usleep(1000);
    ASSERT_EQ(link.lineStatus(), 2);
    EXPECT_EQ(link.sendBytes(ui, "0123456789"), 0);
    EXPECT_EQ(ui.lineWaits, 1);
    EXPECT_EQ(pty.readMaster(10), QByteArray("0123456789"));
    char extra = 0;
    EXPECT_LE(::read(pty.master, &extra, 1), 0); // nothing went twice
    EXPECT_EQ(link.lineStatus(), 0);
    EXPECT_TRUE(ui.messages.isEmpty());
    portmap::setPortOverride(97, {});
}

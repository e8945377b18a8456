#include "link/link.h"
#include "link/portmap.h"

#include <gtest/gtest.h>

#include "fakeline.h"
#include "fakeui.h"

TEST(PortMap, DefaultRuleAndOverrides)
{
    EXPECT_EQ(portmap::defaultPath(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(portmap::defaultPath(32), QStringLiteral("/dev/ttyS31"));
    EXPECT_EQ(portmap::defaultPath(33), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(portmap::defaultPath(65), QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(portmap::defaultPath(97), QString());
    EXPECT_EQ(portmap::devicePath(0), QString());
    qputenv("VDUNO_COM98", "/tmp/some-pty");
    EXPECT_EQ(portmap::devicePath(98), QStringLiteral("/tmp/some-pty"));
    portmap::setPortOverride(98, QStringLiteral("/dev/pts/9"));
    EXPECT_EQ(portmap::displayName(98), QStringLiteral("COM98 (/dev/pts/9)"));
    portmap::setPortOverride(98, {});
    qunsetenv("VDUNO_COM98");
    EXPECT_EQ(portmap::displayName(98), QStringLiteral("COM98"));
}

TEST(Link, OpenFailureMessagesAndState)
{
    FakeLineScript script;
    Link link(fakeFactory(script));
    FakeUi ui;
    portmap::setPortOverride(9, QStringLiteral("/dev/fake9"));
    link.port = 9;
    script.openFails = true;
    EXPECT_EQ(link.openPort(ui, true), 1);
    EXPECT_EQ(ui.messages,
              QStringList{QStringLiteral("Nie mogę otworzyć portu COM9 (/dev/fake9).")});
    EXPECT_EQ(link.port, Link::NoPort);
    EXPECT_FALSE(link.isOpen());

    script.openFails = false;
    script.configureFails = true;
    link.port = 9;
    ui.messages.clear();
    EXPECT_EQ(link.openPort(ui, true), 1);
    EXPECT_EQ(ui.messages,
              QStringList{QStringLiteral(
                  "Nie mogę otworzyć portu COM9 (/dev/fake9) z takimi ustawieniami.")});
    EXPECT_EQ(link.port, Link::NoPort);
    EXPECT_FALSE(link.isOpen());

    link.port = 9;
    ui.messages.clear();
    EXPECT_EQ(link.openPort(ui, false), 1);
    EXPECT_TRUE(ui.messages.isEmpty());
    portmap::setPortOverride(9, {});
}

TEST(Link, SendWithoutPort)
{
    FakeLineScript script;
    Link link(fakeFactory(script));
    FakeUi ui;
    EXPECT_NE(link.sendBytes(ui, "abc"), 0);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Nie wybrano portu komunikacyjnego.")});
    EXPECT_EQ(script.writes, 0);
}

TEST(Link, WriteTimeoutsFollowTheBaudRate)
{
    for (auto [baud, constant] : {std::pair{115200u, 10u}, std::pair{9600u, 16u}}) {
        FakeLineScript script;
        Link link(fakeFactory(script));
        FakeUi ui;
        link.port = 1;
        link.line.baud = baud;
        ASSERT_EQ(link.openPort(ui, true), 0);
        EXPECT_EQ(link.sendBytes(ui, QByteArray(78, 'x')), 0);
        EXPECT_EQ(script.timeoutsSet.last(), (LineTimeouts{0, 10, 1000, 20, constant}));
    }
}

TEST(Link, PartialWritesContinueAndGiveUpAfter1000Rounds)
{
    FakeLineScript script;
    Link link(fakeFactory(script));
    FakeUi ui;
    link.port = 1;
    ASSERT_EQ(link.openPort(ui, true), 0);
    script.writeLimits = {3, 0, 4};
    EXPECT_EQ(link.sendBytes(ui, "0123456789"), 0);
    EXPECT_EQ(script.written, QByteArray("0123456789"));
    EXPECT_EQ(ui.waits, (QList<int>{1, 1, 1}));

    script.writeLimits = QList<qint64>(2000, 0);
    script.writes = 0;
    script.written.clear();
    ui.waits.clear();
    EXPECT_NE(link.sendBytes(ui, "x"), 0);
    EXPECT_EQ(ui.waits.size(), 1001);
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(link.port, 1);
}

TEST(Link, LineErrorClosesThePort)
{
    FakeLineScript script;
    Link link(fakeFactory(script));
    FakeUi ui;
    link.port = 1;
    ASSERT_EQ(link.openPort(ui, true), 0);
    script.writeLimits = {2};
    script.statuses = {0, 1}; // the first clears errors at open
    script.statuses.removeFirst();
    EXPECT_NE(link.sendBytes(ui, "abcdef"), 0);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Wystąpił błąd transmisji.")});
    EXPECT_EQ(link.port, Link::NoPort);
    EXPECT_FALSE(link.isOpen());
}

TEST(Link, FlowControlWaitsForTheLine)
{
    for (bool released : {true, false}) {
        FakeLineScript script;
        Link link(fakeFactory(script));
        FakeUi ui;
        link.port = 1;
        link.line.rtsCts = true;
        ASSERT_EQ(link.openPort(ui, true), 0);
        script.writeLimits = {2};
        script.statuses = {2, 0};
        ui.lineWaitResult = released;
        EXPECT_EQ(link.sendBytes(ui, "abcdef") == 0, released);
        EXPECT_EQ(ui.lineWaits, 1);
        EXPECT_EQ(script.written, released ? QByteArray("abcdef") : QByteArray("ab"));
        EXPECT_TRUE(ui.messages.isEmpty());
    }
}

TEST(Link, VanishedDeviceIsReopenedOnce)
{
    FakeLineScript script;
    Link link(fakeFactory(script));
    FakeUi ui;
    link.port = 1;
    ASSERT_EQ(link.openPort(ui, true), 0);
    script.writeVanish = {true};
    EXPECT_EQ(link.sendBytes(ui, "abc"), 0);
    EXPECT_EQ(script.opens, 2);
    EXPECT_EQ(script.written, QByteArray("abc"));

    script.writes = 0;
    script.writeVanish = {true, true};
    EXPECT_NE(link.sendBytes(ui, "abc"), 0);
    EXPECT_EQ(script.opens, 3);
    EXPECT_EQ(link.port, Link::NoPort);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Wystąpił błąd transmisji.")});
}

TEST(Link, DrainStopsAfter8192Reads)
{
    FakeLineScript script;
    Link link(fakeFactory(script));
    FakeUi ui;
    link.port = 1;
    ASSERT_EQ(link.openPort(ui, true), 0);
    script.reads = QList<QByteArray>(9000, QByteArray("x"));
    EXPECT_EQ(link.drainInput(ui), 1);
    EXPECT_EQ(script.readsDone, 8192);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Wystąpił błąd komunikacji")});
    EXPECT_EQ(script.timeoutsSet.last(), (LineTimeouts{0, 1, 100, 10, 10}));

    script.reads = {QByteArray("abc"), {}};
    ui.messages.clear();
    EXPECT_EQ(link.drainInput(ui), 0);
    EXPECT_TRUE(ui.messages.isEmpty());
}

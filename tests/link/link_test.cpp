#include "link/commands.h"
#include "link/link.h"
#include "link/portmap.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <numeric>

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

// A record frame the line could not send is told as not sent: the run ends on the line's
// failure instead of waiting for the answer to a frame that never left.
TEST(Link, RecordFrameTheLineCouldNotSendIsNotSent)
{
    FakeLineScript script;
    Link link(fakeFactory(script));
    FakeUi ui;
    link.port = 1;
    ASSERT_EQ(link.openPort(ui, true), 0);
    QByteArray record(68, 'A');
    record[0] = 1;
    record[1] = 0;
    EXPECT_TRUE(commands::sendRecord(link, ui, commands::articleRecord(1, 1, record, 0, 2)));
    script.writes = 0;
    script.writeVanish = {true, true};
    EXPECT_FALSE(commands::sendRecord(link, ui, commands::articleRecord(1, 2, record, 0, 2)));
    EXPECT_FALSE(commands::sendRecord(link, ui, std::nullopt));
}

// A line held by flow control keeps the frame's last bytes in the driver past the write
// time-out: the send waits with "Kasa niegotowa." until they have left and sends nothing
// twice; a wait given up throws the held bytes away.
TEST(Link, HeldOutputWaitsUntilTheBytesHaveLeft)
{
    struct Case {
        const char* name;
        bool xonXoff, rtsCts, released;
    };
    const Case cases[] = {
        {"XOFF, released", true, false, true},
        {"CTS, released", false, true, true},
        {"XOFF, given up", true, false, false},
        {"CTS, given up", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLineScript script;
        Link link(fakeFactory(script));
        FakeUi ui;
        link.port = 1;
        link.line.xonXoff = c.xonXoff;
        link.line.rtsCts = c.rtsCts;
        ASSERT_EQ(link.openPort(ui, true), 0);
        script.writePending = {4}; // all handed over, four still held at the time-out
        script.statuses = {2, 0};
        ui.lineWaitResult = c.released;
        EXPECT_EQ(link.sendBytes(ui, "abcdef") == 0, c.released);
        EXPECT_EQ(ui.lineWaits, 1);
        EXPECT_EQ(script.written, QByteArray("abcdef"));
        EXPECT_EQ(script.discards, c.released ? 0 : 1);
        EXPECT_TRUE(ui.messages.isEmpty());
        EXPECT_EQ(link.port, 1);
    }
}

// Without flow control held bytes are waited for as a partial write is: a millisecond a
// round, at most 1000 rounds.
TEST(Link, HeldOutputWithoutFlowControlIsBounded)
{
    FakeLineScript script;
    Link link(fakeFactory(script));
    FakeUi ui;
    link.port = 1;
    ASSERT_EQ(link.openPort(ui, true), 0);
    script.writePending = QList<qint64>(1200, 3);
    script.statuses = QList<int>(1200, 2);
    EXPECT_NE(link.sendBytes(ui, "abcdef"), 0);
    EXPECT_EQ(ui.waits.size(), 1001);
    EXPECT_EQ(script.written, QByteArray("abcdef"));
    EXPECT_EQ(script.discards, 1);
    EXPECT_TRUE(ui.messages.isEmpty());
}

// An adapter unplugged in the middle of a frame: after the reopen the frame goes out again
// from its first byte, never from the middle.
TEST(Link, ReopenSendsTheWholeFrameAgain)
{
    FakeLineScript script;
    Link link(fakeFactory(script));
    FakeUi ui;
    link.port = 1;
    ASSERT_EQ(link.openPort(ui, true), 0);
    script.writeLimits = {3};
    script.writeVanish = {true};
    EXPECT_EQ(link.sendBytes(ui, "abcdef"), 0);
    EXPECT_EQ(script.opens, 2);
    EXPECT_EQ(script.written, QByteArray("abc") + QByteArray("abcdef"));
    EXPECT_TRUE(ui.messages.isEmpty());
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

// Fast transfers skip the pauses before an answer and between frames, but the read of the
// answer is then allowed the skipped time on top of its own: a slow register gets at least
// as long to answer as with the full pauses.
TEST(Link, FastTransfersNeverShortenTheTimeAllowedForAnAnswer)
{
    const QByteArray frame(40, 'f');
    for (const bool fast : {false, true}) {
        SCOPED_TRACE(fast ? "fast" : "prescribed pauses");
        FakeLineScript script;
        script.waitReadable = 1; // the answer is waiting as soon as the line is asked
        Link link(fakeFactory(script));
        FakeUi ui;
        link.port = 1;
        link.fastTransfers = fast;
        ASSERT_EQ(link.openPort(ui, true), 0);

        QElapsedTimer waited;
        waited.start();
        link.pauseBetweenFrames(ui, 50);
        ASSERT_EQ(link.sendBytes(ui, frame), 0);
        const LineTimeouts own = script.timeoutsSet.last();
        link.pauseForAnswer(ui, 1000);
        const qint64 realMs = waited.elapsed();
        link.read(10);
        link.read(10);

        ASSERT_EQ(script.readTimeouts.size(), 2);
        const qint64 clockMs = std::accumulate(ui.waits.begin(), ui.waits.end(), qint64(0));
        // Time the first answer had: the pauses waited plus its read's total time-out.
        const qint64 allowed = clockMs + realMs + script.readTimeouts[0].readConstant +
                               10 * qint64(script.readTimeouts[0].readMultiplier);
        EXPECT_GE(allowed, 1050 + own.readConstant + 10 * qint64(own.readMultiplier));
        if (fast) {
            EXPECT_TRUE(ui.waits.isEmpty());
            EXPECT_GE(script.readTimeouts[0].readConstant, own.readConstant + 1050 - realMs);
        } else {
            EXPECT_EQ(ui.waits, (QList<int>{50, 1000}));
            EXPECT_EQ(script.readTimeouts[0], own);
        }
        // The extra time belongs to one answer only, and the line's own time-outs come back.
        EXPECT_EQ(script.readTimeouts[1], own);
        EXPECT_EQ(link.answerCreditMs(), 0);
    }
}

TEST(Link, FastPauseWaitsOnTheClockWhenTheLineCannotTell)
{
    FakeLineScript script; // waitReadable answers -1
    Link link(fakeFactory(script));
    FakeUi ui;
    link.port = 1;
    link.fastTransfers = true;
    ASSERT_EQ(link.openPort(ui, true), 0);
    link.pauseForAnswer(ui, 1000);
    EXPECT_EQ(ui.waits, (QList<int>{1000}));
    EXPECT_EQ(link.answerCreditMs(), 0);
}

TEST(Link, OwedAnswerTimeEndsWithThePort)
{
    FakeLineScript script;
    Link link(fakeFactory(script));
    FakeUi ui;
    link.port = 1;
    link.fastTransfers = true;
    ASSERT_EQ(link.openPort(ui, true), 0);
    link.pauseBetweenFrames(ui, 300);
    EXPECT_EQ(link.answerCreditMs(), 300);
    link.closePort();
    EXPECT_EQ(link.answerCreditMs(), 0);
    // Without a port there is nothing to skip: the pause is waited.
    link.pauseBetweenFrames(ui, 300);
    EXPECT_EQ(ui.waits, (QList<int>{300}));
}

// Two programs on one line: the built vduno against the duno-emulator program on its
// pseudo-terminal. A second vduno is refused at once, naming the first, which runs on whole;
// a vduno killed mid-run leaves the line free for the next one.
#include "link/portholder.h"
#include "link/uucplock.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome vduno(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VDUNO_BINARY), args);
    Outcome r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// Polls `done` every 20 ms for at most `seconds`.
template <typename F> bool within(int seconds, F done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QThread::msleep(20);
    }
    return true;
}

class ExclusivePort : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        database = dir.filePath(QStringLiteral("sklep.vkf"));
        ASSERT_EQ(vduno({QStringLiteral("db"), QStringLiteral("new"), database}).exitCode, 0);
        // At 38400 baud the article base takes seconds to read: a run long enough to meet.
        emulator.start(
            QStringLiteral(DUNO_EMULATOR_PATH),
            {QStringLiteral("--demo"), QStringLiteral("--baud"), QStringLiteral("38400")});
        ASSERT_TRUE(emulator.waitForStarted(10000));
        while (!emulator.canReadLine())
            ASSERT_TRUE(emulator.waitForReadyRead(10000));
        device = QString::fromLocal8Bit(emulator.readLine()).trimmed();
        ASSERT_FALSE(device.isEmpty());
    }
    void TearDown() override
    {
        if (first.state() != QProcess::NotRunning) {
            first.kill();
            first.waitForFinished(10000);
        }
        emulator.terminate();
        emulator.waitForFinished(10000);
    }

    // The first vduno reads the article base; returns once it holds the line.
    void startFirst()
    {
        first.start(QStringLiteral(VDUNO_BINARY),
                    {QStringLiteral("--device"), device, QStringLiteral("read"), database,
                     QStringLiteral("articles")});
        ASSERT_TRUE(first.waitForStarted(10000));
        ASSERT_TRUE(within(20, [&] {
            for (const portholder::Holder& h : portholder::holders(device))
                if (h.pid == first.processId())
                    return true;
            return false;
        }));
    }

    QTemporaryDir dir;
    QString database;
    QProcess emulator;
    QString device;
    QProcess first;
};

} // namespace

TEST_F(ExclusivePort, SecondProgramIsRefusedAtOnceAndTheFirstRunsWhole)
{
    startFirst();
    const qint64 pid = first.processId();
    const Outcome second = vduno({QStringLiteral("--device"), device, QStringLiteral("probe")});
    // A port held by another program is no register to talk to: exit 3.
    EXPECT_EQ(second.exitCode, 3) << second.out.toStdString();
    // The emulator keeps the terminal open too, but as its far end it is not named.
    EXPECT_TRUE(second.err.contains(
        QStringLiteral("Port COM99 (") + device +
        QStringLiteral(") jest zajęty przez inny program: vduno (PID ") + QString::number(pid) +
        QStringLiteral("). Zamknij go i spróbuj ponownie.")))
        << second.err.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running); // refused, not kept waiting for the first

    ASSERT_TRUE(first.waitForFinished(120000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    const Outcome third = vduno({QStringLiteral("--device"), device, QStringLiteral("probe")});
    EXPECT_EQ(third.exitCode, 0) << third.err.toStdString();
}

TEST_F(ExclusivePort, ProgramKilledMidRunLeavesTheLineFree)
{
    startFirst();
    const qint64 pid = first.processId();
    first.kill();
    ASSERT_TRUE(first.waitForFinished(10000));
    const QString lockDir = uucplock::writableDirectory();
    const QString lockFile = lockDir + u'/' + uucplock::fileName(device);
    if (!lockDir.isEmpty()) {
        QFile stale(lockFile);
        ASSERT_TRUE(stale.open(QIODevice::ReadOnly)); // left behind, naming the dead program
        EXPECT_EQ(stale.readAll().trimmed().toLongLong(), pid);
    }
    // The terminal's exclusive mode outlived the program (the emulator keeps the terminal
    // open); the emulator clears it, as nobody holds a lock on the terminal any more.
    EXPECT_TRUE(within(10, [&] {
        const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        int exclusive = 1;
        if (fd >= 0) {
            ::ioctl(fd, TIOCGEXCL, &exclusive);
            ::close(fd);
        }
        return exclusive == 0;
    }));
    const Outcome next = vduno({QStringLiteral("--device"), device, QStringLiteral("probe")});
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_EQ(next.out.trimmed(), QStringLiteral("DUNO BIS"));
    if (!lockDir.isEmpty()) {
        EXPECT_FALSE(QFile::exists(lockFile)); // the stale lock was taken over, then given back
    }
}

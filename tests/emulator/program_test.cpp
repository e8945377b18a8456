// The duno-emulator program: prints its device, answers on it, keeps its tables in --state.
#include "testframes.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

QByteArray exchange(const QString& device, const QByteArray& frame, int want)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return {};
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    QByteArray out;
    if (::write(fd, frame.constData(), size_t(frame.size())) == frame.size()) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (out.size() < want && std::chrono::steady_clock::now() < end) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                char buf[512];
                const ssize_t r = ::read(fd, buf, sizeof buf);
                if (r > 0)
                    out.append(buf, r);
            }
        }
    }
    ::close(fd);
    return out;
}

struct Program {
    QProcess process;
    QString device;
    QString exportLine;
    bool start(const QStringList& args)
    {
        process.start(QStringLiteral(DUNO_EMULATOR_PATH), args);
        if (!process.waitForStarted(5000))
            return false;
        while (!process.canReadLine())
            if (!process.waitForReadyRead(5000))
                return false;
        device = QString::fromLocal8Bit(process.readLine()).trimmed();
        if (args.contains(QStringLiteral("--com"))) {
            while (!process.canReadLine())
                if (!process.waitForReadyRead(5000))
                    return false;
            exportLine = QString::fromLocal8Bit(process.readLine()).trimmed();
        }
        return true;
    }
    bool stop()
    {
        process.terminate();
        return process.waitForFinished(5000) && process.exitCode() == 0;
    }
};

} // namespace

TEST(DunoEmulatorProgram, AnswersTheInformationRequestOfItsModel)
{
    Program p;
    ASSERT_TRUE(
        p.start({QStringLiteral("--model"), QStringLiteral("duno"), QStringLiteral("--address"),
                 QStringLiteral("4"), QStringLiteral("--com"), QStringLiteral("7")}));
    EXPECT_EQ(p.exportLine, QStringLiteral("export VDUNO_COM7=") + p.device);
    const QByteArray info = exchange(p.device, handFrame(4, 0x8001, 'I', bytes({0, 0})), 115);
    ASSERT_EQ(info.size(), 115);
    EXPECT_EQ(uint8_t(info[1]), 4);
    EXPECT_EQ(uint8_t(info[7]), 100);
    EXPECT_TRUE(p.stop());
}

TEST(DunoEmulatorProgram, StateKeepsTablesBetweenRuns)
{
    QTemporaryDir dir;
    const QString state = dir.filePath(QStringLiteral("kasa.bin"));
    QByteArray group(21, '\0');
    group[0] = 9;
    group.replace(1, 6, "Owoce!");
    {
        Program p;
        ASSERT_TRUE(p.start({QStringLiteral("--state"), state}));
        EXPECT_EQ(exchange(p.device, handFrame(1, 0x8001, 'G', group + '\0'), 10), handAck(1, 3));
        EXPECT_TRUE(p.stop());
    }
    Program p;
    ASSERT_TRUE(p.start({QStringLiteral("--state"), state}));
    // group 1 first, then group 9 after the computer's acknowledgement
    const QByteArray first = exchange(p.device, handFrame(1, 1, 'G', bytes({0, 0})), 35);
    ASSERT_EQ(first.size(), 35);
    const QByteArray second = exchange(p.device, handAck(1, 0), 35);
    ASSERT_EQ(second.size(), 35);
    EXPECT_EQ(second.mid(7, 21), group);
    EXPECT_TRUE(p.stop());
}

TEST(DunoEmulatorProgram, RefusesWrongOptions)
{
    for (const QStringList& args :
         {QStringList{QStringLiteral("--address"), QStringLiteral("10")},
          QStringList{QStringLiteral("--model"), QStringLiteral("x")},
          QStringList{QStringLiteral("--busy"), QStringLiteral("a")},
          QStringList{QStringLiteral("--bogus")},
          // A fleet takes neither a damaged line nor TLS.
          QStringList{QStringLiteral("--tcp-fleet"), QStringLiteral("2"),
                      QStringLiteral("--damage"), QStringLiteral("0.01")},
          QStringList{QStringLiteral("--tcp-fleet"), QStringLiteral("2"),
                      QStringLiteral("--tls-cert"), QStringLiteral("c"),
                      QStringLiteral("--tls-key"), QStringLiteral("k")}}) {
        QProcess p;
        p.start(QStringLiteral(DUNO_EMULATOR_PATH), args);
        ASSERT_TRUE(p.waitForFinished(5000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(u' ').toStdString();
    }
}

TEST(DunoEmulatorProgram, VanishedDeviceComesBackUnderItsLink)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyDUNO"));
    Program p;
    ASSERT_TRUE(
        p.start({QStringLiteral("--link"), link, QStringLiteral("--vanish"), QStringLiteral("1"),
                 QStringLiteral("--vanish-back"), QStringLiteral("100")}));
    EXPECT_EQ(p.device, link);
    const QByteArray probe = handFrame(1, 0x8001, 'Q', bytes({0}));
    EXPECT_TRUE(exchange(p.device, probe, 10).isEmpty()); // the device vanishes instead
    ::usleep(400'000);
    // plugged in again under the same name: the probe is answered (status 0)
    EXPECT_EQ(exchange(p.device, probe, 10), handFrame(1, 1, 0x41, bytes({0})));
    EXPECT_TRUE(p.stop());
}

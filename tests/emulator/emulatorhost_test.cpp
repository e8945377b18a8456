#include "emulator/emulatorhost.h"
#include "testframes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace emu;

namespace {

// A plain POSIX client on the slave side: write a frame, read the answer with a deadline.
class Client {
public:
    explicit Client(const QString& path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd >= 0) {
            termios t{};
            ::tcgetattr(m_fd, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(m_fd, TCSANOW, &t);
        }
    }
    ~Client()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool ok() const { return m_fd >= 0; }
    bool write(const QByteArray& b)
    {
        return ::write(m_fd, b.constData(), size_t(b.size())) == b.size();
    }
    // Reads up to n bytes within ms milliseconds; sets failed when the device reports an error.
    QByteArray read(int n, int ms, bool* failed = nullptr)
    {
        QByteArray out;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (out.size() < n) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, int(left.count())) <= 0)
                break;
            char buf[1024];
            const ssize_t r = ::read(m_fd, buf, size_t(n - out.size()));
            if (r < 0 && errno != EAGAIN) {
                if (failed)
                    *failed = true;
                break;
            }
            if (p.revents & (POLLHUP | POLLERR)) {
                if (failed)
                    *failed = true;
                if (r <= 0)
                    break;
            }
            if (r > 0)
                out.append(buf, r);
        }
        return out;
    }

private:
    int m_fd = -1;
};

const QByteArray kProbe = bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x80, 0x51, 0x00, 0xDB, 0x03});
const QByteArray kReady = bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x41, 0x00, 0x4B, 0x03});

} // namespace

TEST(EmulatorHost, ProbeOverAPseudoTerminal)
{
    RegisterModel reg;
    EmulatorHost host(reg);
    ASSERT_TRUE(host.start());
    EXPECT_TRUE(host.devicePath().startsWith(QLatin1String("/dev/")));
    Client c(host.devicePath());
    ASSERT_TRUE(c.ok());
    ASSERT_TRUE(c.write(kProbe));
    EXPECT_EQ(c.read(10, 1000), kReady);
}

TEST(EmulatorHost, FrameSplitAcrossWritesAndNoiseBefore)
{
    RegisterModel reg;
    EmulatorHost host(reg);
    ASSERT_TRUE(host.start());
    Client c(host.devicePath());
    ASSERT_TRUE(c.write(bytes({0x13, 0x55}) + kProbe.left(3)));
    ::usleep(20'000);
    ASSERT_TRUE(c.write(kProbe.mid(3)));
    EXPECT_EQ(c.read(10, 1000), kReady);
}

TEST(EmulatorHost, TableReadPacedOverTheLine)
{
    RegisterModel reg;
    reg.fillDemo(3);
    EmulatorHost host(reg);
    ASSERT_TRUE(host.start());
    Client c(host.devicePath());
    ASSERT_TRUE(c.write(handFrame(1, 1, 'T', bytes({0, 0}))));
    for (int n = 1; n <= 3; ++n) {
        const QByteArray f = c.read(91, 1000);
        ASSERT_EQ(f.size(), 91) << n;
        EXPECT_EQ(uint8_t(f[7]), n);
        EXPECT_EQ(int(uint8_t(f[4]) | (uint8_t(f[5]) << 8)), n == 3 ? 0x8003 : n);
        ASSERT_TRUE(c.write(handAck(1, n == 3 ? 3 : 0)));
    }
    EXPECT_TRUE(c.read(1, 100).isEmpty());
}

TEST(EmulatorHost, BaudRatePacesTheAnswer)
{
    RegisterModel reg;
    reg.fillDemo(1);
    EmulatorHost host(reg, LineTiming{9600}); // 91 bytes at 960 bytes a second: about 95 ms
    ASSERT_TRUE(host.start());
    Client c(host.devicePath());
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(c.write(handFrame(1, 1, 'T', bytes({0, 0}))));
    EXPECT_EQ(c.read(91, 2000).size(), 91);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
            .count();
    EXPECT_GE(ms, 80);
}

TEST(EmulatorHost, LineTimingPacesTheFramesReachingTheRegisterToo)
{
    for (const int baud : {0, 1200}) {
        SCOPED_TRACE(baud);
        RegisterModel reg;
        EmulatorHost host(reg, LineTiming{baud});
        ASSERT_TRUE(host.start());
        Client c(host.devicePath());
        const auto t0 = std::chrono::steady_clock::now();
        ASSERT_TRUE(c.write(kProbe));
        EXPECT_EQ(c.read(10, 2000), kReady);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - t0)
                            .count();
        // At 1200 baud, 120 bytes a second: the frame takes 83 ms to arrive, the answer's
        // tenth byte leaves 75 ms after its first.
        if (baud > 0)
            EXPECT_GE(ms, 150);
        else
            EXPECT_LT(ms, 100);
    }
}

TEST(EmulatorHost, VanishingDeviceFailsTheClient)
{
    RegisterModel reg;
    FaultPlan plan;
    plan.vanish = {2};
    reg.setFaults(plan);
    EmulatorHost host(reg);
    ASSERT_TRUE(host.start());
    Client c(host.devicePath());
    ASSERT_TRUE(c.write(kProbe));
    EXPECT_EQ(c.read(10, 1000), kReady);
    ASSERT_TRUE(c.write(kProbe));
    bool failed = false;
    EXPECT_TRUE(c.read(10, 1000, &failed).isEmpty());
    EXPECT_TRUE(failed);
    EXPECT_TRUE(host.vanished());
}

TEST(EmulatorHost, SlowAnswerArrivesLate)
{
    RegisterModel reg;
    FaultPlan plan;
    plan.slow = {1};
    plan.slowMs = 400;
    reg.setFaults(plan);
    EmulatorHost host(reg);
    ASSERT_TRUE(host.start());
    Client c(host.devicePath());
    ASSERT_TRUE(c.write(kProbe));
    EXPECT_TRUE(c.read(10, 200).isEmpty());
    EXPECT_EQ(c.read(10, 1000), kReady);
}

TEST(EmulatorHost, PaperOutAnswerHeldBackThenSentOrDropped)
{
    RegisterModel reg;
    FaultPlan plan;
    plan.paperOut = {1, 3};
    plan.paperBackMs = 300;
    reg.setFaults(plan);
    EmulatorHost host(reg);
    ASSERT_TRUE(host.start());
    Client c(host.devicePath());
    const QByteArray paper = bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x41, 0x02, 0x49, 0x03});
    const QByteArray order = handFrame(1, 0x8001, 't', bytes({1}));
    // the user goes on: the order is carried out once paper is back
    ASSERT_TRUE(c.write(order));
    EXPECT_EQ(c.read(10, 200), paper);
    EXPECT_EQ(c.read(10, 1000),
              bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x41, 0x04, 0x4F, 0x03}));
    EXPECT_EQ(c.read(10, 1000), handAck(1, 0));
    // the user stops: acknowledgement 4 drops the held-back answer
    ASSERT_TRUE(c.write(order)); // frame 2: printed at once
    EXPECT_EQ(c.read(20, 1000).size(), 20);
    ASSERT_TRUE(c.write(order)); // frame 3: paper out again
    EXPECT_EQ(c.read(10, 200), paper);
    ASSERT_TRUE(c.write(handAck(1, 4)));
    EXPECT_TRUE(c.read(10, 800).isEmpty());
}

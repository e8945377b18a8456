#include "emulatorhost.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace emu {

namespace {

// Whether any process holds a lock on the terminal behind `fd` (/proc/locks names the lock's
// file as MAJOR:MINOR:INODE, the numbers of the device in hexadecimal). When that cannot be
// told, the answer is yes: the terminal is then left as it is.
bool lockedByAnyone(int fd)
{
    struct stat st {};
    QFile locks(QStringLiteral("/proc/locks"));
    if (::fstat(fd, &st) != 0 || !locks.open(QIODevice::ReadOnly))
        return true;
    for (const QByteArray& line : locks.readAll().split('\n')) {
        if (line.contains("->"))
            continue; // waiting for a lock, not holding one
        for (const QByteArray& field : line.simplified().split(' ')) {
            const QList<QByteArray> parts = field.split(':');
            if (parts.size() != 3)
                continue;
            bool ok[3] = {};
            if (parts[0].toUInt(&ok[0], 16) == ::major(st.st_dev) &&
                parts[1].toUInt(&ok[1], 16) == ::minor(st.st_dev) &&
                parts[2].toULongLong(&ok[2]) == st.st_ino && ok[0] && ok[1] && ok[2])
                return true;
        }
    }
    return false;
}

// A client that dies without closing (killed, crashed) leaves the terminal in exclusive mode,
// and the slave hold keeps the terminal alive, so that nobody but root could open it again.
// The program locks the terminal before it sets the mode and clears the mode before it
// unlocks: the mode without a lock on the terminal is a dead client's.
void clearLeftExclusiveMode(int slave)
{
#ifdef TIOCGEXCL
    int exclusive = 0;
    if (slave >= 0 && ::ioctl(slave, TIOCGEXCL, &exclusive) == 0 && exclusive &&
        !lockedByAnyone(slave))
        ::ioctl(slave, TIOCNXCL);
#else
    (void)slave;
#endif
}

} // namespace

EmulatorHost::EmulatorHost(RegisterModel& model, LineTiming timing) : m_bus(model), m_timing(timing)
{
}

EmulatorHost::EmulatorHost(const QList<RegisterModel*>& registers, LineTiming timing)
    : m_bus(registers), m_timing(timing)
{
}

EmulatorHost::~EmulatorHost()
{
    stop();
}

void EmulatorHost::setComeBack(int ms, const QString& linkPath)
{
    m_comeBackMs = ms;
    m_linkPath = linkPath;
}

bool EmulatorHost::openPty(QString* errorText)
{
    auto fail = [&](const char* what) {
        if (errorText)
            *errorText = QString::fromUtf8(what) + QStringLiteral(": ") +
                         QString::fromLocal8Bit(std::strerror(errno));
        closePty();
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return fail("grantpt");
    const char* name = ::ptsname(m_master);
    if (!name)
        return fail("ptsname");
    m_ptsPath = QString::fromLocal8Bit(name);
    m_slaveHold = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slaveHold < 0)
        return fail("open");
    termios t{};
    if (::tcgetattr(m_slaveHold, &t) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&t);
    if (::tcsetattr(m_slaveHold, TCSANOW, &t) != 0)
        return fail("tcsetattr");
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    return true;
}

void EmulatorHost::closePty()
{
    if (m_slaveHold >= 0)
        ::close(m_slaveHold);
    if (m_master >= 0)
        ::close(m_master);
    m_master = m_slaveHold = -1;
}

bool EmulatorHost::pointLink()
{
    // A new link beside the old one, renamed over it: the name never dangles.
    const QByteArray link = QFile::encodeName(m_linkPath);
    const QByteArray fresh = link + ".new";
    ::unlink(fresh.constData());
    if (::symlink(QFile::encodeName(m_ptsPath).constData(), fresh.constData()) != 0)
        return false;
    return ::rename(fresh.constData(), link.constData()) == 0;
}

bool EmulatorHost::start(QString* errorText)
{
    if (running())
        return true;
    if (!openPty(errorText))
        return false;
    m_path = m_ptsPath;
    if (m_comeBackMs >= 0 || !m_linkPath.isEmpty()) {
        if (m_linkPath.isEmpty()) {
            static std::atomic<int> serial{0};
            m_linkPath = QDir::tempPath() +
                         QStringLiteral("/duno-emulator-%1-%2").arg(::getpid()).arg(serial++);
            m_ownLink = true;
        }
        if (!pointLink()) {
            if (errorText)
                *errorText = QStringLiteral("symlink: ") + m_linkPath;
            closePty();
            return false;
        }
        m_path = m_linkPath;
    }
    m_stop = false;
    m_vanished = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void EmulatorHost::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    closePty();
    if (m_ownLink) {
        ::unlink(QFile::encodeName(m_linkPath).constData());
        m_ownLink = false;
        m_linkPath.clear();
    }
}

void EmulatorHost::run()
{
    using Clock = LinePump::Clock;
    LinePump pump(m_bus, m_mutex, m_timing);
    const LinePump::Writer write = [this](const char* bytes, qint64 count) -> qint64 {
        return ::write(m_master, bytes, size_t(count));
    };
    char buf[512];
    auto nextModeCheck = Clock::now();
    while (!m_stop) {
        if (Clock::now() >= nextModeCheck) {
            clearLeftExclusiveMode(m_slaveHold);
            nextModeCheck = Clock::now() + std::chrono::milliseconds(250);
        }
        // Sleep until input comes or the next byte, answer or arrival is due.
        const auto wait = std::max(pump.wakeAt() - Clock::now(), Clock::duration::zero());
        const timespec ts{0,
                          long(std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count())};
        pollfd p{m_master, POLLIN, 0};
        ::ppoll(&p, 1, &ts, nullptr);
        for (;;) {
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0)
                break;
            pump.arrive(QByteArrayView(buf, n));
        }
        if (pump.advance()) {
            // The device disappears: the client's next read or write on the slave fails.
            m_vanished = true;
            closePty();
            if (m_comeBackMs < 0)
                return;
            // ... and comes back later under the same name, with an empty line.
            const auto back = Clock::now() + std::chrono::milliseconds(m_comeBackMs);
            while (!m_stop && Clock::now() < back)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (m_stop || !openPty(nullptr) || !pointLink())
                return;
            pump.clear();
            ++m_comebacks;
            m_vanished = false;
            continue;
        }
        pump.send(write);
    }
}

} // namespace emu

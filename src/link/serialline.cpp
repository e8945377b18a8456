#include "serialline.h"

#include "portholder.h"
#include "uucplock.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#ifdef __linux__
#include <linux/serial.h>
#endif
#include <ctime>
#include <termios.h>
#include <unistd.h>

namespace {

qint64 nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool vanishedErrno(int e)
{
    return e == EIO || e == ENXIO || e == ENODEV;
}

} // namespace

std::unique_ptr<SerialLine> makePosixSerialLine()
{
    return std::make_unique<PosixSerialLine>();
}

PosixSerialLine::~PosixSerialLine()
{
    close();
}

SerialLine::OpenError PosixSerialLine::open(const QString& path)
{
    close();
    m_holder.clear();
    if (path.isEmpty())
        return OpenError::Failed;
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EBUSY)
            return busy(path); // in another program's exclusive mode
        return errno == EACCES || errno == EPERM ? OpenError::PermissionDenied : OpenError::Failed;
    }
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        ::close(fd);
        return OpenError::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        return e == EWOULDBLOCK ? busy(path) : OpenError::Failed;
    }
    qint64 lockHolder = 0;
    m_lockFile = uucplock::take(path, &lockHolder);
    if (lockHolder != 0) {
        ::close(fd);
        return busy(path);
    }
    // Exclusive mode only once the device is ours: a program refused above must not touch
    // the mode of the one that holds it.
    ::ioctl(fd, TIOCEXCL);
    m_fd = fd;
    m_timeouts = LineTimeouts{};
    m_countersKnown = false;
    lineErrorsSinceLastCheck(); // what the driver counted before is not ours
    return OpenError::None;
}

SerialLine::OpenError PosixSerialLine::busy(const QString& path)
{
    m_holder = portholder::holderText(portholder::holders(path));
    return OpenError::Busy;
}

void PosixSerialLine::close()
{
    if (m_fd >= 0) {
        // The mode belongs to the terminal, not to this descriptor: it would outlast the close
        // while anything else keeps the terminal open (the far end's hold on a pseudo-terminal).
        ::ioctl(m_fd, TIOCNXCL);
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
    m_fd = -1;
    uucplock::release(m_lockFile);
    m_lockFile.clear();
}

bool PosixSerialLine::configure(const LineSettings& s)
{
    if (m_fd < 0 || s.dataBits < 5 || s.dataBits > 8 || s.parity > 4 || s.stopBits > 2 ||
        s.baud == 0)
        return false;
    termios t{};
    if (::tcgetattr(m_fd, &t) != 0)
        return false;
    ::cfmakeraw(&t); // binary mode, no character replacement or stripping
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL);
#ifdef CMSPAR
    t.c_cflag &= ~tcflag_t(CMSPAR);
#endif
    t.c_cflag |= CREAD | CLOCAL;
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= sizes[s.dataBits - 5];
    switch (s.parity) {
    case 1:
        t.c_cflag |= PARENB | PARODD;
        break;
    case 2:
        t.c_cflag |= PARENB;
        break;
#ifdef CMSPAR
    case 3:
        t.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case 4:
        t.c_cflag |= PARENB | CMSPAR;
        break;
#else
    case 3:
    case 4:
        return false;
#endif
    default:
        break;
    }
    t.c_iflag &= ~tcflag_t(INPCK | IXON | IXOFF | IXANY);
    if (s.parity != 0)
        t.c_iflag |= INPCK; // parity checking exactly when there is parity
    if (s.stopBits != 0)
        t.c_cflag |= CSTOPB; // 1.5 stop bits are what the UART makes of CSTOPB at 5 bits
    if (s.rtsCts)
        t.c_cflag |= CRTSCTS;
    if (s.xonXoff)
        t.c_iflag |= IXON | IXOFF;
    t.c_cc[VSTART] = 0x11;
    t.c_cc[VSTOP] = 0x13;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::tcsetattr(m_fd, TCSANOW, &t) != 0)
        return false;
    if (!setLineBaud(m_fd, s.baud))
        return false;
    // DTR off; RTS off unless the hardware handshake drives it. A pseudo-terminal has no
    // modem lines, so failures here do not count.
    int bits = TIOCM_DTR;
    if (!s.rtsCts)
        bits |= TIOCM_RTS;
    ::ioctl(m_fd, TIOCMBIC, &bits);
    m_rtsCts = s.rtsCts;
    return true;
}

SerialLine::WriteResult PosixSerialLine::write(QByteArrayView bytes)
{
    WriteResult r;
    if (m_fd < 0)
        return r;
    const qint64 deadline =
        nowMs() + m_timeouts.writeConstant + qint64(m_timeouts.writeMultiplier) * bytes.size();
    while (r.written < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + r.written, size_t(bytes.size() - r.written));
        if (n > 0) {
            r.written += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            r.vanished = vanishedErrno(errno);
            return r;
        }
        const qint64 left = deadline - nowMs();
        if (left <= 0)
            break;
        pollfd p{m_fd, POLLOUT, 0};
        const int pr = ::poll(&p, 1, int(left));
        if (pr < 0 && errno != EINTR)
            return r;
        if (pr > 0 && (p.revents & (POLLERR | POLLNVAL))) {
            r.vanished = true;
            return r;
        }
    }
    // The bytes are the driver's now; the write is done when they have left the computer.
    // A line held by CTS or XOFF keeps them queued until the time-out.
    for (;;) {
        r.pending = outputQueued();
        if (r.pending == 0 || nowMs() >= deadline)
            break;
        const timespec pause{0, 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
    r.ok = true;
    return r;
}

qint64 PosixSerialLine::outputQueued() const
{
    int queued = 0;
    if (m_fd < 0 || ::ioctl(m_fd, TIOCOUTQ, &queued) != 0)
        return 0; // a driver that cannot tell keeps nothing back
    return qMax(queued, 0);
}

void PosixSerialLine::discardOutput()
{
    if (m_fd >= 0)
        ::tcflush(m_fd, TCOFLUSH);
}

bool PosixSerialLine::lineErrorsSinceLastCheck()
{
#ifdef TIOCGICOUNT
    serial_icounter_struct counts{};
    if (m_fd < 0 || ::ioctl(m_fd, TIOCGICOUNT, &counts) != 0)
        return false; // no counters (a pseudo-terminal): no line errors to report
    const std::array<int, 5> now{counts.frame, counts.parity, counts.overrun, counts.buf_overrun,
                                 counts.brk};
    const bool more = m_countersKnown && now != m_errorCounts;
    m_errorCounts = now;
    m_countersKnown = true;
    return more;
#else
    return false;
#endif
}

qint64 PosixSerialLine::read(char* into, qint64 count)
{
    if (m_fd < 0 || count <= 0)
        return 0;
    const qint64 deadline =
        nowMs() + m_timeouts.readConstant + qint64(m_timeouts.readMultiplier) * count;
    qint64 got = 0;
    bool hungUp = false;
    while (got < count) {
        const ssize_t n = ::read(m_fd, into + got, size_t(count - got));
        if (n > 0) {
            got += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            break; // the device is gone: what arrived is all there is
        if (hungUp)
            break; // what the line held is read; nothing more comes
        const qint64 left = deadline - nowMs();
        if (left <= 0)
            break;
        pollfd p{m_fd, POLLIN, 0};
        const int pr = ::poll(&p, 1, int(left));
        if (pr < 0 && errno != EINTR)
            break;
        if (pr > 0 && !(p.revents & POLLIN))
            break; // hang-up or error without data
        // A hung-up line stays readable: what it still holds is read once more, then the
        // read ends rather than waiting for a device that is gone.
        hungUp = pr > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    }
    return got;
}

int PosixSerialLine::waitReadable(int ms)
{
    if (m_fd < 0)
        return -1;
    const qint64 deadline = nowMs() + ms;
    for (;;) {
        const qint64 left = deadline - nowMs();
        if (left <= 0)
            return 0;
        pollfd p{m_fd, POLLIN, 0};
        const int pr = ::poll(&p, 1, int(left));
        if (pr > 0)
            return (p.revents & POLLIN) ? 1 : -1; // a hang-up: let the caller wait it out
        if (pr < 0 && errno != EINTR)
            return -1;
    }
}

int PosixSerialLine::status()
{
    if (m_fd < 0)
        return 1;
    termios t{};
    if (::tcgetattr(m_fd, &t) != 0)
        return 1;
    if (lineErrorsSinceLastCheck())
        return 1;
    if (m_rtsCts) {
        int bits = 0;
        if (::ioctl(m_fd, TIOCMGET, &bits) == 0 && !(bits & TIOCM_CTS))
            return 2;
    }
    // Output still queued, or a driver that takes nothing more (a pseudo-terminal stopped
    // by XOFF): the output is held.
    if (outputQueued() > 0)
        return 2;
    pollfd p{m_fd, POLLOUT, 0};
    if (::poll(&p, 1, 0) == 0)
        return 2;
    return 0;
}

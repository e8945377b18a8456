// Kept apart from <termios.h>: the Linux termios2 interface sets any rate (14400, 128000,
// 256000 are not in the classic table).
#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

bool setLineBaud(int fd, quint32 baud)
{
    struct termios2 t {};
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return false;
    t.c_cflag &= ~tcflag_t(CBAUD);
    t.c_cflag |= BOTHER;
    t.c_ispeed = baud;
    t.c_ospeed = baud;
    return ::ioctl(fd, TCSETS2, &t) == 0;
}
#else
#include <termios.h>

bool setLineBaud(int fd, quint32 baud)
{
    termios t{};
    if (::tcgetattr(fd, &t) != 0 || ::cfsetspeed(&t, speed_t(baud)) != 0)
        return false;
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
}
#endif

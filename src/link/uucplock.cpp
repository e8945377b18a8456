#include "uucplock.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The PID a lock file names: -1 when there is no file, 0 when it names none we can read.
// Most programs write ten ASCII digits; old ones wrote the PID as a 4-byte integer.
qint64 readPid(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? -1 : 0;
    char text[32] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0)
        return 0;
    const QByteArray ascii = QByteArray(text, n).trimmed();
    bool ok = false;
    const qint64 pid = ascii.toLongLong(&ok);
    if (ok)
        return pid > 0 && pid <= INT_MAX ? pid : 0;
    if (n == 4) {
        qint32 binary = 0;
        memcpy(&binary, text, 4);
        return binary > 0 ? binary : 0;
    }
    return 0;
}

bool alive(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

qint64 self()
{
    return ::getpid();
}

} // namespace

namespace uucplock {

QStringList directories()
{
    QStringList dirs;
    for (const QString& d : {QStringLiteral("/run/lock"), QStringLiteral("/var/lock")}) {
        const QFileInfo info(d);
        const QString real = info.canonicalFilePath();
        if (!real.isEmpty() && info.isDir() && !dirs.contains(real))
            dirs << real;
    }
    return dirs;
}

QString writableDirectory()
{
    for (const QString& d : directories())
        if (::access(QFile::encodeName(d).constData(), W_OK | X_OK) == 0)
            return d;
    return {};
}

QString fileName(const QString& device)
{
    const QString real = QFileInfo(device).canonicalFilePath();
    const QString name = QFileInfo(real.isEmpty() ? device : real).fileName();
    return name.isEmpty() ? QString() : QStringLiteral("LCK..") + name;
}

qint64 holder(const QString& device)
{
    const QString name = fileName(device);
    if (name.isEmpty())
        return 0;
    for (const QString& d : directories()) {
        const qint64 pid = readPid(d + u'/' + name);
        if (pid != self() && alive(pid))
            return pid;
    }
    return 0;
}

QString take(const QString& device, qint64* holder)
{
    const QString name = fileName(device);
    if (name.isEmpty())
        return {};
    // A lock in any of the directories counts; a stale one goes wherever we may remove it.
    // One naming this process is left from an earlier process with our PID: stale as well.
    for (const QString& d : directories()) {
        const QString path = d + u'/' + name;
        const qint64 pid = readPid(path);
        if (pid < 0)
            continue;
        if (pid != self() && alive(pid)) {
            if (holder)
                *holder = pid;
            return {};
        }
        ::unlink(QFile::encodeName(path).constData());
    }
    const QString dir = writableDirectory();
    if (dir.isEmpty())
        return {};
    const QString path = dir + u'/' + name;
    const QByteArray lock = QFile::encodeName(path);
    // Written whole under a name of its own, then linked into place: no program ever reads a
    // half-written lock, and link() fails when another one took the lock in the meantime.
    QByteArray temporary = QFile::encodeName(dir + QStringLiteral("/LTMP.XXXXXX"));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return {};
    ::fchmod(fd, 0644);
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", int(self()));
    const bool written = ::write(fd, text, 11) == 11;
    ::close(fd);
    QString taken;
    for (int attempt = 0; written && attempt < 2; ++attempt) {
        if (::link(temporary.constData(), lock.constData()) == 0) {
            taken = path;
            break;
        }
        if (errno != EEXIST)
            break;
        const qint64 pid = readPid(path);
        if (pid != self() && alive(pid)) {
            if (holder)
                *holder = pid;
            break;
        }
        ::unlink(lock.constData());
    }
    ::unlink(temporary.constData());
    return taken;
}

void release(const QString& path)
{
    if (!path.isEmpty() && readPid(path) == self())
        ::unlink(QFile::encodeName(path).constData());
}

} // namespace uucplock

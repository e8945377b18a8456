#include "portholder.h"

#include "uucplock.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What a path leads to: a character device by its device number (two nodes of one device
// are the same port), anything else by its inode.
struct Identity {
    bool known = false;
    bool character = false;
    dev_t rdev = 0;
    dev_t dev = 0;
    ino_t ino = 0;
};

Identity identityOf(const QByteArray& path)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return {};
    return {true, S_ISCHR(st.st_mode), st.st_rdev, st.st_dev, st.st_ino};
}

bool same(const Identity& a, const Identity& b)
{
    if (!a.known || !b.known)
        return false;
    if (a.character && b.character)
        return a.rdev == b.rdev;
    return a.dev == b.dev && a.ino == b.ino;
}

QByteArray linkText(int dir, const char* name)
{
    char text[PATH_MAX];
    const ssize_t n = ::readlinkat(dir, name, text, sizeof text);
    return n > 0 ? QByteArray(text, n) : QByteArray();
}

QByteArray fileText(int dir, const QByteArray& name)
{
    const int fd = ::openat(dir, name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    char text[1024];
    const ssize_t n = ::read(fd, text, sizeof text);
    ::close(fd);
    return n > 0 ? QByteArray(text, n) : QByteArray();
}

// The number of a pseudo-terminal's slave ("/dev/pts/3" is 3); -1 for any other device.
int ptyIndex(const QByteArray& real)
{
    const qsizetype slash = real.lastIndexOf('/');
    if (slash < 0 || !real.left(slash).endsWith("/pts"))
        return -1;
    bool ok = false;
    const int n = real.mid(slash + 1).toInt(&ok);
    return ok && n >= 0 ? n : -1;
}

// Whether descriptor `fd` of the process is the master of pseudo-terminal `index`: the
// kernel names the terminal in the descriptor's fdinfo.
bool masterOf(int process, const char* fd, int index)
{
    const QByteArray info = fileText(process, QByteArray("fdinfo/") + fd);
    const QByteArray key = "tty-index:";
    const qsizetype at = info.indexOf(key);
    if (at < 0)
        return false;
    const qsizetype end = info.indexOf('\n', at);
    bool ok = false;
    const int n =
        info.mid(at + key.size(), end < 0 ? -1 : end - at - key.size()).trimmed().toInt(&ok);
    return ok && n == index;
}

QString programOf(int process)
{
    return QString::fromLocal8Bit(fileText(process, "comm").trimmed());
}

qint64 pidOf(const char* name)
{
    qint64 pid = 0;
    for (const char* c = name; *c; ++c) {
        if (*c < '0' || *c > '9' || pid > INT_MAX)
            return 0;
        pid = pid * 10 + (*c - '0');
    }
    return pid;
}

} // namespace

namespace portholder {

QList<Holder> holders(const QString& device, const QString& procRoot)
{
    QList<Holder> found;
    const qint64 self = ::getpid();
    const QByteArray real = QFile::encodeName(QFileInfo(device).canonicalFilePath());
    const Identity target = identityOf(QFile::encodeName(device));
    // The kernel shows a descriptor by the device's own name; other names for it (a second
    // node, a link) are looked at only under /dev or beside the device.
    const QByteArray beside = real.left(real.lastIndexOf('/') + 1);
    const int pty = ptyIndex(real);
    DIR* proc = real.isEmpty() ? nullptr : ::opendir(QFile::encodeName(procRoot).constData());
    while (proc) {
        const dirent* entry = ::readdir(proc);
        if (!entry)
            break;
        const qint64 pid = pidOf(entry->d_name);
        if (pid <= 0 || pid == self)
            continue;
        const int process =
            ::openat(::dirfd(proc), entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (process < 0)
            continue;
        const int fdDir = ::openat(process, "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* fds = fdDir < 0 ? nullptr : ::fdopendir(fdDir);
        if (!fds) {
            if (fdDir >= 0)
                ::close(fdDir);
            ::close(process);
            continue; // another user's process
        }
        bool holds = false;
        bool farEnd = false;
        while (const dirent* fd = ::readdir(fds)) {
            if (fd->d_name[0] == '.')
                continue;
            const QByteArray text = linkText(::dirfd(fds), fd->d_name);
            if (!text.startsWith('/'))
                continue; // sockets, pipes and the like
            if (text == real ||
                ((text.startsWith("/dev/") || (!beside.isEmpty() && text.startsWith(beside))) &&
                 same(identityOf(text), target)))
                holds = true;
            else if (pty >= 0 && text.endsWith("/ptmx") && masterOf(process, fd->d_name, pty))
                farEnd = true;
        }
        ::closedir(fds);
        if (holds && !farEnd)
            found << Holder{pid, programOf(process)};
        ::close(process);
    }
    if (proc)
        ::closedir(proc);

    const qint64 locked = uucplock::holder(device);
    if (locked > 0 && locked != self &&
        std::none_of(found.cbegin(), found.cend(),
                     [&](const Holder& h) { return h.pid == locked; })) {
        const int process =
            ::open(QFile::encodeName(procRoot + u'/' + QString::number(locked)).constData(),
                   O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        found << Holder{locked, process < 0 ? QString() : programOf(process)};
        if (process >= 0)
            ::close(process);
    }
    std::sort(found.begin(), found.end(),
              [](const Holder& a, const Holder& b) { return a.pid < b.pid; });
    return found;
}

QString holderText(const QList<Holder>& holders)
{
    QStringList parts;
    for (const Holder& h : holders) {
        const QString pid = QStringLiteral("PID ") + QString::number(h.pid);
        parts << (h.program.isEmpty() ? pid : h.program + QStringLiteral(" (") + pid + u')');
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace portholder

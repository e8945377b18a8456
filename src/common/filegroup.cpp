#include "filegroup.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace filegroup {

namespace {

struct Staged {
    QString target;
    QString temp; // the new bytes beside the target
    QString kept; // the target's previous file, kept until the group is in place
    bool placed = false;
};

bool stage(const File& file, Staged& into)
{
    const QFileInfo info(file.path);
    QTemporaryFile temp(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral(".XXXXXX"));
    temp.setAutoRemove(false);
    if (!temp.open())
        return false;
    into.temp = temp.fileName();
    // A file replaced keeps who may read it; a new one is the user's own (0600).
    if (QFileInfo::exists(file.path))
        temp.setPermissions(QFile(file.path).permissions());
    // Straight to the descriptor, every byte counted: a disk that takes only part of the file
    // fails the group instead of putting a short file in place.
    const int fd = temp.handle();
    const char* next = file.bytes.constData();
    qint64 left = file.bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, next, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        next += n;
        left -= n;
    }
    const bool written = left == 0 && ::fsync(fd) == 0;
    temp.close();
    return written;
}

// A second name for the target's previous file, so that it is never missing: a hard link,
// or a copy where the file system has none.
bool keep(Staged& s)
{
    if (!QFileInfo::exists(s.target))
        return true;
    s.kept = s.temp + QStringLiteral(".old");
    return ::link(QFile::encodeName(s.target).constData(), QFile::encodeName(s.kept).constData()) ==
               0 ||
           QFile::copy(s.target, s.kept);
}

void undo(QList<Staged>& staged)
{
    for (Staged& s : staged) {
        if (s.placed) {
            if (s.kept.isEmpty())
                QFile::remove(s.target);
            else
                std::rename(QFile::encodeName(s.kept).constData(),
                            QFile::encodeName(s.target).constData());
        }
        if (!s.temp.isEmpty())
            QFile::remove(s.temp);
        if (!s.kept.isEmpty())
            QFile::remove(s.kept);
    }
}

} // namespace

QString writeTogether(const QList<File>& files)
{
    QList<Staged> staged;
    staged.reserve(files.size());
    for (const File& file : files) {
        staged.append(Staged{file.path, {}, {}, false});
        if (!stage(file, staged.last())) {
            undo(staged);
            return file.path;
        }
    }
    for (Staged& s : staged) {
        if (!keep(s)) {
            undo(staged);
            return s.target;
        }
    }
    for (Staged& s : staged) {
        if (std::rename(QFile::encodeName(s.temp).constData(),
                        QFile::encodeName(s.target).constData()) != 0) {
            undo(staged);
            return s.target;
        }
        s.placed = true;
        s.temp.clear();
    }
    for (const Staged& s : staged)
        if (!s.kept.isEmpty())
            QFile::remove(s.kept);
    return {};
}

} // namespace filegroup

#include "recentfiles.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace recentfiles {

QStringList read(const QString& directory)
{
    QFile file(QDir(directory).filePath(FileName));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    // A list file of someone's own making is read only as far as it can matter.
    return parse(file.read(64 * 1024));
}

bool write(const QString& directory, const QStringList& paths)
{
    QSaveFile file(QDir(directory).filePath(FileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write(serialise(paths));
    return file.commit();
}

QStringList parse(const QByteArray& bytes)
{
    QStringList paths;
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    for (const QString& line : lines) {
        const QString path = line.trimmed();
        if (!path.isEmpty() && !paths.contains(path))
            paths.append(path);
        if (paths.size() == Limit)
            break;
    }
    return paths;
}

QByteArray serialise(const QStringList& paths)
{
    QByteArray bytes;
    for (const QString& path : paths)
        bytes += (path + u'\n').toUtf8();
    return bytes;
}

QStringList withFile(const QStringList& paths, const QString& path)
{
    QStringList out = withoutFile(paths, path);
    // A path the list file cannot hold as it is (a line break in it, spaces at its ends) is
    // not listed rather than listed as another file.
    if (path.isEmpty() || path != path.trimmed() || path.contains(u'\n') || !path.isValidUtf16())
        return out;
    out.prepend(path);
    while (out.size() > Limit)
        out.removeLast();
    return out;
}

QStringList withoutFile(const QStringList& paths, const QString& path)
{
    QStringList out = paths;
    out.removeAll(path);
    return out;
}

} // namespace recentfiles

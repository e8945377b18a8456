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
    QStringList paths;
    // A list file of someone's own making is read only as far as it can matter.
    const QStringList lines = QString::fromUtf8(file.read(64 * 1024)).split(u'\n');
    for (const QString& line : lines) {
        const QString path = line.trimmed();
        if (!path.isEmpty() && !paths.contains(path))
            paths.append(path);
        if (paths.size() == Limit)
            break;
    }
    return paths;
}

bool write(const QString& directory, const QStringList& paths)
{
    QSaveFile file(QDir(directory).filePath(FileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    for (const QString& path : paths)
        file.write((path + u'\n').toUtf8());
    return file.commit();
}

QStringList withFile(const QStringList& paths, const QString& path)
{
    QStringList out = withoutFile(paths, path);
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

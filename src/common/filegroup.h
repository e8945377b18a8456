#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Files that belong together (a backup's database and its side file): each is written beside
// its target first, and only when all were written whole are they put in place, one rename
// each. Should a rename fail after an earlier one went through, the earlier targets get their
// previous files back, so that the group on disk is the old one or the new one, never a mix.
namespace filegroup {

struct File {
    QString path;
    QByteArray bytes;
};

// Empty on success; otherwise the path of the file that could not be written or put in place,
// and every target is as it was.
QString writeTogether(const QList<File>& files);

} // namespace filegroup

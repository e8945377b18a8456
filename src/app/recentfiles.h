#pragma once

#include <QString>
#include <QStringList>

// The database files opened or saved last, newest first, for the "Plik" menu. They are kept
// one full path a line (UTF-8) in "ostatnie.txt" beside ustaw.cfg in the start directory.
namespace recentfiles {

inline constexpr int Limit = 8;
inline const QString FileName = QStringLiteral("ostatnie.txt");

// The list in `directory`; empty when the file is missing or unreadable. Blank lines and
// repeats are dropped and at most Limit paths are kept.
QStringList read(const QString& directory);
// False when the file could not be written.
bool write(const QString& directory, const QStringList& paths);

// The list in the bytes of a list file (as read() takes it) and the bytes written for a list.
QStringList parse(const QByteArray& bytes);
QByteArray serialise(const QStringList& paths);

// `path` put at the front (taken away from further down), the list cut to Limit; a path the
// list file cannot hold (empty, with a line break or spaces at its ends) is left out.
QStringList withFile(const QStringList& paths, const QString& path);
// `path` taken away (a file that is no longer there).
QStringList withoutFile(const QStringList& paths, const QString& path);

} // namespace recentfiles

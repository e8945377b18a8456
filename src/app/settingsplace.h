#pragma once

#include <QString>
#include <QStringList>

// Where the program keeps its own files (ustaw.cfg, ustaw.net, the recent-files list): the
// user's configuration directory, as Linux programs do, whatever directory the program was
// started in. A start directory that still holds them (as the program's earlier versions
// left them there) gives them over once.
namespace settingsplace {

// Qt's AppConfigLocation ("~/.config/Vorn Duno" for the program), made when missing; empty
// when it cannot be made.
QString configDirectory();

// The same directory as another program (vduno) finds it, whatever its own name; not made.
QString programDirectory();

struct Adoption {
    QStringList taken;  // the files copied over from the start directory
    QStringList failed; // those that were there but could not be copied
};

// Copies every settings file that `startDirectory` holds and `directory` has not got yet.
// The start directory's files are left as they were.
Adoption adopt(const QString& startDirectory, const QString& directory);

// The directory for the settings and the user's message about anything that went wrong on the
// way (empty when nothing did): the configuration directory with what the start directory
// gave over, or the start directory itself when no configuration directory can be made.
struct Place {
    QString directory;
    QString problem;
};
Place prepare(const QString& startDirectory);

} // namespace settingsplace

#include "settingsplace.h"

#include "portsettings.h"
#include "recentfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace settingsplace {

QString configDirectory()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir))
        return {};
    return dir;
}

QString programDirectory()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/Vorn Duno");
}

Adoption adopt(const QString& startDirectory, const QString& directory)
{
    Adoption adoption;
    if (QDir(startDirectory).canonicalPath() == QDir(directory).canonicalPath())
        return adoption;
    // ustaw.net belongs to ustaw.cfg: it comes along only with it.
    const bool portSettings = !QFileInfo::exists(QDir(directory).filePath(settingsfile::FileName));
    QStringList names{recentfiles::FileName};
    if (portSettings)
        names << settingsfile::FileName << settingsfile::NetworkFileName;
    for (const QString& name : names) {
        const QString from = QDir(startDirectory).filePath(name);
        const QString to = QDir(directory).filePath(name);
        if (!QFileInfo(from).isFile() || QFileInfo::exists(to))
            continue;
        if (QFile::copy(from, to))
            adoption.taken << name;
        else
            adoption.failed << name;
    }
    return adoption;
}

Place prepare(const QString& startDirectory)
{
    const QString dir = configDirectory();
    if (dir.isEmpty())
        return {startDirectory,
                QStringLiteral("Nie mogę utworzyć katalogu ustawień programu (%1); ustawienia "
                               "zostaną zapisane w katalogu %2.")
                    .arg(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                         startDirectory)};
    const Adoption adoption = adopt(startDirectory, dir);
    if (!adoption.failed.isEmpty())
        return {dir, QStringLiteral("Nie mogę przenieść ustawień (%1) z katalogu %2 do %3.")
                         .arg(adoption.failed.join(QStringLiteral(", ")), startDirectory, dir)};
    return {dir, {}};
}

} // namespace settingsplace

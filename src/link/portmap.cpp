#include "portmap.h"

#include "networkline.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {
QHash<int, QString>& overrides()
{
    static QHash<int, QString> map;
    return map;
}
} // namespace

namespace portmap {

QString defaultPath(int port)
{
    if (port >= 1 && port <= 32)
        return QStringLiteral("/dev/ttyS%1").arg(port - 1);
    if (port >= 33 && port <= 64)
        return QStringLiteral("/dev/ttyUSB%1").arg(port - 33);
    if (port >= 65 && port <= 96)
        return QStringLiteral("/dev/ttyACM%1").arg(port - 65);
    return {};
}

QString devicePath(int port)
{
    if (port < 1 || port > 99)
        return {};
    const auto it = overrides().constFind(port);
    if (it != overrides().constEnd())
        return *it;
    const QString env = qEnvironmentVariable(QStringLiteral("VDUNO_COM%1").arg(port).toLatin1());
    if (!env.isEmpty())
        return env;
    return defaultPath(port);
}

void setPortOverride(int port, const QString& path)
{
    if (path.isEmpty())
        overrides().remove(port);
    else
        overrides().insert(port, path);
}

void clearPortOverrides()
{
    overrides().clear();
}

bool isNetworkAddress(const QString& path)
{
    return parseNetworkAddress(path).has_value();
}

QString displayName(int port)
{
    const QString path = devicePath(port);
    const QString com = QStringLiteral("COM%1").arg(port);
    return path.isEmpty() ? com : com + QStringLiteral(" (") + path + QLatin1Char(')');
}

bool isUsb(int port)
{
    const QString path = devicePath(port);
    if (path.isEmpty())
        return false;
    if (path.startsWith(QLatin1String("/dev/serial/by-id/")))
        return true;
    auto usbName = [](const QString& p) {
        const QString name = QFileInfo(p).fileName();
        return name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM"));
    };
    // The name itself (a udev link such as /dev/ttyUSB-kasa counts too) or the device behind.
    return usbName(path) || usbName(QFileInfo(path).canonicalFilePath());
}

QString byIdName(int port, const QString& byIdDir)
{
    const QString path = devicePath(port);
    if (path.isEmpty())
        return {};
    const QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty())
        return {};
    const QDir dir(byIdDir);
    for (const QFileInfo& entry :
         dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
        if (entry.canonicalFilePath() == real)
            return entry.fileName();
    return {};
}

QString permissionHint(const QString& path)
{
    return QStringLiteral("Brak uprawnień do urządzenia ") + path +
           QStringLiteral(". Dodaj użytkownika do grupy dialout (sudo usermod -aG dialout "
                          "$USER) i zaloguj się ponownie.");
}

} // namespace portmap

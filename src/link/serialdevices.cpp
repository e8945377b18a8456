#include "serialdevices.h"

#include "portmap.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>

#include <algorithm>

namespace serialdevices {

namespace {
using hostfacts::Roots;

// How far up from a tty's device the USB device may lie (interface, port, device).
constexpr int UsbLevels = 8;

int kindOrder(const QString& name)
{
    if (name.startsWith(QLatin1String("ttyUSB")))
        return 1;
    if (name.startsWith(QLatin1String("ttyACM")))
        return 2;
    return 0;
}

int number(const QString& name)
{
    const qsizetype digits = name.indexOf(QRegularExpression(QStringLiteral("\\d+$")));
    return digits < 0 ? -1 : name.mid(digits).toInt();
}

QString attribute(const QString& dir, const char* name)
{
    return QString::fromUtf8(
               hostfacts::readBounded(dir + QLatin1Char('/') + QLatin1String(name), 256))
        .trimmed();
}

// The name a link points at, resolved or not ("../../bus/usb-serial/drivers/ch341-uart").
QString linkName(const QString& path)
{
    const QFileInfo info(path);
    const QString real = info.canonicalFilePath();
    if (!real.isEmpty())
        return QFileInfo(real).fileName();
    return info.isSymLink() ? QFileInfo(info.symLinkTarget()).fileName() : QString();
}

// The driver of a tty's device. Newer kernels put a serial-base port and controller ("port",
// "ctrl") between a UART and its tty; the UART's own driver ("serial", "serial8250") is the one
// worth naming.
QString driverOf(const Roots& roots, const QString& name)
{
    const QString device =
        roots.sys + QStringLiteral("/class/tty/") + name + QStringLiteral("/device");
    const QString first = linkName(device + QStringLiteral("/driver"));
    QString driver = first;
    QString dir = QFileInfo(device).canonicalFilePath();
    for (int up = 0; up < 3 && !dir.isEmpty() &&
                     (driver == QLatin1String("port") || driver == QLatin1String("ctrl"));
         ++up) {
        dir = QFileInfo(dir).path();
        driver = linkName(dir + QStringLiteral("/driver"));
    }
    return driver.isEmpty() ? first : driver;
}

// A UART behind an on-board port: its type is not 0 ("unknown"); without a type, the port
// has a driver. Ports the kernel only reserves have type 0.
bool realOnBoardPort(const Roots& roots, const QString& name)
{
    const QString tty = roots.sys + QStringLiteral("/class/tty/") + name;
    const QString type = attribute(tty, "type");
    if (!type.isEmpty())
        return type.toInt() != 0;
    return QFileInfo::exists(tty + QStringLiteral("/device/driver"));
}

// The USB device the tty belongs to: up from its device until a directory names its ids.
void readUsb(const Roots& roots, Device& d)
{
    const QString top = QFileInfo(roots.sys).canonicalFilePath();
    QString dir =
        QFileInfo(roots.sys + QStringLiteral("/class/tty/") + d.name + QStringLiteral("/device"))
            .canonicalFilePath();
    for (int level = 0; level < UsbLevels && !dir.isEmpty() && dir.startsWith(top) && dir != top;
         ++level) {
        if (QFileInfo::exists(dir + QStringLiteral("/idVendor"))) {
            d.vendorId = attribute(dir, "idVendor");
            d.productId = attribute(dir, "idProduct");
            d.product = attribute(dir, "product");
            return;
        }
        dir = QFileInfo(dir).path();
    }
}

QString byIdName(const Roots& roots, const QString& node)
{
    const QString real = QFileInfo(node).canonicalFilePath();
    if (real.isEmpty())
        return {};
    const QDir dir(roots.dev + QStringLiteral("/serial/by-id"));
    for (const QFileInfo& entry :
         dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
        if (entry.canonicalFilePath() == real)
            return entry.fileName();
    return {};
}

int comNumber(const Device& d)
{
    const QString byIdPath = QStringLiteral("/dev/serial/by-id/") + d.byId;
    for (int com = 1; com <= 99; ++com) {
        const QString path = portmap::devicePath(com);
        if (path == d.path || (!d.byId.isEmpty() && path == byIdPath))
            return com;
    }
    return 0;
}

Device node(const Roots& roots, const QList<hostfacts::Group>& groups, const QString& name)
{
    Device d;
    d.name = name;
    d.path = QStringLiteral("/dev/") + name;
    struct stat st {};
    if (::stat(roots.devicePath(d.path).toLocal8Bit().constData(), &st) == 0) {
        d.uid = st.st_uid;
        d.gid = st.st_gid;
        d.mode = int(st.st_mode & 07777);
    }
    d.group = hostfacts::groupName(groups, d.gid);
    return d;
}

QStringList nodeNames(const Roots& roots, const QString& pattern)
{
    const QRegularExpression re(pattern);
    QStringList names;
    for (const QString& n : QDir(roots.dev).entryList(QDir::System | QDir::Files))
        if (re.match(n).hasMatch())
            names << n;
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return std::pair(kindOrder(a), number(a)) < std::pair(kindOrder(b), number(b));
    });
    return names;
}
} // namespace

QString Device::usbId() const
{
    return vendorId.isEmpty() ? QString() : vendorId + QLatin1Char(':') + productId;
}

bool Device::accessibleTo(const hostfacts::User& user) const
{
    if (user.uid == 0)
        return true;
    const int rw = user.uid == uid ? 0600 : user.inGroup(gid) ? 0060 : 0006;
    return (mode & rw) == rw;
}

QList<Device> list(const Roots& roots, const QList<hostfacts::Group>& groups)
{
    QList<Device> out;
    for (const QString& name : nodeNames(roots, QStringLiteral("^tty(S|USB|ACM)\\d+$"))) {
        if (name.startsWith(QLatin1String("ttyS")) && !realOnBoardPort(roots, name))
            continue;
        Device d = node(roots, groups, name);
        d.byId = byIdName(roots, roots.devicePath(d.path));
        d.driver = driverOf(roots, name);
        if (!name.startsWith(QLatin1String("ttyS")))
            readUsb(roots, d);
        d.com = comNumber(d);
        out << d;
    }
    return out;
}

QList<Device> onBoardNodes(const Roots& roots, const QList<hostfacts::Group>& groups)
{
    QList<Device> out;
    for (const QString& name : nodeNames(roots, QStringLiteral("^ttyS\\d+$")))
        out << node(roots, groups, name);
    return out;
}

QString modeText(int mode)
{
    QString text;
    for (int shift = 6; shift >= 0; shift -= 3) {
        const int bits = (mode >> shift) & 7;
        text += QLatin1Char(bits & 4 ? 'r' : '-');
        text += QLatin1Char(bits & 2 ? 'w' : '-');
        text += QLatin1Char(bits & 1 ? 'x' : '-');
    }
    return text;
}

} // namespace serialdevices

#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

// A pretend computer's /sys, /proc, /dev and /etc (and udev's rules) in a temporary directory,
// laid out as the kernel and udev lay them out, so that nothing of the machine running the
// tests is ever read. Device nodes are plain files with mode 0660.
struct FakeHostTree {
    QTemporaryDir dir;

    QString path(const QString& relative) const { return dir.filePath(relative); }

    void file(const QString& relative, const QByteArray& bytes) const
    {
        const QString p = path(relative);
        QDir().mkpath(QFileInfo(p).path());
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
    void link(const QString& relative, const QString& target) const
    {
        const QString p = path(relative);
        QDir().mkpath(QFileInfo(p).path());
        QFile::link(target, p);
    }
    void node(const QString& name) const
    {
        file(QStringLiteral("dev/") + name, QByteArray());
        QFile::setPermissions(path(QStringLiteral("dev/") + name),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                  QFile::WriteUser | QFile::ReadGroup | QFile::WriteGroup);
    }

    // A USB serial adapter (ttyUSB, under its usb-serial port) or a CDC device (ttyACM, on the
    // interface itself), each a USB device of its own on bus 1.
    void usbTty(const QString& name, const QString& driver, const QString& vendor,
                const QString& product, const QString& productName, const QString& byId = QString())
    {
        const QString usb =
            QStringLiteral("sys/devices/pci0000:00/0000:00:14.0/usb1/1-%1").arg(++m_usbDevices);
        file(usb + QStringLiteral("/idVendor"), vendor.toLatin1() + '\n');
        file(usb + QStringLiteral("/idProduct"), product.toLatin1() + '\n');
        file(usb + QStringLiteral("/product"), productName.toUtf8() + '\n');
        const QString interface = usb + QStringLiteral("/1-%1:1.0").arg(m_usbDevices);
        const bool cdc = name.startsWith(QLatin1String("ttyACM"));
        const QString device = cdc ? interface : interface + QLatin1Char('/') + name;
        const QString drivers = cdc ? QStringLiteral("sys/bus/usb/drivers/")
                                    : QStringLiteral("sys/bus/usb-serial/drivers/");
        QDir().mkpath(path(drivers + driver));
        link(device + QStringLiteral("/driver"), path(drivers + driver));
        link(QStringLiteral("sys/class/tty/") + name + QStringLiteral("/device"), path(device));
        node(name);
        if (!byId.isEmpty())
            link(QStringLiteral("dev/serial/by-id/") + byId, QStringLiteral("../../") + name);
    }
    // An on-board port; type 0 is one the kernel only reserves, with no UART behind it.
    void onBoard(const QString& name, int type) const
    {
        const QString platform = QStringLiteral("sys/devices/platform/serial8250");
        QDir().mkpath(path(QStringLiteral("sys/bus/platform/drivers/serial8250")));
        link(platform + QStringLiteral("/driver"),
             path(QStringLiteral("sys/bus/platform/drivers/serial8250")));
        file(QStringLiteral("sys/class/tty/") + name + QStringLiteral("/type"),
             QByteArray::number(type) + '\n');
        link(QStringLiteral("sys/class/tty/") + name + QStringLiteral("/device"), path(platform));
        node(name);
    }
    void process(qint64 pid, const QByteArray& comm) const
    {
        file(QStringLiteral("proc/%1/comm").arg(pid), comm + '\n');
    }
    // A process with the device node open.
    void holder(qint64 pid, const QByteArray& comm, const QString& name) const
    {
        process(pid, comm);
        link(QStringLiteral("proc/%1/fd/3").arg(pid), path(QStringLiteral("dev/") + name));
    }
    // The group database: the device nodes' own group, named `name`, with these members.
    void groupOfNodes(const QString& name, const QString& members) const
    {
        file(QStringLiteral("etc/group"), QStringLiteral("plugdev:x:%1:\n%2:x:%3:%4\n")
                                              .arg(nodeGid() + 1)
                                              .arg(name)
                                              .arg(nodeGid())
                                              .arg(members)
                                              .toUtf8());
    }
    // Owner and group every device node of the tree gets: the test's own.
    quint32 nodeUid() const { return stat().st_uid; }
    quint32 nodeGid() const { return stat().st_gid; }

private:
    struct stat stat() const
    {
        struct stat st {};
        ::stat(QFile::encodeName(dir.path()).constData(), &st);
        return st;
    }
    int m_usbDevices = 0;
};

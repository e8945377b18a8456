#pragma once

#include "hostfacts.h"

#include <QList>
#include <QString>

// The serial devices of the computer as /sys and /dev show them: on-board ports that have a
// UART behind them, USB serial adapters (ttyUSB) and USB CDC devices (ttyACM).
namespace serialdevices {

struct Device {
    QString name;     // "ttyUSB0"
    QString path;     // "/dev/ttyUSB0", as the program opens it
    QString byId;     // its /dev/serial/by-id name; empty when it has none
    QString driver;   // "ch341-uart", "cp210x", "ftdi_sio", "cdc_acm", "serial"
    QString vendorId; // USB ids ("1a86", "7523"); empty for an on-board port
    QString productId;
    QString product; // the USB device's own name ("USB Serial")
    QString group;   // the device node's group ("dialout"), its number when unknown
    quint32 uid = 0; // owner and group of the device node
    quint32 gid = 0;
    int mode = 0; // permission bits of the device node (0660)
    int com = 0;  // the COM number that opens it; 0 when none does

    bool isUsbSerial() const { return name.startsWith(QLatin1String("ttyUSB")); }
    bool isUsbCdc() const { return name.startsWith(QLatin1String("ttyACM")); }
    // "1a86:7523"; empty without USB ids.
    QString usbId() const;
    // Whether `user` may read and write the device node.
    bool accessibleTo(const hostfacts::User& user) const;
};

// On-board ports first, then the USB adapters, then the CDC devices, each in number order.
QList<Device> list(const hostfacts::Roots& roots, const QList<hostfacts::Group>& groups);

// The device nodes of the on-board ports (DEV/ttyS*), present whether or not a UART is behind
// them: they carry the group a serial device gets.
QList<Device> onBoardNodes(const hostfacts::Roots& roots, const QList<hostfacts::Group>& groups);

// The permission bits as ls shows them ("rw-rw----").
QString modeText(int mode);

} // namespace serialdevices

#pragma once

#include <QList>
#include <QString>

// Who holds a serial device: the programs to name when a port cannot be had.
namespace portholder {

struct Holder {
    qint64 pid = 0;
    QString program; // program: /proc/PID/comm
};

// The processes other than this one that have `device` open (symbolic links such as
// /dev/serial/by-id names followed on both sides), found through /proc/*/fd under `procRoot`,
// plus the process named by a UUCP lock file for the device when that process is alive.
// Unreadable entries (other users' processes) are skipped. A process that holds the master
// side of a pseudo-terminal is the line's far end (an emulated register, socat), not a
// program in the way, and is not listed for it. Sorted by PID, each process once.
QList<Holder> holders(const QString& device, const QString& procRoot = QStringLiteral("/proc"));
// "vduno (PID 1234)", several joined with ", "; empty for none.
QString holderText(const QList<Holder>& holders);

} // namespace portholder

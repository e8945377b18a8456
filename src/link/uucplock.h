#pragma once

#include <QString>
#include <QStringList>

// UUCP lock files: "LCK..ttyUSB0" in /run/lock or /var/lock, holding the PID of the program
// that uses the device as ten ASCII digits and a newline. minicom, cu and other serial
// programs keep off a device whose lock file names a live process, and so do we.
namespace uucplock {

// The lock directories that exist, each once (/var/lock is often a link to /run/lock).
QStringList directories();
// The first of them that this program may write to; empty when none is.
QString writableDirectory();
// "LCK..ttyUSB0": the name of the device itself, symbolic links (/dev/serial/by-id) followed.
QString fileName(const QString& device);
// The live process, other than this one, that a lock file for `device` names; 0 when none.
qint64 holder(const QString& device);
// Takes the lock for `device`: a lock file with this process's PID in the writable directory,
// in place of a stale one whose process is gone. Returns its path; empty when the device is
// held (`holder` is then set to the process that holds it) or when no lock file can be made
// here (no writable directory, a stale file of another user): the device is then used without
// one.
QString take(const QString& device, qint64* holder);
// Removes a lock file made by take(), if it still names this process.
void release(const QString& path);

} // namespace uucplock

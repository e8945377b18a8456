#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What the computer tells an ordinary user about itself, read from /sys, /proc, /dev and
// /etc: the group database, the running programs and udev's rules. Nothing here needs root,
// and every read is bounded; a file that is missing or unreadable is simply absent.
namespace hostfacts {

// The directories read instead of the system's own, so that a test (or vduno doctor --root)
// can point them into a tree of its own.
struct Roots {
    QString sys = QStringLiteral("/sys");
    QString proc = QStringLiteral("/proc");
    QString dev = QStringLiteral("/dev");
    QString etc = QStringLiteral("/etc");
    // udev's packaged rules; the administrator's own in etc/udev/rules.d come before them.
    QStringList packagedRules = {QStringLiteral("/lib/udev/rules.d"),
                                 QStringLiteral("/usr/lib/udev/rules.d")};

    // DIR/sys, DIR/proc, DIR/dev, DIR/etc, DIR/lib/udev/rules.d and DIR/usr/lib/udev/rules.d.
    static Roots under(const QString& dir);
    // Every rules directory, in the order udev takes a file name from.
    QStringList rulesDirs() const;
    // `path` as seen under the roots: "/dev/ttyUSB0" is DEV/ttyUSB0; any other path as it is.
    QString devicePath(const QString& path) const;
    // The other way: the name a path under the roots has on the system itself
    // (DIR/usr/lib/udev/rules.d/85-brltty.rules is /usr/lib/udev/rules.d/85-brltty.rules).
    QString systemPath(const QString& path) const;
};

// The user the program runs as.
struct User {
    quint32 uid = 0;
    quint32 gid = 0;       // primary group
    QList<quint32> groups; // supplementary groups of this session
    QString name;          // login name; empty when unknown
    static User ofProcess();
    bool inGroup(quint32 group) const { return gid == group || groups.contains(group); }
};

struct Group {
    QString name;
    quint32 gid = 0;
    QStringList members;
};
// The group database (etc/group); lines that do not parse are skipped.
QList<Group> groups(const Roots& roots);
// The name of group `gid`, or its number when the database does not know it.
QString groupName(const QList<Group>& groups, quint32 gid);

struct Process {
    qint64 pid = 0;
    QString comm; // proc/PID/comm, the program's short name
};
// Every process that shows its name.
QList<Process> processes(const Roots& roots);

// The udev rules files in force (a file in etc/udev/rules.d hides the packaged one of the same
// name; one linked to /dev/null is empty) whose text mentions `word`, case ignored.
QStringList rulesMentioning(const Roots& roots, const QString& word);
// The rules lines in force that mention every one of `words`, case ignored.
QStringList rulesLinesWith(const Roots& roots, const QStringList& words);

// At most `limit` bytes of a file; empty when it cannot be read.
QByteArray readBounded(const QString& path, qint64 limit = 4096);

} // namespace hostfacts

#include "hostfacts.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace hostfacts {

namespace {
// Big enough for any group database or rules file seen in practice, small enough that a
// strange file cannot hold the program up.
constexpr qint64 TextLimit = 1 << 20;

struct RulesFile {
    QString path;
    QByteArray text;
};

// The rules files in force, each with its text: the first directory that has a name wins.
QList<RulesFile> rulesInForce(const Roots& roots)
{
    QList<RulesFile> files;
    QSet<QString> seen;
    for (const QString& dir : roots.rulesDirs()) {
        const QStringList names =
            QDir(dir).entryList({QStringLiteral("*.rules")},
                                QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& name : names) {
            if (seen.contains(name))
                continue;
            seen.insert(name);
            const QString path = dir + QLatin1Char('/') + name;
            files << RulesFile{path, readBounded(path, TextLimit)};
        }
    }
    return files;
}
} // namespace

Roots Roots::under(const QString& dir)
{
    Roots r;
    r.sys = dir + QStringLiteral("/sys");
    r.proc = dir + QStringLiteral("/proc");
    r.dev = dir + QStringLiteral("/dev");
    r.etc = dir + QStringLiteral("/etc");
    r.packagedRules = {dir + QStringLiteral("/lib/udev/rules.d"),
                       dir + QStringLiteral("/usr/lib/udev/rules.d")};
    return r;
}

QStringList Roots::rulesDirs() const
{
    return QStringList{etc + QStringLiteral("/udev/rules.d")} + packagedRules;
}

QString Roots::devicePath(const QString& path) const
{
    if (path.startsWith(QLatin1String("/dev/")))
        return dev + path.mid(4);
    return path;
}

QString Roots::systemPath(const QString& path) const
{
    const Roots system;
    QList<std::pair<QString, QString>> places = {
        {sys, system.sys}, {proc, system.proc}, {dev, system.dev}, {etc, system.etc}};
    for (qsizetype i = 0; i < packagedRules.size() && i < system.packagedRules.size(); ++i)
        places.append({packagedRules[i], system.packagedRules[i]});
    for (const auto& [here, there] : places)
        if (path == here || path.startsWith(here + QLatin1Char('/')))
            return there + path.mid(here.size());
    return path;
}

User User::ofProcess()
{
    User u;
    u.uid = ::getuid();
    u.gid = ::getgid();
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> list(static_cast<size_t>(count));
        const int got = ::getgroups(count, list.data());
        for (int i = 0; i < got; ++i)
            u.groups << quint32(list[size_t(i)]);
    }
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(u.uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        u.name = QString::fromLocal8Bit(found->pw_name);
    if (u.name.isEmpty())
        u.name = qEnvironmentVariable("USER");
    return u;
}

QList<Group> groups(const Roots& roots)
{
    QList<Group> out;
    const QByteArray text = readBounded(roots.etc + QStringLiteral("/group"), TextLimit);
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(':');
        if (fields.size() < 3 || fields[0].isEmpty() || fields[0].startsWith('#'))
            continue;
        bool ok = false;
        const uint gid = fields[2].toUInt(&ok);
        if (!ok)
            continue;
        Group g{QString::fromUtf8(fields[0]), quint32(gid), {}};
        if (fields.size() > 3)
            for (const QByteArray& m : fields[3].split(','))
                if (!m.trimmed().isEmpty())
                    g.members << QString::fromUtf8(m.trimmed());
        out << g;
    }
    return out;
}

QString groupName(const QList<Group>& groups, quint32 gid)
{
    for (const Group& g : groups)
        if (g.gid == gid)
            return g.name;
    return QString::number(gid);
}

QList<Process> processes(const Roots& roots)
{
    QList<Process> out;
    const QStringList entries = QDir(roots.proc).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        // A process that ended meanwhile leaves nothing to read and is passed over.
        const QByteArray comm =
            readBounded(roots.proc + QLatin1Char('/') + entry + QStringLiteral("/comm"), 64)
                .trimmed();
        if (!comm.isEmpty())
            out << Process{pid, QString::fromUtf8(comm)};
    }
    return out;
}

QStringList rulesMentioning(const Roots& roots, const QString& word)
{
    QStringList out;
    for (const RulesFile& file : rulesInForce(roots))
        if (QString::fromUtf8(file.text).contains(word, Qt::CaseInsensitive))
            out << file.path;
    return out;
}

QStringList rulesLinesWith(const Roots& roots, const QStringList& words)
{
    QStringList out;
    for (const RulesFile& file : rulesInForce(roots))
        for (const QByteArray& raw : file.text.split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.startsWith(QLatin1Char('#')))
                continue;
            bool all = !line.isEmpty();
            for (const QString& w : words)
                all = all && line.contains(w, Qt::CaseInsensitive);
            if (all)
                out << line;
        }
    return out;
}

QByteArray readBounded(const QString& path, qint64 limit)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return f.read(limit);
}

} // namespace hostfacts

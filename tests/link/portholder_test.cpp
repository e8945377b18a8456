// One program a port: who holds a device (a made-up /proc), the locks of an open on real
// pseudo-terminals, and the searches passing held ports by.
#include "link/link.h"
#include "link/portholder.h"
#include "link/portmap.h"
#include "link/portscan.h"
#include "link/serialline.h"
#include "link/uucplock.h"

#include <gtest/gtest.h>

#include "fakeui.h"
#include "scanworld.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray lockText(qint64 pid)
{
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", int(pid));
    return text;
}

// A pseudo-terminal whose master and slave this test holds, as an emulator does.
struct Pty {
    int master = -1, slave = -1;
    QString path;
    Pty()
    {
        char name[128] = {};
        termios t{};
        cfmakeraw(&t);
        if (openpty(&master, &slave, name, &t, nullptr) == 0)
            path = QString::fromLocal8Bit(name);
    }
    ~Pty()
    {
        ::close(slave);
        ::close(master);
    }
};

// Made-up processes in a temporary /proc: PID/comm, PID/fd/N links, and for a pseudo-terminal
// master PID/fdinfo/N with its terminal's number. Beside them the entries a real /proc has
// that are no process, and a process whose descriptors cannot be read.
struct FakeProc {
    QTemporaryDir dir;
    QString root;
    QString device, byId, other, pts;
    FakeProc()
    {
        root = dir.filePath(QStringLiteral("proc"));
        const QString dev = dir.filePath(QStringLiteral("dev"));
        QDir().mkpath(dev + QStringLiteral("/serial/by-id"));
        QDir().mkpath(dev + QStringLiteral("/pts"));
        // A name of its own, so that no real lock file in /run/lock names it.
        device = dev + QStringLiteral("/ttyVDUNO%1").arg(::getpid());
        other = dev + QStringLiteral("/ttyS0");
        // A terminal number above any the kernel hands out: no real lock file names it.
        pts = dev + QStringLiteral("/pts/999999");
        byId = dev + QStringLiteral("/serial/by-id/usb-Vorn_Duno_A1B2-if00-port0");
        for (const QString& d : {device, other, pts})
            writeFile(d, {});
        QFile::link(QStringLiteral("../../ttyVDUNO%1").arg(::getpid()), byId);
        QDir().mkpath(root + QStringLiteral("/self/fd"));
        QDir().mkpath(root + QStringLiteral("/sys"));
        QDir().mkpath(root + QStringLiteral("/77"));
        writeFile(root + QStringLiteral("/77/fd"), "not a directory");
    }
    void process(qint64 pid, const QString& program, const QStringList& targets)
    {
        const QString base = root + u'/' + QString::number(pid);
        QDir().mkpath(base + QStringLiteral("/fd"));
        QDir().mkpath(base + QStringLiteral("/fdinfo"));
        writeFile(base + QStringLiteral("/comm"), program.toUtf8() + '\n');
        int fd = 3;
        for (const QString& target : targets) {
            const QString name = QString::number(fd++);
            QFile::link(target, base + QStringLiteral("/fd/") + name);
            if (target.endsWith(QLatin1String("/ptmx")))
                writeFile(base + QStringLiteral("/fdinfo/") + name,
                          "pos:\t0\nflags:\t02\nmnt_id:\t24\nino:\t90\ntty-index:\t999999\n");
        }
    }
};

} // namespace

TEST(PortHolders, FoundThroughTheDescriptorsOfOtherProcesses)
{
    enum Name { Device, ById, Other, Pts, Ptmx };
    struct Proc {
        qint64 pid; // 0: this process
        const char* program;
        std::initializer_list<Name> open;
    };
    const struct {
        const char* title;
        Name asked;
        std::initializer_list<Proc> processes;
        const char* expected;
    } rows[] = {
        {"nobody", Device, {{100, "bash", {Other}}}, ""},
        {"one of several",
         Device,
         {{100, "bash", {Other}}, {200, "vduno", {Other, Device}}},
         "vduno (PID 200)"},
        {"by-id names on both sides",
         ById,
         {{301, "picocom", {Device}}, {300, "minicom", {ById, ById}}},
         "minicom (PID 300), picocom (PID 301)"},
        {"the device asked for, held by its by-id name",
         Device,
         {{300, "minicom", {ById}}},
         "minicom (PID 300)"},
        {"this process left out",
         Device,
         {{0, "link_test", {Device}}, {400, "vduno", {Device}}},
         "vduno (PID 400)"},
        {"the far end of a pseudo-terminal left out",
         Pts,
         {{600, "duno-emulator", {Ptmx, Pts}}, {601, "vduno", {Pts}}},
         "vduno (PID 601)"},
    };
    for (const auto& row : rows) {
        FakeProc proc;
        const auto path = [&](Name n) {
            switch (n) {
            case Device:
                return proc.device;
            case ById:
                return proc.byId;
            case Other:
                return proc.other;
            case Pts:
                return proc.pts;
            case Ptmx:
                break;
            }
            return QStringLiteral("/dev/ptmx");
        };
        for (const Proc& p : row.processes) {
            QStringList targets;
            for (Name n : p.open)
                targets << path(n);
            proc.process(p.pid ? p.pid : ::getpid(), QString::fromUtf8(p.program), targets);
        }
        EXPECT_EQ(portholder::holderText(portholder::holders(path(row.asked), proc.root)),
                  QString::fromUtf8(row.expected))
            << row.title;
    }
}

// Two opens of one pseudo-terminal in one process exclude each other as two programs would;
// the first one's close frees the terminal (its exclusive mode and its lock file) at once,
// although the far end keeps the terminal open.
TEST(PortLocks, SecondOpenIsRefusedUntilTheFirstCloses)
{
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    const QString lockDir = uucplock::writableDirectory();
    const QString lockFile = lockDir + u'/' + uucplock::fileName(pty.path);
    EXPECT_EQ(uucplock::fileName(pty.path),
              QStringLiteral("LCK..") + QFileInfo(pty.path).fileName());

    PosixSerialLine first;
    ASSERT_EQ(first.open(pty.path), SerialLine::OpenError::None);
    if (!lockDir.isEmpty()) {
        EXPECT_EQ(readFile(lockFile), lockText(::getpid()));
    }

    portmap::setPortOverride(97, pty.path);
    Link link;
    FakeUi ui;
    link.port = 97;
    EXPECT_EQ(link.openPort(ui, true), 1);
    EXPECT_EQ(link.openError(), SerialLine::OpenError::Busy);
    // Nobody but this process holds it: no holder to name.
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Port COM97 (") + pty.path +
                                       QStringLiteral(") jest zajęty przez inny program.")});

    first.close();
    EXPECT_FALSE(QFile::exists(lockFile));
    link.port = 97;
    EXPECT_EQ(link.openPort(ui, true), 0) << ui.messages.join(u'\n').toStdString();
    link.closePort();
    portmap::setPortOverride(97, {});
}

TEST(PortLocks, StaleLockFileIsTakenOverAndALiveOneNamesItsProcess)
{
    const QString lockDir = uucplock::writableDirectory();
    if (lockDir.isEmpty())
        GTEST_SKIP() << "no writable lock directory (/run/lock or /var/lock): lock files are "
                        "not used on this computer";
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    const QString lockFile = lockDir + u'/' + uucplock::fileName(pty.path);

    // A program that has ended left its lock behind.
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ASSERT_GT(gone, 0);
    ::waitpid(gone, nullptr, 0);
    writeFile(lockFile, lockText(gone));
    {
        PosixSerialLine line;
        EXPECT_EQ(line.open(pty.path), SerialLine::OpenError::None);
        EXPECT_EQ(readFile(lockFile), lockText(::getpid()));
    }
    EXPECT_FALSE(QFile::exists(lockFile));

    // A program that runs holds it, although it does not have the terminal open.
    QProcess sleeper;
    sleeper.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    ASSERT_TRUE(sleeper.waitForStarted(5000));
    const qint64 pid = sleeper.processId();
    writeFile(lockFile, lockText(pid));
    portmap::setPortOverride(97, pty.path);
    Link link;
    FakeUi ui;
    link.port = 97;
    EXPECT_EQ(link.openPort(ui, true), 1);
    const QString holder = QStringLiteral("sleep (PID %1)").arg(pid);
    EXPECT_EQ(link.portHolder(), holder);
    EXPECT_EQ(ui.messages,
              QStringList{QStringLiteral("Port COM97 (") + pty.path +
                          QStringLiteral(") jest zajęty przez inny program: ") + holder +
                          QStringLiteral(". Zamknij go i spróbuj ponownie.")});
    EXPECT_EQ(readFile(lockFile), lockText(pid)); // not ours to remove
    EXPECT_EQ(portholder::holderText(portholder::holders(pty.path)), holder);
    sleeper.kill();
    sleeper.waitForFinished(5000);
    QFile::remove(lockFile);
    portmap::setPortOverride(97, {});
}

namespace {

// The pretend computer's ports, some of them held by other programs.
class HeldScanLine : public ScanLine {
public:
    HeldScanLine(ScanWorld& w, const QMap<int, QString>& held) : ScanLine(w), m_held(held) {}
    OpenError open(const QString& path) override
    {
        const int n = path.mid(5).toInt();
        if (!m_held.contains(n))
            return ScanLine::open(path);
        m_holder = m_held.value(n);
        return OpenError::Busy;
    }
    QString holder() const override { return m_holder; }

private:
    const QMap<int, QString>& m_held;
    QString m_holder;
};

} // namespace

TEST(PortScanHeld, SearchesPassHeldPortsByAndNameThem)
{
    ScanWorld world;
    const QMap<int, QString> held{{3, QString()}, {5, QStringLiteral("vduno (PID 1234)")}};
    Link link([&] { return std::unique_ptr<SerialLine>(new HeldScanLine(world, held)); });
    FakeUi ui;
    world.open = {3, 5, 7};
    world.registers[7] = {1};
    const QList<portscan::HeldPort> expected{{3, QString()},
                                             {5, QStringLiteral("vduno (PID 1234)")}};

    QList<portscan::HeldPort> seen;
    EXPECT_EQ(portscan::availablePorts(link, ui, false, &seen), QList<int>{7});
    EXPECT_EQ(seen, expected);
    seen.clear();
    EXPECT_EQ(portscan::quickSearch(link, ui, {}, &seen), 7);
    EXPECT_EQ(seen, expected);
    link.closePort();
    const portscan::ScanResult r = portscan::registerScan(link, ui);
    EXPECT_EQ(r.found, (QList<portscan::FoundRegister>{{7, 1}}));
    EXPECT_EQ(r.held, expected); // once each, over the count and the nine addresses
    EXPECT_TRUE(ui.messages.isEmpty());

    EXPECT_EQ(portscan::heldEntry(expected[0]), QStringLiteral("COM 3: zajęty przez inny program"));
    EXPECT_EQ(portscan::heldEntry(expected[1]),
              QStringLiteral("COM 5: zajęty przez vduno (PID 1234)"));
}

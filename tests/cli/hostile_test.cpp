// Every vduno command that talks to the register, against lines that are not a register: a
// silent line, a line that streams frame starts without end, a loopback plug that echoes
// every byte back and a line of random noise. Each command must end on its own, report the
// failure and leave the database file as it was.
#include <QByteArray>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

enum class Hostile { Silence, FrameStarts, Loopback, Noise };

const char* hostileName(Hostile h)
{
    switch (h) {
    case Hostile::Silence:
        return "silence";
    case Hostile::FrameStarts:
        return "endless frame starts";
    case Hostile::Loopback:
        return "loopback";
    case Hostile::Noise:
        return "random noise";
    }
    return "?";
}

// A pseudo-terminal whose master side a thread drives as the hostile device. The slave side
// is held open so that the master never reads a hang-up between two commands.
class HostileDevice {
public:
    explicit HostileDevice(Hostile kind) : m_kind(kind)
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        m_path = QString::fromLocal8Bit(ptsname(m_master));
        m_slave = ::open(m_path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_slave < 0)
            return;
        termios t{};
        tcgetattr(m_slave, &t);
        cfmakeraw(&t);
        tcsetattr(m_slave, TCSANOW, &t);
        m_thread = std::thread([this] { run(); });
    }
    ~HostileDevice()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }
    bool ready() const { return m_thread.joinable(); }
    QString path() const { return m_path; }

private:
    void run()
    {
        std::mt19937 random(12345u + unsigned(m_kind));
        char in[4096];
        QByteArray out(256, '\0');
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            const bool streams = m_kind == Hostile::FrameStarts || m_kind == Hostile::Noise;
            ::poll(&p, 1, streams ? 1 : 5);
            const ssize_t n = ::read(m_master, in, sizeof in);
            if (m_kind == Hostile::Loopback && n > 0) {
                ssize_t at = 0;
                while (at < n && !m_stop) {
                    const ssize_t w = ::write(m_master, in + at, size_t(n - at));
                    if (w > 0)
                        at += w;
                    else
                        ::usleep(1000);
                }
            }
            if (streams) {
                for (char& c : out)
                    c = m_kind == Hostile::FrameStarts ? char(0x02) : char(random() & 0xFF);
                // A full buffer (nobody reading) refuses the bytes; the stream just goes on.
                (void)::write(m_master, out.constData(), size_t(out.size()));
            }
        }
    }

    Hostile m_kind;
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

QByteArray fileDigest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

constexpr int kBoundMs = 30000;

} // namespace

TEST(HostileLines, EveryCommandEndsReportsTheFailureAndLeavesTheDatabase)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("baza.vkf"));
    {
        QProcess p;
        p.start(QStringLiteral(VDUNO_BINARY), {QStringLiteral("db"), QStringLiteral("new"), db});
        ASSERT_TRUE(p.waitForFinished(30000));
        ASSERT_EQ(p.exitCode(), 0);
    }
    const QByteArray dbBefore = fileDigest(db);
    ASSERT_FALSE(dbBefore.isEmpty());

    const QList<QStringList> commands = {
        {QStringLiteral("probe")},
        {QStringLiteral("info")},
        {QStringLiteral("sales")},
        {QStringLiteral("turnover")},
        {QStringLiteral("copy"), QStringLiteral("last")},
        {QStringLiteral("cache-dump"), dir.filePath(QStringLiteral("cache.bin"))},
        {QStringLiteral("settings"), QStringLiteral("get")},
        {QStringLiteral("units"), QStringLiteral("get")},
        {QStringLiteral("clock"), QStringLiteral("set")},
        {QStringLiteral("read"), db, QStringLiteral("articles")},
        {QStringLiteral("send"), db, QStringLiteral("articles")},
        {QStringLiteral("send"), db, QStringLiteral("cashiers")},
        {QStringLiteral("compare"), db, QStringLiteral("articles")},
        {QStringLiteral("compare"), db, QStringLiteral("cashiers")},
        {QStringLiteral("delete-register"), QStringLiteral("cashiers"), QStringLiteral("1")},
    };
    const Hostile lines[] = {Hostile::Silence, Hostile::FrameStarts, Hostile::Loopback,
                             Hostile::Noise};
    std::vector<std::unique_ptr<HostileDevice>> devices;
    for (Hostile h : lines) {
        devices.push_back(std::make_unique<HostileDevice>(h));
        ASSERT_TRUE(devices.back()->ready()) << hostileName(h);
    }

    for (const QStringList& command : commands) {
        // The four lines at once, one program on each.
        std::vector<std::unique_ptr<QProcess>> runs;
        QElapsedTimer clock;
        clock.start();
        for (const auto& device : devices) {
            auto p = std::make_unique<QProcess>();
            p->setWorkingDirectory(dir.path());
            p->start(QStringLiteral(VDUNO_BINARY),
                     QStringList{QStringLiteral("--device"), device->path()} + command);
            p->closeWriteChannel(); // a question on standard input reads its end
            runs.push_back(std::move(p));
        }
        for (size_t i = 0; i < runs.size(); ++i) {
            QProcess& p = *runs[i];
            const std::string what =
                command.join(u' ').toStdString() + " on " + hostileName(lines[i]);
            const bool ended = p.waitForFinished(int(qMax<qint64>(1, kBoundMs - clock.elapsed())));
            EXPECT_TRUE(ended) << what << " did not end within 30 s";
            if (!ended) {
                p.kill();
                p.waitForFinished();
                continue;
            }
            const QString err = QString::fromLocal8Bit(p.readAllStandardError());
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << what;
            EXPECT_NE(p.exitCode(), 0)
                << what << " reported success\n"
                << QString::fromLocal8Bit(p.readAllStandardOutput()).left(400).toStdString();
            EXPECT_FALSE(err.trimmed().isEmpty()) << what << " did not say what went wrong";
            EXPECT_EQ(fileDigest(db), dbBefore) << what << " changed the database file";
        }
    }
}

// vduno --registers over a chain of emulated registers, each behind a TCP host of its own
// (duno-emulator --tcp-fleet), two more sharing one line, a shop whose device server is down
// and a register listed twice: the copy, the change-only programming and the compare a chain
// owner runs, a list with a mistake, and a stop in the middle.
#include "loopbackport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

// An emulator process serving registers on loopback; the addresses it printed.
class Emulators {
public:
    bool start(const QStringList& args, int count)
    {
        auto& p = *m_processes.emplace_back(std::make_unique<QProcess>());
        p.start(QStringLiteral(DUNO_EMULATOR_PATH), args);
        if (!p.waitForStarted(10000))
            return false;
        QStringList found;
        while (found.size() < count && p.waitForReadyRead(10000))
            while (p.canReadLine())
                found << QString::fromUtf8(p.readLine()).trimmed();
        addresses += found;
        return found.size() == count;
    }
    ~Emulators()
    {
        for (auto& p : m_processes) {
            p->terminate();
            p->waitForFinished(10000);
        }
    }
    QStringList addresses;

private:
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

// A shop whose device server is down.
QString closedPort()
{
    return QStringLiteral("tcp://127.0.0.1:%1").arg(unusedLoopbackPort());
}

class ChainCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        list = dir.filePath(QStringLiteral("chain.txt"));
    }

    Outcome vduno(const QStringList& args, int timeoutMs = 120000)
    {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(VDUNO_BINARY), args);
        Outcome r;
        if (!p.waitForFinished(timeoutMs))
            return r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }

    void addLines(const QString& lines)
    {
        QFile f(list);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(lines.toUtf8());
    }

    // The closing table's row of a register: its cells split on two or more spaces.
    static QStringList row(const QString& out, const QString& name)
    {
        for (const QString& line : out.split(u'\n'))
            if (line.startsWith(name + QStringLiteral("  ")))
                return line.split(QRegularExpression(QStringLiteral("\\s{2,}")));
        return {};
    }

    // New prices for the first `count` articles of a database, through its CSV.
    void changePrices(const QString& database, int count)
    {
        const QString csv = dir.filePath(QStringLiteral("ceny.csv"));
        ASSERT_EQ(
            vduno({QStringLiteral("export"), database, QStringLiteral("articles"), csv}).exitCode,
            0);
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = f.readAll().split('\n');
        f.close();
        // A title line and a column line, then one article a line.
        for (int i = 2; i < 2 + count && i < lines.size(); ++i) {
            QList<QByteArray> fields = lines[i].split(';');
            ASSERT_GT(fields.size(), 2);
            fields[2] = "99,9" + QByteArray::number(i);
            lines[i] = fields.join(';');
        }
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(lines.join('\n'));
        f.close();
        ASSERT_EQ(vduno({QStringLiteral("import"), database, csv}).exitCode, 0);
    }

    QTemporaryDir dir;
    QString list;
    Emulators emulators;
};

TEST_F(ChainCli, CopiesProgramsWhatChangedAndComparesEveryShop)
{
    ASSERT_TRUE(emulators.start({QStringLiteral("--demo"), QStringLiteral("--tcp-fleet"),
                                 QStringLiteral("3"), QStringLiteral("--tcp"), QStringLiteral("0"),
                                 QStringLiteral("--fleet-list"), list},
                                3));
    ASSERT_TRUE(
        emulators.start({QStringLiteral("--demo"), QStringLiteral("--addresses"),
                         QStringLiteral("1,2"), QStringLiteral("--tcp"), QStringLiteral("0")},
                        1));
    const QString shared = emulators.addresses.at(3);
    addLines(QStringLiteral("wspolna1 %1 1\n"
                            "\"wspólna 2\" %1 2 w2.vkf\n"
                            "martwa %2 1\n"
                            "kopia %3 1 kopia.vkf\n")
                 .arg(shared, closedPort(), emulators.addresses.at(0)));

    const Outcome backup = vduno({QStringLiteral("--registers"), list, QStringLiteral("backup")});
    EXPECT_EQ(backup.exitCode, 1) << backup.err.toStdString();
    for (const char* name : {"kasa1", "kasa2", "kasa3", "wspolna1"}) {
        EXPECT_TRUE(QFile::exists(dir.filePath(QString::fromUtf8(name) + QStringLiteral(".vkf"))))
            << name;
        EXPECT_EQ(row(backup.out, QString::fromUtf8(name)).value(2), QStringLiteral("OK"))
            << backup.out.toStdString();
    }
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("w2.vkf"))));
    EXPECT_EQ(row(backup.out, QStringLiteral("wspólna 2")).value(1), QStringLiteral("DUNO BIS"));
    // The shop that is down and the register listed twice write nothing.
    EXPECT_TRUE(row(backup.out, QStringLiteral("martwa"))
                    .value(1)
                    .startsWith(QStringLiteral("Nie mogę otworzyć portu tcp://127.0.0.1:")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("martwa.vkf"))));
    EXPECT_TRUE(row(backup.out, QStringLiteral("kopia"))
                    .value(1)
                    .startsWith(QStringLiteral("Ta sama kasa (port i adres) co „kasa1”")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("kopia.vkf"))));
    // Each register's results stand in a block of their own.
    EXPECT_EQ(backup.out.count(QStringLiteral("== kasa")), 3);
    EXPECT_TRUE(backup.out.contains(QStringLiteral("Zapisano kasa2.vkf i kasa2.kasa")));

    const QStringList healthy{QStringLiteral("--only"),
                              QStringLiteral("kasa1,kasa2,kasa3,wspolna1,wspólna 2")};
    changePrices(dir.filePath(QStringLiteral("kasa2.vkf")), 3);
    const Outcome restore =
        vduno(QStringList{QStringLiteral("--registers"), list} + healthy +
              QStringList{QStringLiteral("restore"), QStringLiteral("--changed"),
                          QStringLiteral("--yes")});
    ASSERT_EQ(restore.exitCode, 0) << restore.out.toStdString() << restore.err.toStdString();
    EXPECT_EQ(row(restore.out, QStringLiteral("kasa2")).value(3), QStringLiteral("3 z 3 rekordów"));
    EXPECT_EQ(row(restore.out, QStringLiteral("kasa1")).value(3), QStringLiteral("0 rekordów"));
    EXPECT_EQ(row(restore.out, QStringLiteral("wspólna 2")).value(2), QStringLiteral("OK"));

    // A copy taken from the other model is not programmed into this one.
    QFile extras(dir.filePath(QStringLiteral("w2.kasa")));
    ASSERT_TRUE(extras.open(QIODevice::ReadOnly));
    QByteArray text = extras.readAll().replace("typ=2", "typ=1");
    extras.close();
    ASSERT_TRUE(extras.open(QIODevice::WriteOnly));
    extras.write(text);
    extras.close();
    const Outcome wrong =
        vduno({QStringLiteral("--registers"), list, QStringLiteral("--only"),
               QStringLiteral("wspólna 2"), QStringLiteral("restore"), QStringLiteral("--yes")});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(row(wrong.out, QStringLiteral("wspólna 2")).value(2),
              QStringLiteral("Baza w2.vkf jest kopią kasy DUNO, a ta kasa to DUNO BIS; nie "
                             "zaprogramowano."));

    // Every shop against its own database: the five are equal, the two faults say theirs.
    const Outcome compare = vduno(
        {QStringLiteral("--registers"), list, QStringLiteral("--json"), QStringLiteral("compare")});
    EXPECT_EQ(compare.exitCode, 1) << compare.err.toStdString();
    const QJsonObject doc = QJsonDocument::fromJson(compare.out.toUtf8()).object();
    EXPECT_EQ(doc.value(QStringLiteral("command")).toString(), QStringLiteral("compare"));
    EXPECT_FALSE(doc.value(QStringLiteral("ok")).toBool());
    const QJsonArray rows = doc.value(QStringLiteral("registers")).toArray();
    ASSERT_EQ(rows.size(), 7) << compare.out.toStdString();
    for (const QJsonValue& v : rows) {
        const QJsonObject r = v.toObject();
        const QString name = r.value(QStringLiteral("name")).toString();
        if (name == QLatin1String("martwa") || name == QLatin1String("kopia")) {
            EXPECT_FALSE(r.value(QStringLiteral("ok")).toBool());
            EXPECT_FALSE(r.value(QStringLiteral("result")).toString().isEmpty());
            continue;
        }
        EXPECT_TRUE(r.value(QStringLiteral("ok")).toBool()) << name.toStdString();
        EXPECT_EQ(r.value(QStringLiteral("result")).toString(), QStringLiteral("Zgodna z bazą"));
        EXPECT_EQ(r.value(QStringLiteral("model")).toString(), QStringLiteral("DUNO BIS"));
        EXPECT_TRUE(
            r.value(QStringLiteral("data")).toObject().value(QStringLiteral("equal")).toBool());
    }
}

TEST_F(ChainCli, RunsNothingOnAListWithMistakes)
{
    ASSERT_TRUE(emulators.start({QStringLiteral("--tcp-fleet"), QStringLiteral("1"),
                                 QStringLiteral("--tcp"), QStringLiteral("0"),
                                 QStringLiteral("--fleet-list"), list},
                                1));
    addLines(QStringLiteral("kasa2 COM4 12\n"));
    const Outcome r = vduno({QStringLiteral("--registers"), list, QStringLiteral("probe")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("chain.txt:7: zły adres kasy „12” (1..9)")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("nic nie uruchomiono")));
    EXPECT_TRUE(r.out.isEmpty());
}

// Ctrl+C during a slow programming of three shops: each stops at a frame boundary and the
// table tells where each goes on from.
TEST_F(ChainCli, AStopEndsEveryShopWithItsResumePoint)
{
    ASSERT_TRUE(emulators.start({QStringLiteral("--demo"), QStringLiteral("--tcp-fleet"),
                                 QStringLiteral("3"), QStringLiteral("--tcp"), QStringLiteral("0"),
                                 QStringLiteral("--baud"), QStringLiteral("9600"),
                                 QStringLiteral("--fleet-list"), list},
                                3));
    ASSERT_EQ(vduno({QStringLiteral("--registers"), list, QStringLiteral("backup")}).exitCode, 0);

    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(VDUNO_BINARY), {QStringLiteral("--registers"), list,
                                           QStringLiteral("restore"), QStringLiteral("--yes")});
    ASSERT_TRUE(p.waitForStarted(10000));
    // Once every shop has reported progress, the stop.
    QString err;
    while (p.waitForReadyRead(30000)) {
        err += QString::fromLocal8Bit(p.readAllStandardError());
        if (err.contains(QStringLiteral("[kasa1] ")) && err.contains(QStringLiteral("[kasa2] ")) &&
            err.contains(QStringLiteral("[kasa3] ")) && err.count(u'\n') > 6)
            break;
    }
    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    EXPECT_EQ(p.exitCode(), 1);
    for (const char* name : {"kasa1", "kasa2", "kasa3"}) {
        const QStringList cells = row(out, QString::fromUtf8(name));
        ASSERT_FALSE(cells.isEmpty()) << out.toStdString();
        EXPECT_TRUE(cells.last().startsWith(QStringLiteral("--resume "))) << out.toStdString();
    }
}

} // namespace

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out, err;
};

Outcome vduno(const QStringList& args, const QString& temp)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TEMP"), temp); // a GUI's working copy would live here
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VDUNO_BINARY), args);
    Outcome r;
    if (!p.waitForFinished(30000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class CliDbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(temp.isValid());
        // A working copy of a running program must survive every command.
        ASSERT_TRUE(writeFile(guiCopy(), QByteArray("in use")));
    }
    void TearDown() override { EXPECT_EQ(fileBytes(guiCopy()), QByteArray("in use")); }
    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString guiCopy() const { return temp.filePath(QStringLiteral("BDTemp.bdt")); }
    Outcome run(const QStringList& args) const { return vduno(args, temp.path()); }
    QTemporaryDir dir, temp;
};

} // namespace

TEST_F(CliDbTest, NewWritesTheDefaultDatabase)
{
    const QString out = file("sklep.vkf");
    const Outcome r = run({QStringLiteral("db"), QStringLiteral("new"), out,
                           QStringLiteral("--currency"), QStringLiteral("EU")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out.trimmed(), QStringLiteral("Zapisano plik ") + out);
    const QByteArray bytes = fileBytes(out);
    ASSERT_EQ(bytes.size(), 205000);
    EXPECT_EQ(bytes.left(21), QByteArray("VORN_DUNO_V_2_00    \x01"));
    EXPECT_EQ(bytes.mid(145032, 3), QByteArray(" EU"));
    EXPECT_EQ(bytes.mid(141560, 10), QByteArray("\x01Kierownik"));
    EXPECT_EQ(bytes.mid(143280, 3), QByteArray("A\xFC\x08"));
}

TEST_F(CliDbTest, ConvertsAVersionOneFile)
{
    QByteArray v1(205000, '\0');
    v1.replace(0, 16, "VORN_DUNO_V_1_00");
    v1[5000] = 1;        // article 1, number low byte
    v1[5000 + 66] = 'x'; // its last byte
    v1[5067] = 2;        // article 2
    v1[139000] = 1;      // discount 1
    const QString in = file("old.vkf"), out = file("new.vkf");
    ASSERT_TRUE(writeFile(in, v1));
    const Outcome r = run({QStringLiteral("db"), QStringLiteral("convert"), in, out});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const QByteArray bytes = fileBytes(out);
    ASSERT_EQ(bytes.size(), 205000);
    EXPECT_EQ(bytes.left(16), QByteArray("VORN_DUNO_V_2_00"));
    EXPECT_EQ(bytes.at(5000), 1);
    EXPECT_EQ(bytes.at(5066), 'x');
    EXPECT_EQ(bytes.at(5067), 0);
    EXPECT_EQ(bytes.at(5068), 2);
    EXPECT_EQ(bytes.at(141000), 1);
    EXPECT_EQ(fileBytes(in), v1);
}

TEST_F(CliDbTest, Failures)
{
    ASSERT_TRUE(writeFile(file("short.vkf"), QByteArray(100, 'a')));
    ASSERT_TRUE(writeFile(file("exists.vkf"), QByteArray("old")));
    struct Case {
        QStringList args;
        QString message;
        const char* untouched; // a file that must keep its bytes, or null
    };
    const Case cases[] = {
        {{QStringLiteral("db"), QStringLiteral("convert"), file("missing.vkf"), file("o.vkf")},
         QStringLiteral("Plik ") + file("missing.vkf") + QStringLiteral(" nie istnieje."),
         nullptr},
        {{QStringLiteral("db"), QStringLiteral("convert"), file("short.vkf"), file("o.vkf")},
         QStringLiteral("Plik ") + file("short.vkf") +
             QStringLiteral(" nie jest bazą danych Vorn Duno (zła długość pliku)."),
         "short.vkf"},
        {{QStringLiteral("db"), QStringLiteral("new"), QStringLiteral("/dev/null/x.vkf")},
         QStringLiteral("Nie mogę otworzyć pliku docelowego"),
         nullptr},
        {{QStringLiteral("db"), QStringLiteral("new"), file("exists.vkf")},
         QStringLiteral("Nie zapisano pliku ") + file("exists.vkf"),
         "exists.vkf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.args.join(QLatin1Char(' '))));
        const QByteArray before = c.untouched ? fileBytes(file(c.untouched)) : QByteArray();
        const Outcome r = run(c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(c.message)) << qPrintable(r.err);
        EXPECT_FALSE(QFileInfo::exists(file("o.vkf")));
        if (c.untouched) {
            EXPECT_EQ(fileBytes(file(c.untouched)), before);
        }
    }
}

TEST_F(CliDbTest, YesReplacesAnExistingFile)
{
    ASSERT_TRUE(writeFile(file("exists.vkf"), QByteArray("old")));
    const Outcome r = run(
        {QStringLiteral("--yes"), QStringLiteral("db"), QStringLiteral("new"), file("exists.vkf")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(fileBytes(file("exists.vkf")).size(), 205000);
}

TEST_F(CliDbTest, WrongUsage)
{
    const QStringList cases[] = {
        {QStringLiteral("db")},
        {QStringLiteral("db"), QStringLiteral("bogus")},
        {QStringLiteral("db"), QStringLiteral("new")},
        {QStringLiteral("db"), QStringLiteral("new"), file("a.vkf"), file("b.vkf")},
        {QStringLiteral("db"), QStringLiteral("new"), file("a.vkf"), QStringLiteral("--currency")},
        {QStringLiteral("db"), QStringLiteral("new"), file("a.vkf"), QStringLiteral("--currency"),
         QStringLiteral("EURO")},
        {QStringLiteral("db"), QStringLiteral("new"), file("a.vkf"), QStringLiteral("--name"),
         QStringLiteral("trzynascieZnk")},
        {QStringLiteral("db"), QStringLiteral("convert"), file("a.vkf")},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(qPrintable(args.join(QLatin1Char(' '))));
        const Outcome r = run(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(file("a.vkf")));
    }
}

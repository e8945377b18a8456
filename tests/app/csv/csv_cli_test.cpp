#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// vduno export / import, run as the program itself.
namespace {

struct Outcome {
    int exitCode = -1;
    QString out, err;
};

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

class CsvCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(run({QStringLiteral("db"), QStringLiteral("new"), db()}).exitCode, 0);
    }
    Outcome run(const QStringList& args) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TEMP"), dir.path());
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
    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString db() const { return file("sklep.vkf"); }
    QTemporaryDir dir;
};

TEST_F(CsvCli, ExportOfANewDatabasesGroups)
{
    const Outcome r =
        run({QStringLiteral("export"), db(), QStringLiteral("groups"), file("g.csv")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Wyeksportowano bazę grup towarowych")));
    EXPECT_EQ(fileBytes(file("g.csv")), QByteArray("Grupy\nNumer;Nazwa\n1;Grupa podstawowa\n"));
}

TEST_F(CsvCli, ImportSavesTheDatabaseFile)
{
    ASSERT_TRUE(writeFile(file("in.csv"), "Grupy\r\nNumer;Nazwa\r\n2;\"Sery; twarde\"\r\n"));
    const Outcome r = run({QStringLiteral("import"), db(), file("in.csv")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Zaimportowano bazę grup towarowych")));
    ASSERT_EQ(
        run({QStringLiteral("export"), db(), QStringLiteral("groups"), file("out.csv")}).exitCode,
        0);
    EXPECT_EQ(fileBytes(file("out.csv")),
              QByteArray("Grupy\nNumer;Nazwa\n1;Grupa podstawowa\n2;\"Sery; twarde\"\n"));
}

TEST_F(CsvCli, RefusedImportLeavesTheDatabaseFile)
{
    const QByteArray before = fileBytes(db());
    ASSERT_TRUE(writeFile(file("in.csv"), "Grupy\nNumer;Nazwa\n2;Dobra\nzly;Zla\n"));
    const Outcome r = run({QStringLiteral("import"), db(), file("in.csv")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Błąd w wierszu 4, w kolumnie 1 (Numer)")))
        << r.err.toStdString();
    EXPECT_EQ(fileBytes(db()), before);
}

TEST_F(CsvCli, ExistingOutputNeedsYes)
{
    ASSERT_TRUE(writeFile(file("g.csv"), "stary"));
    const QStringList args{QStringLiteral("export"), db(), QStringLiteral("groups"), file("g.csv")};
    EXPECT_EQ(run(args).exitCode, 1);
    EXPECT_EQ(fileBytes(file("g.csv")), QByteArray("stary"));
    EXPECT_EQ(run(QStringList{QStringLiteral("--yes")} + args).exitCode, 0);
    EXPECT_TRUE(fileBytes(file("g.csv")).startsWith("Grupy\n"));
}

TEST_F(CsvCli, UnknownTableIsAUsageError)
{
    const Outcome r =
        run({QStringLiteral("export"), db(), QStringLiteral("klienci"), file("k.csv")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Nieznana tabela: klienci")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("currencies")));
}

} // namespace

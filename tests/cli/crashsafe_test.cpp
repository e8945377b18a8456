// A save killed at any moment leaves the previous file whole: the child process is killed at
// many points of its run, and the target file is always either the old or the new database.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool run(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VDUNO_BINARY), args);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

TEST(CrashSafeSave, KilledSaveLeavesTheOldFileOrTheNewOneNeverAMixture)
{
    QTemporaryDir dir;
    const QString oldDb = dir.filePath(QStringLiteral("old.vkf"));
    const QString newDb = dir.filePath(QStringLiteral("new.vkf"));
    const QString target = dir.filePath(QStringLiteral("sklep.vkf"));
    ASSERT_TRUE(run({QStringLiteral("db"), QStringLiteral("new"), oldDb}));
    ASSERT_TRUE(run({QStringLiteral("db"), QStringLiteral("new"), newDb,
                     QStringLiteral("--currency"), QStringLiteral("EUR")}));
    const QByteArray oldBytes = fileBytes(oldDb);
    const QByteArray newBytes = fileBytes(newDb);
    ASSERT_EQ(oldBytes.size(), 205000);
    ASSERT_NE(oldBytes, newBytes);

    int sawOld = 0;
    int sawNew = 0;
    for (int i = 0; i < 40; ++i) {
        QFile::remove(target);
        ASSERT_TRUE(QFile::copy(oldDb, target));
        QProcess child;
        child.start(QStringLiteral(VDUNO_BINARY), {QStringLiteral("--yes"), QStringLiteral("db"),
                                                   QStringLiteral("convert"), newDb, target});
        ASSERT_TRUE(child.waitForStarted());
        QThread::usleep(static_cast<unsigned long>(i) * 2500);
        child.kill();
        child.waitForFinished(10000);
        const QByteArray now = fileBytes(target);
        if (now == oldBytes)
            ++sawOld;
        else if (now == newBytes)
            ++sawNew;
        else
            FAIL() << "after a kill at " << i * 2.5 << " ms the file holds " << now.size()
                   << " bytes of neither database";
    }
    EXPECT_EQ(sawOld + sawNew, 40);
    EXPECT_GT(sawNew, 0); // the later kills came after the save
}

} // namespace

// A save killed at any moment leaves the previous file whole: the child process is killed at
// many points of its run, and the target file is always either the old or the new database.
#include "database/databasesession.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

#include <QElapsedTimer>
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

// Runs `args` again and again, killing the child at ever later points, with `target` holding
// `before` at each start; the target must always be `before` or `after`, whole.
// The kill points spread over 1.5 times one whole run, timed first on this machine.
void killAtManyPoints(const QStringList& args, const QString& target, const QByteArray& before,
                      const QByteArray& after, int points)
{
    QElapsedTimer whole;
    whole.start();
    ASSERT_TRUE(run(args));
    const unsigned long stepUs = static_cast<unsigned long>(whole.nsecsElapsed() / 1000) * 3 / 2 /
                                 static_cast<unsigned long>(points);
    int sawBefore = 0;
    int sawAfter = 0;
    for (int i = 0; i < points; ++i) {
        QFile::remove(target);
        {
            QFile f(target);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_EQ(f.write(before), before.size());
        }
        QProcess child;
        child.start(QStringLiteral(VDUNO_BINARY), args);
        ASSERT_TRUE(child.waitForStarted());
        QThread::usleep(static_cast<unsigned long>(i) * stepUs);
        child.kill();
        child.waitForFinished(10000);
        const QByteArray now = fileBytes(target);
        if (now == before)
            ++sawBefore;
        else if (now == after)
            ++sawAfter;
        else
            FAIL() << "after a kill at " << i * stepUs / 1000.0 << " ms " << target.toStdString()
                   << " holds " << now.size() << " bytes of neither version";
    }
    EXPECT_EQ(sawBefore + sawAfter, points);
    EXPECT_GT(sawAfter, 0); // the later kills came after the run
}

// A database with a full article base whose names carry `mark`, saved to `path`.
bool saveFullBase(const QString& path, const QString& mark)
{
    QTemporaryDir work;
    DatabaseSession session(work.filePath(DatabaseSession::WorkingCopyName));
    if (!session.createWorkingDatabase().ok)
        return false;
    for (int n = 1; n <= layout::Articles.count; ++n) {
        ArticleRecord r;
        r.number = n;
        r.name = QStringLiteral("%1 towar %2").arg(mark).arg(n);
        r.price = 100 + n;
        r.barcode = QString::number(5900000000000LL + n);
        if (!storeRecord(session.database(), layout::Articles, n, r))
            return false;
    }
    return session.saveDatabaseFile(path).ok;
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
    killAtManyPoints(
        {QStringLiteral("--yes"), QStringLiteral("db"), QStringLiteral("convert"), newDb, target},
        target, oldBytes, newBytes, 40);
}

TEST(CrashSafeSave, KilledExportAndImportLeaveTheOldFileOrTheNewOne)
{
    QTemporaryDir dir;
    const QString oldDb = dir.filePath(QStringLiteral("old.vkf"));
    const QString newDb = dir.filePath(QStringLiteral("new.vkf"));
    ASSERT_TRUE(saveFullBase(oldDb, QStringLiteral("Stary")));
    ASSERT_TRUE(saveFullBase(newDb, QStringLiteral("Nowy")));
    const QString oldCsv = dir.filePath(QStringLiteral("old.csv"));
    const QString newCsv = dir.filePath(QStringLiteral("new.csv"));
    const QString articles = QStringLiteral("articles");
    ASSERT_TRUE(run({QStringLiteral("export"), oldDb, articles, oldCsv}));
    ASSERT_TRUE(run({QStringLiteral("export"), newDb, articles, newCsv}));
    const QByteArray oldCsvBytes = fileBytes(oldCsv);
    const QByteArray newCsvBytes = fileBytes(newCsv);
    ASSERT_GT(oldCsvBytes.size(), 50000);
    ASSERT_NE(oldCsvBytes, newCsvBytes);

    const QString csvTarget = dir.filePath(QStringLiteral("towary.csv"));
    killAtManyPoints(
        {QStringLiteral("--yes"), QStringLiteral("export"), newDb, articles, csvTarget}, csvTarget,
        oldCsvBytes, newCsvBytes, 30);

    // The import writes the database file: killed, it is the old base or the imported one.
    const QString dbTarget = dir.filePath(QStringLiteral("sklep.vkf"));
    const QByteArray oldDbBytes = fileBytes(oldDb);
    QFile::remove(dbTarget);
    ASSERT_TRUE(QFile::copy(oldDb, dbTarget));
    ASSERT_TRUE(run({QStringLiteral("--yes"), QStringLiteral("import"), dbTarget, newCsv}));
    const QByteArray importedBytes = fileBytes(dbTarget);
    ASSERT_NE(importedBytes, oldDbBytes);
    killAtManyPoints({QStringLiteral("--yes"), QStringLiteral("import"), dbTarget, newCsv},
                     dbTarget, oldDbBytes, importedBytes, 30);
}

} // namespace

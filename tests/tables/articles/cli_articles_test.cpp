// vduno send FILE articles and vduno read FILE articles against the in-process emulator.
#include "articletestdb.h"

#include <QProcess>

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
    env.insert(QStringLiteral("TEMP"), temp);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VDUNO_BINARY), args);
    Outcome r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// A database file with articles 1..3, article 2 naming a group the register lacks when asked.
QString databaseFile(TestDb& t, bool withBadArticle)
{
    for (int n = 1; n <= 3; ++n) {
        ArticleRecord a =
            TestDb::article(n, QStringLiteral("Artykuł próbny ") + QString::number(n));
        if (withBadArticle && n == 2)
            a.group = 9;
        t.put(a);
    }
    const QString path = t.dir.filePath(QStringLiteral("baza.vkf"));
    EXPECT_TRUE(t.session.saveDatabaseFile(path).ok);
    return path;
}

} // namespace

TEST(CliArticles, SendAllPrintsTheSummary)
{
    TestDb t;
    const QString path = databaseFile(t, false);
    const Outcome r = vduno({QStringLiteral("--emulator"), QStringLiteral("--fast"),
                             QStringLiteral("send"), path, QStringLiteral("articles")},
                            t.dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral(" Zaprogramowano 3 towarów.")))
        << r.out.toStdString();
    // Progress is for a terminal; a pipe gets none.
    EXPECT_FALSE(r.err.contains(QStringLiteral("Liczba wysłanych towarów")));
}

TEST(CliArticles, RefusedArticleGivesExitOneWithTheFailureList)
{
    TestDb t;
    const QString path = databaseFile(t, true);
    const Outcome r =
        vduno({QStringLiteral("--emulator"), QStringLiteral("--fast"), QStringLiteral("send"), path,
               QStringLiteral("articles"), QStringLiteral("--numbers"), QStringLiteral("1-2")},
              t.dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(
        QStringLiteral(" Zaprogramowano 1 towarów. Nie udało się zaprogramować 1 towarów.")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Niezaprogramowane towary:")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("2.Artykuł próbny 2 - Zły numer grupy towarowej")));
}

TEST(CliArticles, ReadFillsTheFile)
{
    TestDb t;
    const QString path = t.dir.filePath(QStringLiteral("pusta.vkf"));
    ASSERT_TRUE(t.session.saveDatabaseFile(path).ok);
    const Outcome r = vduno(
        {QStringLiteral("--emulator"), QStringLiteral("read"), path, QStringLiteral("articles")},
        t.dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Zapisano")));
    TestDb back;
    ASSERT_TRUE(back.session.openDatabaseFile(path).ok);
    EXPECT_TRUE(ArticleRecord::used(back.articleBytes(1)));
}

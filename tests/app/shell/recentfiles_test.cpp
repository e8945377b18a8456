#include "app/recentfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(RecentFiles, NewestFirstWithoutRepeatsAndAtMostTheLimit)
{
    QStringList list;
    for (int i = 1; i <= recentfiles::Limit + 2; ++i)
        list = recentfiles::withFile(list, QStringLiteral("/bazy/%1.vkf").arg(i));
    ASSERT_EQ(list.size(), recentfiles::Limit);
    EXPECT_EQ(list.first(), QStringLiteral("/bazy/%1.vkf").arg(recentfiles::Limit + 2));
    EXPECT_EQ(list.last(), QStringLiteral("/bazy/3.vkf"));

    // Opening one further down moves it to the top instead of listing it twice.
    list = recentfiles::withFile(list, QStringLiteral("/bazy/5.vkf"));
    EXPECT_EQ(list.size(), recentfiles::Limit);
    EXPECT_EQ(list.first(), QStringLiteral("/bazy/5.vkf"));
    EXPECT_EQ(list.count(QStringLiteral("/bazy/5.vkf")), 1);

    list = recentfiles::withoutFile(list, QStringLiteral("/bazy/5.vkf"));
    EXPECT_FALSE(list.contains(QStringLiteral("/bazy/5.vkf")));
}

TEST(RecentFiles, KeptInTheirOwnFileInTheDirectory)
{
    QTemporaryDir dir;
    EXPECT_TRUE(recentfiles::read(dir.path()).isEmpty()); // no file yet

    const QStringList paths = {QStringLiteral("/bazy/Sklep Łódź.vkf"),
                               QStringLiteral("/bazy/druga & trzecia.vkf")};
    ASSERT_TRUE(recentfiles::write(dir.path(), paths));
    EXPECT_EQ(recentfiles::read(dir.path()), paths);
    EXPECT_TRUE(QFile::exists(QDir(dir.path()).filePath(QStringLiteral("ostatnie.txt"))));

    // A file edited by hand: blank lines, spaces and repeats do not make entries.
    QFile f(QDir(dir.path()).filePath(QStringLiteral("ostatnie.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\n  /a.vkf  \n/b.vkf\n\n/a.vkf\n");
    f.close();
    EXPECT_EQ(recentfiles::read(dir.path()),
              (QStringList{QStringLiteral("/a.vkf"), QStringLiteral("/b.vkf")}));
}

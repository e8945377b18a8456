#include "syncbench.h"

#include "sync/articlesync.h"
#include "sync/compare.h"
#include "sync/tablesync.h"
#include "tables/tablelayout.h"

#include <gtest/gtest.h>

using namespace basesync;

TEST(Compare, GroupsPerNumber)
{
    TestDatabase t;
    ASSERT_TRUE(t.ok);
    TableSync sync(groupsMember());
    // PC: 1 "Grupa podstawowa" (new database), 2 "Napoje", 3 "Chemia"
    QByteArray g(22, '\0');
    g[0] = 2;
    putText(g, 1, "Napoje");
    ASSERT_TRUE(t.db().writeRecord(layout::Groups.offsetOf(2), g));
    QByteArray h(22, '\0');
    h[0] = 3;
    putText(h, 1, "Chemia");
    ASSERT_TRUE(t.db().writeRecord(layout::Groups.offsetOf(3), h));
    // Register: 1 "Podstawowa", 2 "Napoje" with takings, 4 "Pieczywo"
    QByteArray i1(26, '\0');
    i1[0] = 1;
    putText(i1, 1, "Podstawowa");
    sync.setImage(1, i1);
    QByteArray i2 = g + QByteArray(4, '\x07');
    sync.setImage(2, i2);
    QByteArray i4(26, '\0');
    i4[0] = 4;
    putText(i4, 1, "Pieczywo");
    sync.setImage(4, i4);
    const QList<Comparison> c = compareTable(t.db(), sync);
    ASSERT_EQ(c.size(), 4);
    EXPECT_EQ(comparisonText(c[0]), QStringLiteral("1: różne (nazwa)"));
    EXPECT_EQ(comparisonText(c[1]), QStringLiteral("2: zgodne"));
    EXPECT_EQ(comparisonText(c[2]), QStringLiteral("3: tylko w PC"));
    EXPECT_EQ(comparisonText(c[3]), QStringLiteral("4: tylko w kasie"));
    EXPECT_FALSE(allEqual(c));
    EXPECT_TRUE(allEqual({c[1]}));
}

TEST(Compare, ArticlesFieldByField)
{
    TestDatabase t;
    ASSERT_TRUE(t.ok);
    QByteArray r(68, '\0');
    put16(r, 0, 10);
    putText(r, 2, "Chleb");
    r[44] = 'A';
    put32(r, 45, 450);
    putText(r, 49, "0000000000123");
    r[62] = 1;
    r[67] = 2;
    ASSERT_TRUE(t.db().writeRecord(layout::Articles.offsetOf(10), r));
    ArticleSync sync;
    QByteArray img(82, '\0');
    img.replace(0, 49, r.left(49));
    put32(img, 45, 500);
    putText(img, 57, "          123"); // spaces read as "0"
    img[70] = 1;
    img[81] = 5;
    sync.setImage(10, img);
    const QList<Comparison> bis = compareArticles(t.db(), sync, 2);
    ASSERT_EQ(bis.size(), 1);
    EXPECT_EQ(comparisonText(bis[0]), QStringLiteral("10: różne (cena, jednostka)"));
    // A DUNO keeps no unit.
    const QList<Comparison> duno = compareArticles(t.db(), sync, 1);
    EXPECT_EQ(comparisonText(duno[0]), QStringLiteral("10: różne (cena)"));
}

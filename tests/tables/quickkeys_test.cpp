#include "tables/quickkeys.h"

#include "database/registerdatabase.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(QuickKeys, SixthArticleReplacesTheFifth)
{
    QuickKeyRecord r;
    for (int a = 1; a <= 6; ++a)
        r.addArticle(3, 4, a, 10000 * a, a == 6);
    EXPECT_EQ(r.nextEntry, 5);
    EXPECT_EQ(r.entries[4].article, 6);
    EXPECT_EQ(r.entries[4].quantity, 60000);
    EXPECT_EQ(r.entries[3].article, 4);
    EXPECT_TRUE(r.endReceipt);
    EXPECT_EQ(r.encode().left(2), QByteArray("\3\4"));
}

TEST(QuickKeys, RemovingKeepsNextEntry)
{
    QuickKeyRecord r;
    r.addArticle(1, 1, 7, 10000, false);
    r.addArticle(1, 1, 8, 10000, false);
    r.removeEntry(0);
    EXPECT_EQ(r.entries[0], QuickKeyRecord::Entry{});
    EXPECT_EQ(r.nextEntry, 2);
    r.nextEntry = 200; // a damaged byte never writes outside the record
    r.addArticle(1, 1, 9, 1, false);
    EXPECT_EQ(r.entries[4].article, 9);
    EXPECT_EQ(r.nextEntry, 5);
}

TEST(QuickKeys, Quantities)
{
    const struct {
        const char* typed;
        qint32 stored; // 0: refused
    } cases[] = {{"0,5", 5000}, {"1,0000", 10000}, {"99,9999", 999999}, {"100", 0},    {"0", 0},
                 {"-1", 0},     {"x", 0},          {"1.25", 12500},     {"0,00001", 0}};
    for (const auto& c : cases) {
        const auto q = quickKeyQuantity(QString::fromUtf8(c.typed));
        if (c.stored)
            EXPECT_EQ(q, c.stored) << c.typed;
        else
            EXPECT_FALSE(q.has_value()) << c.typed;
    }
}

TEST(QuickKeys, DamagedTable)
{
    QTemporaryDir dir;
    RegisterDatabase db;
    ASSERT_TRUE(db.load(dir.filePath(QStringLiteral("keys.bdt")),
                        QByteArray(layout::QuickKeys.base + layout::QuickKeys.bytes(), '\0')));
    EXPECT_FALSE(quickkeys::repairIfDamaged(db, 10));
    QuickKeyRecord r;
    r.addArticle(10, 10, 2000, 1, false);
    quickkeys::store(db, 10, 10, r);
    EXPECT_FALSE(quickkeys::repairIfDamaged(db, 10));
    r.entries[2].article = 2001;
    quickkeys::store(db, 10, 10, r);
    EXPECT_TRUE(quickkeys::repairIfDamaged(db, 10));
}

TEST(QuickKeys, Lines)
{
    EXPECT_EQ(quickKeyEntryLine(QStringLiteral("Chleb"), 10000),
              QStringLiteral("Chleb      1,0000"));
    EXPECT_EQ(quickKeyEntryLine(QStringLiteral("Chleb"), 5), QStringLiteral("Chleb      0,0005"));
    EXPECT_EQ(quickKeyArticleLine(12, QStringLiteral("Bułka"), 45, 'A'),
              QStringLiteral("  12. Bułka") + QString(15, u' ') + QStringLiteral("       0,45 A"));
    EXPECT_EQ(quickKeyArticleLine(2000, QString(25, u'n'), 99999999, 'G'),
              QStringLiteral("2000. ") + QString(20, u'n') + QStringLiteral("  999999,99 G"));
}

} // namespace

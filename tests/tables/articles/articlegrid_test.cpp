#include "articletestdb.h"

#include "tables/articlegrid.h"
#include "tables/grouprecord.h"
#include "tables/packagingrecord.h"

#include <gtest/gtest.h>

TEST(ArticleGrid, OneRowPerUsedSlotAndOneEmptyRowAtTheEnd)
{
    TestDb t;
    GroupRecord g;
    g.number = 1;
    g.name = QStringLiteral("Podstawowa");
    ASSERT_TRUE(storeRecord(t.db(), layout::Groups, 1, g));
    PackagingRecord p;
    p.number = 2;
    p.name = QStringLiteral("Skrzynka");
    p.price = 100;
    ASSERT_TRUE(storeRecord(t.db(), layout::Packaging, 2, p));
    ArticleRecord a = TestDb::article(5, QStringLiteral("Piwo"), 250);
    a.vat = 'B';
    a.tandem = 2;
    a.fixedPrice = true;
    a.halo = 3;
    a.unit = 1;
    t.put(a);
    t.put(TestDb::article(2, QStringLiteral("Chleb"), 5));
    // Number bytes zero: free, whatever the rest holds.
    QByteArray junk(68, 'x');
    junk[0] = 0;
    junk[1] = 0;
    ASSERT_TRUE(t.db().writeRecord(layout::Articles.offsetOf(9), junk));

    ArticleGridModel m;
    m.refill(t.table(), readTable(t.db(), layout::Groups), readTable(t.db(), layout::Packaging));
    EXPECT_EQ(m.columnCount(), 11);
    EXPECT_EQ(m.rowCount(), 3);
    EXPECT_EQ(m.usedCount(), 2);
    EXPECT_EQ(m.freeCount(), 1998);
    EXPECT_EQ(m.numberAt(0), 2);
    EXPECT_EQ(m.numberAt(1), 5);
    EXPECT_EQ(m.numberAt(2), 0); // the empty row
    const QStringList row1 = {QStringLiteral("5"),
                              QStringLiteral("Piwo"),
                              QStringLiteral("B"),
                              QStringLiteral("2,50"),
                              QStringLiteral("0000000000000"),
                              QStringLiteral("1 Podstawowa"),
                              QStringLiteral("Skrzynka"),
                              QStringLiteral("Tak"),
                              QStringLiteral("Tak"),
                              QStringLiteral("3"),
                              QStringLiteral("1")};
    for (int c = 0; c < 11; ++c)
        EXPECT_EQ(m.data(m.index(1, c)).toString(), row1[c]) << c;
    EXPECT_EQ(m.cell(0, 3), QStringLiteral("0,05"));
    EXPECT_EQ(m.cell(0, 6), QStringLiteral("Brak"));
    EXPECT_EQ(m.cell(0, 7), QStringLiteral("Nie"));
    EXPECT_EQ(m.cell(0, 9), QStringLiteral("Brak"));
    EXPECT_EQ(m.cell(0, 10), QStringLiteral("Brak"));
    EXPECT_EQ(m.cell(2, 1), QString());
    EXPECT_EQ(m.headerData(8, Qt::Horizontal).toString(), QStringLiteral("Sprz. na sztuki"));
    EXPECT_EQ(m.headerData(10, Qt::Horizontal).toString(), QStringLiteral("Jedn."));
}

TEST(ArticleGrid, SearchKeepsMatchingRowsInOrder)
{
    TestDb t;
    t.put(TestDb::article(1, QStringLiteral("Masło")));
    t.put(TestDb::article(2, QStringLiteral("Chleb")));
    t.put(TestDb::article(3, QStringLiteral("MASŁO extra")));
    ArticleGridModel m;
    m.refill(t.table());
    m.search(QStringLiteral("masło"));
    EXPECT_EQ(m.shownNumbers(), (QList<int>{1, 3}));
    EXPECT_EQ(m.rowCount(), 3);
    EXPECT_EQ(m.rowOf(3), 1);
    EXPECT_EQ(m.rowOf(2), -1);
    m.search(QStringLiteral("nic"));
    EXPECT_EQ(m.rowCount(), 1); // the empty row only
    EXPECT_EQ(m.usedCount(), 3);
    m.search(QString());
    EXPECT_EQ(m.shownNumbers(), (QList<int>{1, 2, 3}));
}

TEST(ArticleGrid, PickerColumnsAndAnEmptyBase)
{
    TestDb t;
    ArticleGridModel m(ArticleGridModel::Columns::Picker);
    m.refill(t.table());
    EXPECT_EQ(m.rowCount(), 1);
    EXPECT_EQ(m.columnCount(), 9);
    EXPECT_EQ(m.headerData(8, Qt::Horizontal).toString(), QStringLiteral("Ilość całkowita"));
    ArticleRecord a = TestDb::article(7, QStringLiteral("Ser"), 1999);
    a.group = 4;
    a.tandem = 6;
    a.wholeQuantity = false;
    t.put(a);
    m.refill(t.table());
    const QStringList expected = {
        QStringLiteral("7"),     QStringLiteral("Ser"),           QStringLiteral("A"),
        QStringLiteral("19,99"), QStringLiteral("0000000000000"), QStringLiteral("4"),
        QStringLiteral("6"),     QStringLiteral("Nie"),           QStringLiteral("Nie")};
    for (int c = 0; c < 9; ++c)
        EXPECT_EQ(m.cell(0, c), expected[c]) << c;
}

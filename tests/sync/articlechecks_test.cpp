#include "syncbench.h"

#include "sync/articlesync.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

#include <gtest/gtest.h>

using namespace basesync;

namespace {

QByteArray soldOn(int n, const QDate& date)
{
    QByteArray img(82, '\0');
    put16(img, 0, quint32(n));
    putText(img, 2, "Towar");
    img[44] = 'A';
    putText(img, 57, "0000000000000");
    img[70] = 1;
    put16(img, 75, quint32(date.year()));
    img[77] = char(date.month());
    img[78] = char(date.day());
    img[79] = 12;
    return img;
}

QByteArray withDateBytes(int year, int month, int day)
{
    QByteArray img(82, '\0');
    img[0] = 1;
    put16(img, 75, quint32(year));
    img[77] = char(month);
    img[78] = char(day);
    return img;
}

} // namespace

TEST(NumberRange, EditsAsTyped)
{
    struct Case {
        const char* from;
        const char* to;
        bool ok;
        int first, last;
    };
    const Case cases[] = {
        {"", "", true, 1, 2000},      {"5", "", true, 5, 2000}, {"", "7", true, 1, 7},
        {"0", "3000", true, 1, 2000}, {"3", "3", true, 3, 3},   {"5", "3", false, 0, 0},
        {"a", "3", false, 0, 0},      {"1", "x", false, 0, 0},  {"1,5", "", false, 0, 0},
    };
    for (const Case& c : cases) {
        FakeUi ui;
        const auto range = numberRange(QString::fromUtf8(c.from), QString::fromUtf8(c.to), ui);
        ASSERT_EQ(range.has_value(), c.ok) << c.from << " " << c.to;
        if (c.ok) {
            EXPECT_EQ(range->from, c.first);
            EXPECT_EQ(range->to, c.last);
            EXPECT_TRUE(ui.messages.isEmpty());
        } else {
            EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Błędnie wypełnione pola!")});
        }
    }
}

TEST(UnusedArticles, ThirtyDaysStayThirtyOneAreChecked)
{
    const QDate today(2026, 3, 15);
    EXPECT_FALSE(unsoldForMoreThan(soldOn(1, today.addDays(-30)), 30, today));
    EXPECT_TRUE(unsoldForMoreThan(soldOn(1, today.addDays(-31)), 30, today));
    EXPECT_FALSE(unsoldForMoreThan(soldOn(1, today), 0, today));
    EXPECT_TRUE(unsoldForMoreThan(soldOn(1, today.addDays(-1)), 0, today));
    // A sale dated after today counts as a sale today.
    EXPECT_FALSE(unsoldForMoreThan(soldOn(1, today.addDays(40)), 30, today));
    EXPECT_FALSE(unsoldForMoreThan(soldOn(1, today.addDays(40)), 0, today));
}

TEST(UnusedArticles, DateBytesThatAreZeroOrCannotBeADate)
{
    const QDate today(2026, 3, 15);
    // All zero: 1980-01-01, older than any two-digit limit.
    EXPECT_TRUE(unsoldForMoreThan(QByteArray(82, '\0'), 99, today));
    // Year below 1980 counts as 1980, month/day 0 as 1.
    EXPECT_FALSE(unsoldForMoreThan(withDateBytes(1970, 0, 0), 99999, QDate(1980, 1, 2)));
    EXPECT_TRUE(unsoldForMoreThan(withDateBytes(1970, 0, 0), 0, QDate(1980, 1, 2)));
    // 31 February, month 13: no date, older than anything.
    EXPECT_TRUE(unsoldForMoreThan(withDateBytes(2026, 2, 31), 99999, today));
    EXPECT_TRUE(unsoldForMoreThan(withDateBytes(2026, 13, 1), 99999, today));
}

TEST(UnusedArticles, OverTheRegisterList)
{
    const QDate today(2026, 3, 15);
    ArticleSync sync;
    sync.setImage(3, soldOn(3, today.addDays(-30)));
    sync.setImage(4, soldOn(4, today.addDays(-31)));
    sync.setImage(9, soldOn(9, today.addDays(2)));
    sync.setImage(12, soldOn(12, QDate(2001, 1, 1)));
    EXPECT_EQ(sync.unusedArticles(QStringLiteral("30"), today), (QSet<int>{4, 12}));
    EXPECT_EQ(sync.unusedArticles(QStringLiteral("29"), today), (QSet<int>{3, 4, 12}));
    EXPECT_TRUE(sync.unusedArticles(QStringLiteral("x"), today).isEmpty());
    EXPECT_TRUE(sync.unusedArticles(QString(), today).isEmpty());
}

TEST(ArticleBuffer, CopyToPcMakesBarcodeSpacesZerosAndLeavesOtherSlots)
{
    TestDatabase t;
    ASSERT_TRUE(t.ok);
    ArticleSync sync;
    QByteArray img = soldOn(5, QDate(2026, 1, 1));
    putText(img, 57, "   4012345678");
    img[81] = 3;
    put32(img, 49, 77); // sales stay in the register
    sync.setImage(5, img);
    sync.setImage(6, soldOn(6, QDate(2026, 1, 1)));
    const QByteArray before7 = t.db().readBytes(layout::Articles.offsetOf(7), 68);
    EXPECT_EQ(sync.copyToPc(t.db(), {5, 7}), 1); // 7 is not in the register
    const QByteArray r = t.db().readBytes(layout::Articles.offsetOf(5), 68);
    EXPECT_EQ(r.mid(49, 13), QByteArray("0004012345678"));
    EXPECT_EQ(r.left(49), img.left(49));
    EXPECT_EQ(quint8(r[62]), 1);
    EXPECT_EQ(quint8(r[67]), 3);
    EXPECT_EQ(t.db().readBytes(layout::Articles.offsetOf(6), 68), QByteArray(68, '\0'));
    EXPECT_EQ(t.db().readBytes(layout::Articles.offsetOf(7), 68), before7);
    EXPECT_FALSE(t.session.isModified());
    EXPECT_EQ(ArticleSync::pcNumbers(t.db()), QList<int>{5});

    // Deleting on the PC clears the slot and leaves the register side alone.
    EXPECT_EQ(ArticleSync::deleteFromPc(t.db(), {5}, {5}), 1);
    EXPECT_TRUE(ArticleSync::pcNumbers(t.db()).isEmpty());
    EXPECT_EQ(sync.registerNumbers(), (QList<int>{5, 6}));
    EXPECT_FALSE(t.session.isModified());
    EXPECT_EQ(ArticleSync::deleteFromPc(t.db(), {}, {}), 0);
}

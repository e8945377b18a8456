#include "tables/articlerecord.h"
#include "tables/cashierrecord.h"
#include "tables/grouprecord.h"
#include "tables/tableshow.h"
#include "tables/vatrates.h"

#include <gtest/gtest.h>

namespace {

QByteArray database()
{
    QByteArray db(205000, '\0');
    db.replace(0, 16, "VORN_DUNO_V_2_00");
    ArticleRecord a;
    a.number = 2;
    a.name = QStringLiteral("Kawa");
    a.price = 1250;
    a.barcode = QStringLiteral("0000000000123");
    db.replace(layout::Articles.offsetOf(2), 68, a.encode());
    db.replace(layout::Groups.offsetOf(1), 22,
               GroupRecord{1, QStringLiteral("Grupa podstawowa")}.encode());
    CashierRecord c;
    c.number = 1;
    c.name = QStringLiteral("Kierownik");
    c.rights.fill(true);
    db.replace(layout::Cashiers.offsetOf(1), 33, c.encode());
    VatRates v;
    v.values = {2300, 800, 0, 500, 0xFFFE, 0xFFFE, 0xFFFF};
    db.replace(layout::VatRates.base, 21, v.encode());
    return db;
}

TEST(TableShow, UsedRecordsOnly)
{
    const QByteArray db = database();
    QStringList out;
    ASSERT_TRUE(tableshow::lines(db, QStringLiteral("articles"), out));
    EXPECT_EQ(
        out,
        QStringList{QStringLiteral(
            "2; Kawa; A; 12,50; 0000000000123; 1 Grupa podstawowa; Brak; Nie; Tak; Brak; Brak")});
    out.clear();
    ASSERT_TRUE(tableshow::lines(db, QStringLiteral("vat"), out));
    ASSERT_EQ(out.size(), 7);
    EXPECT_EQ(out[0], QStringLiteral("PTU A: 23.00 %"));
    EXPECT_EQ(out[4], QStringLiteral("PTU E: Nieaktywna"));
    EXPECT_EQ(out[6], QStringLiteral("PTU G: Zwolniona"));
    out.clear();
    ASSERT_TRUE(tableshow::lines(db, QStringLiteral("cashiers"), out));
    ASSERT_EQ(out.size(), 1);
    EXPECT_TRUE(out[0].startsWith(QStringLiteral("1. Kierownik; Hasło: Brak; Wykonywanie")));
    for (const QString& t : tableshow::tableNames()) {
        QStringList lines;
        EXPECT_TRUE(tableshow::lines(db, t, lines)) << t.toStdString();
    }
}

TEST(TableShow, Refusals)
{
    QStringList out;
    EXPECT_FALSE(tableshow::lines(database(), QStringLiteral("nothing"), out));
    EXPECT_FALSE(tableshow::lines(QByteArray(1000, '\0'), QStringLiteral("articles"), out));
}

} // namespace

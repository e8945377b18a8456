// Every record family against bytes built by hand from the record layouts: exact encoding,
// decoding, round trip, sizes, full-width texts without a terminator.
#include "bytes.h"
#include "tables/articlerecord.h"
#include "tables/cashierrecord.h"
#include "tables/currencyrecord.h"
#include "tables/discountrecord.h"
#include "tables/grouprecord.h"
#include "tables/halo.h"
#include "tables/packagingrecord.h"
#include "tables/paymentformrecord.h"
#include "tables/quickkeys.h"
#include "tables/reportset.h"
#include "tables/vatrates.h"

#include <gtest/gtest.h>

namespace {

template <class R> void conforms(const R& record, const QByteArray& expected, int size)
{
    ASSERT_EQ(expected.size(), size);
    EXPECT_EQ(record.encode().toHex(' '), expected.toHex(' '));
    EXPECT_EQ(R::decode(expected), record);
    EXPECT_EQ(R::decode(record.encode()).encode(), expected);
}

const QString name42 = QStringLiteral("ŻÓŁW 1234567890123456789012345678901234567"); // 42
const QString name21 = QStringLiteral("Ąbcdefghijklmnopqrstu");                      // 21

TEST(Conformance, Article)
{
    ArticleRecord r;
    r.number = 300;
    r.name = QStringLiteral("Mleko");
    r.vat = 'B';
    r.price = 1250;
    r.barcode = QStringLiteral("0000000000123");
    r.group = 2;
    r.tandem = 3;
    r.fixedPrice = true;
    r.wholeQuantity = false;
    r.halo = 4;
    r.unit = 9;
    const QByteArray exp = Bytes()
                               .u16(300)
                               .text("Mleko")
                               .fill(37)
                               .text("B")
                               .u32(1250)
                               .text("0000000000123")
                               .u8(2)
                               .u8(3)
                               .u8(1)
                               .u8(0)
                               .u8(4)
                               .u8(9);
    conforms(r, exp, 68);
}

TEST(Conformance, ArticleFullWidthName)
{
    ArticleRecord r;
    r.number = 2000;
    r.name = name42;
    r.barcode = QStringLiteral("5901234123457");
    const QByteArray enc = r.encode();
    EXPECT_EQ(enc.mid(2, 42), QByteArray("\xAF\xD3\xA3W 1234567890123456789012345678901234567"));
    EXPECT_EQ(enc[44], 'A'); // no terminator: the VAT letter follows at once
    EXPECT_EQ(ArticleRecord::decode(enc).name, name42);
}

TEST(Conformance, Cashier)
{
    CashierRecord r;
    r.number = 2;
    r.name = QStringLiteral("Ania");
    r.password = QStringLiteral("12");
    r.rights = {true, false, true, false, false, true, true};
    conforms(r,
             Bytes()
                 .u8(2)
                 .text("Ania")
                 .fill(17)
                 .text("12")
                 .fill(2)
                 .u8(1)
                 .u8(0)
                 .u8(1)
                 .u8(0)
                 .u8(0)
                 .u8(1)
                 .u8(1),
             33);
    r.name = name21;
    r.password = QStringLiteral("1234");
    const QByteArray enc = r.encode();
    EXPECT_EQ(enc.mid(1, 21), QByteArray("\xA5"
                                         "bcdefghijklmnopqrstu"));
    EXPECT_EQ(enc.mid(22, 4), QByteArray("1234"));
    EXPECT_EQ(CashierRecord::decode(enc).name, name21);
}

TEST(Conformance, Discount)
{
    DiscountRecord r{5, QStringLiteral("Stały klient"), DiscountRecord::Markup,
                     DiscountRecord::Amount, 99999998};
    conforms(r, Bytes().u8(5).text("Sta\xB3y klient").fill(9).u8(1).u8(1).u32(99999998), 28);
}

TEST(Conformance, PaymentForm)
{
    PaymentFormRecord r{10, name21, 5};
    conforms(r,
             Bytes()
                 .u8(10)
                 .text("\xA5"
                       "bcdefghijklmnopqrstu")
                 .u8(5),
             23);
}

TEST(Conformance, Currency)
{
    CurrencyRecord r{1, QStringLiteral("Euro"), 45000000, 7, QStringLiteral("EU")};
    conforms(r, Bytes().u8(1).text("Euro").fill(17).u32(45000000).u8(7).text("EU "), 30);
}

TEST(Conformance, VatRatesOfANewDatabase)
{
    VatRates v;
    v.values = {2300, 800, 0, 500, 0xFFFE, 0xFFFE, 0xFFFF};
    conforms(v,
             Bytes()
                 .text("A")
                 .u16(2300)
                 .text("B")
                 .u16(800)
                 .text("C")
                 .u16(0)
                 .text("D")
                 .u16(500)
                 .text("E")
                 .u16(0xFFFE)
                 .text("F")
                 .u16(0xFFFE)
                 .text("G")
                 .u16(0xFFFF),
             21);
}

TEST(Conformance, Packaging)
{
    PackagingRecord r{20, name42, 50, false};
    conforms(r,
             Bytes()
                 .u8(20)
                 .raw(QByteArray("\xAF\xD3\xA3W 1234567890123456789012345678901234567"))
                 .u32(50)
                 .u8(0),
             48);
    PackagingRecord s{3, QStringLiteral("Butelka"), 35, true};
    conforms(s, Bytes().u8(3).text("Butelka").fill(35).u32(35).u8(1), 48);
}

TEST(Conformance, Group)
{
    conforms(GroupRecord{1, QStringLiteral("Grupa podstawowa")},
             Bytes().u8(1).text("Grupa podstawowa").fill(5), 22);
}

TEST(Conformance, QuickKey)
{
    QuickKeyRecord r;
    r.cashier = 10;
    r.key = 10;
    r.nextEntry = 2;
    r.entries[0] = {1, 10000};
    r.entries[1] = {2000, 5000};
    r.endReceipt = true;
    conforms(r, Bytes().u8(10).u8(10).u8(2).u16(1).u32(10000).u16(2000).u32(5000).fill(18).u8(1),
             34);
    EXPECT_EQ(QuickKeyRecord::offsetOf(10, 10) + 34 - 1, 148459);
    EXPECT_EQ(QuickKeyRecord::offsetOf(1, 1), 145060);
    EXPECT_EQ(QuickKeyRecord::offsetOf(2, 3), 145060 + 340 + 68);
}

TEST(Conformance, HaloOfANewDatabase)
{
    HaloTable h;
    h.amounts = {0, 100, 200, 500, 1000, 2000, 3000, 5000, 10000, 50000};
    Bytes exp;
    for (qint32 a : h.amounts)
        exp.u32(a);
    conforms(h, exp, 40);
}

TEST(Conformance, ReportSet)
{
    ReportSet r;
    r.choices.fill(1);
    conforms(r, QByteArray(19, '\1'), 19);
    r.choices[18] = 2;
    EXPECT_EQ(r.encode()[18], 2);
}

TEST(Conformance, TableDirectory)
{
    EXPECT_EQ(layout::Articles.offsetOf(1), 5000);
    EXPECT_EQ(layout::Articles.offsetOf(2000) + 68 - 1, 140999);
    EXPECT_EQ(layout::Discounts.base, 141000);
    EXPECT_EQ(layout::Cashiers.offsetOf(1), 141560);
    EXPECT_EQ(layout::VatRates.base + layout::VatRates.bytes() - 1, 143300);
    EXPECT_EQ(layout::Packaging.base, 143311);
    EXPECT_EQ(layout::Groups.offsetOf(20) + 22 - 1, 145012);
    EXPECT_EQ(layout::Footer.base + 130 - 1, 148689);
    EXPECT_EQ(layout::Halo.base + layout::Halo.bytes() - 1, 149099);
}

} // namespace

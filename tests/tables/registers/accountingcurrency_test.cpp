#include "registerbench.h"

#include "database/databasesession.h"
#include "link/answers.h"
#include "tables/accountingcurrency.h"
#include "tables/articlerecord.h"
#include "tables/currencyrecord.h"
#include "tables/discountrecord.h"
#include "tables/packagingrecord.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace accountingcurrency;

namespace {

struct Base {
    Base()
    {
        session = std::make_unique<DatabaseSession>(dir.filePath(DatabaseSession::WorkingCopyName));
        ok = session->startUp().ok;
    }
    RegisterDatabase& db() { return session->database(); }
    QTemporaryDir dir;
    std::unique_ptr<DatabaseSession> session;
    bool ok = false;
};

qint32 at32(RegisterDatabase& db, qint64 offset)
{
    return le::i32(db.readBytes(offset, 4), 0);
}

TEST(AccountingCurrency, FactorTexts)
{
    const struct {
        const char* typed;
        qint64 mantissa;
        int decimals;
        const char* shown;
    } good[] = {
        {"4.5", 45, 1, "4,5"},      {"0,25", 25, 2, "0,25"}, {"1,50", 150, 2, "1,5"},
        {"2", 2, 0, "2"},           {",5", 5, 1, "0,5"},     {"3.000", 3000, 3, "3"},
        {"0.0001", 1, 4, "0,0001"},
    };
    for (const auto& c : good) {
        const auto f = parseFactor(QString::fromUtf8(c.typed));
        ASSERT_TRUE(f) << c.typed;
        EXPECT_EQ(f->mantissa, c.mantissa) << c.typed;
        EXPECT_EQ(f->decimals, c.decimals) << c.typed;
        EXPECT_EQ(f->text(), QString::fromUtf8(c.shown)) << c.typed;
    }
    for (const char* bad : {"", "abc", "1,2,3", "0", "0,00", "-2", "1.5.", "12345678901234567"})
        EXPECT_FALSE(parseFactor(QString::fromUtf8(bad))) << bad;
}

TEST(AccountingCurrency, AmountsTruncatedAndCapped)
{
    const Factor quarter{25, 2}, half{5, 1}, two{2, 0};
    EXPECT_EQ(convertedAmount(1250, quarter, 99999999), 312); // 312,5 cut
    EXPECT_EQ(convertedAmount(-1001, half, 99999999), -500);  // towards zero
    EXPECT_EQ(convertedAmount(99999999, two, 99999999), 99999999);
    EXPECT_EQ(convertedAmount(60000000, two, 99999998), 99999998);
    EXPECT_EQ(convertedAmount(2147483647, Factor{999999999999999, 0}, 99999999), 99999999);
}

TEST(AccountingCurrency, RatesKeepAnEightDigitMantissa)
{
    const struct {
        qint32 mantissa;
        int decimals;
        Factor factor;
        qint32 newMantissa;
        int newDecimals;
    } cases[] = {
        {40000000, 7, {25, 2}, 10000000, 7},        // 4 x 0,25 = 1
        {38765000, 7, {45, 1}, 17444250, 6},        // 3,8765 x 4,5 = 17,44425
        {20000000, 7, {3, 0}, 60000000, 7},         // 2 x 3 = 6: no decimal part
        {5000000, 7, {25, 2}, 1250000, 7},          // 0,5 x 0,25 = 0,125
        {12345678, 3, {1, 3}, 12345678, 6},         // 12345,678 / 1000
        {10000000, 7, {123456789, 8}, 12345678, 7}, // cut after the 8th digit
        {99999999, 2, {1, 0}, 99999999, 2},         // the largest rate stays
        {99999999, 2, {2, 0}, 99999999, 2},         // beyond it: capped
        {10000000, 2, {10, 0}, 99999999, 2},        // 100000 x 10 = 1000000: capped
        {12345678, 2, {1, 1}, 12345678, 3},         // 123456,78 / 10
    };
    for (const auto& c : cases) {
        const RateParts r = convertedRate(c.mantissa, c.decimals, c.factor);
        EXPECT_EQ(r.mantissa, c.newMantissa)
            << c.mantissa << " x " << c.factor.text().toStdString();
        EXPECT_EQ(r.decimals, c.newDecimals)
            << c.mantissa << " x " << c.factor.text().toStdString();
    }
}

TEST(AccountingCurrency, EmptyFieldsGiveHints)
{
    QList<Failure> hints;
    const auto f = checkInput({QString(), QString(), {}, false}, &hints);
    ASSERT_TRUE(f);
    ASSERT_EQ(hints.size(), 2);
    EXPECT_EQ(hints[0].message, QStringLiteral(" Wprowadź kurs"));
    EXPECT_EQ(hints[1].message, QStringLiteral(" Wprowadź symbol"));
    EXPECT_EQ(checkInput({QStringLiteral("2"), QString(), {}, false})->message,
              QStringLiteral(" Wprowadź symbol"));
    EXPECT_FALSE(checkInput({QStringLiteral("2"), QStringLiteral("EUR"), {}, false}));
    EXPECT_EQ(symbolLabel(QStringLiteral("EUR"), QStringLiteral("PLN")),
              QStringLiteral("(EUR/PLN)"));
    EXPECT_EQ(paddedSymbol(QStringLiteral("EU")), QStringLiteral(" EU"));
}

TEST(AccountingCurrency, DatabaseChangeConvertsEveryAmount)
{
    Base base;
    ASSERT_TRUE(base.ok);
    RegisterDatabase& db = base.db();
    ArticleRecord a;
    a.number = 1;
    a.name = QStringLiteral("Mleko");
    a.price = 1999;
    storeRecord(db, layout::Articles, 1, a);
    a.number = 2000;
    a.name = QStringLiteral("Telewizor");
    a.price = 60000000;
    storeRecord(db, layout::Articles, 2000, a);
    // A free slot keeps its bytes even when they are not zero.
    QByteArray freeSlot(68, '\0');
    le::put32(freeSlot, 45, 400);
    db.writeRecord(layout::Articles.offsetOf(7), freeSlot);

    const auto discount = [&](int n, int type, qint32 value) {
        DiscountRecord d;
        d.number = n;
        d.name = QStringLiteral("R") + QString::number(n);
        d.type = type;
        d.value = value;
        storeRecord(db, layout::Discounts, n, d);
    };
    discount(1, DiscountRecord::Amount, 500);
    discount(2, DiscountRecord::Percentage, 1500);
    discount(3, DiscountRecord::Amount, 50000000);

    const auto currency = [&](int n, qint32 mantissa, int decimals, const char* symbol) {
        CurrencyRecord c;
        c.number = n;
        c.name = QStringLiteral("W") + QString::number(n);
        c.mantissa = mantissa;
        c.decimals = decimals;
        c.symbol = QString::fromLatin1(symbol);
        storeRecord(db, layout::Currencies, n, c);
    };
    currency(1, 38765000, 7, "USD");
    currency(2, 99999999, 2, "XXX");

    const auto packaging = [&](int n, qint32 price) {
        PackagingRecord p;
        p.number = n;
        p.name = QStringLiteral("Butelka");
        p.price = price;
        storeRecord(db, layout::Packaging, n, p);
    };
    packaging(1, 50);
    packaging(2, 1);
    base.session->setModified(false);

    const Conversion c =
        changeInDatabase(*base.session, {QStringLiteral("2.5"), QStringLiteral("EU"), {}, false});
    ASSERT_TRUE(c.ok) << c.message.toStdString();
    EXPECT_EQ(c.message, QStringLiteral("Zamieniono walutę ewidencyjną na  EU. Kurs wymiany: 2,5"));
    EXPECT_EQ(c.articles, 2);
    EXPECT_EQ(c.discounts, 2);
    EXPECT_EQ(c.currencies, 2);
    EXPECT_EQ(c.packaging, 2);

    EXPECT_EQ(at32(db, layout::Articles.offsetOf(1) + 45), 4997);        // 1999 x 2,5 = 4997,5
    EXPECT_EQ(at32(db, layout::Articles.offsetOf(2000) + 45), 99999999); // capped
    EXPECT_EQ(at32(db, layout::Articles.offsetOf(7) + 45), 400);
    EXPECT_EQ(at32(db, layout::Discounts.offsetOf(1) + 24), 1250);
    EXPECT_EQ(at32(db, layout::Discounts.offsetOf(2) + 24), 1500); // a percentage stays
    EXPECT_EQ(at32(db, layout::Discounts.offsetOf(3) + 24), 99999998);
    EXPECT_EQ(at32(db, layout::Currencies.offsetOf(1) + 22), 96912500); // 9,69125
    EXPECT_EQ(db.readByteAt(layout::Currencies.offsetOf(1) + 26), 7);
    EXPECT_EQ(at32(db, layout::Currencies.offsetOf(2) + 22), 99999999);
    EXPECT_EQ(db.readByteAt(layout::Currencies.offsetOf(2) + 26), 2);
    EXPECT_EQ(at32(db, layout::Packaging.offsetOf(1) + 43), 125);
    EXPECT_EQ(at32(db, layout::Packaging.offsetOf(2) + 43), 2);
    EXPECT_EQ(db.readBytes(145037, 3), QByteArray(" EU"));
    EXPECT_EQ(base.session->currencySymbol(), QStringLiteral(" EU"));
    EXPECT_TRUE(base.session->isModified());
    // Nothing else moved: the rest of the currency record and the cashiers.
    EXPECT_EQ(db.readBytes(layout::Currencies.offsetOf(1) + 27, 3), QByteArray("USD"));
}

TEST(AccountingCurrency, AmountsThatMustStayAboveZeroKeepOneGrosz)
{
    Base base;
    ASSERT_TRUE(base.ok);
    PackagingRecord p;
    p.number = 1;
    p.name = QStringLiteral("Skrzynka");
    p.price = 5;
    storeRecord(base.db(), layout::Packaging, 1, p);
    DiscountRecord d;
    d.number = 1;
    d.name = QStringLiteral("Grosz");
    d.type = DiscountRecord::Amount;
    d.value = 3;
    storeRecord(base.db(), layout::Discounts, 1, d);
    ASSERT_TRUE(
        changeInDatabase(*base.session, {QStringLiteral("0,1"), QStringLiteral("XYZ"), {}, false})
            .ok);
    EXPECT_EQ(at32(base.db(), layout::Packaging.offsetOf(1) + 43), 1);
    EXPECT_EQ(at32(base.db(), layout::Discounts.offsetOf(1) + 24), 1);
}

TEST(AccountingCurrency, RefusedRateLeavesTheFileAsItWas)
{
    Base base;
    ASSERT_TRUE(base.ok);
    base.session->setModified(false);
    const QByteArray before = base.db().contents();
    for (const char* rate : {"abc", "0", "1,2,3", "-3"}) {
        const Conversion c = changeInDatabase(
            *base.session, {QString::fromUtf8(rate), QStringLiteral("EUR"), {}, false});
        EXPECT_FALSE(c.ok);
        EXPECT_EQ(c.message, QStringLiteral("     Błędna wartość w polu Kurs     "));
    }
    EXPECT_EQ(
        changeInDatabase(*base.session, {QString(), QStringLiteral("EUR"), {}, false}).message,
        QStringLiteral(" Wprowadź kurs"));
    EXPECT_EQ(base.db().contents(), before);
    EXPECT_EQ(base.session->currencySymbol(), QStringLiteral("PLN"));
    EXPECT_FALSE(base.session->isModified());
}

TEST(AccountingCurrency, RegisterChangeSendsTheEFrame)
{
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    const int result = changeInRegister(
        b.link, b.ui, {QStringLiteral("3.8765"), QStringLiteral("EU"), QDate(2026, 12, 8), true});
    // The register wants three characters: the padded two-letter symbol is refused.
    EXPECT_EQ(result, answers::DeviceError);
    EXPECT_EQ(b.ui.messages, QStringList{QStringLiteral("Błąd 34: Za krótki symbol waluty (musi "
                                                        "być 3 znaki) lub symbol waluty już "
                                                        "występuje w bazie")});
    // 23 bytes: mantissa 38765000 = 0x024F81C8, 7 decimals, " EU", nominal 1, print 1,
    // 2026 = 0x07EA, month 12, day 8.
    QByteArray expected(
        "\x02\x01\x17\x00\x01\x80\x45\xC8\x81\x4F\x02\x07 EU\x01\x01\xEA\x07\x0C\x08", 21);
    ASSERT_EQ(b.sent.size(), 1);
    EXPECT_EQ(b.sent[0], framed(expected));
    b.ui.messages.clear();
    EXPECT_TRUE(answers::confirmed(changeInRegister(
        b.link, b.ui, {QStringLiteral("2"), QStringLiteral("EUR"), QDate(2026, 12, 8), false})));
    EXPECT_TRUE(b.ui.messages.isEmpty());
}

TEST(AccountingCurrency, RegisterChangeRefusalsAndSilence)
{
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    for (const char* rate : {"03", ",5", "1,2,3", "1x"}) {
        b.ui.messages.clear();
        EXPECT_EQ(changeInRegister(
                      b.link, b.ui,
                      {QString::fromUtf8(rate), QStringLiteral("EUR"), QDate(2026, 1, 1), false}),
                  -1);
        ASSERT_EQ(b.ui.messages.size(), 1) << rate;
        EXPECT_EQ(b.ui.messages[0], QStringLiteral("Błędna wartość w polu Kurs"));
    }
    EXPECT_TRUE(b.sent.isEmpty());
    emu::FaultPlan plan;
    plan.silent = {1};
    b.reg.setFaults(plan);
    b.ui.messages.clear();
    EXPECT_EQ(
        changeInRegister(b.link, b.ui,
                         {QStringLiteral("2"), QStringLiteral("EUR"), QDate(2026, 1, 1), false}),
        answers::NoAnswer);
    EXPECT_EQ(b.ui.messages, QStringList{QStringLiteral("Błąd komunikacji.")});
}

} // namespace

#include "reports/reportorder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

using namespace reports;

namespace {

// Builds the expected frame by hand: 02, address, length, sequence, command, data from byte
// 7, zeros up to L-3, XOR of bytes 1..L-3, 03.
QByteArray expected(uint8_t address, int length, uint16_t seq, uint8_t cmd,
                    std::initializer_list<int> data)
{
    std::vector<uint8_t> b(length, 0);
    b[0] = 0x02;
    b[1] = address;
    b[2] = uint8_t(length);
    b[3] = uint8_t(length >> 8);
    b[4] = uint8_t(seq);
    b[5] = uint8_t(seq >> 8);
    b[6] = cmd;
    int i = 7;
    for (int d : data)
        b[i++] = uint8_t(d);
    uint8_t x = 0;
    for (int j = 1; j <= length - 3; ++j)
        x ^= b[j];
    b[length - 2] = x;
    b[length - 1] = 0x03;
    return QByteArray(reinterpret_cast<const char*>(b.data()), length);
}

ReportParams monthly(const QString& text, bool full = true)
{
    ReportParams p;
    p.variant = PeriodicVariant::Monthly;
    p.monthText = text;
    p.fullReport = full;
    return p;
}

ReportParams numbers(const QString& a, const QString& b, bool full = true)
{
    ReportParams p;
    p.variant = PeriodicVariant::Numbers;
    p.firstReport = a;
    p.lastReport = b;
    p.fullReport = full;
    return p;
}

ReportParams articles(const QString& a, const QString& b)
{
    ReportParams p;
    p.scope = Scope::Articles;
    p.firstArticle = a;
    p.lastArticle = b;
    return p;
}

} // namespace

TEST(ReportOrder, LiteralFramesWorkedByHand)
{
    // 01^0A^00^01^00^6E^01 = 0x65
    EXPECT_EQ(buildOrder(Kind::InactiveArticles, {}, 1).frame,
              QByteArray::fromHex("02010a0001006e016503"));
    // Monthly 11-2026, full: 2026 = 0x07EA; XOR of bytes 1..16 = 0x18.
    EXPECT_EQ(buildOrder(Kind::Periodic, monthly(QStringLiteral("11-2026")), 1).frame,
              QByteArray::fromHex("02011300018"
                                  "06f02ffea070bffffffffff1803"));
}

TEST(ReportOrder, PeriodicVariants)
{
    EXPECT_EQ(
        buildOrder(Kind::Periodic, monthly(QStringLiteral("11-2026"), false), 3).frame,
        expected(3, 19, 0x8001, 0x6F, {3, 0xFF, 0xEA, 0x07, 11, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    // No range check on the month: 13 goes out as 13.
    EXPECT_EQ(
        buildOrder(Kind::Periodic, monthly(QStringLiteral("13-2024")), 1).frame,
        expected(1, 19, 0x8001, 0x6F, {2, 0xFF, 0xE8, 0x07, 13, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));

    ReportParams period;
    period.variant = PeriodicVariant::Period;
    period.from = QDate(2026, 11, 30); // after the end date: sent as picked
    period.to = QDate(2026, 11, 1);
    EXPECT_EQ(buildOrder(Kind::Periodic, period, 1).frame,
              expected(1, 19, 1, 0x6F, {0, 0, 0xEA, 0x07, 11, 30, 0xEA, 0x07, 11, 1}));
    period.fullReport = false;
    EXPECT_EQ(buildOrder(Kind::Periodic, period, 1).frame,
              expected(1, 19, 1, 0x6F, {1, 0, 0xEA, 0x07, 11, 30, 0xEA, 0x07, 11, 1}));

    EXPECT_EQ(
        buildOrder(Kind::Periodic, numbers(QStringLiteral("5"), QStringLiteral("5")), 1).frame,
        expected(1, 19, 1, 0x6F, {0, 1, 5, 0, 5, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(
        buildOrder(Kind::Periodic, numbers(QStringLiteral("300"), QStringLiteral("2000"), false), 1)
            .frame,
        expected(1, 19, 1, 0x6F, {1, 1, 0x2C, 0x01, 0xD0, 0x07, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(ReportOrder, PeriodicChecks)
{
    struct Case {
        ReportParams params;
        const char16_t* message;
    };
    const Case cases[] = {
        {monthly(QStringLiteral("ab-2026")), u"Błędna data"},
        {monthly(QStringLiteral("1_-2026")), u"Błędna data"},
        {monthly(QStringLiteral("11-20_6")), u"Błędna data"},
        {monthly(QString()), u"Błędna data"},
        {numbers(QString(), QStringLiteral("5")), u"Błędny numer raportu początkowego"},
        {numbers(QStringLiteral("x"), QStringLiteral("5")), u"Błędny numer raportu początkowego"},
        {numbers(QStringLiteral("5"), QString()), u"Błędny numer raportu końcowego"},
        {numbers(QStringLiteral("6"), QStringLiteral("5")),
         u"Raport końcowy musi mieć większy numer niż raport początkowy"},
        // The order check comes first even when both are out of range.
        {numbers(QStringLiteral("3000"), QStringLiteral("2500")),
         u"Raport końcowy musi mieć większy numer niż raport początkowy"},
        {numbers(QStringLiteral("0"), QStringLiteral("5")),
         u"Numer raportu musi zawierać się w przedziale 1 - 2000"},
        {numbers(QStringLiteral("5"), QStringLiteral("2001")),
         u"Numer raportu musi zawierać się w przedziale 1 - 2000"},
    };
    for (const Case& c : cases) {
        const ReportOrder o = buildOrder(Kind::Periodic, c.params, 1);
        EXPECT_EQ(o.error, QString::fromUtf16(c.message)) << c.params.monthText.toStdString();
        EXPECT_TRUE(o.frame.isEmpty());
    }
}

TEST(ReportOrder, ScopeReports)
{
    struct KindCase {
        Kind kind;
        uint8_t cmd;
        int length;
    };
    const KindCase kinds[] = {
        {Kind::Sales, 0x73, 16}, {Kind::BaseWithVat, 0x70, 15}, {Kind::FullBase, 0x62, 15}};
    for (const KindCase& k : kinds) {
        const bool sales = k.kind == Kind::Sales;
        // Whole base: 1-2000 whatever the edits hold.
        ReportParams whole = articles(QStringLiteral("7"), QStringLiteral("x"));
        whole.scope = Scope::WholeBase;
        whole.zeroRecords = true;
        whole.zeroing = true;
        EXPECT_EQ(buildOrder(k.kind, whole, 2).frame,
                  sales ? expected(2, 16, 1, k.cmd, {1, 1, 0, 0xD0, 0x07, 1, 1})
                        : expected(2, 15, 1, k.cmd, {1, 1, 0, 0xD0, 0x07, 1}));
        ReportParams group;
        group.scope = Scope::Group;
        group.group = 20;
        EXPECT_EQ(buildOrder(k.kind, group, 1).frame,
                  sales ? expected(1, 16, 1, k.cmd, {2, 20, 0xFF, 0xFF, 0xFF, 0, 0})
                        : expected(1, 15, 1, k.cmd, {2, 20, 0xFF, 0xFF, 0xFF, 0}));
        ReportParams range = articles(QStringLiteral("5"), QStringLiteral("300"));
        range.zeroRecords = true;
        EXPECT_EQ(buildOrder(k.kind, range, 1).frame,
                  sales ? expected(1, 16, 1, k.cmd, {3, 5, 0, 0x2C, 0x01, 0, 1})
                        : expected(1, 15, 1, k.cmd, {3, 5, 0, 0x2C, 0x01, 1}));
        EXPECT_TRUE(buildOrder(k.kind, articles(QStringLiteral("9"), QStringLiteral("9")), 1).ok());

        const struct {
            const char* a;
            const char* b;
            const char16_t* message;
        } bad[] = {
            {"", "10", u"Błędy numer towaru"},
            {"1", "", u"Błędy numer towaru"},
            {"0", "10", u"Numery towarów muszą zawierać się w przedziale 1-2000"},
            {"1", "2001", u"Numery towarów muszą zawierać się w przedziale 1-2000"},
            {"10", "5",
             u"Numer towaru początkowego nie może być większy niż numer towaru końcowego"},
        };
        for (const auto& c : bad) {
            const ReportOrder o =
                buildOrder(k.kind, articles(QLatin1String(c.a), QLatin1String(c.b)), 1);
            EXPECT_EQ(o.error, QString::fromUtf16(c.message)) << c.a << "-" << c.b;
            EXPECT_TRUE(o.frame.isEmpty());
        }
    }
}

TEST(ReportOrder, CashierAndTwoOptionReports)
{
    ReportParams p;
    p.cashier = 10;
    p.zeroing = true;
    p.fullReport = false;
    EXPECT_EQ(buildOrder(Kind::Cashier, p, 1).frame, expected(1, 12, 0x8001, 0x6B, {10, 1, 0}));
    p.cashier = 3;
    p.zeroing = false;
    p.fullReport = true;
    EXPECT_EQ(buildOrder(Kind::Cashier, p, 1).frame, expected(1, 12, 0x8001, 0x6B, {3, 0, 1}));

    const std::pair<Kind, uint8_t> two[] = {{Kind::ShiftSales, 0x7A},
                                            {Kind::Discounts, 0x72},
                                            {Kind::Packaging, 0x61},
                                            {Kind::PaymentForms, 0x66},
                                            {Kind::ProductGroups, 0x67}};
    for (const auto& [kind, cmd] : two) {
        ReportParams q;
        q.zeroRecords = true;
        EXPECT_EQ(buildOrder(kind, q, 1).frame, expected(1, 12, 1, cmd, {1, 0}));
        q.zeroRecords = false;
        q.zeroing = true;
        EXPECT_EQ(buildOrder(kind, q, 1).frame, expected(1, 12, 1, cmd, {0, 1}));
    }
}

TEST(ReportOrder, PlainReports)
{
    const std::pair<Kind, uint8_t> plain[] = {{Kind::InactiveArticles, 0x6E},
                                              {Kind::FixedTexts, 0x77},
                                              {Kind::VatRates, 0x76},
                                              {Kind::RegisterState, 0x74},
                                              {Kind::QuickKeys, 0x68}};
    for (const auto& [kind, cmd] : plain)
        EXPECT_EQ(buildOrder(kind, {}, 9).frame, expected(9, 10, 1, cmd, {1}));
}

TEST(ReportOrder, GroupTurnover)
{
    ReportParams p;
    p.startMonth = 1;
    p.startYear = QStringLiteral("2026");
    p.endMonth = 6;
    p.endYear = QStringLiteral("2026");
    EXPECT_EQ(buildOrder(Kind::GroupTurnover, p, 1).frame,
              expected(1, 17, 0x8001, 0x05, {1, 0xEA, 0x07, 6, 0xEA, 0x07, 1, 'n'}));
    p.zeroRecords = true;
    EXPECT_EQ(buildOrder(Kind::GroupTurnover, p, 1).frame,
              expected(1, 17, 0x8001, 0x05, {1, 0xEA, 0x07, 6, 0xEA, 0x07, 1, 't'}));
    p.startYear = QStringLiteral("20_6");
    EXPECT_EQ(buildOrder(Kind::GroupTurnover, p, 1).error, QStringLiteral("Błędny rok"));
}

TEST(ReportOrder, MonthlyDefault)
{
    EXPECT_EQ(defaultMonthText(QDate(2026, 12, 8)), QStringLiteral("11-2026"));
    EXPECT_EQ(defaultMonthText(QDate(2026, 3, 31)), QStringLiteral("02-2026"));
    // January: December of the previous year, not month 00.
    EXPECT_EQ(defaultMonthText(QDate(2027, 1, 15)), QStringLiteral("12-2026"));
}

TEST(ReportKinds, TableMatchesTheReportTab)
{
    EXPECT_EQ(allKinds().size(), 16u);
    EXPECT_EQ(QString::fromUtf16(allKinds().back().title),
              QStringLiteral("Wykonywanie raportu obrotu grup towarowych"));
    for (const KindInfo& k : allKinds()) {
        EXPECT_EQ(findByCliName(QLatin1String(k.cliName)), &k);
        EXPECT_EQ(&info(k.kind), &k);
    }
    EXPECT_EQ(findByCliName(QStringLiteral("nope")), nullptr);
}

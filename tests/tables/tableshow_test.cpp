#include "tables/articlerecord.h"
#include "tables/cashierrecord.h"
#include "tables/currencyrecord.h"
#include "tables/discountrecord.h"
#include "tables/grouprecord.h"
#include "tables/halo.h"
#include "tables/packagingrecord.h"
#include "tables/paymentformrecord.h"
#include "tables/quickkeys.h"
#include "tables/receipttext.h"
#include "tables/reportset.h"
#include "tables/tableshow.h"
#include "tables/vatrates.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

// A database with a little in every table.
QByteArray database()
{
    QByteArray db(205000, '\0');
    db.replace(0, 16, "VORN_DUNO_V_2_00");
    ArticleRecord a;
    a.number = 2;
    a.name = s("Kawa");
    a.price = 1250;
    a.barcode = s("0000000000123");
    db.replace(layout::Articles.offsetOf(2), 68, a.encode());
    ArticleRecord b;
    b.number = 5;
    b.name = s("Piwo jasne");
    b.vat = 'B';
    b.price = 399;
    b.barcode = s("5901234123457");
    b.group = 2;
    b.tandem = 3;
    b.fixedPrice = true;
    b.wholeQuantity = false;
    b.halo = 2;
    b.unit = 1;
    db.replace(layout::Articles.offsetOf(5), 68, b.encode());
    db.replace(layout::Groups.offsetOf(1), 22, GroupRecord{1, s("Grupa podstawowa")}.encode());
    db.replace(layout::Groups.offsetOf(2), 22, GroupRecord{2, s("Napoje")}.encode());
    db.replace(layout::Packaging.offsetOf(3), 48,
               PackagingRecord{3, s("Butelka 0,5"), 50, true}.encode());
    CashierRecord c;
    c.number = 1;
    c.name = s("Kierownik");
    c.rights.fill(true);
    db.replace(layout::Cashiers.offsetOf(1), 33, c.encode());
    CashierRecord d;
    d.number = 2;
    d.name = s("Anna");
    d.password = s("1234");
    d.rights[CashierRecord::ManualDiscounts] = true;
    db.replace(layout::Cashiers.offsetOf(2), 33, d.encode());
    db.replace(layout::Discounts.offsetOf(3), 28,
               DiscountRecord{3, s("Narzut"), DiscountRecord::Markup, DiscountRecord::Amount, 1250}
                   .encode());
    db.replace(layout::PaymentForms.offsetOf(5), 23,
               PaymentFormRecord{5, s("Bon towarowy"), 3}.encode());
    db.replace(layout::Currencies.offsetOf(1), 30,
               CurrencyRecord{1, s("Euro"), 43210, 4, s("EUR")}.encode());
    VatRates v;
    v.values = {2300, 800, 0, 500, 0xFFFE, 0xFFFE, 0xFFFF};
    db.replace(layout::VatRates.base, 21, v.encode());
    receipt::Block header;
    header.lineCount = 2;
    header.lines = QByteArray("\x01"
                              "A sklep")
                       .leftJustified(42, ' ') +
                   QByteArray(42 * 5, ' ');
    header.tall = {false, true, false, false, false, false};
    db.replace(layout::Header.base, 259, header.encode());
    QuickKeyRecord q;
    q.addArticle(1, 2, 5, 25000, true);
    db.replace(QuickKeyRecord::offsetOf(1, 2), 34, q.encode());
    HaloTable h;
    h.amounts[3] = -5;
    db.replace(layout::Halo.base, 40, h.encode());
    ReportSet r;
    r.choices[0] = 1;
    db.replace(layout::ReportSet.base, 19, r.encode());
    return db;
}

struct ShowCase {
    const char* table;
    int count;                                              // records shown
    int index;                                              // the record looked at
    const char* line;                                       // its readable line
    QStringList keys;                                       // every key of its JSON object
    std::vector<std::pair<const char*, QJsonValue>> values; // some of its values
};

void PrintTo(const ShowCase& c, std::ostream* os)
{
    *os << c.table;
}

class TableShowTest : public ::testing::TestWithParam<ShowCase> {};

// The line and the JSON record come from one description of the record: the line is exactly
// the text output, the object has the table's named keys with typed values.
TEST_P(TableShowTest, LineAndRecordWithNamedKeys)
{
    const ShowCase& c = GetParam();
    QList<tableshow::Record> records;
    ASSERT_TRUE(tableshow::records(database(), s(c.table), records));
    ASSERT_EQ(records.size(), c.count);
    const tableshow::Record& r = records.at(c.index);
    EXPECT_EQ(r.line(), s(c.line));
    const QJsonObject o = r.object();
    QStringList keys = c.keys;
    keys.sort();
    EXPECT_EQ(o.keys(), keys);
    for (const auto& [key, value] : c.values)
        EXPECT_EQ(o.value(s(key)), value) << key;
    QStringList lines;
    ASSERT_TRUE(tableshow::lines(database(), s(c.table), lines));
    EXPECT_EQ(lines.at(c.index), s(c.line));
}

const QJsonValue Null(QJsonValue::Null);

INSTANTIATE_TEST_SUITE_P(
    EveryTable, TableShowTest,
    ::testing::Values(
        ShowCase{"articles",
                 2,
                 1,
                 "5; Piwo jasne; B; 3,99; 5901234123457; 2 Napoje; Butelka 0,5; Tak; Nie; 2; 1",
                 {s("number"), s("name"), s("vat"), s("price"), s("priceText"), s("barcode"),
                  s("group"), s("groupName"), s("packaging"), s("packagingName"), s("fixedPrice"),
                  s("wholeQuantity"), s("halo"), s("unit")},
                 {{"number", 5},
                  {"price", 399},
                  {"priceText", s("3,99")},
                  {"vat", s("B")},
                  {"barcode", s("5901234123457")},
                  {"groupName", s("Napoje")},
                  {"packaging", 3},
                  {"fixedPrice", true},
                  {"wholeQuantity", false}}},
        ShowCase{"articles",
                 2,
                 0,
                 "2; Kawa; A; 12,50; 0000000000123; 1 Grupa podstawowa; Brak; Nie; Tak; Brak; Brak",
                 {s("number"), s("name"), s("vat"), s("price"), s("priceText"), s("barcode"),
                  s("group"), s("groupName"), s("packaging"), s("packagingName"), s("fixedPrice"),
                  s("wholeQuantity"), s("halo"), s("unit")},
                 {{"packaging", Null}, {"halo", Null}, {"unit", Null}, {"group", 1}}},
        ShowCase{"cashiers",
                 2,
                 1,
                 "2. Anna; Hasło: 1234; Udzielanie rabatów ręcznie",
                 {s("number"), s("name"), s("password"), s("rights")},
                 {{"name", s("Anna")},
                  {"password", s("1234")},
                  {"rights", QJsonObject{{s("nonZeroingReports"), false},
                                         {s("zeroingReports"), false},
                                         {s("manualDiscounts"), true},
                                         {s("tableDiscounts"), false},
                                         {s("cancelReceipt"), false},
                                         {s("voidOperations"), false},
                                         {s("cashInOut"), false}}}}},
        ShowCase{"discounts",
                 1,
                 0,
                 "3; Narzut; Narzut;      12,50; kwot.",
                 {s("number"), s("name"), s("kind"), s("value"), s("valueText"), s("type")},
                 {{"kind", s("markup")}, {"type", s("amount")}, {"value", 1250}}},
        ShowCase{"payments",
                 1,
                 0,
                 "5; Bon towarowy; Bon",
                 {s("number"), s("name"), s("type")},
                 {{"number", 5}, {"type", s("voucher")}}},
        ShowCase{"currencies",
                 1,
                 0,
                 "1; Euro; 4,3210; EUR",
                 {s("number"), s("name"), s("rate"), s("rateText"), s("symbol")},
                 {{"rate", 4.321}, {"rateText", s("4,3210")}, {"symbol", s("EUR")}}},
        ShowCase{"vat",
                 7,
                 0,
                 "PTU A: 23.00 %",
                 {s("letter"), s("state"), s("rate"), s("rateText")},
                 {{"letter", s("A")}, {"state", s("taxed")}, {"rate", 2300}}},
        ShowCase{"vat",
                 7,
                 6,
                 "PTU G: Zwolniona",
                 {s("letter"), s("state"), s("rate"), s("rateText")},
                 {{"state", s("exempt")}, {"rate", Null}}},
        ShowCase{"packaging",
                 1,
                 0,
                 "3; Butelka 0,5; 0,50",
                 {s("number"), s("name"), s("price"), s("priceText"), s("priceChange")},
                 {{"price", 50}, {"priceChange", true}}},
        ShowCase{"groups",
                 2,
                 1,
                 "2; Napoje",
                 {s("number"), s("name")},
                 {{"number", 2}, {"name", s("Napoje")}}},
        ShowCase{"header",
                 2,
                 0,
                 "1. |^A sklep                                  |",
                 {s("number"), s("text"), s("marked"), s("tall")},
                 {{"text", s("A sklep")}, {"tall", false}}},
        ShowCase{"header",
                 2,
                 1,
                 "2. |                                            [wysoka]|",
                 {s("number"), s("text"), s("marked"), s("tall")},
                 {{"number", 2}, {"tall", true}}},
        ShowCase{"quickkeys",
                 1,
                 0,
                 "Kasjer 1 F2: 5 x 2,5000 (Kończenie paragonu)",
                 {s("cashier"), s("key"), s("entries"), s("endReceipt")},
                 {{"key", 2},
                  {"endReceipt", true},
                  {"entries", QJsonArray{QJsonObject{{s("article"), 5},
                                                     {s("quantity"), 25000},
                                                     {s("quantityText"), s("2,5000")}}}}}},
        ShowCase{"halo",
                 9,
                 2,
                 "3. -0,05",
                 {s("number"), s("amount"), s("amountText")},
                 {{"amount", -5}, {"amountText", s("-0,05")}}},
        ShowCase{"reportset",
                 19,
                 0,
                 "Raport bazy z PTU niezerujący: Pełny",
                 {s("number"), s("name"), s("choice")},
                 {{"number", 1}, {"choice", s("full")}}}),
    [](const ::testing::TestParamInfo<ShowCase>& info) {
        return std::string(info.param.table) + std::to_string(info.param.index);
    });

TEST(TableShow, EveryTableIsShownAndTheFooterMayBeEmpty)
{
    const QByteArray db = database();
    for (const QString& t : tableshow::tableNames()) {
        QStringList lines;
        EXPECT_TRUE(tableshow::lines(db, t, lines)) << t.toStdString();
    }
    QStringList footer;
    ASSERT_TRUE(tableshow::lines(db, s("footer"), footer));
    EXPECT_TRUE(footer.isEmpty());
}

TEST(TableShow, Refusals)
{
    QStringList out;
    EXPECT_FALSE(tableshow::lines(database(), s("nothing"), out));
    EXPECT_FALSE(tableshow::lines(QByteArray(1000, '\0'), s("articles"), out));
}

} // namespace

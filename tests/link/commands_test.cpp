#include "link/commands.h"

#include "database/tables.h"

#include <gtest/gtest.h>

#include "fakeline.h"
#include "fakeui.h"

namespace {

// The expected frame, assembled by hand: head, data bytes at their offsets, XOR check, 0x03.
QByteArray expected(int address, int length, int sequence, int code,
                    std::initializer_list<std::pair<int, QByteArray>> data)
{
    QByteArray f(length, '\0');
    f[0] = 0x02;
    f[1] = char(address);
    f[2] = char(length & 0xFF);
    f[3] = char(length >> 8);
    f[4] = char(sequence & 0xFF);
    f[5] = char(sequence >> 8);
    f[6] = char(code);
    for (const auto& [at, b] : data)
        f.replace(at, b.size(), b);
    char x = 0;
    for (int i = 1; i <= length - 3; ++i)
        x ^= f[i];
    f[length - 2] = x;
    f[length - 1] = 0x03;
    return f;
}

QByteArray pattern(int size, int first = 1)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(first + i);
    return b;
}

struct RecordCase {
    const char* name;
    commands::Frame (*build)(quint8, quint16, QByteArrayView, quint8);
    int code, length, recordSize, sent, confirmAt;
};

const RecordCase kRecordCases[] = {
    {"discount", commands::discountRecord, 'R', 38, 28, 28, 35},
    {"cashier", commands::cashierRecord, 'K', 43, 33, 33, 40},
    {"payment", commands::paymentFormRecord, 'F', 33, 23, 23, 30},
    {"currency", commands::currencyRecord, 'W', 40, 30, 30, 37},
    {"vat", commands::vatRates, 'P', 31, 21, 21, 28},
    {"packaging", commands::packagingRecord, 'Z', 58, 48, 48, 55},
    {"group", commands::productGroupRecord, 'G', 31, 22, 21, 28},
};

} // namespace

TEST(Commands, RecordFramesCarryTheRecordAndTheConfirmByte)
{
    for (const RecordCase& c : kRecordCases) {
        SCOPED_TRACE(c.name);
        const QByteArray record = pattern(c.recordSize, 5);
        const auto f = c.build(2, 0x8001, record, 1);
        ASSERT_TRUE(f.has_value());
        EXPECT_EQ(*f, expected(2, c.length, 0x8001, c.code,
                               {{7, record.left(c.sent)}, {c.confirmAt, bytes({1})}}));
        EXPECT_FALSE(c.build(2, 0x8001, QByteArray(c.recordSize, '\0'), 1).has_value());
    }
}

TEST(Commands, ArticleFrames)
{
    QByteArray record = pattern(68, 0); // number bytes 0 and 1: 0x00 0x01, article 256
    record[0] = 1;
    record[1] = 0;
    const auto bis = commands::articleRecord(1, 0x8001, record, 1, 2);
    ASSERT_TRUE(bis);
    EXPECT_EQ(*bis, expected(1, 78, 0x8001, 'T', {{7, record}, {75, bytes({1})}}));
    const auto duno = commands::articleRecord(1, 0x8001, record, 0, 1);
    ASSERT_TRUE(duno);
    EXPECT_EQ(*duno, expected(1, 77, 0x8001, 'T', {{7, record.left(67)}}));
    record[0] = 0;
    EXPECT_FALSE(commands::articleRecord(1, 0x8001, record, 1));
    record[1] = 1; // article 256: byte 0 is 0 but the number is not
    EXPECT_TRUE(commands::articleRecord(1, 0x8001, record, 1));
}

TEST(Commands, SourceOffsets)
{
    EXPECT_EQ(layout::quickKeyOffset(10, 10), 148426);
    EXPECT_EQ(layout::Cashiers.offsetOf(2), 141593);
    EXPECT_EQ(layout::Articles.offsetOf(2000), 5000 + 1999 * 68);
}

TEST(Commands, BlocksAndQuickKey)
{
    const QByteArray header = pattern(259);
    EXPECT_EQ(commands::receiptHeader(1, 0x8001, header),
              expected(1, 268, 0x8001, 'N', {{7, header}}));
    const QByteArray footer = pattern(130);
    EXPECT_EQ(commands::receiptFooter(1, 0x8001, footer, 1),
              expected(1, 140, 0x8001, 'D', {{7, footer}, {137, bytes({1})}}));
    const QByteArray halo = pattern(36);
    EXPECT_EQ(commands::haloTable(1, 0x8001, halo), expected(1, 45, 0x8001, 'L', {{7, halo}}));
    const QByteArray key = pattern(34);
    EXPECT_EQ(commands::quickKey(1, 3, 10, 10, key, 1),
              expected(1, 44, 3, 'S', {{7, bytes({10, 10})}, {9, key.mid(2)}, {41, bytes({1})}}));
}

TEST(Commands, ValueFrames)
{
    EXPECT_EQ(commands::setClock(1, 0x8001, 2026, 12, 8, 18, 45, 7),
              expected(1, 17, 0x8001, 'C', {{7, bytes({0xEA, 0x07, 12, 8, 18, 45, 7})}}));
    EXPECT_EQ(
        commands::changeAccountingCurrency(1, 0x8001, 43210, 4, QStringLiteral("EU"), 1, 2027, 1,
                                           2),
        expected(1, 23, 0x8001, 'E',
                 {{7, bytes({0xCA, 0xA8, 0x00, 0x00, 4, 'E', 'U', ' ', 1, 1, 0xEB, 0x07, 1, 2})}}));
    const QByteArray password =
        commands::setManagerPassword(1, 0x8001, QStringLiteral("1234"), QStringLiteral("abc"), 1);
    EXPECT_EQ(password.size(), 30);
    EXPECT_EQ(password, expected(1, 30, 0x8001, 'H',
                                 {{7, QByteArray("1234      abc       ")}, {27, bytes({1})}}));
    EXPECT_EQ(commands::setUnitNames(1, 0x8001, QStringLiteral("kg"), QStringLiteral("szt"),
                                     QStringLiteral("l")),
              expected(1, 18, 0x8001, 'q', {{7, QByteArray("kg sztl  ")}}));
    EXPECT_EQ(commands::setFunctionKey(0x8001, 3, 4, 9),
              expected(1, 13, 0x8001, 'O', {{7, bytes({3, 4, 9})}}));
    const QByteArray settings = pattern(22);
    EXPECT_EQ(commands::setAdditionalSettings(0x8001, settings),
              expected(1, 31, 0x8001, 3, {{7, settings}}));
}

TEST(Commands, QuickSalesFunctionKeyPositions)
{
    const int sent[8] = {0, 1, 3, 4, 5, 6, 7, 8};
    for (int position = 0; position < 8; ++position) {
        const auto f = commands::setQuickSalesFunctionKey(2, 0x8001, 10, position, 1, 20);
        ASSERT_TRUE(f);
        EXPECT_EQ(*f, expected(2, 14, 0x8001, 'X', {{7, bytes({10, 1, sent[position], 1, 20})}}));
    }
    EXPECT_FALSE(commands::setQuickSalesFunctionKey(2, 0x8001, 1, 8, 0, 1));
}

TEST(Commands, TaxpayerNumber)
{
    const QString sixteen = QStringLiteral("1234567890123456");
    const auto f = commands::setTaxpayerNumber(1, 0x8001, sixteen);
    ASSERT_TRUE(f);
    EXPECT_EQ(*f, expected(1, 25, 0x8001, 'I', {{7, sixteen.toLatin1()}}));

    FakeLineScript script;
    Link link(fakeFactory(script));
    link.port = 1;
    FakeUi ui;
    EXPECT_NE(commands::sendTaxpayerNumber(link, ui, 0x8001, sixteen + QLatin1Char('7')), 0);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Zbyt długi NIP!")});
    EXPECT_TRUE(script.written.isEmpty());
    EXPECT_EQ(commands::sendTaxpayerNumber(link, ui, 0x8001, sixteen), 0);
    EXPECT_EQ(script.written, *f);
}

TEST(Commands, ReportOrders)
{
    for (char code : {'n', 'w', 'v', 't', 'h'})
        EXPECT_EQ(commands::simpleReportOrder(1, 0x8001, quint8(code)),
                  expected(1, 10, 0x8001, code, {{7, bytes({1})}}));
    EXPECT_EQ(commands::groupTurnoverReport(1, 0x8001, 1, 2026, 12, 2026, true),
              expected(1, 17, 0x8001, 5, {{7, bytes({1, 0xEA, 0x07, 12, 0xEA, 0x07, 1, 't'})}}));
    EXPECT_EQ(commands::groupTurnoverReport(1, 0x8001, 1, 2026, 12, 2026, false).at(14), 'n');
    const struct {
        char code;
        int length;
    } lengths[] = {{'o', 19}, {'s', 16}, {'p', 15}, {'b', 15}, {'k', 12},
                   {'z', 12}, {'r', 12}, {'a', 12}, {'f', 12}, {'g', 12}};
    for (const auto& l : lengths) {
        const QByteArray data = pattern(l.length - 9);
        EXPECT_EQ(commands::reportOrder(1, 0x8001, quint8(l.code), data),
                  expected(1, l.length, 0x8001, l.code, {{7, data}}));
    }
    EXPECT_TRUE(commands::reportOrder(1, 0x8001, 'x', {}).isEmpty());
}

TEST(Commands, RequestsAndOtherCommands)
{
    EXPECT_EQ(commands::requestTable(4, 1, 'T'), expected(4, 11, 1, 'T', {}));
    EXPECT_EQ(commands::requestTable(1, 0x8001, 3, 1),
              expected(1, 11, 0x8001, 3, {{7, bytes({1, 0})}}));
    EXPECT_EQ(commands::probe(1, 0x8001),
              bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x80, 0x51, 0x00, 0xDB, 0x03}));
    EXPECT_EQ(commands::cacheMemoryDump(2, 0x8001),
              expected(2, 10, 0x8001, ':', {{7, bytes({1})}}));
    EXPECT_EQ(commands::copyRead(2, 0x8001, 3, pattern(14)),
              expected(2, 24, 0x8001, 1, {{7, bytes({3})}, {8, pattern(14)}}));
    EXPECT_EQ(commands::clearSales(0x8001), expected(1, 10, 0x8001, 0xCB, {{7, bytes({1})}}));
    EXPECT_EQ(commands::portQuery(0x8001), expected(1, 9, 0x8001, '9', {}));
    EXPECT_EQ(commands::setRegisterPorts(0x8001, 1, 0, 6, 3, 6),
              expected(1, 14, 0x8001, '8', {{7, bytes({1, 0, 6, 3, 6})}}));
    EXPECT_EQ(commands::servicePreparation(0x8001),
              expected(1, 10, 0x8001, 'c', {{7, bytes({1})}}));
}

TEST(Commands, Deletions)
{
    const QString name = QStringLiteral("Zażółć gęślą jaźń mleko"); // 23 characters
    const QByteArray cp = QByteArray("Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1 mleko");
    EXPECT_EQ(commands::deleteArticle(1, 0x8001, 1999, name, 1),
              expected(1, 54, 0x8001, '0', {{7, bytes({0xCF, 0x07})}, {9, cp}, {51, bytes({1})}}));
    EXPECT_EQ(commands::deleteDiscount(1, 0x8001, 5, name, 1),
              expected(1, 32, 0x8001, '1', {{7, bytes({5})}, {8, cp.left(21)}, {29, bytes({1})}}));
    const QByteArray cashier = commands::deleteCashier(1, 0x8001, 7, name);
    EXPECT_EQ(cashier, expected(1, 26, 0x8001, '2', {{7, bytes({7})}, {8, cp.left(16)}}));
    EXPECT_EQ(cashier.size(), 26); // check byte at 24
    EXPECT_EQ(commands::deletePaymentForm(1, 0x8001, 2, name, 0),
              expected(1, 33, 0x8001, '3', {{7, bytes({2})}, {8, cp.left(22)}}));
    EXPECT_EQ(commands::deleteCurrency(1, 0x8001, 2, name),
              expected(1, 33, 0x8001, '4', {{7, bytes({2})}, {8, cp}}));
    EXPECT_EQ(commands::deletePackaging(1, 0x8001, 2, QStringLiteral("Butelka")),
              expected(1, 53, 0x8001, '5', {{7, bytes({2})}, {8, QByteArray("Butelka")}}));
    EXPECT_EQ(commands::deleteProductGroup(1, 0x8001, 2, name),
              expected(1, 31, 0x8001, '6', {{7, bytes({2})}, {8, cp.left(21)}}));
}

#include "app/csv/csvfields.h"

#include <gtest/gtest.h>

namespace {

struct QuoteCase {
    const char* field;
    const char* written;
};

class CsvQuoting : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(CsvQuoting, OnlyWhereNeeded)
{
    EXPECT_EQ(csv::quoted(QString::fromUtf8(GetParam().field)),
              QString::fromUtf8(GetParam().written));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CsvQuoting,
    ::testing::Values(QuoteCase{"Mleko", "Mleko"}, QuoteCase{"", ""}, QuoteCase{"0,50", "0,50"},
                      QuoteCase{" spacje ", " spacje "}, QuoteCase{"a;b", "\"a;b\""},
                      QuoteCase{"Lody \"X\"", "\"Lody \"\"X\"\"\""}, QuoteCase{"\"", "\"\"\"\""},
                      QuoteCase{"dwa\nwiersze", "\"dwa\nwiersze\""},
                      QuoteCase{"cr\r", "\"cr\r\""}));

TEST(CsvLine, JoinsWithSemicolonsAndEndsWithLineFeed)
{
    QString out;
    csv::appendLine(out, {QStringLiteral("1"), QStringLiteral("a;b"), QString()});
    EXPECT_EQ(out, QStringLiteral("1;\"a;b\";\n"));
}

struct SplitCase {
    const char* text;
    std::vector<std::vector<const char*>> rows;
    std::vector<int> lines;
};

class CsvSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CsvSplit, RowsAndFields)
{
    const csv::Rows rows = csv::splitRows(QString::fromUtf8(GetParam().text));
    EXPECT_EQ(rows.badQuoteLine, 0);
    ASSERT_EQ(rows.rows.size(), GetParam().rows.size());
    for (size_t i = 0; i < rows.rows.size(); ++i) {
        QStringList expected;
        for (const char* f : GetParam().rows[i])
            expected.append(QString::fromUtf8(f));
        EXPECT_EQ(rows.rows[i].fields, expected) << "row " << i;
        EXPECT_EQ(rows.rows[i].line, GetParam().lines[i]) << "row " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CsvSplit,
    ::testing::Values(SplitCase{"", {}, {}}, SplitCase{"a", {{"a"}}, {1}},
                      SplitCase{"a;b\nc\n", {{"a", "b"}, {"c"}}, {1, 2}},
                      SplitCase{"a;b\r\nc\r\n", {{"a", "b"}, {"c"}}, {1, 2}},
                      SplitCase{"a;\n;\n\n", {{"a", ""}, {"", ""}, {""}}, {1, 2, 3}},
                      SplitCase{"\"a;b\";\"c\"\"d\"\n", {{"a;b", "c\"d"}}, {1}},
                      SplitCase{"\"x\ny\";z\nw", {{"x\ny", "z"}, {"w"}}, {1, 3}},
                      SplitCase{"\"q\"\r\n", {{"q"}}, {1}},
                      SplitCase{"a\rb;c", {{"a\rb", "c"}}, {1}},
                      SplitCase{"mid\"quote;x", {{"mid\"quote", "x"}}, {1}}));

TEST(CsvSplit, UnclosedQuoteNamesItsLine)
{
    const csv::Rows rows = csv::splitRows(QStringLiteral("a\nb\n\"c;d\ne\n"));
    EXPECT_EQ(rows.badQuoteLine, 3);
}

} // namespace

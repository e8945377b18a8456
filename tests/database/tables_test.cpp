#include "database/tables.h"

#include <gtest/gtest.h>

using namespace layout;

struct TableCase {
    const char* name;
    TableLayout table;
    qint64 first, last; // first and last byte as the register's layout gives them
    int size, count;
};

// First and last bytes written out as numbers, not computed from the constants.
constexpr TableCase kTables[] = {
    {"articles", Articles, 5000, 140999, 68, 2000},
    {"discounts", Discounts, 141000, 141559, 28, 20},
    {"cashiers", Cashiers, 141560, 142219, 33, 20},
    {"payment forms", PaymentForms, 142220, 142679, 23, 20},
    {"currencies", Currencies, 142680, 143279, 30, 20},
    {"vat", VatRates, 143280, 143300, 3, 7},
    {"packaging", Packaging, 143311, 144270, 48, 20},
    {"header", Header, 144271, 144529, 259, 1},
    {"groups", Groups, 144573, 145012, 22, 20},
    {"report set", ReportSet, 145013, 145031, 19, 1},
    {"currency (creation)", CurrencyFieldCreation, 145032, 145034, 3, 1},
    {"currency (change)", CurrencyFieldChange, 145037, 145039, 3, 1},
    {"quick keys", QuickKeys, 145060, 148459, 34, 100},
    {"footer", Footer, 148560, 148689, 130, 1},
    {"halo", Halo, 149060, 149099, 4, 10},
};

TEST(Tables, DirectoryMatchesTheFileLayout)
{
    for (const TableCase& c : kTables) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.table.base, c.first);
        EXPECT_EQ(c.table.recordSize, c.size);
        EXPECT_EQ(c.table.count, c.count);
        EXPECT_EQ(c.table.offsetOf(1), c.first);
        EXPECT_EQ(c.table.offsetOf(c.count) + c.size - 1, c.last);
    }
}

TEST(Tables, EdgesBetweenTables)
{
    EXPECT_EQ(Articles.offsetOf(1), 5000);
    EXPECT_EQ(Articles.offsetOf(2000) + 67, 140999);
    EXPECT_EQ(Articles.offsetOf(2000) + 68, Discounts.base);
    EXPECT_EQ(Cashiers.offsetOf(1), 141560);
    EXPECT_EQ(Cashiers.offsetOf(2), 141593);
    EXPECT_EQ(VatRates.end() - VatRates.base, 21);
    EXPECT_EQ(Packaging.base - VatRates.end(), 10);
}

TEST(Tables, QuickKeyOffsets)
{
    EXPECT_EQ(quickKeyOffset(1, 1), 145060);
    EXPECT_EQ(quickKeyOffset(1, 2), 145094);
    EXPECT_EQ(quickKeyOffset(2, 1), 145400);
    EXPECT_EQ(quickKeyOffset(10, 10) + 33, 148459);
}

#include "cli/tabletarget.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> parsed(const char* text, int max = 2000)
{
    std::vector<int> numbers;
    QString error;
    EXPECT_TRUE(cli::parseNumbers(QString::fromUtf8(text), max, numbers, &error)) << text;
    return numbers;
}

TEST(NumberList, RangesAndSingleNumbersAreMergedInOrder)
{
    EXPECT_EQ(parsed("1-3,7"), (std::vector<int>{1, 2, 3, 7}));
    EXPECT_EQ(parsed("70,1-2,2"), (std::vector<int>{1, 2, 70}));
    EXPECT_EQ(parsed(" 5 - 5 "), (std::vector<int>{5}));
    EXPECT_EQ(parsed("2000"), (std::vector<int>{2000}));
}

TEST(NumberList, BadPartsAreRefusedWithTheirText)
{
    for (const char* bad : {"0", "6-5", "2001", "a", "1,,2", "", "-3", "1-", "3-x"}) {
        std::vector<int> numbers{99};
        QString error;
        EXPECT_FALSE(cli::parseNumbers(QString::fromUtf8(bad), 2000, numbers, &error)) << bad;
        EXPECT_TRUE(error.startsWith(QStringLiteral("Błędny numer lub zakres numerów"))) << bad;
        EXPECT_TRUE(error.endsWith(QStringLiteral("(dozwolone 1..2000)."))) << bad;
    }
}

} // namespace

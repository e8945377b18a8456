#include "common/amount.h"

#include <gtest/gtest.h>

TEST(AmountText, PadsToThreeDigitsWithCommaBeforeTheLastTwo)
{
    EXPECT_EQ(amount::text(0), QStringLiteral("0,00"));
    EXPECT_EQ(amount::text(5), QStringLiteral("0,05"));
    EXPECT_EQ(amount::text(99), QStringLiteral("0,99"));
    EXPECT_EQ(amount::text(1250), QStringLiteral("12,50"));
    EXPECT_EQ(amount::text(123456789), QStringLiteral("1234567,89"));
}

TEST(AmountParse, DotBecomesCommaAndRoundsDown)
{
    EXPECT_EQ(amount::parse(QStringLiteral("12,50")), 1250);
    EXPECT_EQ(amount::parse(QStringLiteral("12.50")), 1250);
    EXPECT_EQ(amount::parse(QStringLiteral("0.1")), 10);
    EXPECT_EQ(amount::parse(QStringLiteral("1,999")), 199); // floor, not round
    EXPECT_EQ(amount::parse(QStringLiteral("4.35")), 435);  // 434.99999 + 0.001 floors to 435
    EXPECT_EQ(amount::parse(QStringLiteral("7")), 700);
    EXPECT_EQ(amount::parse(QStringLiteral(",5")), 50);
}

TEST(AmountParse, RejectsMalformedText)
{
    for (const char* bad : {"", " ", "abc", "1,2,3", "1.2.3", "12a", "-", ","})
        EXPECT_FALSE(amount::parse(QString::fromLatin1(bad))) << bad;
}

TEST(Quantity, FourDecimals)
{
    EXPECT_EQ(amount::quantityText(15000), QStringLiteral("1,5000"));
    EXPECT_EQ(amount::quantityText(1), QStringLiteral("0,0001"));
    EXPECT_EQ(amount::parseQuantity(QStringLiteral("2.5")), 25000);
}

#include "tables/vatrates.h"

#include <gtest/gtest.h>

namespace {

VatInput allInactive()
{
    VatInput in;
    in.choices.fill(VatRates::InactiveChoice);
    return in;
}

TEST(VatRates, TaxedRates)
{
    const struct {
        const char* typed;
        int stored; // -1: refused
    } cases[] = {{"8", 800},      {"99.99", 9999}, {"100", -1}, {"5,5", 550},  {"5.5", 550},
                 {"23.00", 2300}, {"-1", -1},      {"", -1},    {"5.5.5", -1}, {"x", -1}};
    for (const auto& c : cases) {
        VatInput in = allInactive();
        in.choices[3] = VatRates::Taxed;
        in.rates[3] = QString::fromUtf8(c.typed);
        const auto v = validateVatRates(in);
        if (c.stored < 0) {
            ASSERT_FALSE(v.ok()) << c.typed;
            EXPECT_EQ(v.failure->message, QStringLiteral("Błędnie wypełnione pola!"));
            EXPECT_EQ(v.failure->field, QStringLiteral("PTU_D_O"));
        } else {
            ASSERT_TRUE(v.ok()) << c.typed;
            EXPECT_EQ(v.record->values[3], c.stored) << c.typed;
        }
    }
}

TEST(VatRates, OtherChoicesIgnoreTheirField)
{
    VatInput in = allInactive();
    in.rates.fill(QStringLiteral("śmieci"));
    in.choices[6] = VatRates::ExemptChoice;
    const auto v = validateVatRates(in);
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.record->values[0], 0xFFFE);
    EXPECT_EQ(v.record->values[6], 0xFFFF);
    EXPECT_EQ(v.record->encode().mid(18), QByteArray("G\xFF\xFF"));
}

TEST(VatRates, Shown)
{
    EXPECT_EQ(VatRates::rateText(2300), QStringLiteral("23.00"));
    EXPECT_EQ(VatRates::rateText(550), QStringLiteral("5.50"));
    EXPECT_EQ(VatRates::rateText(5), QStringLiteral("0.05"));
    EXPECT_EQ(VatRates::rateText(0xFFFF), QStringLiteral("0.00"));
    EXPECT_EQ(VatRates::choiceOf(0xFFFF), VatRates::ExemptChoice);
    EXPECT_EQ(VatRates::choiceOf(0xFFFE), VatRates::InactiveChoice);
    EXPECT_EQ(VatRates::choiceOf(10000), VatRates::InactiveChoice);
    EXPECT_EQ(VatRates::choiceOf(9999), VatRates::Taxed); // 99,99 % as saved
}

} // namespace

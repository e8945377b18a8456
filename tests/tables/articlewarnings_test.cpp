#include "tables/articlewarnings.h"

#include <gtest/gtest.h>

namespace {

struct CheckDigitCase {
    const char* barcode;
    bool wrong;
};

// Check digits worked out by hand: weights 3, 1, 3, ... from the digit before the check digit.
// 5901234123457: 5+27+0+3+2+9+4+3+2+9+4+15 = 83, check 7.  96385074: 27+6+9+8+15+0+21 = 86,
// check 4.  036000291452: 0+3+18+0+0+0+6+9+3+4+15 = 58, check 2.
const CheckDigitCase Cases[] = {
    {"5901234123457", false}, // EAN-13
    {"5901234123458", true},
    {"5901234123450", true},
    {"96385074", false}, // EAN-8
    {"96385070", true},
    {"036000291452", false}, // UPC-A (12 digits)
    {"036000291453", true},
    {"0000096385074", false}, // EAN-8 padded with zeros to 13 characters
    {"0000096385075", true},
    {"0036000291452", false}, // UPC-A padded
    {"0036000291450", true},
    {"0000001234560", false}, // an in-shop code of 7 digits is no EAN: not checked
    {"0000000000077", false},
    {"1234567", false},       // too short
    {"1234567890", false},    // 10 digits: no EAN length
    {"59012341234A8", false}, // not all digits
    {"", false},
    {" 96385070 ", true}, // spaces around do not matter
};

class EanCheckDigit : public ::testing::TestWithParam<CheckDigitCase> {};

TEST_P(EanCheckDigit, WrongOnlyWhenTheLastDigitIsNotTheCheckDigit)
{
    const CheckDigitCase c = GetParam();
    EXPECT_EQ(articlewarnings::wrongCheckDigit(QString::fromLatin1(c.barcode)), c.wrong)
        << c.barcode;
}

INSTANTIATE_TEST_SUITE_P(Barcodes, EanCheckDigit, ::testing::ValuesIn(Cases));

TEST(ArticleWarnings, OneLinePerFault)
{
    EXPECT_TRUE(
        articlewarnings::warnings(3, QStringLiteral("Łódź"), QStringLiteral("96385074")).isEmpty());
    EXPECT_EQ(
        articlewarnings::warnings(12, QStringLiteral("Kawa ☺"), QStringLiteral("5901234123458")),
        (QStringList{QStringLiteral("Towar 12: kod kreskowy 5901234123458 ma błędną cyfrę "
                                    "kontrolną"),
                     QStringLiteral("Towar 12: nazwa zawiera znaki, których kasa nie "
                                    "wydrukuje: ☺")}));
}

} // namespace

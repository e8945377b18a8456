#include "common/cp1250.h"
#include "common/listline.h"

#include <gtest/gtest.h>

TEST(Cp1250, PolishLettersMapToTheirCodePageBytes)
{
    // ą ć ę ł ń ó ś ź ż and capitals in cp1250.
    const QString text = QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ");
    const QByteArray expected(
        "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
    EXPECT_EQ(cp1250::encode(text), expected);
    EXPECT_EQ(cp1250::decode(expected), text);
}

TEST(Cp1250, RepresentableRejectsCharactersOutsideTheCodePage)
{
    EXPECT_TRUE(cp1250::representable(QStringLiteral("Żółć")));
    EXPECT_FALSE(cp1250::representable(QStringLiteral("日本")));
}

TEST(Cp1250, FieldsArePaddedAndRead)
{
    EXPECT_EQ(cp1250::padRight(QStringLiteral("Ab"), 5), QByteArray("Ab\0\0\0", 5));
    EXPECT_EQ(cp1250::padRight(QStringLiteral("Abcdef"), 4), QByteArray("Abcd"));
    EXPECT_EQ(cp1250::padSpaces(QStringLiteral("EU"), 3), QByteArray("EU "));
    EXPECT_EQ(cp1250::padLeftZeros(QStringLiteral("123"), 13), QByteArray("0000000000123"));
    EXPECT_EQ(cp1250::readField(QByteArray("Ab\0c", 4)), QStringLiteral("Ab"));
    // A full-width field has no terminator and is read whole.
    EXPECT_EQ(cp1250::readField(QByteArray("Abcd")), QStringLiteral("Abcd"));
    QByteArray rec(6, 'x');
    cp1250::putField(rec, 1, QStringLiteral("ł"), 3);
    EXPECT_EQ(rec, QByteArray("x\xB3\0\0xx", 6));
}

TEST(ListLine, NumberIsTheIntegerBeforeTheFirstDot)
{
    EXPECT_EQ(recordNumberFromLine(QStringLiteral("12. Mleko 3.2%")), 12);
    EXPECT_EQ(recordNumberFromLine(QStringLiteral("  7.")), 7);
    EXPECT_EQ(recordNumberFromLine(QStringLiteral("Mleko")), 0);
    EXPECT_EQ(recordNumberFromLine(QStringLiteral(".5")), 0);
}

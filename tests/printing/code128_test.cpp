#include "printing/code128.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace code128;

namespace {

// Patterns written out by hand from the bar/space widths of the Code 128 table.
const std::string StartBModules = "11010010000"; // 104: 2 1 1 2 1 4
const std::string StartCModules = "11010011100"; // 105: 2 1 1 2 3 2
const std::string Stop = "1100011101011";        // 2 3 3 1 1 1 2

struct Case {
    const char* name;
    QByteArray text;
    int start;
    std::vector<int> data;
    int check; // worked out by hand: (start + sum i * v_i) mod 103
};

const std::vector<Case>& cases()
{
    static const std::vector<Case> table = {
        // 13 digits: Start C, six pairs, CODE B, the last digit.
        // 105 + 59 + 2 + 69 + 164 + 115 + 270 + 700 + 184 = 1668; 1668 mod 103 = 20
        {"ean13", "5901234123457", StartC, {59, 1, 23, 41, 23, 45, 100, 23}, 20},
        // 104 + 33 + 68 + 105 = 310; mod 103 = 1
        {"upper", "ABC", StartB, {33, 34, 35}, 1},
        // 104 + 65 + 132 + 201 = 502; mod 103 = 90
        {"lower", "abc", StartB, {65, 66, 67}, 90},
        // odd run of five digits stays in B: 754 mod 103 = 33
        {"mixedOddRun", "Ab12345", StartB, {33, 66, 17, 18, 19, 20, 21}, 33},
        // even run of six digits goes to C: 810 mod 103 = 89
        {"mixedEvenRun", "X123456", StartB, {56, 99, 12, 34, 56}, 89},
        // five digits: C, two pairs, CODE B, "5": 569 mod 103 = 54
        {"fiveDigits", "12345", StartC, {12, 34, 100, 21}, 54},
        // digits then a letter: 1078 mod 103 = 48
        {"digitsThenLower", "123456a", StartC, {12, 34, 56, 100, 65}, 48},
        // lower case after a control character marks the text: Start A, SHIFT for "a"
        // 103 + 65 + 196 + 195 = 559; mod 103 = 44
        {"controlThenLower",
         QByteArray("\x01"
                    "a"),
         StartA,
         {65, 98, 65},
         44},
        // 103 + 98 + 130 + 198 + 392 + 330 = 1251; mod 103 = 15
        {"shiftsInA",
         QByteArray("a\x02"
                    "b"),
         StartA,
         {98, 65, 66, 98, 66},
         15},
        // B: control before lower case is shifted into A
        // 104 + 88 + 130 + 294 + 264 + 330 = 1210; mod 103 = 77
        {"shiftInB",
         QByteArray("xa\x02"
                    "b"),
         StartB,
         {88, 65, 98, 66, 66},
         77},
        // B cannot hold a control character that no lower case follows: CODE A
        // 104 + 33 + 68 + 303 + 268 = 776; mod 103 = 55
        {"controlAtEnd", QByteArray("AB\x03"), StartB, {33, 34, 101, 67}, 55},
    };
    return table;
}

} // namespace

TEST(Code128, SymbolValuesAndCheck)
{
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        const Symbols s = encode(c.text);
        ASSERT_TRUE(s.valid);
        EXPECT_EQ(s.start, c.start);
        EXPECT_EQ(s.data, c.data);
        EXPECT_EQ(s.check, c.check);
        EXPECT_EQ(checkSymbol(c.start, c.data), c.check);
    }
}

TEST(Code128, ChooseSet)
{
    EXPECT_EQ(chooseSet("12345", 0), StartC);
    EXPECT_EQ(chooseSet("1234", 0), StartB);
    EXPECT_EQ(chooseSet("A12345", 1), StartC);
    EXPECT_EQ(chooseSet("ABC", 0), StartB);
    EXPECT_EQ(chooseSet(QByteArray("\x01\x02"), 0), StartB);
    EXPECT_EQ(chooseSet(QByteArray("X\x01"
                                   "a"),
                        0),
              StartA);
    // "b" follows "a", which is not a control character: B at once.
    EXPECT_EQ(chooseSet(QByteArray("X\x01"
                                   "ab"),
                        0),
              StartB);
    EXPECT_EQ(chooseSet(QByteArray("X\x01"
                                   "aBb"),
                        0),
              StartB);
}

TEST(Code128, PatternTable)
{
    std::set<std::string> seen;
    for (int v = 0; v <= 105; ++v) {
        const std::string p = pattern(v);
        ASSERT_EQ(p.size(), 11u) << v;
        EXPECT_EQ(p.front(), '1');
        EXPECT_EQ(p.back(), '0');
        seen.insert(p);
    }
    EXPECT_EQ(seen.size(), 106u);
    EXPECT_EQ(std::string(pattern(104)), StartBModules);
    EXPECT_EQ(std::string(pattern(105)), StartCModules);
    EXPECT_EQ(std::string(pattern(103)), "11010000100"); // 2 1 1 4 1 2
    EXPECT_EQ(std::string(pattern(0)), "11011001100");   // 2 1 2 2 2 2
    EXPECT_STREQ(pattern(106), "");
}

TEST(Code128, ModuleStringOfThirteenDigits)
{
    // d = 8: 11*8 + 55 = 143 modules, m = 284 div 143 = 1, margin (384 - 143) div 2 = 120.
    const std::string expected = std::string(130, '0') + StartCModules +
                                 "11100011010" // 59: 3 3 2 1 1 1
                                 "11001101100" // 1:  2 2 2 1 2 2
                                 "11101101110" // 23: 3 1 2 1 3 1
                                 "11000100010" // 41: 2 3 1 3 1 1
                                 "11101101110" // 23
                                 "10111011000" // 45: 1 1 3 1 2 3
                                 "10111101110" // 100: 1 1 4 1 3 1
                                 "11101101110" // 23
                                 "11001001110" // check 20: 2 2 1 2 3 1
                                 + Stop + std::string(10, '0');
    const Symbols s = encode("5901234123457");
    EXPECT_EQ(moduleWidth(8), 1);
    EXPECT_EQ(moduleString(s).toStdString(), expected);
    // m = 1: the row holds the modules as they are, the rest zero.
    const Row row = bitRow(s);
    for (int i = 0; i < RowBits; ++i)
        EXPECT_EQ(bit(row, i), i < int(expected.size()) && expected[i] == '1') << i;
}

TEST(Code128, BitRowRepeatsModules)
{
    // "ABC": d = 3, 88 modules, m = 284 div 88 = 3, margin (128 - 88) div 2 = 20.
    const std::string modules = std::string(30, '0') + StartBModules +
                                "10100011000" // 33: 1 1 1 3 2 3
                                "10001011000" // 34: 1 3 1 1 2 3
                                "10001000110" // 35: 1 3 1 3 2 1
                                "11001101100" // check 1: 2 2 2 1 2 2
                                + Stop + std::string(10, '0');
    const Symbols s = encode("ABC");
    ASSERT_EQ(moduleString(s).toStdString(), modules);
    const Row row = bitRow(s);
    ASSERT_EQ(modules.size() * 3, 324u);
    for (int i = 0; i < RowBits; ++i) {
        const bool expected = i < 324 && modules[i / 3] == '1';
        EXPECT_EQ(bit(row, i), expected) << i;
    }
    // Most significant bit first: bit 90 is the top bit of byte 11.
    EXPECT_EQ(row[11] & 0x04, 0x04); // bits 88..95: 0 0 1 1 1 1 1 1 -> 0x3F
    EXPECT_EQ(row[11], 0x3F);
}

TEST(Code128, NoBarsWhenEmptyTooLongOrNotAscii)
{
    EXPECT_FALSE(encode("").valid);
    EXPECT_TRUE(moduleString(encode("")).isEmpty());
    EXPECT_FALSE(encode(QByteArray("\xA3", 1)).valid); // cp1250 "Ł"
    // 20 letters: 275 modules fit (m = 1, margin 54); 21 letters: 286 do not.
    const Symbols fits = encode("ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(moduleWidth(20), 1);
    EXPECT_EQ(moduleString(fits).size(), 54 + 275);
    const Symbols tooLong = encode("ABCDEFGHIJKLMNOPQRSTU");
    EXPECT_TRUE(tooLong.valid);
    EXPECT_EQ(moduleWidth(21), 0);
    EXPECT_TRUE(moduleString(tooLong).isEmpty());
    const Row row = bitRow(tooLong);
    for (auto b : row)
        EXPECT_EQ(b, 0);
}

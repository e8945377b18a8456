#include "tables/receipttext.h"

#include <gtest/gtest.h>

using namespace receipt;

namespace {

Paragraph para(const QString& text, Align align = Align::Center, const QString& largeMask = {})
{
    Paragraph p;
    p.align = align;
    for (int i = 0; i < text.size(); ++i)
        p.text.append({text[i], (i < largeMask.size() && largeMask[i] == u'L')});
    return p;
}

TEST(ReceiptText, TwoCharactersCentred)
{
    EXPECT_EQ(printLine(para(QStringLiteral("AB"))),
              QByteArray(20, ' ') + "AB" + QByteArray(20, ' '));
}

TEST(ReceiptText, OddPadGoesToTheEnd)
{
    const QString t41(41, u'x');
    EXPECT_EQ(printLine(para(t41)), QByteArray(41, 'x') + ' ');
    EXPECT_EQ(printLine(para(QStringLiteral("abc"))),
              QByteArray(19, ' ') + "abc" + QByteArray(20, ' '));
}

TEST(ReceiptText, Alignments)
{
    EXPECT_EQ(printLine(para(QStringLiteral("ab"), Align::Left)), "ab" + QByteArray(40, ' '));
    EXPECT_EQ(printLine(para(QStringLiteral("ab"), Align::Right)), QByteArray(40, ' ') + "ab");
    EXPECT_EQ(printLine(para(QStringLiteral("żó"), Align::Left)), "\xBF\xF3" + QByteArray(40, ' '));
}

TEST(ReceiptText, LargeCharactersTakeTwoBytes)
{
    const QByteArray line =
        printLine(para(QStringLiteral("ABCd"), Align::Left, QStringLiteral("LLL")));
    EXPECT_EQ(line.left(7), QByteArray("\x01"
                                       "A"
                                       "\x01"
                                       "B"
                                       "\x01"
                                       "Cd"));
    EXPECT_EQ(line.size(), 42);
    EXPECT_EQ(line.count(' '), 35);
}

TEST(ReceiptText, OverlongLineIsCut)
{
    const QByteArray line =
        printLine(para(QString(41, u'x') + u'Y', Align::Left, QString(41, u' ') + u'L'));
    EXPECT_EQ(line, QByteArray(41, 'x') + ' '); // no lone 0x01 at the end
    EXPECT_EQ(printLine(para(QString(50, u'z'))), QByteArray(42, 'z'));
}

TEST(ReceiptText, HeaderBlockKeepsSixLines)
{
    QList<Paragraph> ps;
    for (int i = 0; i < 7; ++i)
        ps.append(para(QString::number(i), Align::Left));
    const Block header = buildBlock(ps, HeaderLines, {true, false, true});
    const QByteArray b = header.encode();
    ASSERT_EQ(b.size(), 259);
    EXPECT_EQ(b[252], 6);
    EXPECT_EQ(b.mid(5 * 42, 42), "5" + QByteArray(41, ' '));
    EXPECT_EQ(b.mid(253), QByteArray("\1\0\1\0\0\0", 6));
    EXPECT_EQ(Block::decode(b, HeaderLines), header);
    const Block footer = buildBlock(ps, FooterLines, {});
    ASSERT_EQ(footer.encode().size(), 130);
    EXPECT_EQ(footer.encode()[126], 3);
    EXPECT_EQ(footer.encode().mid(127), QByteArray(3, '\0'));
}

TEST(ReceiptText, ShortHeaderIsPaddedWithZeros)
{
    const QByteArray b = buildBlock({para(QStringLiteral("AB"))}, HeaderLines, {}).encode();
    EXPECT_EQ(b.mid(42, 210), QByteArray(210, '\0'));
    EXPECT_EQ(b[252], 1);
}

TEST(ReceiptText, HeaderFromRegisterDropsZeros)
{
    QByteArray block(259, '\0');
    block.replace(0, 4, QByteArray("Ab\0c", 4));
    block.replace(42, 3, "\x01Zx");
    const QStringList lines = headerLinesFromRegister(block);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("Abc"));
    EXPECT_EQ(lines[1], QStringLiteral("\u0001Zx"));
    EXPECT_EQ(lines[5], QString());
}

} // namespace

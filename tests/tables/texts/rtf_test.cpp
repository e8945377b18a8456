#include "tables/receipttext.h"
#include "tables/rtf.h"

#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using rtf::Align;

namespace {

QByteArray dataFile(const char* name)
{
    QFile f(QStringLiteral(TEXTS_DATA_DIR "/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

rtf::Paragraph para(Align align, std::initializer_list<rtf::Run> runs)
{
    rtf::Paragraph p;
    p.align = align;
    for (const rtf::Run& r : runs)
        p.append(r.text, r.halfPoints);
    return p;
}

} // namespace

TEST(Rtf, NotRtfIsRefused)
{
    EXPECT_FALSE(rtf::read(QByteArray("zwykły tekst")));
    EXPECT_FALSE(rtf::read(QByteArray()));
    EXPECT_FALSE(rtf::read(QByteArray("{\\rt")));
    EXPECT_TRUE(rtf::read(QByteArray("\xEF\xBB\xBF \r\n{\\rtf1 a}")));
}

TEST(Rtf, ParagraphsAlignmentAndSizes)
{
    const auto d = rtf::read(QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}"
                                        "\\pard\\qc\\fs20 AB\\fs40 C\\par"
                                        "\\pard\\qr right\\par"
                                        "\\pard left\\par}"));
    ASSERT_TRUE(d);
    ASSERT_EQ(d->paragraphs.size(), 3);
    EXPECT_EQ(d->paragraphs[0],
              para(Align::Center, {{QStringLiteral("AB"), 20}, {QStringLiteral("C"), 40}}));
    EXPECT_EQ(d->paragraphs[1], para(Align::Right, {{QStringLiteral("right"), 40}}));
    // \pard resets the paragraph, not the character size
    EXPECT_EQ(d->paragraphs[2].align, Align::Left);
    EXPECT_EQ(d->paragraphs[2].text(), QStringLiteral("left"));
}

TEST(Rtf, GroupsScopeSizesAndPlainResets)
{
    const auto d = rtf::read(QByteArray("{\\rtf1 {\\fs40 big}small\\fs30 x\\plain y}"));
    ASSERT_TRUE(d);
    ASSERT_EQ(d->paragraphs.size(), 1);
    EXPECT_EQ(d->paragraphs[0].runs, (QList<rtf::Run>{{QStringLiteral("big"), 40},
                                                      {QStringLiteral("small"), 24},
                                                      {QStringLiteral("x"), 30},
                                                      {QStringLiteral("y"), 24}}));
}

TEST(Rtf, Escapes)
{
    struct Case {
        const char* in;
        const char16_t* text;
    };
    const Case cases[] = {
        {"{\\rtf1\\ansi\\ansicpg1250 \\'bf\\'f3\\'b3w}", u"żółw"}, // cp1250 bytes
        {"{\\rtf1\\ansi \\'a3\\'f3d\\'9f}", u"Łódź"},              // no code page: cp1250
        {"{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80}", u"café €"}, // another code page
        {"{\\rtf1\\uc1 \\u322?\\u-3937?x}", u"ł\uF09Fx"},          // \uN, negative N
        {"{\\rtf1\\uc2 \\u380??y}", u"ży"},                        // two stand-ins
        {"{\\rtf1\\uc1 \\u321\\'3fa}", u"Ła"},                     // \'xx stand-in
        {"{\\rtf1\\uc0 \\u379 b}", u"Żb"},                         // no stand-in
        {"{\\rtf1 a\\{b\\}c\\\\d}", u"a{b}c\\d"},                  // symbols
        {"{\\rtf1 a\\tab b\\~c\\_d\\-e}", u"a b c-de"},            // tab, nbsp, hyphens
        {"{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet}",
         u"\u2014\u2013\u2018\u2019\u201C\u201D\u2022"},
        {"{\\rtf1 x{\\*\\unknowndest hidden}y{\\fonttbl{\\f0 Arial;}}z}", u"xyz"},
        {"{\\rtf1 {\\info{\\title T}}{\\pict 0a0b}{\\field{\\*\\fldinst HYPERLINK}{\\fldrslt "
         "link}}}",
         u"link"},
        {"{\\rtf1 a\\'01b\\'0dc}", u"abc"}, // control bytes would mark a large character
        // DEL is a control character too, whether raw, escaped or \uN: the writer leaves it out,
        // so the reader must not let it in.
        {"{\\rtf1 a\x7F"
         "b\\'7fc\\u127?d}",
         u"abcd"},
        {"{\\rtf1 a\r\nb}", u"ab"}, // line ends in the file are not text
    };
    for (const Case& c : cases) {
        const auto d = rtf::read(QByteArray(c.in));
        ASSERT_TRUE(d) << c.in;
        ASSERT_EQ(d->paragraphs.size(), 1) << c.in;
        EXPECT_EQ(d->paragraphs[0].text(), QString::fromUtf16(c.text)) << c.in;
    }
}

TEST(Rtf, LineBreaksEndLines)
{
    const auto d = rtf::read(QByteArray("{\\rtf1 a\\line b\\\nc\\par}"));
    ASSERT_TRUE(d);
    ASSERT_EQ(d->paragraphs.size(), 3);
    EXPECT_EQ(d->paragraphs[2].text(), QStringLiteral("c"));
    // Text after the last \par is a paragraph too; an empty tail is not.
    EXPECT_EQ(rtf::read(QByteArray("{\\rtf1 a\\par b}"))->paragraphs.size(), 2);
    EXPECT_EQ(rtf::read(QByteArray("{\\rtf1 a\\par }"))->paragraphs.size(), 1);
    EXPECT_EQ(rtf::read(QByteArray("{\\rtf1 \\par\\par}"))->paragraphs.size(), 2);
}

TEST(Rtf, BrokenInputNeverFails)
{
    const QByteArray broken[] = {
        "{\\rtf1 unbalanced {{{ text",
        "{\\rtf1 too many }}}}} closes",
        "{\\rtf1 \\'zz\\'4 \\' end\\",
        "{\\rtf1 \\fs99999999999999999999 huge \\u99999999999 \\uc-5 \\u",
        "{\\rtf1 \\fs-40 negative \\fs0 zero}",
        "{\\rtf1 \\averyveryveryveryverylongcontrolwordthatgoesonandon123 x}",
    };
    for (const QByteArray& b : broken)
        EXPECT_TRUE(rtf::read(b)) << b.constData();
    EXPECT_EQ(rtf::read(QByteArray("{\\rtf1 \\fs-40 n\\fs0 z}"))->paragraphs[0].runs,
              (QList<rtf::Run>{{QStringLiteral("nz"), 24}}));

    // Deep nesting: the text beyond the depth limit is dropped, the rest is read.
    QByteArray deep = "{\\rtf1 a";
    deep += QByteArray(100000, '{') + "x" + QByteArray(100000, '}') + "b}";
    const auto d = rtf::read(deep);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->paragraphs[0].text(), QStringLiteral("ab"));

    // Random bytes after the signature.
    QRandomGenerator rng(1234);
    for (int i = 0; i < 200; ++i) {
        QByteArray junk = "{\\rtf1 ";
        const int n = int(rng.bounded(400));
        for (int k = 0; k < n; ++k) {
            static const char alphabet[] = "{}\\'*uc0123456789abfsparqlr -\xB3\xF3\x01\n";
            junk += alphabet[rng.bounded(int(sizeof(alphabet) - 1))];
        }
        EXPECT_TRUE(rtf::read(junk));
    }
}

TEST(Rtf, WriterRoundTrip)
{
    rtf::Document d;
    d.paragraphs = {
        para(Align::Center, {{QStringLiteral("SKLEP "), 20}, {QStringLiteral("ŻÓŁW"), 40}}),
        para(Align::Right, {{QStringLiteral("a{b}c\\d \u20AC \u4E2D"), 20}}),
        para(Align::Left, {}),
        para(Align::Justify, {{QStringLiteral("  spaces  "), 40}}),
        para(Align::Center, {{QStringLiteral("\u0141\u00F3d\u017A"), 20}}),
    };
    const QByteArray written = rtf::write(d);
    // Polish letters go as cp1250 escapes, characters beyond it as \uN.
    EXPECT_TRUE(written.contains("\\'af\\'d3\\'a3W"));
    EXPECT_TRUE(written.contains("\\u20013?"));
    EXPECT_TRUE(written.contains("\\ansicpg1250"));
    const auto back = rtf::read(written);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, d);
    EXPECT_EQ(rtf::write(*back), written);

    // A tab has no place on a print line: it is written as \tab and read back as a space.
    rtf::Document tab;
    tab.paragraphs = {para(Align::Left, {{QStringLiteral("a\tb"), 20}})};
    EXPECT_TRUE(rtf::write(tab).contains("a\\tab b"));
    EXPECT_EQ(rtf::read(rtf::write(tab))->paragraphs[0].text(), QStringLiteral("a b"));
}

TEST(Rtf, LibreOfficeHeaderSample)
{
    const auto d = rtf::read(dataFile("naglowek.rtf"));
    ASSERT_TRUE(d);
    ASSERT_EQ(d->paragraphs.size(), 4);
    EXPECT_EQ(d->paragraphs[0], para(Align::Center, {{QStringLiteral("SKLEP "), 20},
                                                     {QStringLiteral("ŻABKA"), 40},
                                                     {QStringLiteral(" s.c."), 20}}));
    EXPECT_EQ(d->paragraphs[1],
              para(Align::Center, {{QStringLiteral("ul. Źródlana 5, 00-950 Łódź"), 20}}));
    EXPECT_EQ(d->paragraphs[2], para(Align::Right, {{QStringLiteral("NIP 123-456-78-90"), 20}}));
    EXPECT_EQ(d->paragraphs[3], para(Align::Left, {{QStringLiteral("ZAPRASZAMY"), 40}}));

    // As print lines: the large letters of "ŻABKA" each take the marker byte.
    const QList<receipt::Paragraph> lines = receipt::paragraphsFromRtf(*d);
    const receipt::Block b = receipt::buildBlock(lines, receipt::HeaderLines, {});
    EXPECT_EQ(b.lineCount, 4);
    // "SKLEP " + 5 x (01 letter) + " s.c." = 6 + 10 + 5 = 21 bytes, 21 spaces of padding:
    // 11 at the end, 10 at the front.
    EXPECT_EQ(b.lines.left(42), QByteArray(10, ' ') +
                                    "SKLEP \x01\xAF\x01"
                                    "A\x01"
                                    "B\x01"
                                    "K\x01"
                                    "A s.c." +
                                    QByteArray(11, ' '));
    EXPECT_EQ(b.lines.mid(84, 42), QByteArray(25, ' ') + "NIP 123-456-78-90");
    EXPECT_EQ(b.lines.mid(126, 42), "\x01Z\x01"
                                    "A\x01P\x01R\x01"
                                    "A\x01S\x01Z\x01"
                                    "A\x01M\x01Y" +
                                        QByteArray(22, ' '));
    EXPECT_EQ(b.lines.mid(168), QByteArray(84, '\0'));
}

TEST(Rtf, LibreOfficeFooterSampleFromPlainText)
{
    const auto d = rtf::read(dataFile("stopka.rtf"));
    ASSERT_TRUE(d);
    ASSERT_EQ(d->paragraphs.size(), 3);
    EXPECT_EQ(d->paragraphs[0], para(Align::Left, {{QStringLiteral("Dziękujemy za zakupy!"), 20}}));
    EXPECT_EQ(d->paragraphs[1].text(), QStringLiteral("Zapraszamy ponownie – również w niedzielę"));
    // The euro sign stands in a group of its own; the paragraph's size holds there too.
    EXPECT_EQ(d->paragraphs[2], para(Align::Left, {{QStringLiteral("€ 100% zadowolenia"), 20}}));
    for (const rtf::Paragraph& p : d->paragraphs)
        for (const rtf::Run& r : p.runs)
            EXPECT_FALSE(receipt::isLargeSize(r.halfPoints / 2.0));
}

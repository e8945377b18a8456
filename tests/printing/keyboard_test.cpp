#include "printing/keyboard.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace keyboard;

namespace {
// Text is measured and drawn only under a GUI application (the widget test build has one).
bool haveGuiApp()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance());
}
} // namespace

TEST(Keyboard, DefaultTexts)
{
    struct Row {
        int key;
        const char16_t *upper, *middle, *lower;
    };
    const Row rows[] = {
        {0, u"", u"F3", u"F8"},
        {1, u"", u"F4", u"F9"},
        {2, u"", u"F5", u"F10"},
        {3, u"ILOŚĆ", u"", u""},
        {4, u"CENA", u"", u""},
        {5, u"", u"F2", u"F7"},
        {6, u"SYMBOLE", u"7", u"WALUTA"},
        {7, u"ABC", u"8", u"WPŁ/WYP"},
        {8, u"DEF", u"9", u"NIP"},
        {9, u"A/a", u"", u""},
        {10, u"", u"F1", u"F6"},
        {11, u"GHI", u"4", u"PŁATNOŚCI"},
        {12, u"JKL", u"5", u"STORNO"},
        {13, u"MNO", u"6", u"ANULUJ"},
        {14, u"", u"", u""},
        {15, u"", u"F", u"FUNKCJE"},
        {16, u"PQRS", u"1", u"RABAT"},
        {17, u"TUV", u"2", u"NARZUT"},
        {18, u"WXYZ", u"3", u"KAUCJA"},
        {19, u"", u"KOD", u""},
        {20, u"", u"C", u""},
        {21, u"SPACJA", u"0", u"SZUFLADA"},
        {22, u"", u",", u"PAPIER"},
        {23, u"", u"RAZEM", u""},
    };
    const Design d = defaultDesign();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.key);
        const KeyTemplate& k = d.keys[r.key];
        EXPECT_EQ(k.upper, QString::fromUtf16(r.upper));
        EXPECT_EQ(k.middle, QString::fromUtf16(r.middle));
        EXPECT_EQ(k.lower, QString::fromUtf16(r.lower));
        EXPECT_EQ(k.upperColor, QColor(Qt::black));
        EXPECT_EQ(k.middleColor, QColor(Qt::black));
        EXPECT_EQ(k.lowerColor, QColor(Qt::black));
        EXPECT_EQ(k.background, QColor(Qt::white));
    }
    for (const QColor& c : d.arrowColors)
        EXPECT_EQ(c, QColor(Qt::black));
    EXPECT_EQ(arrowIndex(3), 0);
    EXPECT_EQ(arrowIndex(4), 1);
    EXPECT_EQ(arrowIndex(9), 2);
    EXPECT_EQ(arrowIndex(14), 3);
    EXPECT_EQ(arrowIndex(5), -1);
}

TEST(Keyboard, KeySizesAtPrinterResolution)
{
    struct Case {
        int dpi, cell, wide;
    };
    // 600 dpi: 23.622 px/mm, 13 mm = 307.09 -> 307, 31 mm = 732.28 -> 732
    // 300 dpi: 11.811 px/mm, 13 mm = 153.54 -> 153, 31 mm = 366.14 -> 366
    // 1200 dpi: 47.244 px/mm, 13 mm = 614.17 -> 614, 31 mm = 1464.57 -> 1464
    for (const Case c : {Case{600, 307, 732}, Case{300, 153, 366}, Case{1200, 614, 1464}}) {
        const Geometry g = geometry(c.dpi);
        EXPECT_EQ(g.cell, c.cell);
        EXPECT_EQ(g.wideWidth, c.wide);
        EXPECT_EQ(g.key(0), QRect(100, 100, c.cell, c.cell));
        EXPECT_EQ(g.key(7), QRect(100 + 2 * c.cell, 100 + c.cell, c.cell, c.cell));
        EXPECT_EQ(g.key(19), QRect(100 + 4 * c.cell, 100 + 3 * c.cell, c.cell, c.cell));
        EXPECT_EQ(g.key(20), QRect(100, 100 + 4 * c.cell, c.cell, c.cell));
        EXPECT_EQ(g.key(22), QRect(100 + 2 * c.cell, 100 + 4 * c.cell, c.cell, c.cell));
        EXPECT_EQ(g.key(23), QRect(100 + 3 * c.cell, 100 + 4 * c.cell, c.wide, c.cell));
    }
}

TEST(Keyboard, ApplyAndCopyColours)
{
    Design d = defaultDesign();
    KeyTemplate v;
    v.upper = QStringLiteral("ABCDEFGHIJKL"); // cut to 10
    v.middleColor = Qt::red;
    v.background = Qt::yellow;
    d.apply(9, v);
    EXPECT_EQ(d.keys[9].upper, QStringLiteral("ABCDEFGHIJ"));
    EXPECT_EQ(d.keys[9].background, QColor(Qt::yellow));
    EXPECT_EQ(d.arrowColors[2], QColor(Qt::red));
    EXPECT_EQ(d.arrowColors[0], QColor(Qt::black));
    d.apply(24, v); // no such key: nothing happens
    d.apply(-1, v);

    // The cleared editor: black texts, white swatches -> white arrows.
    const KeyTemplate cleared;
    d.copyColors(cleared, Qt::white);
    for (const KeyTemplate& k : d.keys) {
        EXPECT_EQ(k.upperColor, QColor(Qt::black));
        EXPECT_EQ(k.middleColor, QColor(Qt::black));
        EXPECT_EQ(k.lowerColor, QColor(Qt::black));
        EXPECT_EQ(k.background, QColor(Qt::white));
    }
    for (const QColor& c : d.arrowColors)
        EXPECT_EQ(c, QColor(Qt::white));
    EXPECT_EQ(d.keys[9].upper, QStringLiteral("ABCDEFGHIJ")); // texts stay
}

TEST(Keyboard, DesignFileRoundTrip)
{
    QTemporaryDir dir;
    Design d = defaultDesign();
    d.keys[6].upper = QStringLiteral("ŻÓŁĆ;\"x\"");
    d.keys[6].lowerColor = QColor(0x12, 0x34, 0x56);
    d.keys[23].background = QColor(0xAB, 0xCD, 0xEF);
    d.arrowColors[3] = Qt::blue;
    const QString path = dir.filePath(QStringLiteral("sklep.json"));
    ASSERT_EQ(save(path, d), QString());
    Design back;
    ASSERT_EQ(load(path, back), QString());
    for (int k = 0; k < KeyCount; ++k) {
        EXPECT_EQ(back.keys[k].upper, d.keys[k].upper);
        EXPECT_EQ(back.keys[k].middle, d.keys[k].middle);
        EXPECT_EQ(back.keys[k].lower, d.keys[k].lower);
        EXPECT_EQ(back.keys[k].upperColor, d.keys[k].upperColor);
        EXPECT_EQ(back.keys[k].middleColor, d.keys[k].middleColor);
        EXPECT_EQ(back.keys[k].lowerColor, d.keys[k].lowerColor);
        EXPECT_EQ(back.keys[k].background, d.keys[k].background);
    }
    EXPECT_EQ(back.arrowColors, d.arrowColors);
}

TEST(Keyboard, BadDesignFilesLeaveTheDesignAlone)
{
    const QString bad = QStringLiteral("Plik nie zawiera szablonu klawiatury.");
    QByteArray good = serialize(defaultDesign());
    const QByteArray inputs[] = {
        "",
        "not json",
        "[]",
        QByteArray(good).replace("vduno-klawiatura", "inny"),
        QByteArray(good).replace("\"F3\"", "\"F3456789012\""), // 11 characters
        QByteArray(good).replace("\"#000000\"", "\"zielony?\""),
        QByteArray(good).replace("\"F3\"", "3"),
    };
    for (const QByteArray& in : inputs) {
        Design d = defaultDesign();
        d.keys[0].upper = QStringLiteral("X");
        EXPECT_EQ(deserialize(in, d), bad) << in.left(40).toStdString();
        EXPECT_EQ(d.keys[0].upper, QStringLiteral("X"));
    }
    Design d;
    EXPECT_EQ(load(QStringLiteral("/nonexistent/dir/x.json"), d),
              QStringLiteral("Nie można otworzyć pliku /nonexistent/dir/x.json"));
    EXPECT_EQ(save(QStringLiteral("/nonexistent/dir/x.json"), d),
              QStringLiteral("Nie można zapisać pliku /nonexistent/dir/x.json"));
}

TEST(Keyboard, PrintedTemplateColours)
{
    if (!haveGuiApp())
        GTEST_SKIP() << "needs a GUI application";
    QImage page(2480, 3508, QImage::Format_RGB32);
    page.setDotsPerMeterX(11811); // 300 dpi
    page.setDotsPerMeterY(11811);
    page.fill(Qt::gray);
    Design d = defaultDesign();
    d.keys[12].background = Qt::green;
    d.arrowColors[0] = Qt::red; // key 3
    {
        QPainter painter(&page);
        paint(painter, page, d);
    }
    const Geometry g = geometry(300);
    // Near the corner of key 12: its background; key 0: white; outside: untouched.
    const QRect k12 = g.key(12);
    EXPECT_EQ(page.pixel(k12.left() + 4, k12.top() + 4), QColor(Qt::green).rgb());
    EXPECT_EQ(page.pixel(g.key(0).left() + 4, g.key(0).top() + 4), QColor(Qt::white).rgb());
    EXPECT_EQ(page.pixel(50, 50), QColor(Qt::gray).rgb());
    // The wide key reaches 31 mm.
    const QRect k23 = g.key(23);
    EXPECT_EQ(page.pixel(k23.right() - 4, k23.top() + 4), QColor(Qt::white).rgb());
    EXPECT_EQ(page.pixel(k23.right() + 6, k23.top() + 4), QColor(Qt::gray).rgb());
    // The arrow glyph is drawn in its own colour in the centre of key 3.
    EXPECT_EQ(page.pixel(g.key(3).center()), QColor(Qt::red).rgb());
}

TEST(Keyboard, LongTextsShrinkToTheirCell)
{
    if (!haveGuiApp())
        GTEST_SKIP() << "needs a GUI application";
    QImage page(1240, 1754, QImage::Format_RGB32);
    page.setDotsPerMeterX(11811); // 300 dpi: cells of 153 px
    page.setDotsPerMeterY(11811);
    page.fill(Qt::white);
    Design d = defaultDesign();
    d.keys[5].lower = QStringLiteral("WWWWWWWWWW");
    d.keys[6].lower.clear();
    d.keys[5].middle = QStringLiteral("MMMMMMMMMM");
    d.keys[6].middle.clear();
    d.keys[6].upper.clear();
    {
        QPainter painter(&page);
        paint(painter, page, d);
    }
    const Geometry g = geometry(300);
    const QRect k6 = g.key(6);
    // Nothing of key 5's texts reaches into key 6, whose own texts are empty.
    int dark = 0;
    for (int y = k6.top() + 2; y < k6.bottom() - 1; ++y)
        for (int x = k6.left() + 2; x < k6.right() - 1; ++x)
            dark += qGray(page.pixel(x, y)) < 128;
    EXPECT_EQ(dark, 0);
    // ... and the texts are there inside key 5.
    const QRect k5 = g.key(5);
    int inKey5 = 0;
    for (int y = k5.top() + 2; y < k5.bottom() - 1; ++y)
        for (int x = k5.left() + 2; x < k5.right() - 1; ++x)
            inKey5 += qGray(page.pixel(x, y)) < 128;
    EXPECT_GT(inKey5, 100);
}

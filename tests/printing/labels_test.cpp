#include "printing/code128.h"
#include "printing/labels.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

#include <gtest/gtest.h>

using namespace labels;

namespace {

QByteArray articleRecord(int number, const QByteArray& name, char vat, qint32 price,
                         const QByteArray& barcode13)
{
    QByteArray r(ArticleRecordSize, '\0');
    r[0] = char(number & 0xFF);
    r[1] = char(number >> 8);
    r.replace(2, name.size(), name);
    r[44] = vat;
    for (int i = 0; i < 4; ++i)
        r[45 + i] = char((quint32(price) >> (8 * i)) & 0xFF);
    r.replace(49, barcode13.size(), barcode13);
    return r;
}

QByteArray table(const std::vector<std::pair<int, QByteArray>>& records)
{
    QByteArray t(ArticleCount * ArticleRecordSize, '\0');
    for (const auto& [n, r] : records)
        t.replace((n - 1) * ArticleRecordSize, ArticleRecordSize, r);
    return t;
}

} // namespace

namespace {
// Text is measured and drawn only under a GUI application (the widget test build has one).
bool haveGuiApp()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance());
}
} // namespace

TEST(Labels, ArticlesAndListLines)
{
    const QByteArray longName = "Czekolada mleczna z orzechami 100 g"; // 35 characters
    const QByteArray t = table({
        {1, articleRecord(1, "Mleko", 'A', 1250, "0005901234123")},
        {7, articleRecord(7, longName, 'B', 5, "0000000000000")},
        // "Łyżka" in cp1250
        {2000, articleRecord(2000, QByteArray("\xA3y\xBFka"), 'G', 99999999, "1234567890123")},
    });
    const std::vector<LabelArticle> list = articlesFromTable(t);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].number, 1);
    EXPECT_EQ(list[0].barcode, QByteArray("0005901234123"));
    EXPECT_EQ(list[1].name, QString::fromLatin1(longName));
    EXPECT_EQ(list[2].name, QStringLiteral("Łyżka"));
    // number + ". " right-aligned to 6, name cut or padded to 20, " ", price right-aligned
    // to 10, " ", VAT letter
    EXPECT_EQ(listLine(list[0]), QStringLiteral("   1. ") + QStringLiteral("Mleko               ") +
                                     QStringLiteral(" ") + QStringLiteral("     12,50") +
                                     QStringLiteral(" A"));
    EXPECT_EQ(listLine(list[1]), QStringLiteral("   7. ") + QStringLiteral("Czekolada mleczna z ") +
                                     QStringLiteral(" ") + QStringLiteral("      0,05") +
                                     QStringLiteral(" B"));
    EXPECT_EQ(listLine(list[2]), QStringLiteral("2000. ") + QStringLiteral("Łyżka               ") +
                                     QStringLiteral(" ") + QStringLiteral(" 999999,99") +
                                     QStringLiteral(" G"));
}

TEST(Labels, OnlyTheSlotNumberBytesMarkAnOccupiedSlot)
{
    QByteArray t(3 * ArticleRecordSize, '\0');
    t[ArticleRecordSize + 1] = 1;       // slot 2: high byte only
    t[2 * ArticleRecordSize + 2] = 'X'; // slot 3: a name but number 0
    const auto list = articlesFromTable(t);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].number, 2);
}

struct BreakCase {
    int dpi, pageHeight, barMm, nameHeight, count;
    std::vector<std::pair<int, int>> pageAndTop;
};

TEST(Labels, PageBreaks)
{
    // 600 dpi: 23.622 px/mm; bar 20 mm = 472 px; pitch 35 mm = 826.77 px. After slot s the
    // next label must end above s*826.77 + 200 + 472 + 15 + 2*100: fits for s = 7 (6674),
    // not for s = 8 (7501 > 7016): eight labels a page.
    std::vector<std::pair<int, int>> nine = {{0, 200},  {0, 1026}, {0, 1853}, {0, 2680}, {0, 3507},
                                             {0, 4333}, {0, 5160}, {0, 5987}, {1, 200}};
    // 300 dpi, A4 3508 px high, bar 70 mm = 826 px, pitch 85 mm = 1003.9 px:
    // s = 2: 2007.87 + 200 + 826 + 15 + 100 = 3148 fits; s = 3: 4152 does not.
    std::vector<std::pair<int, int>> tall = {{0, 200}, {0, 1203}, {0, 2207},
                                             {1, 200}, {1, 1203}, {1, 2207}};
    const BreakCase cases[] = {
        {600, 7016, 20, 100, 9, nine},
        {600, 7016, 20, 100, 8, {nine.begin(), nine.begin() + 8}},
        {300, 3508, 70, 50, 6, tall},
        {300, 3508, 5, 50, 1, {{0, 200}}},
    };
    for (const BreakCase& c : cases) {
        SCOPED_TRACE(c.count);
        Settings s;
        s.barHeightMm = c.barMm;
        const Geometry g{4960, c.pageHeight, pixelsPerMm(c.dpi)};
        const std::vector<Placement> p = layout(c.count, s, g, c.nameHeight);
        ASSERT_EQ(p.size(), c.pageAndTop.size());
        for (std::size_t i = 0; i < p.size(); ++i) {
            EXPECT_EQ(p[i].page, c.pageAndTop[i].first) << i;
            EXPECT_EQ(p[i].top, c.pageAndTop[i].second) << i;
            EXPECT_EQ(p[i].barHeight, static_cast<int>(c.barMm * pixelsPerMm(c.dpi)));
        }
    }
    // The last label of a full page does not open an empty page.
    Settings s;
    EXPECT_EQ(pageCount(layout(16, s, {4960, 7016, pixelsPerMm(600)}, 100)), 2);
    EXPECT_EQ(pageCount(layout(17, s, {4960, 7016, pixelsPerMm(600)}, 100)), 3);
    EXPECT_EQ(pageCount(layout(0, s, {4960, 7016, pixelsPerMm(600)}, 100)), 0);
}

TEST(Labels, BarPositions)
{
    // "ABC": m = 3, the first set bit is bit 90 and lies at page width / 2 - 600.
    const Bars bars = barPositions("ABC", 4960);
    ASSERT_FALSE(bars.xs.empty());
    EXPECT_EQ(bars.penWidth, 10);
    EXPECT_EQ(bars.xs[0], 2480 - 600);
    EXPECT_EQ(bars.xs[1], 2480 - 590);
    // Start B "110100..." times 3: bits 90..95 set, then 99..101
    EXPECT_EQ(bars.xs[6], 1880 + 90);
    // The stop pattern ends in bit (30 + 55 + 13) * 3 - 1 = 293: span 204 bits.
    EXPECT_EQ(bars.xs.back(), 1880 + 2030);
    EXPECT_TRUE(barPositions("", 4960).xs.empty());
    EXPECT_TRUE(barPositions("ABCDEFGHIJKLMNOPQRSTU", 4960).xs.empty());

    // At 300 dpi (2480 px) it would run past the edge: centred, same module width.
    const Bars narrow = barPositions("ABC", 2480);
    EXPECT_EQ(narrow.penWidth, 10);
    EXPECT_EQ(narrow.xs[0], (2480 - 2040) / 2);
    // At 150 dpi (1240 px) 204 bits of 10 px do not fit: 6 px each, centred.
    const Bars tiny = barPositions("ABC", 1240);
    EXPECT_EQ(tiny.penWidth, 6);
    EXPECT_EQ(tiny.xs[0], (1240 - 204 * 6) / 2);
    EXPECT_EQ(tiny.xs.back(), tiny.xs[0] + 203 * 6);
}

TEST(Labels, PaintedBarsFollowTheModules)
{
    if (!haveGuiApp())
        GTEST_SKIP() << "needs a GUI application";
    // A 300 dpi page image: scan across the middle of the bars, one sample per 10 px.
    QImage page(2480, 3508, QImage::Format_RGB32);
    page.setDotsPerMeterX(11811);
    page.setDotsPerMeterY(11811);
    page.fill(Qt::white);
    QPainter painter(&page);
    int newPages = 0;
    ASSERT_TRUE(paint(painter, page, {{"5901234123457", QStringLiteral("Mleko")}}, Settings{},
                      [&] { return ++newPages, true; }));
    painter.end();
    EXPECT_EQ(newPages, 0);
    const int y = 200 + 100; // bars from 200 to 200 + 236
    const code128::Symbols s = code128::encode("5901234123457");
    const QByteArray modules = code128::moduleString(s);
    const int first = int(modules.indexOf('1'));
    const int last = int(modules.lastIndexOf('1'));
    for (int i = first; i <= last; ++i) {
        const int x = 1240 - 600 + 10 * (i - first);
        const bool dark = qGray(page.pixel(x, y)) < 128;
        EXPECT_EQ(dark, modules[i] == '1') << i;
    }
    EXPECT_GT(qGray(page.pixel(1240 - 620, y)), 128);
    // nothing above the label top
    EXPECT_GT(qGray(page.pixel(1240, 190)), 128);
}

// A barcode reader must read every printed label back as the article's barcode.
TEST(Labels, ReaderDecodesPrintedPage)
{
    if (!haveGuiApp())
        GTEST_SKIP() << "needs a GUI application";
    const QString zbarimg = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zbarimg.isEmpty())
        GTEST_SKIP() << "zbarimg (zbar-tools) is not installed";
    const std::vector<Label> sheet = {
        {"5901234123457", QStringLiteral("Mleko")}, {"0000000000123", QStringLiteral("Chleb")},
        {"ABC", QStringLiteral("Masło")},           {"Ab12345", QStringLiteral("Ser")},
        {"X123456", QStringLiteral("Kawa")},        {"12345", QStringLiteral("Herbata")},
        {"abc", QStringLiteral("Cukier")},          {"Kod-128/x", QStringLiteral("Sól")},
        {"2000000000015", QStringLiteral("Jaja")},  {"PL 77", QStringLiteral("Ryż")},
        {"9{}|~", QStringLiteral("Mąka")},          {"1234567890", QStringLiteral("Olej")},
    };
    QTemporaryDir dir;
    std::vector<QImage> pages;
    auto newPage = [&] {
        pages.emplace_back(2480, 3508, QImage::Format_RGB32); // A4 at 300 dpi
        pages.back().setDotsPerMeterX(11811);
        pages.back().setDotsPerMeterY(11811);
        pages.back().fill(Qt::white);
    };
    newPage();
    {
        auto painter = std::make_unique<QPainter>(&pages.back());
        Settings settings;
        settings.barHeightMm = 15;
        ASSERT_TRUE(paint(*painter, pages.back(), sheet, settings, [&] {
            painter->end();
            newPage();
            return painter->begin(&pages.back());
        }));
    }
    // 15 mm bars at 300 dpi: pitch 30 mm = 354.3 px; after nine labels the tenth would end
    // at 9 * 354.3 + 200 + 177 + 15 + 2 * text height > 3508: two pages.
    EXPECT_EQ(pages.size(), 2u);
    QStringList decoded;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const QString png = dir.filePath(QStringLiteral("strona%1.png").arg(i));
        ASSERT_TRUE(pages[i].save(png));
        QProcess zbar;
        zbar.start(zbarimg, {QStringLiteral("--raw"), QStringLiteral("-q"),
                             QStringLiteral("-Sdisable"), QStringLiteral("-Scode128.enable"), png});
        ASSERT_TRUE(zbar.waitForFinished(60000));
        decoded += QString::fromLatin1(zbar.readAllStandardOutput())
                       .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QStringList expected;
    for (const Label& l : sheet)
        expected << QString::fromLatin1(l.barcode);
    decoded.sort();
    expected.sort();
    EXPECT_EQ(decoded, expected);
}

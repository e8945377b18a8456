#include "printing/articlelistprint.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::vector<articleprint::Row> rows(int count)
{
    std::vector<articleprint::Row> list;
    for (int n = 1; n <= count; ++n)
        list.push_back({n, QStringLiteral("Towar ") + QString::number(n), 100 * n, u'A', n % 2 == 0,
                        QStringLiteral("0000000000000")});
    return list;
}

int pdfPages(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(f.readAll());
    return int(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

} // namespace

TEST(ArticleListPrint, RowsPerPageFollowTheRowPitch)
{
    articleprint::Metrics m;
    m.pageHeight = 14031;
    m.H = 190;
    // pitch 335: (r + 5) * 335 + 105 stays within 14031 up to r = 36, so the page ends after
    // row 37.
    EXPECT_EQ(m.pitch(), 335);
    EXPECT_EQ(m.rowsPerPage(), 37);
    EXPECT_EQ(articleprint::pageCount(0, m), 1);
    EXPECT_EQ(articleprint::pageCount(37, m), 1);
    EXPECT_EQ(articleprint::pageCount(38, m), 2);
    EXPECT_EQ(articleprint::pageCount(2000, m), 55); // 54 full pages and 2 rows
    m.pageHeight = 100;                              // even a tiny page holds one row
    EXPECT_EQ(m.rowsPerPage(), 1);
    EXPECT_EQ(articleprint::priceKind(true), QStringLiteral("sztywna"));
    EXPECT_EQ(articleprint::priceKind(false), QStringLiteral("ruchoma"));
}

TEST(ArticleListPrint, TwoThousandArticlesToPdfGiveThePageCount)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("baza.pdf"));
    int expected = 0;
    int painted = 0;
    {
        QPdfWriter pdf(path);
        pdf.setResolution(600);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        const articleprint::Metrics m = articleprint::metricsFor(pdf);
        expected = articleprint::pageCount(2000, m);
        QPainter painter(&pdf);
        painted = articleprint::paint(painter, pdf, rows(2000));
    }
    EXPECT_GT(expected, 1);
    EXPECT_EQ(painted, expected);
    EXPECT_EQ(pdfPages(path), expected);
}

#include "articlelistprint.h"

#include "common/amount.h"

#include <QFont>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>

namespace articleprint {

namespace {

QFont listFont(bool bold = false)
{
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(bold);
    return font;
}

// Texts are placed by their top edge.
void textAt(QPainter& p, int x, int top, const QString& text)
{
    p.drawText(QPoint(x, top + p.fontMetrics().ascent()), text);
}

} // namespace

int Metrics::rowsPerPage() const
{
    int r = 1;
    while ((r + 5) * pitch() + 105 <= pageHeight)
        ++r;
    return r;
}

int pageCount(int articles, const Metrics& m)
{
    if (articles <= 0)
        return 1;
    const int per = m.rowsPerPage();
    return (articles + per - 1) / per;
}

Metrics metricsFor(QPagedPaintDevice& device)
{
    const QFontMetrics fm(listFont(), &device);
    Metrics m;
    m.pageWidth = device.width();
    m.pageHeight = device.height();
    m.W = fm.horizontalAdvance(u'W');
    m.H = fm.height();
    return m;
}

QString priceKind(bool fixedPrice)
{
    return fixedPrice ? QStringLiteral("sztywna") : QStringLiteral("ruchoma");
}

int paint(QPainter& painter, QPagedPaintDevice& device, const std::vector<Row>& rows)
{
    const Metrics m = metricsFor(device);
    const int pitch = m.pitch();
    const int pages = pageCount(int(rows.size()), m);
    const int perPage = m.rowsPerPage();
    const int titleX = m.pageWidth / 2 - 10 * m.W;
    const int colName = 80 + 5 * m.W;
    const int colPrice = m.pageWidth - 43 * m.W;
    const int colVat = m.pageWidth - 33 * m.W;
    const int colKind = m.pageWidth - 29 * m.W;
    const int colBarcode = m.pageWidth - 15 * m.W;

    size_t next = 0;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            device.newPage();
        painter.setFont(listFont(true));
        textAt(painter, titleX, 80, QStringLiteral("BAZA TOWAROWA"));
        painter.setFont(listFont());
        const int headY = pitch + 105;
        textAt(painter, 80, headY, QStringLiteral("PLU"));
        textAt(painter, colName, headY, QStringLiteral("Nazwa"));
        textAt(painter, colPrice, headY, QStringLiteral("Cena"));
        textAt(painter, colVat, headY, QStringLiteral("PTU"));
        textAt(painter, colKind, headY, QStringLiteral("Rodzaj ceny"));
        textAt(painter, colBarcode, headY, QStringLiteral("Kod kreskowy"));
        int r = 1;
        for (; r <= perPage && next < rows.size(); ++r, ++next) {
            const Row& row = rows[next];
            const int y = (r + 1) * pitch + 105;
            const int ruleY = (r + 1) * pitch + 78;
            painter.drawLine(0, ruleY, m.pageWidth - 10, ruleY);
            textAt(painter, 80, y, QString::number(row.number));
            textAt(painter, colName, y, row.name);
            textAt(painter, colPrice, y, amount::text(row.price));
            textAt(painter, colVat, y, QString(row.vat));
            textAt(painter, colKind, y, priceKind(row.fixedPrice));
            textAt(painter, colBarcode, y, row.barcode);
        }
        textAt(painter, titleX, (r + 1) * pitch + 105,
               QStringLiteral("Strona: ") + QString::number(page) + u'/' + QString::number(pages));
    }
    return pages;
}

} // namespace articleprint

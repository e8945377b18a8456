#include "labels.h"

#include "code128.h"
#include "common/amount.h"
#include "common/cp1250.h"
#include "common/filegroup.h"
#include "tables/articlerecord.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>

#include <algorithm>

namespace labels {

namespace {

QFont labelFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(12);
    return font;
}

} // namespace

std::vector<LabelArticle> articlesFromTable(QByteArrayView table)
{
    std::vector<LabelArticle> out;
    const qsizetype slotCount =
        std::min<qsizetype>(ArticleCount, table.size() / ArticleRecord::Size);
    for (qsizetype n = 0; n < slotCount; ++n) {
        const QByteArrayView bytes = table.sliced(n * ArticleRecord::Size, ArticleRecord::Size);
        if (!ArticleRecord::used(bytes))
            continue;
        const ArticleRecord r = ArticleRecord::decode(bytes);
        LabelArticle a;
        a.number = static_cast<int>(n + 1); // the slot, whatever the number bytes say
        a.name = r.name;
        a.vatLetter = cp1250::decode(QByteArrayView(&r.vat, 1));
        a.price = r.price;
        // The barcode field up to its first 0, as the register stores it (digits only).
        a.barcode = cp1250::encode(r.barcode);
        out.push_back(std::move(a));
    }
    return out;
}

QString listLine(const LabelArticle& a)
{
    const QString name = a.name.left(20).leftJustified(20, QLatin1Char(' '));
    return QString(QString::number(a.number) + QStringLiteral(". "))
               .rightJustified(6, QLatin1Char(' ')) +
           name + QLatin1Char(' ') + amount::text(a.price).rightJustified(10, QLatin1Char(' ')) +
           QLatin1Char(' ') + a.vatLetter;
}

std::vector<Placement> layout(int count, const Settings& settings, const Geometry& g,
                              int nameHeight)
{
    std::vector<Placement> out;
    const int barPx = static_cast<int>(settings.barHeightMm * g.pixelsPerMm);
    const double step = g.pixelsPerMm * settings.pitchMm();
    int page = 0;
    int slot = 0;
    for (int i = 0; i < count; ++i) {
        out.push_back({page, static_cast<int>(slot * step + 200), barPx});
        ++slot;
        if (g.pageHeight < static_cast<int>(slot * step + 200 + barPx + 15 + 2 * nameHeight)) {
            if (i + 1 < count)
                ++page;
            slot = 0;
        }
    }
    return out;
}

Bars barPositions(const QByteArray& barcode, int pageWidth)
{
    Bars bars;
    const code128::Row row = code128::bitRow(code128::encode(barcode));
    int first = -1;
    int last = -1;
    for (int i = 0; i < code128::RowBits; ++i) {
        if (code128::bit(row, i)) {
            last = i;
            if (first < 0)
                first = i;
        }
    }
    if (first < 0)
        return bars;
    const int span = last - first + 1;
    int step = 10;
    int x0 = pageWidth / 2 - 600;
    if (x0 + span * step > pageWidth) {
        step = std::clamp(pageWidth / span, 1, 10);
        x0 = std::max(0, (pageWidth - span * step) / 2);
    }
    bars.penWidth = step;
    for (int i = first; i <= last; ++i)
        if (code128::bit(row, i))
            bars.xs.push_back(x0 + step * (i - first));
    return bars;
}

bool paint(QPainter& painter, QPagedPaintDevice& device, const std::vector<Label>& list,
           const Settings& settings)
{
    return paint(painter, device, list, settings, [&device] { return device.newPage(); });
}

bool paint(QPainter& painter, const QPaintDevice& device, const std::vector<Label>& list,
           const Settings& settings, const std::function<bool()>& newPage)
{
    Geometry g;
    g.pageWidth = device.width();
    g.pageHeight = device.height();
    g.pixelsPerMm = pixelsPerMm(device.logicalDpiX());
    painter.setFont(labelFont());
    const QFontMetrics fm(painter.font(), &device);
    const std::vector<Placement> places =
        layout(static_cast<int>(list.size()), settings, g, fm.height());
    int page = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Placement& at = places[i];
        if (at.page != page) {
            if (!newPage())
                return false;
            page = at.page;
        }
        const Bars bars = barPositions(list[i].barcode, g.pageWidth);
        painter.setPen(QPen(Qt::black, bars.penWidth, Qt::SolidLine, Qt::FlatCap));
        for (int x : bars.xs)
            painter.drawLine(x, at.top, x, at.top + at.barHeight);
        // Text lines are drawn with their top at y, as the printer's text output does.
        painter.setPen(Qt::black);
        const QString code = QString::fromLatin1(list[i].barcode);
        const int yCode = at.top + at.barHeight + 10;
        painter.drawText(g.pageWidth / 2 - fm.horizontalAdvance(code) / 2, yCode + fm.ascent(),
                         code);
        const int yName = at.top + at.barHeight + 15 + fm.height();
        painter.drawText(g.pageWidth / 2 - fm.horizontalAdvance(list[i].name) / 2,
                         yName + fm.ascent(), list[i].name);
    }
    return true;
}

QString writePdf(const QString& path, const std::vector<Label>& list, const Settings& settings,
                 int* pages)
{
    // Made in memory, then put beside an earlier file of that name and in its place only when
    // written whole.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(QStringLiteral("Kody kreskowe"));
    QPainter painter;
    if (!painter.begin(&writer))
        return QStringLiteral("Nie można utworzyć pliku ") + path;
    if (!paint(painter, writer, list, settings))
        return QStringLiteral("Błąd zapisu pliku ") + path;
    if (pages) {
        Geometry g{writer.width(), writer.height(), pixelsPerMm(writer.logicalDpiX())};
        const QFontMetrics fm(labelFont(), &writer);
        *pages = pageCount(layout(static_cast<int>(list.size()), settings, g, fm.height()));
    }
    if (!painter.end() || !filegroup::writeTogether({{path, bytes}}).isEmpty())
        return QStringLiteral("Błąd zapisu pliku ") + path;
    return {};
}

} // namespace labels

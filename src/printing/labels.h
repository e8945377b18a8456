#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QPaintDevice;
class QPagedPaintDevice;
class QPainter;

// Barcode labels for articles: the list of the article table, the label layout
// with its page breaks, and the drawing of one sheet onto any paged device.
namespace labels {

constexpr int ArticleCount = 2000;
constexpr int ArticleRecordSize = 68; // ArticleRecord::Size

// The fields a label needs from a 68-byte article record.
struct LabelArticle {
    int number = 0;     // 1..2000 (slot number)
    QString name;       // 42-byte name up to its first 0
    qint32 price = 0;   // hundredths
    QString vatLetter;  // one character
    QByteArray barcode; // 13-byte barcode field up to its first 0
};

// The occupied slots of the article table (2000 records of 68 bytes from the
// table's first byte; a shorter view holds fewer slots), in slot order.
std::vector<LabelArticle> articlesFromTable(QByteArrayView table);

// "   1. Mleko                     12,50 A"
QString listLine(const LabelArticle& article);

struct Settings {
    int barHeightMm = 20; // 5..70
    int pitchMm() const { return barHeightMm + 15; }
};
constexpr int MinBarHeightMm = 5;
constexpr int MaxBarHeightMm = 70;
constexpr int DefaultBarHeightMm = 20;

// Printer geometry in device pixels.
struct Geometry {
    int pageWidth = 0;
    int pageHeight = 0;
    double pixelsPerMm = 0;
};
inline double pixelsPerMm(int logicalDpiX)
{
    return logicalDpiX * 0.039370078740157;
}

struct Placement {
    int page = 0; // 0-based
    int top = 0;  // device pixels
    int barHeight = 0;
};

// Where each of `count` labels goes; `nameHeight` is the measured height of the
// label text line. A page holds labels until the next one would end below it.
std::vector<Placement> layout(int count, const Settings& settings, const Geometry& geometry,
                              int nameHeight);
inline int pageCount(const std::vector<Placement>& placements)
{
    return placements.empty() ? 0 : placements.back().page + 1;
}

struct Label {
    QByteArray barcode;
    QString name;
};

// Draws the labels, calling `newPage` where the layout breaks the page (it returns
// false when the device cannot start one). The painter must be active on `device`.
bool paint(QPainter& painter, const QPaintDevice& device, const std::vector<Label>& labelsToPrint,
           const Settings& settings, const std::function<bool()>& newPage);
bool paint(QPainter& painter, QPagedPaintDevice& device, const std::vector<Label>& labelsToPrint,
           const Settings& settings);

// The pen positions of the bars of one symbol: the x of every set bit of the row,
// 10 pixels apart from page width / 2 - 600 on. A symbol that would run past the
// right edge of the page (long texts at a low printer resolution) is centred
// instead, and drawn narrower when even that does not fit.
struct Bars {
    std::vector<int> xs;
    int penWidth = 10;
};
Bars barPositions(const QByteArray& barcode, int pageWidth);

// Writes a PDF of the labels. Returns an empty string or a Polish error text.
QString writePdf(const QString& path, const std::vector<Label>& labelsToPrint,
                 const Settings& settings, int* pages = nullptr);

inline const QString NothingCheckedMessage =
    QStringLiteral("Brak zaznaczonych towarów do wydrukowania");

} // namespace labels

#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include <array>

class QPaintDevice;
class QPainter;

// The paper template laid over the register's 24-key keyboard.
namespace keyboard {

constexpr int KeyCount = 24;
constexpr int MaxTextLength = 10;
constexpr int WideKey = 23;

struct KeyTemplate {
    QString upper, middle, lower;
    QColor upperColor = Qt::black;
    QColor middleColor = Qt::black;
    QColor lowerColor = Qt::black;
    QColor background = Qt::white;
};

// The four arrow keys and the glyph each shows instead of a middle text.
struct ArrowKey {
    int key;
    char glyph; // '1' up, '2' left, '3' right, '4' down
};
inline constexpr std::array<ArrowKey, 4> ArrowKeys{{{3, '2'}, {4, '1'}, {9, '3'}, {14, '4'}}};
// Index 0..3 into ArrowKeys, or -1.
int arrowIndex(int key);

struct Design {
    std::array<KeyTemplate, KeyCount> keys;
    std::array<QColor, 4> arrowColors{Qt::black, Qt::black, Qt::black, Qt::black};

    // Applies a key's editor values; on an arrow key the middle colour is its glyph colour.
    void apply(int key, const KeyTemplate& values);
    // Every key gets the text colours and background of `values`, every arrow glyph
    // `arrowColor` (the colour the middle-text swatch shows).
    void copyColors(const KeyTemplate& values, const QColor& arrowColor);
};

// The template as the form is created with: black texts on white keys.
Design defaultDesign();

// Key rectangles in device pixels for a device of `logicalDpiX`.
struct Geometry {
    double pixelsPerMm = 0;
    int cell = 0;      // 13 mm, whole pixels
    int wideWidth = 0; // key 23: 31 mm
    QRect key(int k) const;
};
Geometry geometry(int logicalDpiX);

// Draws the template at true size (one page) with the painter active on `device`.
void paint(QPainter& painter, const QPaintDevice& device, const Design& design);

// The arrow glyph as a filled arrow centred in `box`.
void paintArrow(QPainter& painter, const QRectF& box, char glyph, const QColor& color);

// Writes a one-page PDF. Returns an empty string or a Polish error text.
QString writePdf(const QString& path, const Design& design);

// Design files: a small UTF-8 JSON document. Both return an empty string or a Polish error text.
QString save(const QString& path, const Design& design);
QString load(const QString& path, Design& design);
QByteArray serialize(const Design& design);
QString deserialize(const QByteArray& bytes, Design& design);

} // namespace keyboard

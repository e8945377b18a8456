#include "keyboard.h"

#include "common/filegroup.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>

namespace keyboard {

namespace {

struct DefaultText {
    const char16_t* upper;
    const char16_t* middle;
    const char16_t* lower;
};

constexpr DefaultText Defaults[KeyCount] = {
    {u"", u"F3", u"F8"},
    {u"", u"F4", u"F9"},
    {u"", u"F5", u"F10"},
    {u"ILOŚĆ", u"", u""},
    {u"CENA", u"", u""},
    {u"", u"F2", u"F7"},
    {u"SYMBOLE", u"7", u"WALUTA"},
    {u"ABC", u"8", u"WPŁ/WYP"},
    {u"DEF", u"9", u"NIP"},
    {u"A/a", u"", u""},
    {u"", u"F1", u"F6"},
    {u"GHI", u"4", u"PŁATNOŚCI"},
    {u"JKL", u"5", u"STORNO"},
    {u"MNO", u"6", u"ANULUJ"},
    {u"", u"", u""},
    {u"", u"F", u"FUNKCJE"},
    {u"PQRS", u"1", u"RABAT"},
    {u"TUV", u"2", u"NARZUT"},
    {u"WXYZ", u"3", u"KAUCJA"},
    {u"", u"KOD", u""},
    {u"", u"C", u""},
    {u"SPACJA", u"0", u"SZUFLADA"},
    {u"", u",", u"PAPIER"},
    {u"", u"RAZEM", u""},
};

// Fits a text into `limit` pixels by lowering the point size one at a time,
// never below 1 point (an over-long text would otherwise loop forever).
int fit(QPainter& painter, const QString& text, int size, bool bold, int limit,
        const QPaintDevice& device)
{
    for (;;) {
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(size);
        font.setBold(bold);
        painter.setFont(font);
        if (limit < 0 || size <= 1 || QFontMetrics(font, &device).horizontalAdvance(text) <= limit)
            return size;
        --size;
    }
}

// "#rrggbb", or "#aarrggbb" for a colour that is not opaque, so that it loads back the same.
QString colorText(const QColor& c)
{
    return c.name(c.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb);
}

// Any colour name Qt knows, kept at the 8 bits a channel that the file writes back.
bool readColor(const QJsonValue& v, QColor& into)
{
    const QColor c = QColor::fromString(v.toString());
    if (!v.isString() || !c.isValid())
        return false;
    into = QColor::fromRgba(c.rgba());
    return true;
}

} // namespace

int arrowIndex(int key)
{
    for (int i = 0; i < 4; ++i)
        if (ArrowKeys[i].key == key)
            return i;
    return -1;
}

void Design::apply(int key, const KeyTemplate& values)
{
    if (key < 0 || key >= KeyCount)
        return;
    keys[key] = values;
    keys[key].upper.truncate(MaxTextLength);
    keys[key].middle.truncate(MaxTextLength);
    keys[key].lower.truncate(MaxTextLength);
    if (const int a = arrowIndex(key); a >= 0)
        arrowColors[a] = values.middleColor;
}

void Design::copyColors(const KeyTemplate& values, const QColor& arrowColor)
{
    for (KeyTemplate& k : keys) {
        k.upperColor = values.upperColor;
        k.middleColor = values.middleColor;
        k.lowerColor = values.lowerColor;
        k.background = values.background;
    }
    arrowColors.fill(arrowColor);
}

Design defaultDesign()
{
    Design d;
    for (int k = 0; k < KeyCount; ++k) {
        d.keys[k].upper = QString::fromUtf16(Defaults[k].upper);
        d.keys[k].middle = QString::fromUtf16(Defaults[k].middle);
        d.keys[k].lower = QString::fromUtf16(Defaults[k].lower);
    }
    return d;
}

Geometry geometry(int logicalDpiX)
{
    Geometry g;
    g.pixelsPerMm = logicalDpiX * 0.039370078740157;
    g.cell = static_cast<int>(g.pixelsPerMm * 13);
    g.wideWidth = static_cast<int>(31 * g.pixelsPerMm);
    return g;
}

QRect Geometry::key(int k) const
{
    const int col = k < 20 ? k % 5 : k - 20;
    const int row = k < 20 ? k / 5 : 4;
    const int left = 100 + col * cell;
    const int top = 100 + row * cell;
    return QRect(left, top, k == WideKey ? wideWidth : cell, cell);
}

void paintArrow(QPainter& painter, const QRectF& box, char glyph, const QColor& color)
{
    // An upward arrow in a unit square, turned for the other three glyphs.
    QPainterPath path;
    path.moveTo(0.5, 0.0);
    path.lineTo(1.0, 0.5);
    path.lineTo(0.68, 0.5);
    path.lineTo(0.68, 1.0);
    path.lineTo(0.32, 1.0);
    path.lineTo(0.32, 0.5);
    path.lineTo(0.0, 0.5);
    path.closeSubpath();
    const qreal angle = glyph == '2' ? -90 : glyph == '3' ? 90 : glyph == '4' ? 180 : 0;
    painter.save();
    painter.translate(box.center());
    painter.rotate(angle);
    const qreal side = std::min(box.width(), box.height());
    painter.scale(side, side);
    painter.translate(-0.5, -0.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(path);
    painter.restore();
}

void paint(QPainter& painter, const QPaintDevice& device, const Design& design)
{
    const Geometry g = geometry(device.logicalDpiX());
    const double p = g.pixelsPerMm;
    const int c = g.cell;
    for (int k = 0; k < KeyCount; ++k) {
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(design.keys[k].background);
        painter.drawRect(g.key(k));
    }
    painter.setBrush(Qt::NoBrush);
    int size = 6;
    auto draw = [&](const QString& text, int left, int width, int y, bool fromBottom) {
        const QFontMetrics fm(painter.font(), &device);
        const int x = static_cast<int>(left + width / 2.0 - fm.horizontalAdvance(text) / 2.0);
        const int top = fromBottom ? y - fm.height() : y;
        painter.drawText(x, top + fm.ascent(), text);
    };
    for (int k = 0; k < KeyCount; ++k) {
        const KeyTemplate& key = design.keys[k];
        const QRect cell = g.key(k);
        const bool wide = k == WideKey;
        const int width = wide ? g.wideWidth : c;
        painter.setPen(key.upperColor);
        size = fit(painter, key.upper, size, false, wide ? -1 : c, device);
        draw(key.upper, cell.left(), width, static_cast<int>(cell.top() + 0.5 * p), false);
        // Arrow keys show their glyph instead of a middle text.
        if (arrowIndex(k) < 0) {
            painter.setPen(key.middleColor);
            fit(painter, key.middle, 16, true, wide ? 2 * c : c, device);
            const QFontMetrics fm(painter.font(), &device);
            draw(key.middle, cell.left(), width, cell.top() + c / 2 - fm.height() / 2, false);
        }
        painter.setPen(key.lowerColor);
        size = fit(painter, key.lower, 6, false, wide ? -1 : c, device);
        draw(key.lower, cell.left(), width, static_cast<int>(cell.top() + c - 0.5 * p), true);
    }
    // The glyphs take the height a 16-point character would have in the cell.
    QFont glyphFont(QStringLiteral("Arial"));
    glyphFont.setPointSize(16);
    const int glyphSide = std::min(c, QFontMetrics(glyphFont, &device).height());
    for (int a = 0; a < 4; ++a) {
        const QRect cell = g.key(ArrowKeys[a].key);
        QRectF box(0, 0, glyphSide, glyphSide);
        box.moveCenter(cell.center());
        paintArrow(painter, box, ArrowKeys[a].glyph, design.arrowColors[a]);
    }
}

QString writePdf(const QString& path, const Design& design)
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
    writer.setTitle(QStringLiteral("Szablon klawiatury"));
    QPainter painter;
    if (!painter.begin(&writer))
        return QStringLiteral("Nie można utworzyć pliku ") + path;
    paint(painter, writer, design);
    if (!painter.end() || !filegroup::writeTogether({{path, bytes}}).isEmpty())
        return QStringLiteral("Błąd zapisu pliku ") + path;
    return {};
}

QByteArray serialize(const Design& design)
{
    QJsonArray keys;
    for (const KeyTemplate& k : design.keys) {
        keys.append(QJsonObject{
            {QStringLiteral("gorny"), k.upper},
            {QStringLiteral("srodkowy"), k.middle},
            {QStringLiteral("dolny"), k.lower},
            {QStringLiteral("kolorGorny"), colorText(k.upperColor)},
            {QStringLiteral("kolorSrodkowy"), colorText(k.middleColor)},
            {QStringLiteral("kolorDolny"), colorText(k.lowerColor)},
            {QStringLiteral("tlo"), colorText(k.background)},
        });
    }
    QJsonArray arrows;
    for (const QColor& c : design.arrowColors)
        arrows.append(colorText(c));
    const QJsonObject root{{QStringLiteral("format"), QStringLiteral("vduno-klawiatura")},
                           {QStringLiteral("wersja"), 1},
                           {QStringLiteral("klawisze"), keys},
                           {QStringLiteral("strzalki"), arrows}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString deserialize(const QByteArray& bytes, Design& design)
{
    const QString bad = QStringLiteral("Plik nie zawiera szablonu klawiatury.");
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return bad;
    const QJsonObject root = doc.object();
    const QJsonArray keys = root.value(QStringLiteral("klawisze")).toArray();
    const QJsonArray arrows = root.value(QStringLiteral("strzalki")).toArray();
    if (root.value(QStringLiteral("format")).toString() != QLatin1String("vduno-klawiatura") ||
        keys.size() != KeyCount || arrows.size() != 4)
        return bad;
    Design loaded;
    for (int i = 0; i < KeyCount; ++i) {
        const QJsonObject o = keys[i].toObject();
        KeyTemplate& k = loaded.keys[i];
        const QJsonValue texts[3] = {o.value(QStringLiteral("gorny")),
                                     o.value(QStringLiteral("srodkowy")),
                                     o.value(QStringLiteral("dolny"))};
        for (const QJsonValue& t : texts)
            if (!t.isString() || t.toString().size() > MaxTextLength)
                return bad;
        k.upper = texts[0].toString();
        k.middle = texts[1].toString();
        k.lower = texts[2].toString();
        if (!readColor(o.value(QStringLiteral("kolorGorny")), k.upperColor) ||
            !readColor(o.value(QStringLiteral("kolorSrodkowy")), k.middleColor) ||
            !readColor(o.value(QStringLiteral("kolorDolny")), k.lowerColor) ||
            !readColor(o.value(QStringLiteral("tlo")), k.background))
            return bad;
    }
    for (int a = 0; a < 4; ++a)
        if (!readColor(arrows[a], loaded.arrowColors[a]))
            return bad;
    design = loaded;
    return {};
}

QString save(const QString& path, const Design& design)
{
    // Written beside the chosen file, which it replaces only when complete: a failed save
    // leaves a template saved before as it was.
    QSaveFile file(path);
    const QByteArray bytes = serialize(design);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("Nie można zapisać pliku ") + path;
    return {};
}

QString load(const QString& path, Design& design)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Nie można otworzyć pliku ") + path;
    return deserialize(file.readAll(), design);
}

} // namespace keyboard

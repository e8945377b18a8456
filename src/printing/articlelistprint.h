#pragma once

#include <QChar>
#include <QString>

#include <vector>

class QPagedPaintDevice;
class QPainter;

// The printed article list "BAZA TOWAROWA": portrait, "Courier New" 10 pt, in slot order.
// Everything is placed in the device's own units, with W the width of "W" and H the text
// height in the list's font:
//   row pitch H + 145; title (bold) at x = page width / 2 - 10 W, y = 80;
//   column heads at y = pitch + 105; article row r of a page (1 = first) at
//   y = (r + 1) pitch + 105, with a rule from x = 0 to page width - 10 at (r + 1) pitch + 78;
//   columns PLU 80, name 80 + 5 W, price page width - 43 W, VAT page width - 33 W,
//   price kind page width - 29 W, barcode page width - 15 W.
// A page ends after row r when (r + 5) pitch + 105 exceeds the page height; "Strona: p/n" is
// printed at the title's x on the next row position.
namespace articleprint {

struct Row {
    int number = 0;
    QString name;
    qint64 price = 0; // hundredths
    QChar vat;
    bool fixedPrice = false;
    QString barcode;
};

struct Metrics {
    int pageWidth = 0;
    int pageHeight = 0;
    int W = 0; // width of "W"
    int H = 0; // text height

    int pitch() const { return H + 145; }
    // Article rows on one page (at least one).
    int rowsPerPage() const;
};

// Pages for `articles` rows: every page holds rowsPerPage rows; an empty list is one page of
// heads.
int pageCount(int articles, const Metrics& m);

// The list's font and its metrics on `device`.
Metrics metricsFor(QPagedPaintDevice& device);

// "sztywna" or "ruchoma".
QString priceKind(bool fixedPrice);

// Paints the whole list with a painter already begun on `device`, starting new pages on it.
// Returns the number of pages painted.
int paint(QPainter& painter, QPagedPaintDevice& device, const std::vector<Row>& rows);

} // namespace articleprint

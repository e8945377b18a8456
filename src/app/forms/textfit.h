#pragma once

#include <QSize>
#include <QString>

class QAbstractScrollArea;
class QListWidget;
class QTextDocument;
class QWidget;

// Sizes of the boxes that show text, measured in the font the text is shown in, so that a
// form keeps its lines whole at any font and any scaling.

// The text margins on both sides of an item of a list or grid, as the item delegate draws them.
int itemTextMargins(const QWidget* view);

// The least width of a list that shows `line` whole: the line in the list's font, the item
// margins, the check box before it when the items carry one, the frame and the vertical scroll
// bar.
int listWidthFor(const QListWidget* list, const QString& line, bool checkBoxes = false);

// The least size of a text box (a QTextEdit or a QPlainTextEdit, of `document`) that shows
// `line` without wrapping and `lines` lines, beside its vertical scroll bar.
QSize textBoxSizeFor(const QAbstractScrollArea* box, const QTextDocument* document,
                     const QString& line, int lines);

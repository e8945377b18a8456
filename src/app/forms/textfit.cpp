#include "textfit.h"

#include <QAbstractScrollArea>
#include <QFontMetrics>
#include <QListWidget>
#include <QStyle>
#include <QTextDocument>

namespace {

int scrollBarWidth(const QWidget* w)
{
    return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w);
}

} // namespace

int itemTextMargins(const QWidget* view)
{
    return 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
}

int listWidthFor(const QListWidget* list, const QString& line, bool checkBoxes)
{
    const QStyle* style = list->style();
    const int check = checkBoxes
                          ? style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list) +
                                style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, list)
                          : 0;
    return QFontMetrics(list->font()).horizontalAdvance(line) + itemTextMargins(list) + check +
           2 * list->frameWidth() + scrollBarWidth(list);
}

QSize textBoxSizeFor(const QAbstractScrollArea* box, const QTextDocument* document,
                     const QString& line, int lines)
{
    const QFontMetrics fm(document->defaultFont());
    const int margins = 2 * (box->frameWidth() + int(document->documentMargin()));
    return {fm.horizontalAdvance(line) + margins + scrollBarWidth(box),
            lines * fm.lineSpacing() + margins};
}

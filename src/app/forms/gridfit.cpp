#include "gridfit.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTableView>

void fitGridColumns(QTableView* grid)
{
    const QAbstractItemModel* model = grid->model();
    if (!model)
        return;
    QHeaderView* header = grid->horizontalHeader();
    const QFontMetrics fm(grid->font());
    // The item's text margins on both sides (as the item delegate draws them) and a little air.
    const int margin =
        2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) +
        fm.averageCharWidth();
    const int rows = model->rowCount();
    for (int c = 0; c < model->columnCount(); ++c) {
        if (grid->isColumnHidden(c))
            continue;
        int width = header->sectionSizeHint(c);
        for (int r = 0; r < rows; ++r) {
            const QString text = model->index(r, c).data().toString();
            if (!text.isEmpty())
                width = qMax(width, fm.horizontalAdvance(text) + margin);
        }
        header->resizeSection(c, width);
    }
}

void fitGridToContents(QTableView* grid)
{
    grid->setWordWrap(false);
    QHeaderView* rows = grid->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(0);
    rows->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    QHeaderView* columns = grid->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(true);
    QAbstractItemModel* model = grid->model();
    if (!model)
        return;
    const auto refit = [grid] { fitGridColumns(grid); };
    QObject::connect(model, &QAbstractItemModel::modelReset, grid, refit);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, grid, refit);
    QObject::connect(model, &QAbstractItemModel::dataChanged, grid, refit);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, grid, refit);
    fitGridColumns(grid);
}

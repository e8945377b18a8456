#include "gridfit.h"

#include "textfit.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPointer>
#include <QStyle>
#include <QTableView>

namespace {

// A grid's own model (a QTableWidget's) is deleted with the grid's children and resets itself
// as it goes, after the headers are gone: the refits below then do nothing.
bool headersAlive(const QPointer<QHeaderView>& columns, const QPointer<QHeaderView>& rows)
{
    return columns && rows;
}

// The width column `c` needs: its longest value or its caption, with the item's margins.
int contentWidth(const QTableView* grid, int c)
{
    const QAbstractItemModel* model = grid->model();
    const QFontMetrics fm(grid->font());
    // The item's text margins on both sides (as the item delegate draws them) and a little air.
    const int margin = itemTextMargins(grid) + fm.averageCharWidth();
    int width = grid->horizontalHeader()->sectionSizeHint(c);
    for (int r = 0; r < model->rowCount(); ++r) {
        const QString text = model->index(r, c).data().toString();
        if (!text.isEmpty())
            width = qMax(width, fm.horizontalAdvance(text) + margin);
    }
    return width;
}

// Runs `fit` whenever the grid's rows or values change.
template <class Fit>
void whenContentChanges(QAbstractItemModel* model, QTableView* grid, const Fit& fit)
{
    QObject::connect(model, &QAbstractItemModel::modelReset, grid, fit);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, grid, fit);
    QObject::connect(model, &QAbstractItemModel::dataChanged, grid, fit);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, grid, fit);
}

} // namespace

void fitGridColumns(QTableView* grid)
{
    const QAbstractItemModel* model = grid->model();
    if (!model)
        return;
    QHeaderView* header = grid->horizontalHeader();
    for (int c = 0; c < model->columnCount(); ++c)
        if (!grid->isColumnHidden(c))
            header->resizeSection(c, contentWidth(grid, c));
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
    const auto refit = [grid, columns = QPointer<QHeaderView>(columns),
                        rows = QPointer<QHeaderView>(rows)] {
        if (headersAlive(columns, rows))
            fitGridColumns(grid);
    };
    whenContentChanges(model, grid, refit);
    fitGridColumns(grid);
}

void fitGridMinimumSize(QTableView* grid, int rows)
{
    QAbstractItemModel* model = grid->model();
    if (!model)
        return;
    const auto measure = [grid, rows, columns = QPointer<QHeaderView>(grid->horizontalHeader()),
                          heads = QPointer<QHeaderView>(grid->verticalHeader())] {
        if (!headersAlive(columns, heads))
            return;
        const int frame = 2 * grid->frameWidth();
        int width = frame + grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid) +
                    (heads->isVisible() ? heads->sizeHint().width() : 0);
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            if (!grid->isColumnHidden(c))
                width += contentWidth(grid, c);
        grid->setMinimumSize(width, frame + columns->sizeHint().height() +
                                        rows * heads->defaultSectionSize());
    };
    whenContentChanges(model, grid, measure);
    QObject::connect(model, &QAbstractItemModel::headerDataChanged, grid, measure);
    QObject::connect(model, &QAbstractItemModel::columnsInserted, grid, measure);
    measure();
}

#pragma once

class QTableView;

// Grids of records show one line per record, every value whole: no word wrap, rows one text
// line high, and each column as wide as its longest value or its caption, measured again
// whenever the model's rows change. Call after the model is set.
void fitGridToContents(QTableView* grid);

// The widths alone, once (fitGridToContents keeps them up to date by itself).
void fitGridColumns(QTableView* grid);

// A minimum size for the grid that shows every column whole (as fitted) and `rows` rows, with
// room for the vertical scroll bar: the form's layout then grows rather than cut the columns.
// Measured again whenever the model's rows or captions change. Call after fitGridToContents.
void fitGridMinimumSize(QTableView* grid, int rows);

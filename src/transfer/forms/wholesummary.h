#pragma once

#include "transfer/whole/tableoutcome.h"

#include <QList>
#include <QString>
#include <QStringList>

class QBoxLayout;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QWidget;

// The closing summary of a whole-register run as the forms show it: a read-only table with a
// row per table of the register ("Tabela", "Rekordy", "Wynik", "Uwagi").
namespace wholesummary {

QTableWidget* makeTable(QWidget* parent);
// Empties the table.
void clear(QTableWidget* table);
// A row across the table naming the register the rows below belong to.
void addHeading(QTableWidget* table, const QString& text);
void addRows(QTableWidget* table, const QList<wholereg::TableOutcome>& tables);
// Lines of text across the table below the rows, the first one bold (the check after
// programming: its verdict, then a line per table that still differs).
void addLines(QTableWidget* table, const QStringList& lines);
// The run's own progress bar and its "Anuluj" (disabled until a run starts), on a row of
// their own at the end of `into`.
struct RunRow {
    QProgressBar* progress;
    QPushButton* cancel;
};
RunRow addRunRow(QWidget* parent, QBoxLayout* into, const QString& cancelName);

} // namespace wholesummary

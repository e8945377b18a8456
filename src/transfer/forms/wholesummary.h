#pragma once

#include "transfer/whole/tableoutcome.h"

#include <QList>
#include <QString>
#include <QStringList>

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
// A line per refused record: "Towary 12: <the register's device error>".
QStringList refusedLines(const QList<wholereg::TableOutcome>& tables);

} // namespace wholesummary

#pragma once

#include <QList>
#include <QSet>
#include <QStringList>

class QListWidget;
class QListWidgetItem;

// A check list: one checkable line per record, the record number read back from the line.
namespace checklist {

void fill(QListWidget* list, const QStringList& lines);
// The record numbers of the lines, in list order.
QList<int> numbers(const QListWidget* list);
QSet<int> checked(const QListWidget* list);
void setAll(QListWidget* list, bool on);
void setChecked(QListWidget* list, const QSet<int>& on);
void toggle(QListWidgetItem* item);
// The record number of the current line, 0 when there is none.
int current(const QListWidget* list);

} // namespace checklist

#include "checklist.h"

#include "common/listline.h"

#include <QListWidget>

namespace checklist {

void fill(QListWidget* list, const QStringList& lines)
{
    list->setUpdatesEnabled(false);
    list->clear();
    for (const QString& line : lines) {
        auto* item = new QListWidgetItem(line);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        list->addItem(item);
    }
    list->setUpdatesEnabled(true);
}

QList<int> numbers(const QListWidget* list)
{
    QList<int> out;
    for (int i = 0; i < list->count(); ++i)
        out.append(recordNumberFromLine(list->item(i)->text()));
    return out;
}

QSet<int> checked(const QListWidget* list)
{
    QSet<int> out;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            out.insert(recordNumberFromLine(list->item(i)->text()));
    return out;
}

void setAll(QListWidget* list, bool on)
{
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

void setChecked(QListWidget* list, const QSet<int>& on)
{
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        item->setCheckState(on.contains(recordNumberFromLine(item->text())) ? Qt::Checked
                                                                            : Qt::Unchecked);
    }
}

void toggle(QListWidgetItem* item)
{
    if (item)
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

int current(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item ? recordNumberFromLine(item->text()) : 0;
}

} // namespace checklist

#include "formparts.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace formparts {

QPushButton* button(QWidget* parent, const QString& name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& text, bool isDefault)
{
    QPushButton* b = button(parent, name, text);
    b->setAutoDefault(isDefault);
    b->setDefault(isDefault);
    return b;
}

QLabel* redHint(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setStyleSheet(QStringLiteral("color: red"));
    label->hide();
    return label;
}

QComboBox* numbers(QWidget* parent, const QString& name, int count)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (int i = 1; i <= count; ++i)
        box->addItem(QString::number(i));
    return box;
}

void readOnlyRows(QAbstractItemView* view)
{
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    if (auto* table = qobject_cast<QTableView*>(view))
        table->verticalHeader()->hide();
}

} // namespace formparts

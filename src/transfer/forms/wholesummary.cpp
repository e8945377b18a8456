#include "wholesummary.h"

#include "app/forms/formparts.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

namespace wholesummary {

QTableWidget* makeTable(QWidget* parent)
{
    auto* table = new QTableWidget(0, 4, parent);
    table->setHorizontalHeaderLabels({QStringLiteral("Tabela"), QStringLiteral("Rekordy"),
                                      QStringLiteral("Wynik"), QStringLiteral("Uwagi")});
    formparts::readOnlyRows(table);
    table->horizontalHeader()->setStretchLastSection(true);
    const QFontMetrics fm(table->font());
    table->setColumnWidth(0, fm.horizontalAdvance(QStringLiteral("Ustawienia dodatkowe")) + 16);
    table->setColumnWidth(1, fm.horizontalAdvance(QStringLiteral("2000/2000")) + 16);
    table->setColumnWidth(2, fm.horizontalAdvance(QStringLiteral("przerwano")) + 16);
    // Rows of one text line, a dozen of them at once, and the width of a note beside them.
    const int row = fm.lineSpacing() + 6;
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(row);
    table->setMinimumSize(fm.averageCharWidth() * 90, row * 13 + 4);
    return table;
}

void clear(QTableWidget* table)
{
    table->clearSpans();
    table->setRowCount(0);
}

namespace {

// A row across the whole table.
void addSpanning(QTableWidget* table, const QString& text, bool bold)
{
    const int row = table->rowCount();
    table->insertRow(row);
    auto* item = new QTableWidgetItem(text);
    QFont font = item->font();
    font.setBold(bold);
    item->setFont(font);
    item->setToolTip(text);
    table->setItem(row, 0, item);
    table->setSpan(row, 0, 1, table->columnCount());
}

} // namespace

void addHeading(QTableWidget* table, const QString& text)
{
    addSpanning(table, text, true);
}

void addLines(QTableWidget* table, const QStringList& lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i)
        addSpanning(table, lines.at(i), i == 0);
}

void addRows(QTableWidget* table, const QList<wholereg::TableOutcome>& tables)
{
    for (const wholereg::TableOutcome& t : tables) {
        const int row = table->rowCount();
        table->insertRow(row);
        auto* records = new QTableWidgetItem(wholereg::recordsText(t));
        records->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, 0, new QTableWidgetItem(t.table));
        table->setItem(row, 1, records);
        table->setItem(row, 2, new QTableWidgetItem(wholereg::stateText(t.state)));
        table->setItem(row, 3, new QTableWidgetItem(t.note));
    }
}

RunRow addRunRow(QWidget* parent, QBoxLayout* into, const QString& cancelName)
{
    auto* row = new QHBoxLayout;
    auto* progress = new QProgressBar(parent);
    progress->setRange(0, 1);
    progress->setValue(0);
    row->addWidget(progress, 1);
    auto* cancel = new QPushButton(QStringLiteral("Anuluj"), parent);
    cancel->setObjectName(cancelName);
    cancel->setEnabled(false);
    row->addWidget(cancel);
    into->addLayout(row);
    return {progress, cancel};
}

} // namespace wholesummary

#include "tableform.h"

#include "app/appsession.h"
#include "app/forms/formparts.h"
#include "app/forms/gridfit.h"
#include "common/transferui.h"
#include "database/databasesession.h"
#include "link/link.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TableForm::TableForm(AppSession& session, const TableLayout& table, const QString& caption,
                     QWidget* parent)
    : QDialog(parent), m_session(session), m_table(table), m_link(&Link::instance())
{
    setWindowTitle(caption);
    m_main = new QVBoxLayout(this);
    m_fields = new QFormLayout;
    m_main->addLayout(m_fields);

    grid = new QTableWidget(this);
    grid->setObjectName(QStringLiteral("StringGrid1"));
    formparts::readOnlyRows(grid);
    // Every column as wide as its longest value, rows one line high, and room for a few whole
    // rows: the form grows rather than cut the names.
    fitGridToContents(grid);
    fitGridMinimumSize(grid, 6);
    m_main->addWidget(grid, 1);

    confirm = new QCheckBox(this);
    confirm->setObjectName(QStringLiteral("Potwierdzenie"));
    m_main->addWidget(confirm);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    addButton = button("Dodaj", QStringLiteral("Dodaj do bazy PC"));
    deleteButton = button("Usun", QString());
    sendButton = button("Wyslij", QStringLiteral("Wyślij do kasy"));
    cancelButton = button("Anuluj", QStringLiteral("Anuluj"));
    m_main->addLayout(buttons);

    connect(addButton, &QPushButton::clicked, this, &TableForm::addClicked);
    connect(deleteButton, &QPushButton::clicked, this, &TableForm::deleteClicked);
    connect(sendButton, &QPushButton::clicked, this, &TableForm::sendClicked);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* TableForm::addField(const QString& name, const QString& caption, int maxLength)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    addControl(caption, edit);
    return edit;
}

void TableForm::addControl(const QString& caption, QWidget* control)
{
    auto* row = new QHBoxLayout;
    row->addWidget(control, 1);
    auto* hint = new QLabel(this);
    hint->setObjectName(control->objectName() + QStringLiteral("Hint"));
    hint->setStyleSheet(QStringLiteral("color: red"));
    hint->hide();
    row->addWidget(hint);
    m_fields->addRow(caption, row);
    m_hints.insert(control->objectName(), hint);
    m_controls.insert(control->objectName(), control);
    m_rows.insert(control->objectName(), row);
}

void TableForm::addBesideField(const QString& name, QWidget* widget)
{
    if (QHBoxLayout* row = m_rows.value(name))
        row->insertWidget(1, widget);
}

void TableForm::addBelowFields(QWidget* widget)
{
    m_main->insertWidget(1, widget);
}

void TableForm::setColumns(const QStringList& heads, int rows)
{
    grid->setColumnCount(int(heads.size()));
    grid->setHorizontalHeaderLabels(heads);
    grid->setRowCount(rows);
}

void TableForm::setRow(int row, const QStringList& cells)
{
    if (row >= grid->rowCount())
        grid->setRowCount(row + 1);
    for (int c = 0; c < cells.size() && c < grid->columnCount(); ++c)
        grid->setItem(row, c, new QTableWidgetItem(cells[c]));
}

QByteArray TableForm::tableBytes()
{
    if (!m_session.session().isLoaded())
        return QByteArray(m_table.bytes(), '\0');
    QByteArray bytes = readTable(m_session.database(), m_table);
    if (bytes.size() < m_table.bytes())
        bytes.append(m_table.bytes() - bytes.size(), '\0');
    return bytes;
}

quint8 TableForm::confirmByte() const
{
    return confirm->isChecked() ? 1 : 0;
}

void TableForm::refill()
{
    const int rows = grid->rowCount();
    grid->clearContents();
    grid->setRowCount(rows);
    const bool loaded = m_session.hasDatabase() && m_session.session().isLoaded();
    if (!loaded && !fillWithoutDatabase())
        return;
    const QByteArray table = tableBytes();
    fillRows(table);
    proposeNumber(table);
}

int TableForm::currentNumber() const
{
    const int row = grid->currentRow();
    const QTableWidgetItem* item = row >= 0 ? grid->item(row, 0) : nullptr;
    if (!item)
        return 0;
    bool ok = false;
    const int n = item->text().trimmed().toInt(&ok);
    return ok && n >= 1 && n <= m_table.count ? n : 0;
}

void TableForm::addClicked()
{
    add(tableBytes());
}

void TableForm::deleteClicked()
{
    if (const int n = currentNumber())
        remove(n);
}

void TableForm::sendClicked()
{
    if (const int n = currentNumber())
        send(n);
}

void TableForm::sendAndReport(const recordsend::Source& source, int number,
                              const recordsend::OutcomeTexts& texts)
{
    const int result = recordsend::sendOne(*m_link, m_session.ui(), m_session.database(), source,
                                           number, confirmByte());
    recordsend::reportOutcome(m_session.ui(), result, m_link->at(8), texts, confirmByte() != 0);
}

void TableForm::remove(int number)
{
    if (clearRecord(m_session.database(), m_table, number))
        m_session.markModified();
    refill();
}

void TableForm::hideHints()
{
    for (QLabel* label : std::as_const(m_hints))
        label->hide();
}

void TableForm::focusField(const QString& name)
{
    if (QWidget* w = m_controls.value(name))
        w->setFocus();
}

void TableForm::message(const QString& text)
{
    m_session.ui().showMessage(text, TransferUi::Icon::Warning);
}

void TableForm::showRefusal(const std::optional<Failure>& failure, const QList<Failure>& hints)
{
    hideHints();
    if (!hints.isEmpty()) {
        for (const Failure& h : hints)
            if (QLabel* label = m_hints.value(h.field)) {
                label->setText(h.message);
                label->show();
            }
        focusField(hints.first().field);
        return;
    }
    if (!failure)
        return;
    if (failure->hint && m_hints.contains(failure->field)) {
        m_hints[failure->field]->setText(failure->message);
        m_hints[failure->field]->show();
    } else {
        message(failure->message);
    }
    focusField(failure->field);
}

bool TableForm::store(int number, const QByteArray& record)
{
    if (!m_session.session().isLoaded() ||
        !m_session.database().writeRecord(m_table.offsetOf(number), record)) {
        message(QStringLiteral("     Plik zamknięty.     "));
        return false;
    }
    m_session.markModified();
    refill();
    return true;
}

void TableForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    hideHints();
    refill();
}

void TableForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        addClicked();
        return;
    }
    QDialog::keyPressEvent(event);
}

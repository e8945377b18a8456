#pragma once

#include "tables/recordsend.h"
#include "tables/tablelayout.h"
#include "tables/validation.h"

#include <QDialog>
#include <QHash>

#include <optional>

class AppSession;
class Link;
class QBoxLayout;
class QCheckBox;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// What the small table forms share: the grid filled from the table when the form is shown,
// the lowest free number proposed, the fields checked in order with the first refusal shown
// (red hints beside empty required fields, a message box otherwise), the whole record written
// at once with the modified flag set and the grid filled again; delete and send act on the
// record of the grid's current row. Enter adds, Escape closes.
class TableForm : public QDialog {
    Q_OBJECT
public:
    TableForm(AppSession& session, const TableLayout& table, const QString& caption,
              QWidget* parent);

    // The controls every member has (object names "Dodaj", "Usun", "Wyslij", "Anuluj",
    // "Potwierdzenie", "StringGrid1").
    QTableWidget* grid = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* deleteButton = nullptr;
    QPushButton* sendButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QCheckBox* confirm = nullptr;

    // The link the sends go through (the program's own unless a test gives another).
    void setLink(Link* link) { m_link = link; }

    void addClicked();
    void deleteClicked();
    void sendClicked();
    // Grid filled again from the table, and the lowest free number proposed.
    void refill();
    // The record number of the grid's current row, 0 for a row without one.
    int currentNumber() const;
    // The red hint beside a field, by the field's name.
    QLabel* hint(const QString& field) const { return m_hints.value(field); }

protected:
    // Rows for the used records of the table (the whole table's bytes).
    virtual void fillRows(QByteArrayView table) = 0;
    // The number field gets the lowest free number (or the slot list its first free slot).
    virtual void proposeNumber(QByteArrayView table) = 0;
    // Validates the fields and stores the record; false when refused.
    virtual bool add(QByteArrayView table) = 0;
    // Deletes record `number` (a number from the grid); the default clears its bytes.
    virtual void remove(int number);
    // Sends record `number` of the table.
    virtual void send(int number) = 0;
    // Sends record `number` as one frame, waits for the register's answer (once more after a
    // busy one) and tells the user what came of it.
    void sendAndReport(const recordsend::Source& source, int number,
                       const recordsend::OutcomeTexts& texts);
    // Whether to fill the grid on showing when there is no database (groups do).
    virtual bool fillWithoutDatabase() const { return false; }

    AppSession& session() { return m_session; }
    Link& link() { return *m_link; }
    const TableLayout& layoutOf() const { return m_table; }
    QByteArray tableBytes();
    quint8 confirmByte() const;

    // Building the form: a field with its caption and red hint, any other control, and the
    // column heads and row count of the grid.
    QLineEdit* addField(const QString& name, const QString& caption, int maxLength);
    void addControl(const QString& caption, QWidget* control);
    // A widget in the row of field `name`, right after the field (a unit, for instance).
    void addBesideField(const QString& name, QWidget* widget);
    void addBelowFields(QWidget* widget);
    void setColumns(const QStringList& heads, int rows);
    // A grid row of texts (rows are added when the table holds more than the grid shows).
    void setRow(int row, const QStringList& cells);

    // The refusal of a validation: every hint shown (the rest hidden) or one message box,
    // and the field concerned focused.
    void showRefusal(const std::optional<Failure>& failure, const QList<Failure>& hints);
    template <class Record> std::optional<Record> accepted(const Validated<Record>& v)
    {
        if (v.ok()) {
            hideHints();
            return v.record;
        }
        showRefusal(v.failure, v.hints);
        return std::nullopt;
    }
    void hideHints();
    void focusField(const QString& name);
    void message(const QString& text);

    // Writes the whole record at its slot, sets the modified flag and fills the grid again.
    // False (and "     Plik zamknięty.     " shown) when there is no database to write to.
    bool store(int number, const QByteArray& record);

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    AppSession& m_session;
    TableLayout m_table;
    Link* m_link;
    QFormLayout* m_fields = nullptr;
    QBoxLayout* m_main = nullptr;
    QHash<QString, QLabel*> m_hints;
    QHash<QString, QWidget*> m_controls;
    QHash<QString, QHBoxLayout*> m_rows;
};

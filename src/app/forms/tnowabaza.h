#pragma once

#include "database/databasesession.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;

// The dialog "Nowa baza danych": a name of at most 12 characters and the accounting
// currency symbol of at most 3. "OK" runs `create`; its failure message keeps the dialog open.
class TNowaBaza : public QDialog {
    Q_OBJECT
public:
    using Create = std::function<DbResult(const QString& name, const QString& symbol)>;
    TNowaBaza(const QString& symbol, Create create, std::function<void(const QString&)> show,
              QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* symbolEdit() const { return m_symbol; }
    QPushButton* okButton() const { return m_ok; }

private:
    void okClick();

    Create m_create;
    std::function<void(const QString&)> m_show;
    QLineEdit* m_name;
    QLineEdit* m_symbol;
    QPushButton* m_ok;
};

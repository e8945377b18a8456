#pragma once

#include "tableform.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Edycja bazy kasjerów": cashiers 1..10 with their password and seven rights.
class TProgramowanieKasjerow : public TableForm {
    Q_OBJECT
public:
    explicit TProgramowanieKasjerow(AppSession& session, QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr;          // number
    QLineEdit* Edit2 = nullptr;          // name
    QLineEdit* MaskEdit1 = nullptr;      // password, four digits
    std::array<QCheckBox*, 7> rights{};  // CheckBox1..CheckBox7
    std::array<QLabel*, 7> rightShown{}; // "TAK" beside each right of the selected cashier
    QLabel* password = nullptr;          // the password of the selected cashier (hidden)
    QPushButton* showPassword = nullptr; // "Pokaż hasło kasjera" / "Ukryj hasło kasjera"

    // A click on a grid row: the rights panel and the hidden password of that cashier.
    void StringGrid1Click();
    // Leaving the number field: the manager's password is changed elsewhere.
    void Edit1Exit();
    void togglePassword();

protected:
    void fillRows(QByteArrayView table) override;
    void proposeNumber(QByteArrayView table) override;
    bool add(QByteArrayView table) override;
    void remove(int number) override;
    void send(int number) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

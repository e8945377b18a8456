#pragma once

#include "tableform.h"

class QLabel;
class QLineEdit;
class QRadioButton;

// "Edycja bazy rabatów/narzutów": percentage or amount discounts and mark-ups 1..20.
class TProgramowanieRabatow : public TableForm {
    Q_OBJECT
public:
    explicit TProgramowanieRabatow(AppSession& session, QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr;         // number
    QLineEdit* Edit2 = nullptr;         // name
    QLineEdit* Edit3 = nullptr;         // value
    QLabel* unit = nullptr;             // "%" or the accounting currency symbol
    QRadioButton* percentage = nullptr; // "Typ": "Procentowy"
    QRadioButton* amount = nullptr;     //        "Kwotowy"
    QRadioButton* discount = nullptr;   // "Rodzaj": "Rabat"
    QRadioButton* markup = nullptr;     //           "Narzut"

    void TypClick();

protected:
    void fillRows(QByteArrayView table) override;
    void proposeNumber(QByteArrayView table) override;
    bool add(QByteArrayView table) override;
    void send(int number) override;

private:
    QString currencySymbol();
};

#pragma once

#include "tableform.h"

class QComboBox;
class QLineEdit;

// "Edycja bazy form płatności": payment forms other than cash, 1..10.
class TProgramowanieFormPlatnosci : public TableForm {
    Q_OBJECT
public:
    explicit TProgramowanieFormPlatnosci(AppSession& session, QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr;     // number
    QLineEdit* Edit2 = nullptr;     // name
    QComboBox* ComboBox1 = nullptr; // type, "Karta płatnicza" .. "Inna"

protected:
    void fillRows(QByteArrayView table) override;
    void proposeNumber(QByteArrayView table) override;
    bool add(QByteArrayView table) override;
    void send(int number) override;
};

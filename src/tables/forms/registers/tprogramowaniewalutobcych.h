#pragma once

#include "tableform.h"

class QLineEdit;

// "Edycja bazy walut obcych": foreign currencies 1..10 with their exchange rates.
class TProgramowanieWalutObcych : public TableForm {
    Q_OBJECT
public:
    explicit TProgramowanieWalutObcych(AppSession& session, QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr; // number
    QLineEdit* Edit2 = nullptr; // name
    QLineEdit* Edit3 = nullptr; // rate
    QLineEdit* Edit4 = nullptr; // symbol

protected:
    void fillRows(QByteArrayView table) override;
    void proposeNumber(QByteArrayView table) override;
    bool add(QByteArrayView table) override;
    void send(int number) override;
};

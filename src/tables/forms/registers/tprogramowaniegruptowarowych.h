#pragma once

#include "tableform.h"

class QComboBox;
class QLineEdit;

// "Edycja grup towarowych": product groups 1..20; group 1 always stays.
class TProgramowanieGrupTowarowych : public TableForm {
    Q_OBJECT
public:
    explicit TProgramowanieGrupTowarowych(AppSession& session, QWidget* parent = nullptr);

    QComboBox* ComboBox1 = nullptr; // slot "1".."20"
    QLineEdit* Edit1 = nullptr;     // name

protected:
    void fillRows(QByteArrayView table) override;
    void proposeNumber(QByteArrayView table) override;
    bool add(QByteArrayView table) override;
    void remove(int number) override;
    void send(int number) override;
    bool fillWithoutDatabase() const override { return true; }
};

#pragma once

#include "tableform.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;

// "Edycja bazy opakowań": returnable packaging 1..20 that articles sell in tandem.
class TProgramowanieOpakowan : public TableForm {
    Q_OBJECT
public:
    explicit TProgramowanieOpakowan(AppSession& session, QWidget* parent = nullptr);

    QComboBox* ComboBox1 = nullptr; // slot "1".."20"
    QLineEdit* Edit2 = nullptr;     // name
    QLineEdit* Edit3 = nullptr;     // price
    QCheckBox* CheckBox1 = nullptr; // "Możliwosc zmiany ceny w kasie" (hidden)

    // Shows the articles linked to the packaging (TListaTowarowTandem) and returns whether the
    // user confirmed its deletion ("Potwierdź usunięcie opakowania"). Replaceable for tests,
    // which get the lines the list shows.
    std::function<bool(int packaging, const QStringList& linkedArticles)> confirmDeletion;

protected:
    void fillRows(QByteArrayView table) override;
    void proposeNumber(QByteArrayView table) override;
    bool add(QByteArrayView table) override;
    void remove(int number) override;
    void send(int number) override;
};

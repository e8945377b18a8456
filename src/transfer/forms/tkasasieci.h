#pragma once

#include "transfer/chain/registerlist.h"

#include <QDialog>
#include <QList>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class TransferUi;

// "Kasa sieci sklepów": one register of the chain's list, added or changed: its name, the
// port it hangs on, its address on that line and the database file it should hold; with a
// TLS port, how its server's certificate is trusted (a PEM file, a fingerprint). "OK" takes
// it only when it is one the list can hold; otherwise the reason is shown and the dialog stays.
class TKasaSieci : public QDialog {
    Q_OBJECT
public:
    explicit TKasaSieci(TransferUi& ui, QWidget* parent = nullptr);

    // Fills the fields from `reg` (null: a new register); `others` are the list's registers
    // but this one, `baseDir` the list's directory (relative databases are taken from it).
    void setUp(const chain::ChainRegister* reg, const QList<chain::ChainRegister>& others,
               const QString& baseDir);
    // The register as accepted.
    chain::ChainRegister accepted() const { return m_result; }

    // The file dialog of "…", replaceable so that nothing blocks in the tests; empty when
    // cancelled.
    std::function<QString(const QString& proposed)> chooseDatabase;

    QLineEdit* Nazwa = nullptr;
    QComboBox* Port = nullptr;
    QComboBox* Adres = nullptr;
    QLineEdit* Baza = nullptr;
    QPushButton* WybierzBaze = nullptr;
    QLineEdit* PlikCA = nullptr; // ca=: a PEM file, relative to the list's directory
    QLineEdit* Odcisk = nullptr; // pin=: the certificate's SHA-256 fingerprint
    QPushButton* OK = nullptr;

    void OKClick();
    void WybierzBazeClick();

private:
    TransferUi& m_ui;
    QList<chain::ChainRegister> m_others;
    QString m_baseDir;
    chain::ChainRegister m_result;
};

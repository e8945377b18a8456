#pragma once

#include "link/link.h"

#include <QDialog>

#include <functional>

class AppSession;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// "Parametry transmisji": the COM port (or a serial device server's network address, with a
// TLS one how its certificate is trusted), its line settings and the register address. Shown
// modally from the main window; "&Zastosuj" opens the chosen port (falling back to the
// settings it was shown with when that fails), "&Zamknij" and Escape close.
class TUstawieniaTrans : public QDialog {
    Q_OBJECT
public:
    TUstawieniaTrans(AppSession& session, QWidget* parent = nullptr);
    TUstawieniaTrans(AppSession& session, Link& link, QWidget* parent = nullptr);

    QComboBox* CBNrPortu;
    QCheckBox* CBTylkoDostepne; // "Pokazuj tylko dostępne porty"
    QLineEdit* EAdresSieciowy;  // the address behind the network entry
    QLineEdit* ECertyfikat;     // a TLS address: the PEM file its certificate is trusted by
    QPushButton* BWybierzCertyfikat;
    QLineEdit* EOdcisk; // a TLS address: the certificate's pinned SHA-256 fingerprint
    QGroupBox* GBUstawienia;
    QComboBox* CBPredkosc;
    QComboBox* CBBityDanych;
    QComboBox* CBParzystosc;
    QComboBox* CBBityStopu;
    QCheckBox* CBXonXoff;
    QCheckBox* CBRtsCts;
    QComboBox* CBAdres;
    QCheckBox* CBSzybkie; // fast transfers
    QPushButton* BZastosuj;
    QPushButton* BZamknij;

    // Loads the controls from the link state (when built, and after a failed "&Zastosuj"); the
    // settings it is built with are saved in the link to fall back to.
    void loadControls();
    void CBNrPortuChange();
    void CBTylkoDostepneClick();
    void BZastosujClick();
    void BWybierzCertyfikatClick();
    // The file dialog of "…", replaceable so that nothing blocks in the tests; empty when
    // cancelled.
    std::function<QString(const QString& proposed)> chooseCertificate;

private:
    void fillAllPorts();
    void enableSettings();

    AppSession& m_app;
    Link& m_link;
};

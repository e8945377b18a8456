#pragma once

#include <QDialog>

class AppSession;
class Link;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// "Programowanie waluty ewidencyjnej": the accounting currency changed in the register, or
// in the database with every stored amount converted.
class TProgramowanieWalutyEwidencyjnej : public QDialog {
    Q_OBJECT
public:
    explicit TProgramowanieWalutyEwidencyjnej(AppSession& session, QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr;          // "Kurs wymiany na starą walutę ewidencyjną"
    QLineEdit* Edit2 = nullptr;          // "Symbol nowej waluty ewidencyjnej"
    QLabel* symbols = nullptr;           // "(" + new + "/" + current + ")"
    QDateEdit* date = nullptr;           // "Data zmiany (rrrr-mm-dd)"
    QCheckBox* printConverter = nullptr; // "Drukowanie przelicznika walut"
    QLabel* rateHint = nullptr;
    QLabel* symbolHint = nullptr;
    QPushButton* registerButton = nullptr; // "Zmiana w kasie"
    QPushButton* databaseButton = nullptr; // "Zmiana w bazie"
    QPushButton* cancelButton = nullptr;

    void setLink(Link* link) { m_link = link; }

    void ZmianaWKasieClick();
    void ZmianaWBazieClick();
    void Edit2Change();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool checkFields();
    AppSession& m_session;
    Link* m_link;
};

#pragma once

#include <QDialog>

class AppSession;
class Link;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

// "Kopia kasy do bazy": every table the register can send, read in one run into a new
// database file, with the register's model, information, settings and units in a file of
// the same name ending ".kasa" beside it. The file is written only when every table came.
class TKopiaKasy : public QDialog {
    Q_OBJECT
public:
    explicit TKopiaKasy(AppSession& session, QWidget* parent = nullptr);

    // The link the form talks over (the program's own unless a test gives another).
    void setLink(Link& link) { m_link = &link; }

    QLineEdit* Plik = nullptr;
    QPushButton* Wybierz = nullptr;
    QPushButton* Wykonaj = nullptr;
    QPushButton* AnulujKopie = nullptr; // the run's "Anuluj"
    QProgressBar* Postep = nullptr;
    QTableWidget* Podsumowanie = nullptr;
    QLabel* Wynik = nullptr;

    void WybierzClick();
    void WykonajClick();

private:
    AppSession& m_session;
    Link* m_link;
};

#pragma once

#include "link/portscan.h"
#include "transfer/whole/wholerestore.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class AppSession;
class Link;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

// "Programowanie całej kasy": the program's database programmed into the connected register
// (or into several registers on its line) in one run: the check before, all records or only
// those that changed, a summary per table after, and "Wznów" to finish a run that ended early.
class TProgramowanieCalejKasy : public QDialog {
    Q_OBJECT
public:
    explicit TProgramowanieCalejKasy(AppSession& session, QWidget* parent = nullptr);

    // The link the form talks over (the program's own unless a test gives another).
    void setLink(Link& link) { m_link = &link; }

    QCheckBox* TylkoZmienione = nullptr;
    QCheckBox* SkasujNadmiarowe = nullptr;
    QCheckBox* Sprawdz = nullptr; // "Sprawdź po zaprogramowaniu"
    QCheckBox* WieleKas = nullptr;
    QLineEdit* Adresy = nullptr;
    QPushButton* Wykonaj = nullptr;
    QPushButton* Wznow = nullptr;
    QPushButton* AnulujProgramowanie = nullptr; // the run's "Anuluj"
    QProgressBar* Postep = nullptr;
    QTableWidget* Podsumowanie = nullptr;
    QPlainTextEdit* Uwagi = nullptr; // refused records, records only in the register
    QLabel* Wynik = nullptr;

    void WykonajClick();
    void WznowClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // A register the last run did not finish, and where it goes on.
    struct Pending {
        portscan::FoundRegister target;
        wholereg::ResumePoint from;
    };
    void run(const QList<Pending>& targets);
    // The resume points belong to the database they were made with.
    void dropStaleResume();
    void updateButtons();
    wholereg::RestoreOptions options() const;

    AppSession& m_session;
    Link* m_link;
    QList<Pending> m_pending;
    QStringList m_accepted; // the check's problems the person already said yes to
    int m_generation = -1;
};

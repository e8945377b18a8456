#pragma once

#include "link/link.h"
#include "link/portscan.h"

#include <QDialog>
#include <QList>

#include <functional>

class AppSession;
class QFrame;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

// "Wyszukiwanie kasy": looks for registers on every port and address, lists the ports where
// one answered and connects to the chosen one.
class TWyszukiwanieKasyRS : public QDialog {
    Q_OBJECT
public:
    TWyszukiwanieKasyRS(AppSession& session, QWidget* parent = nullptr);
    TWyszukiwanieKasyRS(AppSession& session, Link& link, QWidget* parent = nullptr);

    QListWidget* LBPorty; // "Numer portu:"
    QPushButton* BWyszukaj;
    QPushButton* BPolacz;
    QPushButton* BWyjdz;
    QFrame* PPostep; // the progress panel
    QLabel* LPort;
    QLabel* LAdres;
    QProgressBar* ProgressBar1;
    QPushButton* BAnuluj; // on the progress panel: stops the scan between two probes

    void FormShow();
    void BWyszukajClick();
    void BPolaczClick();

    // Opens the link diagnosis; set by the window that can, which makes a search that finds
    // nothing offer it.
    std::function<void()> showDiagnosis;

    // The register address of each result entry, by position.
    const QList<portscan::FoundRegister>& found() const { return m_found; }

private:
    AppSession& m_app;
    Link& m_link;
    QList<portscan::FoundRegister> m_found;
};

#pragma once

#include "link/link.h"
#include "link/portscan.h"

#include <QDialog>

class AppSession;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// "Podgląd bufora odbiorczego": the link's receive area, or what the port holds right now,
// in hexadecimal, decimal or as characters. A diagnostic view.
class TPokazBuforOdb : public QDialog {
    Q_OBJECT
public:
    TPokazBuforOdb(AppSession& session, QWidget* parent = nullptr);
    TPokazBuforOdb(AppSession& session, Link& link, QWidget* parent = nullptr);

    QRadioButton* RBSzesnastkowo;
    QRadioButton* RBDziesietnie;
    QRadioButton* RBChar;
    QPushButton* BBuforProgramu;
    QPushButton* BBuforPC;
    QPlainTextEdit* Memo1;

    // "Bufor odbiorczy programu": the receive area up to its first zero byte.
    void BBuforProgramuClick();
    // "Bufor odbiorczy PC": up to 30 bytes read straight from the port.
    void BBuforPCClick();
    portscan::BufferView view() const;

private:
    void redraw();

    Link& m_link;
    QByteArray m_copy; // the program's buffer as last copied
};

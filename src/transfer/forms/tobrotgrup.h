#pragma once

#include <QDialog>

class AppSession;
class Link;
class QPlainTextEdit;

// "Obrót grup towarowych": the register's monthly turnover of the 20 groups as text.
class TObrotGrup : public QDialog {
    Q_OBJECT
public:
    explicit TObrotGrup(AppSession& session, QWidget* parent = nullptr);

    // The link the form talks over (the program's own unless a test gives another).
    void setLink(Link& link) { m_link = &link; }

    QPlainTextEdit* text() const { return m_text; }
    void Button1Click(); // "&Odśwież"

private:
    AppSession& m_session;
    Link* m_link;
    QPlainTextEdit* m_text;
};

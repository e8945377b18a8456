#pragma once

#include <QDialog>

class AppSession;
class Link;
class QFrame;
class QLabel;
class QPushButton;

// "Zrzut pamięci podręcznej": dumps the register's cache memory into a file the user chooses
// ("Kopia_cache.bin" proposed). While the dump runs, "Anuluj" and Escape stop it.
class TKopiaPamieciPodrecznej : public QDialog {
    Q_OBJECT
public:
    explicit TKopiaPamieciPodrecznej(AppSession& session, QWidget* parent = nullptr);

    // The link the form talks over (the program's own unless a test gives another).
    void setLink(Link& link) { m_link = &link; }

    QLabel* counter() const { return m_counter; }
    QPushButton* cancelButton() const { return m_cancel; }
    void Button1Click(); // "Wykonaj zrzut pamięci podręcznej": asks for the file
    void dumpTo(const QString& path);

private:
    AppSession& m_session;
    Link* m_link;
    QFrame* m_panel;
    QLabel* m_counter;
    QPushButton* m_start;
    QPushButton* m_cancel;
    bool m_dumping = false;
};

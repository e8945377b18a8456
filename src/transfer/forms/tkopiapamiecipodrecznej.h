#pragma once

#include <QDialog>

class AppSession;
class FormUi;
class QFrame;
class QLabel;
class QPushButton;

// "Zrzut pamięci podręcznej": dumps the register's cache memory into a file the user chooses
// ("Kopia_cache.bin" proposed).
class TKopiaPamieciPodrecznej : public QDialog {
    Q_OBJECT
public:
    explicit TKopiaPamieciPodrecznej(AppSession& session, QWidget* parent = nullptr);
    ~TKopiaPamieciPodrecznej() override;

    QLabel* counter() const { return m_counter; }
    void Button1Click(); // "Wykonaj zrzut pamięci podręcznej": asks for the file
    void dumpTo(const QString& path);

private:
    AppSession& m_session;
    FormUi* m_ui;
    QFrame* m_panel;
    QLabel* m_counter;
    QPushButton* m_start;
};

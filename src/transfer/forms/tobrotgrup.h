#pragma once

#include <QDialog>

class AppSession;
class QPlainTextEdit;

// "Obrót grup towarowych": the register's monthly turnover of the 20 groups as text.
class TObrotGrup : public QDialog {
    Q_OBJECT
public:
    explicit TObrotGrup(AppSession& session, QWidget* parent = nullptr);

    QPlainTextEdit* text() const { return m_text; }
    void Button1Click(); // "&Odśwież"

private:
    AppSession& m_session;
    QPlainTextEdit* m_text;
};

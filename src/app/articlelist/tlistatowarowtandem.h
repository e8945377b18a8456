#pragma once

#include <QDialog>

class AppSession;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// "Lista towarów powiązanych": before a packaging record is deleted, lists the articles sold
// in tandem with it and asks for confirmation. The dialog waits for the user's choice;
// afterwards the caller reads confirmed().
class TListaTowarowTandem : public QDialog {
    Q_OBJECT
public:
    explicit TListaTowarowTandem(AppSession& session, QWidget* parent = nullptr);

    void setPackagingNumber(int number) { m_packaging = number; }
    int packagingNumber() const { return m_packaging; }
    bool confirmed() const { return m_confirmed; }

    // Shows the dialog modally for packaging `number`; true when the deletion was confirmed.
    static bool confirmDeletion(AppSession& session, int number, QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    // "Liczba towarów sprzedawanych w tandemie z opakowaniem nr 3: 2.", shown only when
    // articles are linked.
    QLabel* Label3 = nullptr;
    QPushButton* Button1 = nullptr; // "Potwierdź usunięcie opakowania"
    QPushButton* Button2 = nullptr; // "Anuluj"

    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppSession& m_session;
    int m_packaging = 0;
    bool m_confirmed = false;
};

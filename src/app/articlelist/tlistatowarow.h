#pragma once

#include <QDialog>

#include <functional>

class AppSession;
class ArticleGridModel;
class QPushButton;
class QTableView;

// "Lista towarów": all articles in nine columns, so that a calling form can take an article
// number from it. "OK", a double-click or Enter hand the number of the selected row to
// `chosen` (the caller writes it into its number field and looks the article up) and close;
// Esc and "Zamknij" close without a choice.
class TListaTowarow : public QDialog {
    Q_OBJECT
public:
    explicit TListaTowarow(AppSession& session, QWidget* parent = nullptr);

    std::function<void(int number)> chosen;
    // The number taken by the last choice, 0 when none was made.
    int chosenNumber() const { return m_chosen; }

    QTableView* StringGrid1 = nullptr;
    ArticleGridModel* model() const { return m_model; }
    QPushButton* Button1 = nullptr; // "OK"
    QPushButton* Button2 = nullptr; // "Zamknij"

    void FormShow();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppSession& m_session;
    ArticleGridModel* m_model = nullptr;
    int m_chosen = 0;
};

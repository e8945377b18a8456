#pragma once

#include "tables/articlerecord.h"

#include <QDialog>

#include <functional>

class AppSession;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Edycja towaru": edits one article. The caller sets the article number, shows the dialog
// modally and refreshes its own view afterwards. "Zapisz" hands the fields to `save`, which
// the article base editor points at its own add-to-base (with its checks, messages, unit
// selection and automatic send). Without a `save` the article is written through the same
// checks with the unit it already has. The dialog closes after "Zapisz" whatever the outcome.
class TEdycjaTowaru : public QDialog {
    Q_OBJECT
public:
    explicit TEdycjaTowaru(AppSession& session, QWidget* parent = nullptr);

    void setArticleNumber(int number);
    int articleNumber() const;

    // The fields as "Zapisz" hands them over; the unit is not one of them (unitIndex -1). A
    // group, tandem or halo byte that the lists cannot show is handed over as stored.
    ArticleInput input() const;
    std::function<void(const ArticleInput&)> save;

    QLabel* Label9 = nullptr; // the article number
    QLineEdit* Edit1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QComboBox* ComboBox4 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

    void FormShow();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppSession& m_session;
    ArticleRecord m_stored; // the article as it was when the dialog was shown
};

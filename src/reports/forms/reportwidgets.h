#pragma once

#include "reports/reportorder.h"

#include <QGroupBox>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace reports {

// Paints the inputs of the chosen variant white and the others in the 3-D light colour,
// and enables only the chosen variant's box.
void markActive(QWidget* box, bool active);

// A "Nie"/"Tak" radio group, sent as its item index ("Nie" = 0). Starts at "Nie".
class YesNoGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit YesNoGroup(const QString& title, QWidget* parent = nullptr);
    bool value() const;
    void setValue(bool yes);
    QRadioButton* noButton() const { return m_no; }
    QRadioButton* yesButton() const { return m_yes; }

private:
    QRadioButton* m_no;
    QRadioButton* m_yes;
};

// The scope of the sales, base-with-PTU and full PLU base reports: the whole base, one
// product group (1-20) or a range of article numbers.
class ScopeSelection : public QWidget {
    Q_OBJECT
public:
    explicit ScopeSelection(QWidget* parent = nullptr);

    Scope scope() const;
    void setScope(Scope scope);
    // Re-enables and recolours the three boxes after the chosen radio button.
    void refresh();
    void collect(ReportParams& p) const;

    QRadioButton* wholeBaseButton() const { return m_whole; }
    QRadioButton* groupButton() const { return m_group; }
    QRadioButton* articlesButton() const { return m_articles; }
    QComboBox* groupBox() const { return m_groupCombo; }
    QLineEdit* firstEdit() const { return m_first; }
    QLineEdit* lastEdit() const { return m_last; }
    QGroupBox* groupFrame() const { return m_groupFrame; }
    QGroupBox* articlesFrame() const { return m_articlesFrame; }

private:
    QRadioButton* m_whole;
    QRadioButton* m_group;
    QRadioButton* m_articles;
    QGroupBox* m_groupFrame;
    QGroupBox* m_articlesFrame;
    QComboBox* m_groupCombo;
    QLineEdit* m_first;
    QLineEdit* m_last;
};

} // namespace reports

#pragma once

#include "reports/reportrun.h"

#include <QDialog>

class AppSession;
class Link;
class QPushButton;
class QVBoxLayout;

namespace reports {

// What every report form shares: the caption of its report, "Wykonaj" and "Anuluj",
// Escape to close and Enter to execute, and the run through the register link. The main
// window makes each form once and keeps it, so its controls keep the last choices from one
// opening to the next.
class ReportForm : public QDialog {
    Q_OBJECT
public:
    ReportForm(Kind kind, AppSession& session, QWidget* parent);

    Kind kind() const { return m_kind; }
    // The register the form talks to; the program's link unless a test puts its own in.
    void setLink(Link& link) { m_link = &link; }
    QPushButton* executeButton() const { return m_execute; }
    QPushButton* cancelButton() const { return m_cancel; }
    // The outcome of the last "Wykonaj".
    RunOutcome lastOutcome() const { return m_outcome; }

public slots:
    // "Wykonaj": drain, check, send and wait as the report's kind says.
    void Button1Click();

protected:
    // Where the form puts its controls, above the buttons.
    QVBoxLayout* body() const { return m_body; }
    // The parameters as the controls hold them.
    virtual void collect(ReportParams& p) const = 0;

private:
    Kind m_kind;
    AppSession& m_session;
    Link* m_link;
    QVBoxLayout* m_body;
    QPushButton* m_execute;
    QPushButton* m_cancel;
    RunOutcome m_outcome;
};

} // namespace reports

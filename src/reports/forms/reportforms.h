#pragma once

#include "reports/forms/reportform.h"
#include "reports/forms/reportwidgets.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QRadioButton;

// The report forms of the report tab, one class per entry. Each collects its report's
// parameters; the checks, the frame and the run are the report logic's.

// The periodic fiscal report: monthly, for a period of dates or by report numbers.
class TWykonywanieRaportuOkresowego : public reports::ReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuOkresowego(AppSession& session, QWidget* parent = nullptr);

    QRadioButton* monthlyButton() const { return m_monthly; }
    QRadioButton* periodButton() const { return m_period; }
    QRadioButton* numbersButton() const { return m_numbers; }
    QLineEdit* monthEdit() const { return m_month; }
    QDateEdit* fromDate() const { return m_from; }
    QDateEdit* toDate() const { return m_to; }
    QLineEdit* firstNumberEdit() const { return m_firstNumber; }
    QLineEdit* lastNumberEdit() const { return m_lastNumber; }
    QCheckBox* fullReportBox() const { return m_full; }
    QGroupBox* monthlyFrame() const { return m_monthlyFrame; }
    QGroupBox* periodFrame() const { return m_periodFrame; }
    QGroupBox* numbersFrame() const { return m_numbersFrame; }

protected:
    void collect(reports::ReportParams& p) const override;

private:
    void refresh();

    QRadioButton* m_monthly;
    QRadioButton* m_period;
    QRadioButton* m_numbers;
    QGroupBox* m_monthlyFrame;
    QGroupBox* m_periodFrame;
    QGroupBox* m_numbersFrame;
    QLineEdit* m_month;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QLineEdit* m_firstNumber;
    QLineEdit* m_lastNumber;
    QCheckBox* m_full;
};

namespace reports {

// The three range reports: a scope, "Drukować rekordy zerowe?" and, for the sales report,
// "Raport zerujący?".
class ScopeReportForm : public ReportForm {
    Q_OBJECT
public:
    ScopeReportForm(Kind kind, AppSession& session, QWidget* parent);

    ScopeSelection* scopeSelection() const { return m_scope; }
    YesNoGroup* zeroingGroup() const { return m_zeroing; } // nullptr but in the sales report
    YesNoGroup* zeroRecordsGroup() const { return m_zeroRecords; }

protected:
    void collect(ReportParams& p) const override;
    void showEvent(QShowEvent* event) override;

private:
    ScopeSelection* m_scope;
    YesNoGroup* m_zeroing = nullptr;
    YesNoGroup* m_zeroRecords;
};

// Five reports with "Drukować rekordy zerowe?" and the check box "Raport zerujący".
class TwoOptionsReportForm : public ReportForm {
    Q_OBJECT
public:
    TwoOptionsReportForm(Kind kind, AppSession& session, QWidget* parent);

    YesNoGroup* zeroRecordsGroup() const { return m_zeroRecords; }
    QCheckBox* zeroingBox() const { return m_zeroing; }

protected:
    void collect(ReportParams& p) const override;

private:
    YesNoGroup* m_zeroRecords;
    QCheckBox* m_zeroing;
};

// Reports without parameters.
class PlainReportForm : public ReportForm {
    Q_OBJECT
public:
    PlainReportForm(Kind kind, AppSession& session, QWidget* parent);

protected:
    void collect(ReportParams&) const override {}
};

} // namespace reports

class TWykonywanieRaportuSprzedazy : public reports::ScopeReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuSprzedazy(AppSession& session, QWidget* parent = nullptr);
};

class TWykonywanieRaportuBazyZPTU : public reports::ScopeReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuBazyZPTU(AppSession& session, QWidget* parent = nullptr);
};

class TWykonywaniePelnegoRaportuBazyPLU : public reports::ScopeReportForm {
    Q_OBJECT
public:
    explicit TWykonywaniePelnegoRaportuBazyPLU(AppSession& session, QWidget* parent = nullptr);
};

// The cashier report: cashier 1-10 (back to "1" at every showing), zeroing, full.
class TWykonywanieRaportuKasjera : public reports::ReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuKasjera(AppSession& session, QWidget* parent = nullptr);

    QComboBox* cashierBox() const { return m_cashier; }
    QCheckBox* zeroingBox() const { return m_zeroing; }
    QCheckBox* fullReportBox() const { return m_full; }

protected:
    void collect(reports::ReportParams& p) const override;
    void showEvent(QShowEvent* event) override;

private:
    QComboBox* m_cashier;
    QCheckBox* m_zeroing;
    QCheckBox* m_full;
};

class TWykonywanieRaportuZmianowegoSprzedazy : public reports::TwoOptionsReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuZmianowegoSprzedazy(AppSession& session, QWidget* parent = nullptr);
};

class TWykonywanieRaportuRabatow : public reports::TwoOptionsReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuRabatow(AppSession& session, QWidget* parent = nullptr);
};

class TWykonywanieRaportuOpakowan : public reports::TwoOptionsReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuOpakowan(AppSession& session, QWidget* parent = nullptr);
};

class TWykonywanieRaportuFormPlatnosci : public reports::TwoOptionsReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuFormPlatnosci(AppSession& session, QWidget* parent = nullptr);
};

class TWykonywanieRaportuGrupTowarowych : public reports::TwoOptionsReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuGrupTowarowych(AppSession& session, QWidget* parent = nullptr);
};

// Closes itself once the order went out.
class TWykonywanieRaportuTowarowNieaktywnych : public reports::PlainReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuTowarowNieaktywnych(AppSession& session, QWidget* parent = nullptr);
};

class TWykonywanieRaportuNapisowStalych : public reports::PlainReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuNapisowStalych(AppSession& session, QWidget* parent = nullptr);
};

class TWykonywanieRaportuStawekPTU : public reports::PlainReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuStawekPTU(AppSession& session, QWidget* parent = nullptr);
};

class TWykonywanieRaportuStanuKasy : public reports::PlainReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuStanuKasy(AppSession& session, QWidget* parent = nullptr);
};

class TWykonywanieRaportuKlawiszySzybkich : public reports::PlainReportForm {
    Q_OBJECT
public:
    explicit TWykonywanieRaportuKlawiszySzybkich(AppSession& session, QWidget* parent = nullptr);
};

// The group turnover report for a range of months.
class TRaportObrotuGrup : public reports::ReportForm {
    Q_OBJECT
public:
    explicit TRaportObrotuGrup(AppSession& session, QWidget* parent = nullptr);

    QComboBox* startMonthBox() const { return m_startMonth; }
    QLineEdit* startYearEdit() const { return m_startYear; }
    QComboBox* endMonthBox() const { return m_endMonth; }
    QLineEdit* endYearEdit() const { return m_endYear; }
    QCheckBox* zeroRecordsBox() const { return m_zeroRecords; }

protected:
    void collect(reports::ReportParams& p) const override;

private:
    QComboBox* m_startMonth;
    QLineEdit* m_startYear;
    QComboBox* m_endMonth;
    QLineEdit* m_endYear;
    QCheckBox* m_zeroRecords;
};

#include "reports/forms/reportforms.h"

#include "app/forms/formregistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>

using namespace reports;

namespace {

// A radio button beside the box of inputs it enables.
void addVariant(QGridLayout* grid, int row, QRadioButton* button, QGroupBox* box)
{
    grid->addWidget(button, row, 0, Qt::AlignTop);
    grid->addWidget(box, row, 1);
}

QLineEdit* numberEdit(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(4);
    return edit;
}

QDateEdit* datePicker(const QDate& date, QWidget* parent)
{
    auto* picker = new QDateEdit(date, parent);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    // The whole date beside the calendar button (the edit's own hint leaves out the frame).
    QStyleOptionComboBox option;
    option.initFrom(picker);
    option.editable = true;
    option.frame = true;
    const QFontMetrics fm(picker->font());
    const QSize text(fm.horizontalAdvance(QStringLiteral("8888-88-88")) + 2 * fm.averageCharWidth(),
                     fm.height());
    picker->setMinimumWidth(
        picker->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, picker).width());
    return picker;
}

} // namespace

// ---- periodic report ----------------------------------------------------------------------

TWykonywanieRaportuOkresowego::TWykonywanieRaportuOkresowego(AppSession& session, QWidget* parent)
    : ReportForm(Kind::Periodic, session, parent),
      m_monthly(new QRadioButton(QStringLiteral("Miesięczny"), this)),
      m_period(new QRadioButton(QStringLiteral("Okresowy"), this)),
      m_numbers(new QRadioButton(QStringLiteral("Według numerów"), this)),
      m_monthlyFrame(new QGroupBox(this)), m_periodFrame(new QGroupBox(this)),
      m_numbersFrame(new QGroupBox(this)), m_month(new QLineEdit(m_monthlyFrame)),
      m_full(new QCheckBox(QStringLiteral("Raport pełny"), this))
{
    // Month and year, blanks shown as "_"; an incomplete entry is refused as "Błędna data".
    m_month->setInputMask(QStringLiteral("00-0000;_"));
    m_month->setText(defaultMonthText(QDate::currentDate()));
    auto* monthly = new QHBoxLayout(m_monthlyFrame);
    monthly->addWidget(m_month);
    monthly->addWidget(new QLabel(QStringLiteral("mm-rrrr"), m_monthlyFrame));
    monthly->addStretch();

    // The previous month, first to last day.
    const QDate firstOfThisMonth = QDate::currentDate().addDays(1 - QDate::currentDate().day());
    m_from = datePicker(firstOfThisMonth.addMonths(-1), m_periodFrame);
    m_to = datePicker(firstOfThisMonth.addDays(-1), m_periodFrame);
    auto* period = new QHBoxLayout(m_periodFrame);
    period->addWidget(new QLabel(QStringLiteral("Od"), m_periodFrame));
    period->addWidget(m_from);
    period->addWidget(new QLabel(QStringLiteral("Do"), m_periodFrame));
    period->addWidget(m_to);

    m_firstNumber = numberEdit(m_numbersFrame);
    m_lastNumber = numberEdit(m_numbersFrame);
    auto* numbers = new QHBoxLayout(m_numbersFrame);
    numbers->addWidget(new QLabel(QStringLiteral("Od"), m_numbersFrame));
    numbers->addWidget(m_firstNumber);
    numbers->addWidget(new QLabel(QStringLiteral("Do"), m_numbersFrame));
    numbers->addWidget(m_lastNumber);

    auto* grid = new QGridLayout;
    addVariant(grid, 0, m_monthly, m_monthlyFrame);
    addVariant(grid, 1, m_period, m_periodFrame);
    addVariant(grid, 2, m_numbers, m_numbersFrame);
    body()->addLayout(grid);
    body()->addWidget(m_full);

    m_full->setChecked(true);
    m_monthly->setChecked(true);
    for (QRadioButton* b : {m_monthly, m_period, m_numbers})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                refresh();
        });
    refresh();
}

void TWykonywanieRaportuOkresowego::refresh()
{
    markActive(m_monthlyFrame, m_monthly->isChecked());
    markActive(m_periodFrame, m_period->isChecked());
    markActive(m_numbersFrame, m_numbers->isChecked());
}

void TWykonywanieRaportuOkresowego::collect(ReportParams& p) const
{
    p.variant = m_period->isChecked()    ? PeriodicVariant::Period
                : m_numbers->isChecked() ? PeriodicVariant::Numbers
                                         : PeriodicVariant::Monthly;
    p.monthText = m_month->text();
    p.from = m_from->date();
    p.to = m_to->date();
    p.firstReport = m_firstNumber->text();
    p.lastReport = m_lastNumber->text();
    p.fullReport = m_full->isChecked();
}

// ---- range reports ------------------------------------------------------------------------

ScopeReportForm::ScopeReportForm(Kind kind, AppSession& session, QWidget* parent)
    : ReportForm(kind, session, parent), m_scope(new ScopeSelection(this))
{
    body()->addWidget(m_scope);
    if (info(kind).layout == Layout::SalesScope) {
        m_zeroing = new YesNoGroup(QStringLiteral("Raport zerujący?"), this);
        body()->addWidget(m_zeroing);
    }
    m_zeroRecords = new YesNoGroup(QStringLiteral("Drukować rekordy zerowe?"), this);
    body()->addWidget(m_zeroRecords);
}

void ScopeReportForm::collect(ReportParams& p) const
{
    m_scope->collect(p);
    p.zeroing = m_zeroing && m_zeroing->value();
    p.zeroRecords = m_zeroRecords->value();
}

void ScopeReportForm::showEvent(QShowEvent* event)
{
    m_scope->refresh();
    ReportForm::showEvent(event);
}

TWykonywanieRaportuSprzedazy::TWykonywanieRaportuSprzedazy(AppSession& session, QWidget* parent)
    : ScopeReportForm(Kind::Sales, session, parent)
{
}

TWykonywanieRaportuBazyZPTU::TWykonywanieRaportuBazyZPTU(AppSession& session, QWidget* parent)
    : ScopeReportForm(Kind::BaseWithVat, session, parent)
{
}

TWykonywaniePelnegoRaportuBazyPLU::TWykonywaniePelnegoRaportuBazyPLU(AppSession& session,
                                                                     QWidget* parent)
    : ScopeReportForm(Kind::FullBase, session, parent)
{
}

// ---- cashier report -----------------------------------------------------------------------

TWykonywanieRaportuKasjera::TWykonywanieRaportuKasjera(AppSession& session, QWidget* parent)
    : ReportForm(Kind::Cashier, session, parent), m_cashier(new QComboBox(this)),
      m_zeroing(new QCheckBox(QStringLiteral("Raport zerujący"), this)),
      m_full(new QCheckBox(QStringLiteral("Raport pełny"), this))
{
    for (int c = 1; c <= 10; ++c)
        m_cashier->addItem(QString::number(c));
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Wybierz kasjera:"), this));
    row->addWidget(m_cashier);
    row->addStretch();
    body()->addLayout(row);
    body()->addWidget(m_zeroing);
    body()->addWidget(m_full);
}

void TWykonywanieRaportuKasjera::collect(ReportParams& p) const
{
    p.cashier = m_cashier->currentIndex() + 1;
    p.zeroing = m_zeroing->isChecked();
    p.fullReport = m_full->isChecked();
}

void TWykonywanieRaportuKasjera::showEvent(QShowEvent* event)
{
    m_cashier->setCurrentIndex(0);
    ReportForm::showEvent(event);
}

// ---- reports with two options -------------------------------------------------------------

TwoOptionsReportForm::TwoOptionsReportForm(Kind kind, AppSession& session, QWidget* parent)
    : ReportForm(kind, session, parent),
      m_zeroRecords(new YesNoGroup(QStringLiteral("Drukować rekordy zerowe?"), this)),
      m_zeroing(new QCheckBox(QStringLiteral("Raport zerujący"), this))
{
    body()->addWidget(m_zeroRecords);
    body()->addWidget(m_zeroing);
}

void TwoOptionsReportForm::collect(ReportParams& p) const
{
    p.zeroRecords = m_zeroRecords->value();
    p.zeroing = m_zeroing->isChecked();
}

TWykonywanieRaportuZmianowegoSprzedazy::TWykonywanieRaportuZmianowegoSprzedazy(AppSession& session,
                                                                               QWidget* parent)
    : TwoOptionsReportForm(Kind::ShiftSales, session, parent)
{
}

TWykonywanieRaportuRabatow::TWykonywanieRaportuRabatow(AppSession& session, QWidget* parent)
    : TwoOptionsReportForm(Kind::Discounts, session, parent)
{
}

TWykonywanieRaportuOpakowan::TWykonywanieRaportuOpakowan(AppSession& session, QWidget* parent)
    : TwoOptionsReportForm(Kind::Packaging, session, parent)
{
}

TWykonywanieRaportuFormPlatnosci::TWykonywanieRaportuFormPlatnosci(AppSession& session,
                                                                   QWidget* parent)
    : TwoOptionsReportForm(Kind::PaymentForms, session, parent)
{
}

TWykonywanieRaportuGrupTowarowych::TWykonywanieRaportuGrupTowarowych(AppSession& session,
                                                                     QWidget* parent)
    : TwoOptionsReportForm(Kind::ProductGroups, session, parent)
{
}

// ---- reports without parameters -----------------------------------------------------------

PlainReportForm::PlainReportForm(Kind kind, AppSession& session, QWidget* parent)
    : ReportForm(kind, session, parent)
{
    auto* title = new QLabel(QString::fromUtf16(info(kind).title), this);
    body()->addWidget(title);
}

TWykonywanieRaportuTowarowNieaktywnych::TWykonywanieRaportuTowarowNieaktywnych(AppSession& session,
                                                                               QWidget* parent)
    : PlainReportForm(Kind::InactiveArticles, session, parent)
{
}

TWykonywanieRaportuNapisowStalych::TWykonywanieRaportuNapisowStalych(AppSession& session,
                                                                     QWidget* parent)
    : PlainReportForm(Kind::FixedTexts, session, parent)
{
}

TWykonywanieRaportuStawekPTU::TWykonywanieRaportuStawekPTU(AppSession& session, QWidget* parent)
    : PlainReportForm(Kind::VatRates, session, parent)
{
}

TWykonywanieRaportuStanuKasy::TWykonywanieRaportuStanuKasy(AppSession& session, QWidget* parent)
    : PlainReportForm(Kind::RegisterState, session, parent)
{
}

TWykonywanieRaportuKlawiszySzybkich::TWykonywanieRaportuKlawiszySzybkich(AppSession& session,
                                                                         QWidget* parent)
    : PlainReportForm(Kind::QuickKeys, session, parent)
{
}

// ---- group turnover report ----------------------------------------------------------------

TRaportObrotuGrup::TRaportObrotuGrup(AppSession& session, QWidget* parent)
    : ReportForm(Kind::GroupTurnover, session, parent), m_startMonth(new QComboBox(this)),
      m_startYear(new QLineEdit(this)), m_endMonth(new QComboBox(this)),
      m_endYear(new QLineEdit(this)),
      m_zeroRecords(new QCheckBox(QStringLiteral("Drukowanie rekordów zerowych"), this))
{
    static const char16_t* const months[] = {u"Styczeń",  u"Luty",        u"Marzec",   u"Kwiecień",
                                             u"Maj",      u"Czerwiec",    u"Lipiec",   u"Sierpień",
                                             u"Wrzesień", u"Październik", u"Listopad", u"Grudzień"};
    const QString year = QString::number(QDate::currentDate().year()).rightJustified(4, u'0');
    for (QComboBox* box : {m_startMonth, m_endMonth})
        for (const char16_t* m : months)
            box->addItem(QString::fromUtf16(m));
    for (QLineEdit* edit : {m_startYear, m_endYear}) {
        edit->setInputMask(QStringLiteral("0000;_"));
        edit->setText(year);
    }
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Data początkowa:"), this), 0, 0);
    grid->addWidget(m_startMonth, 0, 1);
    grid->addWidget(m_startYear, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Data końcowa:"), this), 1, 0);
    grid->addWidget(m_endMonth, 1, 1);
    grid->addWidget(m_endYear, 1, 2);
    body()->addLayout(grid);
    body()->addWidget(m_zeroRecords);
}

void TRaportObrotuGrup::collect(ReportParams& p) const
{
    p.startMonth = m_startMonth->currentIndex() + 1;
    p.endMonth = m_endMonth->currentIndex() + 1;
    p.startYear = m_startYear->text();
    p.endYear = m_endYear->text();
    p.zeroRecords = m_zeroRecords->isChecked();
}

VDUNO_REGISTER_FORM(TWykonywanieRaportuOkresowego)
VDUNO_REGISTER_FORM(TWykonywanieRaportuSprzedazy)
VDUNO_REGISTER_FORM(TWykonywanieRaportuTowarowNieaktywnych)
VDUNO_REGISTER_FORM(TWykonywanieRaportuBazyZPTU)
VDUNO_REGISTER_FORM(TWykonywaniePelnegoRaportuBazyPLU)
VDUNO_REGISTER_FORM(TWykonywanieRaportuKasjera)
VDUNO_REGISTER_FORM(TWykonywanieRaportuZmianowegoSprzedazy)
VDUNO_REGISTER_FORM(TWykonywanieRaportuRabatow)
VDUNO_REGISTER_FORM(TWykonywanieRaportuOpakowan)
VDUNO_REGISTER_FORM(TWykonywanieRaportuFormPlatnosci)
VDUNO_REGISTER_FORM(TWykonywanieRaportuGrupTowarowych)
VDUNO_REGISTER_FORM(TWykonywanieRaportuNapisowStalych)
VDUNO_REGISTER_FORM(TWykonywanieRaportuStawekPTU)
VDUNO_REGISTER_FORM(TWykonywanieRaportuStanuKasy)
VDUNO_REGISTER_FORM(TWykonywanieRaportuKlawiszySzybkich)
VDUNO_REGISTER_FORM(TRaportObrotuGrup)

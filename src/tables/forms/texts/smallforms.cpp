#include "smallforms.h"

#include "app/appsession.h"
#include "app/forms/formparts.h"
#include "app/forms/formregistry.h"
#include "app/forms/textfit.h"
#include "common/amount.h"
#include "common/transferui.h"
#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "link/link.h"
#include "tables/clock.h"
#include "tables/halo.h"
#include "tables/managerpassword.h"
#include "tables/nip.h"
#include "tables/receipttext.h"
#include "tables/recordsend.h"
#include "tables/reportset.h"
#include "tables/units.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTextEdit>
#include <QTimeEdit>
#include <QVBoxLayout>

using formparts::button;

namespace {

QLineEdit* field(QWidget* parent, const QString& name, int maxLength)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    return e;
}

} // namespace

// ---- Pobieranie nagłówka -------------------------------------------------------------------

TPobieranieNaglowka::TPobieranieNaglowka(AppSession& session, QWidget* parent)
    : LinkForm(session, QStringLiteral("Pobieranie nagłówka"), parent)
{
    auto* main = new QVBoxLayout(this);
    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(receipt::NormalSize);
    RichEdit1->document()->setDefaultFont(font);
    // A header line (42 characters) whole on one line, and the six lines without scrolling.
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setMinimumSize(
        textBoxSizeFor(RichEdit1, RichEdit1->document(), QString(receipt::LineWidth + 1, u'M'), 8));
    main->addWidget(RichEdit1, 1);
    readButton = button(this, QStringLiteral("Pobierz"), QStringLiteral("Pobierz nagłówek"), true);
    main->addWidget(readButton);
    connect(readButton, &QPushButton::clicked, this, [this] { readClicked(); });
}

void TPobieranieNaglowka::readClicked()
{
    setEnabled(false);
    const auto lines = receipt::readHeader(*m_link, m_session.ui());
    setEnabled(true);
    if (lines)
        RichEdit1->setPlainText(lines->join(u'\n'));
}

// ---- NIP -----------------------------------------------------------------------------------

TProgramowanieNIP::TProgramowanieNIP(AppSession& session, QWidget* parent)
    : LinkForm(session, QStringLiteral("Programowanie NIP (szkoleniowo)"), parent)
{
    auto* main = new QFormLayout(this);
    Edit1 = field(this, QStringLiteral("Edit1"), nip::MaxLength);
    main->addRow(QStringLiteral("NIP:"), Edit1);
    programButton = button(this, QStringLiteral("Programuj"), QStringLiteral("Programuj"), true);
    main->addRow(programButton);
    connect(programButton, &QPushButton::clicked, this, [this] { programClicked(); });
}

void TProgramowanieNIP::programClicked()
{
    setEnabled(false);
    nip::program(*m_link, m_session.ui(), Edit1->text());
    setEnabled(true);
}

// ---- Zestaw raportów -----------------------------------------------------------------------

TProgramowanieZestawuRaportow::TProgramowanieZestawuRaportow(AppSession& session, QWidget* parent)
    : LinkForm(session, QStringLiteral("Programowanie zestawu raportow"), parent)
{
    auto* main = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const QStringList& names = reportSetNames();
    const QStringList& choices = reportSetChoices();
    for (int r = 0; r < ReportSet::Size; ++r) {
        grid->addWidget(new QLabel(names[r], this), r, 0);
        auto* group = new QButtonGroup(this);
        for (int c = 0; c < 3; ++c) {
            auto* radio = new QRadioButton(choices[c], this);
            radio->setObjectName(QStringLiteral("Raport%1_%2").arg(r).arg(c));
            group->addButton(radio, c);
            grid->addWidget(radio, r, c + 1);
        }
        group->button(0)->setChecked(true);
        rows.append(group);
    }
    main->addLayout(grid);
    saveButton = button(this, QStringLiteral("Zapisz"), QStringLiteral("Zapisz"), true);
    main->addWidget(saveButton);
    connect(saveButton, &QPushButton::clicked, this, [this] { saveClicked(); });
}

void TProgramowanieZestawuRaportow::showEvent(QShowEvent* event)
{
    LinkForm::showEvent(event);
    // With a database, online or not, the form shows the stored set and "Zapisz" writes it.
    if (m_session.hasDatabase()) {
        saveButton->setText(QStringLiteral("Zapisz"));
        const ReportSet set = loadReportSet(m_session.database());
        for (int r = 0; r < ReportSet::Size; ++r) {
            // A byte beyond the three choices counts as not in the set.
            const int choice = set.choices[size_t(r)];
            rows[r]->button(choice >= 0 && choice <= 2 ? choice : 0)->setChecked(true);
        }
    } else if (m_session.online()) {
        saveButton->setText(QStringLiteral("Wyslij"));
    }
}

void TProgramowanieZestawuRaportow::saveClicked()
{
    // The choice lives in the database only; the register gets no frame for it.
    if (!m_session.hasDatabase())
        return;
    ReportSet set;
    for (int r = 0; r < ReportSet::Size; ++r)
        set.choices[size_t(r)] = std::max(0, rows[r]->checkedId());
    if (storeReportSet(m_session.database(), set))
        m_session.markModified();
}

// ---- Zegar ---------------------------------------------------------------------------------

TProgramowanieZegara::TProgramowanieZegara(AppSession& session, QWidget* parent)
    : LinkForm(session, QStringLiteral("Programowanie zegara"), parent)
{
    auto* main = new QFormLayout(this);
    date = new QDateEdit(this);
    date->setObjectName(QStringLiteral("Data"));
    date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    date->setCalendarPopup(true);
    time = new QTimeEdit(this);
    time->setObjectName(QStringLiteral("Godzina"));
    time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    main->addRow(QStringLiteral("Data (rrrr-mm-dd)"), date);
    main->addRow(QStringLiteral("Godzina (gg:mm:ss) "), time);
    sendButton = button(this, QStringLiteral("Wyslij"), QStringLiteral("Wyślij do kasy"), true);
    main->addRow(sendButton);
    connect(sendButton, &QPushButton::clicked, this, [this] { sendClicked(); });
}

void TProgramowanieZegara::showEvent(QShowEvent* event)
{
    LinkForm::showEvent(event);
    const QDateTime now = QDateTime::currentDateTime();
    date->setDate(now.date());
    time->setTime(now.time());
}

void TProgramowanieZegara::sendClicked()
{
    setEnabled(false);
    regclock::set(*m_link, m_session.ui(), QDateTime(date->date(), time->time()));
    setEnabled(true);
}

// ---- Hasło kierownika ----------------------------------------------------------------------

TProgramowanieHaslaKierownika::TProgramowanieHaslaKierownika(AppSession& session, QWidget* parent)
    : LinkForm(session, QStringLiteral("Programowanie hasla kierownika"), parent)
{
    auto* main = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("Ustawienie hasła kierownika"), this);
    auto* form = new QFormLayout(box);
    oldPassword = field(box, QStringLiteral("StareHaslo"), managerpassword::Width);
    newPassword = field(box, QStringLiteral("NoweHaslo"), managerpassword::Width);
    form->addRow(QStringLiteral("Stare hasło"), oldPassword);
    form->addRow(QStringLiteral("Nowe hasło"), newPassword);
    confirm = new QCheckBox(QStringLiteral("Potwiedzenie z klawiatury kasy"), box);
    confirm->setObjectName(QStringLiteral("Potwierdzenie"));
    form->addRow(confirm);
    main->addWidget(box);
    auto* buttons = new QHBoxLayout;
    sendButton = button(this, QStringLiteral("Wyslij"), QStringLiteral("Wyslij"), true);
    cancelButton = button(this, QStringLiteral("Anuluj"), QStringLiteral("Anuluj"), false);
    buttons->addWidget(sendButton);
    buttons->addWidget(cancelButton);
    main->addLayout(buttons);
    connect(sendButton, &QPushButton::clicked, this, [this] { sendClicked(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TProgramowanieHaslaKierownika::sendClicked()
{
    const int result = managerpassword::send(*m_link, m_session.ui(), oldPassword->text(),
                                             newPassword->text(), confirm->isChecked(), true);
    recordsend::reportOutcome(m_session.ui(), result, m_link->at(8), managerpassword::sendTexts(),
                              confirm->isChecked());
}

// ---- Tablica HALO --------------------------------------------------------------------------

TProgramowanieTablicyHalo::TProgramowanieTablicyHalo(AppSession& session, QWidget* parent)
    : LinkForm(session, QStringLiteral("Programowanie tablicy HALO"), parent)
{
    auto* main = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (int k = 0; k < 9; ++k) {
        fields[size_t(k)] = field(this, QStringLiteral("Edit") + QString::number(k + 1), 9);
        form->addRow(QString::number(k + 1), fields[size_t(k)]);
    }
    main->addLayout(form);
    auto* buttons = new QHBoxLayout;
    saveButton = button(this, QStringLiteral("Zapisz"), QStringLiteral("Zapisz w bazie PC"), true);
    sendButton = button(this, QStringLiteral("ZapiszWyslij"),
                        QStringLiteral("Zapisz i &wyślij do kasy"), false);
    buttons->addWidget(saveButton);
    buttons->addWidget(sendButton);
    main->addLayout(buttons);
    connect(saveButton, &QPushButton::clicked, this, [this] { saveClicked(); });
    connect(sendButton, &QPushButton::clicked, this, [this] { sendClicked(); });
}

void TProgramowanieTablicyHalo::showEvent(QShowEvent* event)
{
    LinkForm::showEvent(event);
    const HaloTable t = halo::load(m_session.database());
    QStringList stored;
    for (int k = 0; k < 9; ++k)
        stored.append(amount::text(t.amounts[size_t(k + 1)]));
    if (stored != m_shown || m_shownGeneration != m_session.session().generation()) {
        for (int k = 0; k < 9; ++k)
            fields[size_t(k)]->setText(stored[k]);
        m_shown = stored;
        m_shownGeneration = m_session.session().generation();
    }
    sendButton->setEnabled(m_session.online());
}

std::optional<HaloTable> TProgramowanieTablicyHalo::typedTable()
{
    std::array<QString, 9> typed;
    for (int k = 0; k < 9; ++k)
        typed[size_t(k)] = fields[size_t(k)]->text();
    const auto v = validateHalo(typed, halo::load(m_session.database()));
    if (!v.ok()) {
        m_session.ui().showMessage(v.failure->message, TransferUi::Icon::Warning);
        return std::nullopt;
    }
    return v.record;
}

bool TProgramowanieTablicyHalo::saveClicked()
{
    const auto table = typedTable();
    if (!table)
        return false;
    if (m_session.hasDatabase() && halo::store(m_session.database(), *table))
        m_session.markModified();
    return true;
}

void TProgramowanieTablicyHalo::sendClicked()
{
    m_link->drainInput(m_session.ui());
    const auto table = typedTable();
    if (!table)
        return; // fields that refuse the save send nothing either
    if (m_session.hasDatabase() && halo::store(m_session.database(), *table))
        m_session.markModified();
    const int result = halo::send(*m_link, m_session.ui(), *table);
    recordsend::reportOutcome(m_session.ui(), result, m_link->at(8),
                              {QStringLiteral("Tablicę HALO zapisano w kasie"),
                               QStringLiteral("Błąd! Kasa nie potwierdziła zapisu tablicy HALO!")});
}

// ---- Jednostki -----------------------------------------------------------------------------

TJednostkiTowarowe::TJednostkiTowarowe(AppSession& session, QWidget* parent)
    : LinkForm(session, QStringLiteral("Programowalne jednostki towarowe"), parent)
{
    auto* main = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("Edycja jednostki programowalnej"), this);
    auto* form = new QFormLayout(box);
    for (int i = 0; i < units::Count; ++i) {
        units[size_t(i)] =
            field(box, QStringLiteral("Jednostka") + QString::number(i + 1), units::Width);
        form->addRow(QStringLiteral("Jednostka nr ") + QString::number(i + 1), units[size_t(i)]);
    }
    main->addWidget(box);
    auto* buttons = new QHBoxLayout;
    refreshButton = button(this, QStringLiteral("Odswiez"), QStringLiteral("Odśwież"), false);
    sendButton = button(this, QStringLiteral("Wyslij"), QStringLiteral("Wyślij do kasy"), true);
    buttons->addWidget(refreshButton);
    buttons->addWidget(sendButton);
    main->addLayout(buttons);
    connect(refreshButton, &QPushButton::clicked, this, [this] { refreshClicked(); });
    connect(sendButton, &QPushButton::clicked, this, [this] { sendClicked(); });
}

void TJednostkiTowarowe::refreshClicked()
{
    setEnabled(false);
    const auto names = units::read(*m_link, m_session.ui());
    setEnabled(true);
    if (!names)
        return;
    for (int i = 0; i < units::Count; ++i)
        units[size_t(i)]->setText(names->value(i));
}

void TJednostkiTowarowe::sendClicked()
{
    QStringList names;
    for (QLineEdit* e : units)
        names.append(e->text());
    const int result = units::send(*m_link, m_session.ui(), names, true);
    recordsend::reportOutcome(m_session.ui(), result, m_link->at(8), units::sendTexts());
}

VDUNO_REGISTER_FORM(TPobieranieNaglowka)
VDUNO_REGISTER_FORM(TProgramowanieNIP)
VDUNO_REGISTER_FORM(TProgramowanieZestawuRaportow)
VDUNO_REGISTER_FORM(TProgramowanieZegara)
VDUNO_REGISTER_FORM(TProgramowanieHaslaKierownika)
VDUNO_REGISTER_FORM(TProgramowanieTablicyHalo)
VDUNO_REGISTER_FORM(TJednostkiTowarowe)

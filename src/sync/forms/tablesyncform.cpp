#include "tablesyncform.h"

#include "app/forms/formparts.h"
#include "app/forms/textfit.h"
#include "checklist.h"
#include "transferpanel.h"

#include "app/appsession.h"
#include "common/transferrun.h"
#include "link/link.h"
#include "sync/tablesync.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <memory>

using basesync::TableSync;

using formparts::button;

namespace {

// Both check-all toggles of a member start at checking all lines when the program starts
// and are not reset when the form is shown again.
struct Toggles {
    bool pc = true;
    bool reg = true;
};

Toggles& toggles(const basesync::TableMember& member)
{
    static QHash<QString, Toggles> all;
    return all[member.id];
}

// The widest line the lists show for the member: "nn. ", the name and the columns after it
// (an image of zeros and one of ones give each column its longest text).
int lineChars(const basesync::TableMember& member)
{
    int columns = 0;
    for (char fill : {'\0', '\x01'})
        columns = qMax(columns, int(member.columns(QByteArray(member.imageSize, fill)).size()));
    return 4 + member.listNameWidth + columns;
}

// A check list wide enough to show its lines whole, measured in its own (fixed-pitch) font.
void fitListWidth(QListWidget* list, int chars)
{
    list->setMinimumWidth(listWidthFor(list, QString(chars + 2, u'M'), true));
}

} // namespace

TableSyncForm::TableSyncForm(const basesync::TableMember& member, AppSession& session,
                             QWidget* parent)
    : QDialog(parent), m_member(member), m_session(session),
      m_buffer(std::make_unique<TableSync>(member))
{
    setWindowTitle(member.caption);
    auto* top = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    top->addLayout(columns);

    auto* pcBox = new QVBoxLayout;
    pcBox->addWidget(new QLabel(member.pcTitle, this));
    m_pcList = new QListWidget(this);
    m_pcList->setObjectName(QStringLiteral("PcList"));
    m_pcList->setFont(QFont(QStringLiteral("Monospace")));
    pcBox->addWidget(m_pcList, 1);
    m_pcAll = button(this, QStringLiteral("PcAll"), QStringLiteral("Zaznacz/odznacz wszystko "));
    pcBox->addWidget(m_pcAll);
    columns->addLayout(pcBox, 3);

    auto* middle = new QVBoxLayout;
    m_refresh = button(this, QStringLiteral("Odswiez"), QStringLiteral("&Odśwież"));
    m_toRegister = button(this, QStringLiteral("DoKasy"), member.copyToRegisterCaption);
    m_toPc = button(this, QStringLiteral("DoPc"), member.copyToPcCaption);
    m_delete = button(this, QStringLiteral("Usun"), QStringLiteral("Usuń"));
    for (QPushButton* b : {m_refresh, m_toRegister, m_toPc, m_delete})
        middle->addWidget(b);
    m_confirm = new QCheckBox(member.confirmCaption, this);
    m_confirm->setObjectName(QStringLiteral("Potwierdzaj"));
    m_confirm->setVisible(!member.confirmCaption.isEmpty());
    middle->addStretch(1);
    columns->addLayout(middle, 1);

    auto* regBox = new QVBoxLayout;
    regBox->addWidget(new QLabel(member.registerTitle, this));
    m_regList = new QListWidget(this);
    m_regList->setObjectName(QStringLiteral("RegisterList"));
    m_regList->setFont(QFont(QStringLiteral("Monospace")));
    regBox->addWidget(m_regList, 1);
    m_regAll =
        button(this, QStringLiteral("RegisterAll"), QStringLiteral("Zaznacz/odznacz wszystko "));
    regBox->addWidget(m_regAll);
    columns->addLayout(regBox, 3);
    // Both lists show their lines whole; the option goes under them, where its long caption
    // takes no width from the lists.
    fitListWidth(m_pcList, lineChars(member));
    fitListWidth(m_regList, lineChars(member));
    top->addWidget(m_confirm);

    auto* detailsBox = new QGroupBox(this);
    auto* detailsLayout = new QVBoxLayout(detailsBox);
    m_name = new QLabel(detailsBox);
    m_name->setObjectName(QStringLiteral("Nazwa"));
    detailsLayout->addWidget(m_name);
    m_details = new QFormLayout;
    detailsLayout->addLayout(m_details);
    m_notice = new QLabel(detailsBox);
    m_notice->setObjectName(QStringLiteral("Zalogowany"));
    detailsLayout->addWidget(m_notice);
    if (member.pcDetails) {
        auto* password = new QHBoxLayout;
        m_showPassword =
            button(detailsBox, QStringLiteral("PokazHaslo"), QStringLiteral("Pokaż hasło"));
        m_password = new QLabel(detailsBox);
        m_password->setObjectName(QStringLiteral("Haslo"));
        m_password->hide();
        password->addWidget(m_showPassword);
        password->addWidget(m_password, 1);
        detailsLayout->addLayout(password);
        connect(m_showPassword, &QPushButton::clicked, this, [this] { PokazHasloClick(); });
    }
    top->addWidget(detailsBox);

    // "Czekaj..." with the run's counter and its "Anuluj".
    m_panel = new TransferPanel(this);
    m_panel->setObjectName(QStringLiteral("Czekaj"));
    top->addWidget(m_panel);

    connect(m_refresh, &QPushButton::clicked, this, [this] { OdswiezClick(); });
    connect(m_toRegister, &QPushButton::clicked, this, [this] { DoKasyClick(); });
    connect(m_toPc, &QPushButton::clicked, this, [this] { DoPcClick(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { UsunClick(); });
    connect(m_pcAll, &QPushButton::clicked, this, [this] {
        Toggles& t = toggles(m_member);
        checklist::setAll(m_pcList, t.pc);
        t.pc = !t.pc;
    });
    connect(m_regAll, &QPushButton::clicked, this, [this] {
        Toggles& t = toggles(m_member);
        checklist::setAll(m_regList, t.reg);
        t.reg = !t.reg;
    });
    connect(m_pcList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { PcListClick(item); });
    connect(m_regList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { RegisterListClick(item); });
    connect(m_pcList, &QListWidget::itemDoubleClicked, this, &checklist::toggle);
    connect(m_regList, &QListWidget::itemDoubleClicked, this, &checklist::toggle);
    resize(900, 600);
}

TableSyncForm::~TableSyncForm() = default;

void TableSyncForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TableSyncForm::FormShow()
{
    showDetails({});
    // A list read at an earlier showing may be of another register by now.
    buffer().clear();
    rebuildPcList();
    rebuildRegisterList();
}

quint8 TableSyncForm::confirmByte() const
{
    return !m_member.confirmCaption.isEmpty() && m_confirm->isChecked() ? 1 : 0;
}

void TableSyncForm::rebuildPcList()
{
    checklist::fill(m_pcList, buffer().pcLines(m_session.database()));
}

void TableSyncForm::rebuildRegisterList()
{
    checklist::fill(m_regList, buffer().registerLines());
}

void TableSyncForm::showDetails(const basesync::Details& details)
{
    m_name->setText(details.title);
    while (m_details->rowCount() > 0)
        m_details->removeRow(0);
    for (const basesync::DetailField& f : details.fields) {
        // The password has its own label, shown only on request.
        if (m_password && f.caption == QStringLiteral("Hasło:"))
            continue;
        m_details->addRow(f.caption, new QLabel(f.value));
    }
    m_notice->setText(details.notice);
    m_passwordText = details.value(QStringLiteral("Hasło:"));
    setPasswordShown(false);
}

void TableSyncForm::setPasswordShown(bool shown)
{
    if (!m_password)
        return;
    m_password->setText(m_passwordText);
    m_password->setVisible(shown && !m_passwordText.isNull());
    m_showPassword->setText(shown ? QStringLiteral("Ukryj hasło") : QStringLiteral("Pokaż hasło"));
}

void TableSyncForm::PokazHasloClick()
{
    setPasswordShown(!m_password->isVisible());
}

TransferRun::View TableSyncForm::runView()
{
    return {this, m_panel->cancelButton(),
            [this](int done, int total) { m_panel->setCounter(done, total); }};
}

void TableSyncForm::sayIfShort(const basesync::ReadOutcome& outcome)
{
    // What arrived is listed; that it is not the whole table is said.
    if (!outcome.complete)
        m_session.ui().showMessage(stoppedReadText(outcome.received, 0), TransferUi::Icon::Warning);
}

void TableSyncForm::OdswiezClick()
{
    m_panel->start(QStringLiteral("Czekaj..."), QStringLiteral("Liczba odczytanych rekordów:"));
    m_regList->clear();
    basesync::ReadOutcome outcome;
    {
        TransferRun run(m_session.ui(), runView());
        outcome = buffer().read(Link::instance(), run);
    }
    m_panel->hide();
    rebuildRegisterList();
    sayIfShort(outcome);
}

void TableSyncForm::DoKasyClick()
{
    const QSet<int> checked = checklist::checked(m_pcList);
    if (checked.isEmpty())
        return;
    m_panel->start(QStringLiteral("Czekaj..."), QStringLiteral("Liczba wysłanych rekordów:"));
    basesync::TableRunResult result;
    {
        // The run itself says how it ended, a stop included.
        TransferRun run(m_session.ui(), runView());
        result = buffer().program(Link::instance(), run, m_session.database(),
                                  checklist::numbers(m_pcList), checked, confirmByte());
    }
    m_panel->hide();
    rebuildRegisterList();
    if (result.reread)
        sayIfShort(result.readAgain);
}

void TableSyncForm::DoPcClick()
{
    const QSet<int> checked = checklist::checked(m_regList);
    if (checked.isEmpty() || !buffer().origin().allowsCopy(Link::instance(), m_session.ui()))
        return;
    TableSync& sync = buffer();
    // The PC base changed: the save prompt must guard it like any other edit.
    if (sync.copyToPc(m_session.database(), checked) > 0)
        m_session.markModified();
    rebuildPcList();
    // The register keeps more cashiers than the PC's list has lines: those are not copied,
    // and the person is told which.
    const QList<int> beyond = sync.beyondPc(checked);
    if (!beyond.isEmpty()) {
        QStringList numbers;
        for (int n : beyond)
            numbers.append(QString::number(n));
        m_session.ui().showMessage(QStringLiteral("Nie skopiowano do PC rekordów nr ") +
                                       numbers.join(QStringLiteral(", ")) +
                                       QStringLiteral(": baza PC obejmuje numery 1-") +
                                       QString::number(m_member.pcLines) + u'.',
                                   TransferUi::Icon::Warning);
    }
}

void TableSyncForm::UsunClick()
{
    const QSet<int> checked = checklist::checked(m_regList);
    if (checked.isEmpty())
        return;
    // What the register deletes, it does not give back.
    if (m_session.ui().ask(
            QStringLiteral("Usunąć z kasy zaznaczone rekordy (") + QString::number(checked.size()) +
                QStringLiteral(")? Tego nie można cofnąć."),
            TransferUi::Buttons::YesNo, TransferUi::Icon::Warning) != TransferUi::Answer::Yes)
        return;
    m_panel->start(QStringLiteral("Czekaj..."), QStringLiteral("Liczba skasowanych rekordów:"));
    basesync::TableRunResult result;
    {
        TransferRun run(m_session.ui(), runView());
        result = buffer().deleteInRegister(Link::instance(), run, checklist::numbers(m_regList),
                                           checked, confirmByte());
    }
    m_panel->hide();
    rebuildRegisterList();
    if (result.stopped || result.broken)
        m_session.ui().showMessage(stoppedSendText(result.done, result.total),
                                   TransferUi::Icon::Warning);
}

void TableSyncForm::PcListClick(QListWidgetItem* item)
{
    m_regList->clearSelection();
    const int n = item ? checklist::current(m_pcList) : 0;
    showDetails(buffer().pcDetails(m_session.database(), n));
}

void TableSyncForm::RegisterListClick(QListWidgetItem* item)
{
    m_pcList->clearSelection();
    const int n = item ? checklist::current(m_regList) : 0;
    showDetails(buffer().registerDetails(n));
}

// The six members register beside the shared form, so that linking the form brings them.
#include "app/forms/formregistry.h"
#include "tsynchronizacjabazy.h"

VDUNO_REGISTER_FORM(TSynchronizacjaBazyGrupTowarowych)
VDUNO_REGISTER_FORM(TSynchronizacjaBazyOpakowan)
VDUNO_REGISTER_FORM(TSynchronizacjaBazyKasjerow)
VDUNO_REGISTER_FORM(TSynchronizacjaBazyRabatow)
VDUNO_REGISTER_FORM(TSynchronizacjaBazyFormPlatnosci)
VDUNO_REGISTER_FORM(TSynchronizacjaBazyWalut)

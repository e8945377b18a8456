#include "tprogramowaniestawekptu.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "common/transferui.h"
#include "database/databasesession.h"
#include "link/link.h"
#include "tables/recordsend.h"
#include "tables/vatrates.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TProgramowanieStawekPTU::TProgramowanieStawekPTU(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_link(&Link::instance())
{
    setWindowTitle(QStringLiteral("Edycja stawek PTU"));
    auto* main = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Programowanie stawek PTU"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    main->addWidget(title);

    auto* table = new QGridLayout;
    for (int i = 0; i < 7; ++i) {
        const QString letter(QChar(u'A' + i));
        const QString prefix = QStringLiteral("PTU_") + letter;
        Letter& l = letters[i];
        table->addWidget(new QLabel(QStringLiteral("PTU ") + letter, this), i, 0);
        l.rate = new QLineEdit(QStringLiteral("0.00"), this);
        l.rate->setObjectName(prefix);
        l.rate->setMaxLength(6);
        table->addWidget(l.rate, i, 1);
        table->addWidget(new QLabel(QStringLiteral("%"), this), i, 2);
        auto* group = new QButtonGroup(this);
        const auto radio = [&](const char* suffix, const QString& text, int column) {
            auto* r = new QRadioButton(text, this);
            r->setObjectName(prefix + QLatin1String(suffix));
            group->addButton(r);
            table->addWidget(r, i, column);
            connect(r, &QRadioButton::clicked, this, &TProgramowanieStawekPTU::refreshFields);
            return r;
        };
        l.taxed = radio("_O", QStringLiteral("Opodatkowana"), 3);
        l.exempt = radio("_Z", QStringLiteral("Zwolniona"), 4);
        l.inactive = radio("_N", QStringLiteral("Nieaktywna"), 5);
        l.inactive->setChecked(true);
    }
    main->addLayout(table);

    confirm = new QCheckBox(QStringLiteral("Potwiedzenie z klawiatury kasy"), this);
    confirm->setObjectName(QStringLiteral("Potwierdzenie"));
    main->addWidget(confirm);
    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    saveButton = button("Zapisz", QStringLiteral("Zapisz w bazie PC"));
    sendButton = button("Wyslij", QStringLiteral("Wyślij do kasy"));
    cancelButton = button("Anuluj", QStringLiteral("Anuluj"));
    main->addLayout(buttons);
    connect(saveButton, &QPushButton::clicked, this, &TProgramowanieStawekPTU::ZapiszClick);
    connect(sendButton, &QPushButton::clicked, this, &TProgramowanieStawekPTU::WyslijClick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    refreshFields();
}

void TProgramowanieStawekPTU::refreshFields()
{
    for (Letter& l : letters)
        l.rate->setEnabled(l.taxed->isChecked());
}

void TProgramowanieStawekPTU::showTable()
{
    if (m_session.hasDatabase() && m_session.session().isLoaded()) {
        m_shown = m_session.database().readBytes(layout::VatRates.base, VatRates::Size);
        m_shownGeneration = m_session.session().generation();
        const VatRates rates = VatRates::decode(m_shown);
        for (int i = 0; i < 7; ++i) {
            Letter& l = letters[i];
            switch (VatRates::choiceOf(rates.values[i])) {
            case VatRates::Taxed:
                l.taxed->setChecked(true);
                break;
            case VatRates::ExemptChoice:
                l.exempt->setChecked(true);
                break;
            case VatRates::InactiveChoice:
                l.inactive->setChecked(true);
                break;
            }
            l.rate->setText(VatRates::rateText(rates.values[i]));
        }
    }
    refreshFields();
    sendButton->setEnabled(m_session.online());
}

void TProgramowanieStawekPTU::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const bool changed =
        m_session.hasDatabase() && m_session.session().isLoaded() &&
        (m_shownGeneration != m_session.session().generation() ||
         m_session.database().readBytes(layout::VatRates.base, VatRates::Size) != m_shown);
    if (changed) {
        showTable();
    } else {
        refreshFields();
        sendButton->setEnabled(m_session.online());
    }
}

bool TProgramowanieStawekPTU::ZapiszClick()
{
    const auto rates = typedRates();
    return rates && store(*rates);
}

std::optional<VatRates> TProgramowanieStawekPTU::typedRates()
{
    VatInput in;
    for (int i = 0; i < 7; ++i) {
        const Letter& l = letters[i];
        in.rates[i] = l.rate->text();
        in.choices[i] = l.taxed->isChecked()    ? VatRates::Taxed
                        : l.exempt->isChecked() ? VatRates::ExemptChoice
                                                : VatRates::InactiveChoice;
    }
    const Validated<VatRates> v = validateVatRates(in);
    if (!v.ok()) {
        m_session.ui().showMessage(v.failure->message, TransferUi::Icon::Warning);
        return std::nullopt;
    }
    return v.record;
}

bool TProgramowanieStawekPTU::store(const VatRates& rates)
{
    if (!m_session.session().isLoaded() ||
        !m_session.database().writeRecord(layout::VatRates.base, rates.encode())) {
        m_session.ui().showMessage(QStringLiteral("     Plik zamknięty.     "),
                                   TransferUi::Icon::Warning);
        return false;
    }
    m_session.markModified();
    showTable();
    return true;
}

void TProgramowanieStawekPTU::WyslijClick()
{
    // A refused rate leaves the file as it was and nothing goes to the register: the rates
    // it would get are not the ones on the screen.
    const auto rates = typedRates();
    if (!rates)
        return;
    // The register keeps each change of its rates in the fiscal memory, which takes only a
    // limited number of them: ask before the change, and No leaves everything as it was.
    if (m_session.ui().ask(QStringLiteral("Zmiana stawek PTU zostanie zapisana w pamięci "
                                          "fiskalnej kasy i nie można jej cofnąć. Wysłać "
                                          "stawki PTU do kasy?"),
                           TransferUi::Buttons::YesNo,
                           TransferUi::Icon::Warning) != TransferUi::Answer::Yes)
        return;
    if (!store(*rates))
        return;
    const QByteArray table = m_session.database().readBytes(layout::VatRates.base, VatRates::Size);
    const quint8 confirmByte = confirm->isChecked() ? 1 : 0;
    const int result = recordsend::sendFrame(
        *m_link, m_session.ui(), commands::vatRates(m_link->address, 0x8001, table, confirmByte),
        {true, 0, -1});
    if (result < 0)
        return;
    const QString text = vatSendMessage(result, m_link->at(8), confirm->isChecked());
    if (!text.isEmpty())
        m_session.ui().showMessage(text, result == 0 || result == 3 ? TransferUi::Icon::Information
                                                                    : TransferUi::Icon::Warning);
}

VDUNO_REGISTER_FORM(TProgramowanieStawekPTU)

#include "tprogramowaniewalutyewidencyjnej.h"

#include "app/appsession.h"
#include "app/forms/formparts.h"
#include "app/forms/formregistry.h"
#include "common/transferui.h"
#include "database/databasesession.h"
#include "link/link.h"
#include "tables/accountingcurrency.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TProgramowanieWalutyEwidencyjnej::TProgramowanieWalutyEwidencyjnej(AppSession& session,
                                                                   QWidget* parent)
    : QDialog(parent), m_session(session), m_link(&Link::instance())
{
    setWindowTitle(QStringLiteral("Programowanie waluty ewidencyjnej"));
    auto* main = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    rateHint = formparts::redHint(this, QStringLiteral("Edit1Hint"));
    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(Edit1, 1);
    rateRow->addWidget(rateHint);
    fields->addRow(QStringLiteral("Kurs wymiany na starą walutę ewidencyjną"), rateRow);

    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setMaxLength(3);
    symbols = new QLabel(this);
    symbols->setObjectName(QStringLiteral("Symbole"));
    symbolHint = formparts::redHint(this, QStringLiteral("Edit2Hint"));
    auto* symbolRow = new QHBoxLayout;
    symbolRow->addWidget(Edit2, 1);
    symbolRow->addWidget(symbols);
    symbolRow->addWidget(symbolHint);
    fields->addRow(QStringLiteral("Symbol nowej waluty ewidencyjnej"), symbolRow);

    date = new QDateEdit(this);
    date->setObjectName(QStringLiteral("Data"));
    date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    date->setCalendarPopup(true);
    fields->addRow(QStringLiteral("Data zmiany (rrrr-mm-dd)"), date);
    main->addLayout(fields);

    printConverter = new QCheckBox(QStringLiteral("Drukowanie przelicznika walut"), this);
    printConverter->setObjectName(QStringLiteral("Drukowanie"));
    main->addWidget(printConverter);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    registerButton = button("ZmianaWKasie", QStringLiteral("Zmiana w kasie"));
    databaseButton = button("ZmianaWBazie", QStringLiteral("Zmiana w bazie"));
    cancelButton = button("Anuluj", QStringLiteral("Anuluj"));
    main->addLayout(buttons);

    connect(Edit2, &QLineEdit::textChanged, this, &TProgramowanieWalutyEwidencyjnej::Edit2Change);
    connect(registerButton, &QPushButton::clicked, this,
            &TProgramowanieWalutyEwidencyjnej::ZmianaWKasieClick);
    connect(databaseButton, &QPushButton::clicked, this,
            &TProgramowanieWalutyEwidencyjnej::ZmianaWBazieClick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    Edit2Change();
}

void TProgramowanieWalutyEwidencyjnej::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    date->setDate(QDate::currentDate());
    registerButton->setEnabled(m_session.online());
    databaseButton->setEnabled(m_session.hasDatabase());
    Edit2Change();
}

void TProgramowanieWalutyEwidencyjnej::Edit2Change()
{
    symbols->setText(
        accountingcurrency::symbolLabel(Edit2->text(), m_session.session().currencySymbol()));
}

bool TProgramowanieWalutyEwidencyjnej::checkFields()
{
    QList<Failure> hints;
    const auto failure =
        accountingcurrency::checkInput({Edit1->text(), Edit2->text(), {}, false}, &hints);
    rateHint->hide();
    symbolHint->hide();
    for (const Failure& f : hints) {
        QLabel* label = f.field == QStringLiteral("Edit1") ? rateHint : symbolHint;
        label->setText(f.message);
        label->show();
    }
    if (!hints.isEmpty())
        (hints.first().field == QStringLiteral("Edit1") ? Edit1 : Edit2)->setFocus();
    if (hints.isEmpty() && failure) {
        m_session.ui().showMessage(failure->message, TransferUi::Icon::Warning);
        Edit2->setFocus();
        return false;
    }
    return !failure;
}

void TProgramowanieWalutyEwidencyjnej::ZmianaWKasieClick()
{
    if (!checkFields())
        return;
    accountingcurrency::changeInRegister(
        *m_link, m_session.ui(),
        {Edit1->text(), Edit2->text(), date->date(), printConverter->isChecked()});
}

void TProgramowanieWalutyEwidencyjnej::ZmianaWBazieClick()
{
    if (!checkFields())
        return;
    // Every price in the database is rewritten: ask first, naming the rate and the currency.
    // A rate that cannot be read is refused by the conversion itself, before any question.
    if (const auto factor = accountingcurrency::parseFactor(Edit1->text());
        factor &&
        m_session.ui().ask(
            QStringLiteral("Ceny towarów i opakowań, rabaty kwotowe i kursy walut "
                           "w bazie zostaną przeliczone kursem ") +
                factor->text() + QStringLiteral(" na walutę ") + Edit2->text().trimmed() +
                QStringLiteral(". Tego nie można cofnąć. Przeliczyć?"),
            TransferUi::Buttons::YesNo, TransferUi::Icon::Warning) != TransferUi::Answer::Yes)
        return;
    const accountingcurrency::Conversion done = accountingcurrency::changeInDatabase(
        m_session.session(), {Edit1->text(), Edit2->text(), date->date(), false});
    if (done.ok || m_session.session().isModified())
        m_session.markModified();
    m_session.ui().showMessage(done.message,
                               done.ok ? TransferUi::Icon::Information : TransferUi::Icon::Warning);
    if (done.ok)
        accept();
}

VDUNO_REGISTER_FORM(TProgramowanieWalutyEwidencyjnej)

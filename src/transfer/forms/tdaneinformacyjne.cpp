#include "tdaneinformacyjne.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "common/transferrun.h"
#include "link/link.h"

#include <QApplication>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using transfer::InfoField;

namespace {

// The captions of the currency change group stand on two lines, as on the register's forms.
QString formCaption(InfoField f)
{
    switch (f) {
    case InfoField::CurrencyChange:
        return QStringLiteral("Zaprogramowana zmiana\nwaluty ewidencyjnej");
    case InfoField::NewCurrencySymbol:
        return QStringLiteral("Symbol nowej\nwaluty ewidencyjnej");
    case InfoField::CurrencyChangeDate:
        return QStringLiteral("Data zmiany\nwaluty ewidencyjnej");
    default:
        return transfer::infoCaption(f);
    }
}

bool inChangeGroup(InfoField f)
{
    return f == InfoField::CurrencyChange || f == InfoField::NewCurrencySymbol ||
           f == InfoField::CurrencyChangeDate;
}

bool inPortGroup(InfoField f)
{
    return f == InfoField::PortA || f == InfoField::PortB || f == InfoField::Usb;
}

} // namespace

TDaneInformacyjne::TDaneInformacyjne(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_link(&Link::instance())
{
    setObjectName(QStringLiteral("TDaneInformacyjne"));
    setWindowTitle(QStringLiteral("Dane informacyjne kasy"));
    auto* top = new QVBoxLayout(this);
    auto* main = new QFormLayout;
    m_change = new QGroupBox(QStringLiteral("Zmiana waluty ewidencyjnej"), this);
    auto* changeForm = new QFormLayout(m_change);
    auto* ports = new QGroupBox(QStringLiteral("Porty wyjścia"), this);
    auto* portForm = new QFormLayout(ports);
    const QString valueSample = QStringLiteral("00:00   00-00-0000 ");
    for (int i = 0; i < transfer::kInfoFieldCount; ++i) {
        const auto f = InfoField(i);
        auto* caption = new QLabel(formCaption(f), this);
        auto* value = new QLabel(this); // blank until the first fetch
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setObjectName(QStringLiteral("value%1").arg(i));
        // Room for the longest value (a time with its date, a cashier's 21-character name)
        // before the first fetch, so that the form does not grow under the pointer.
        value->setMinimumWidth(qMax(value->fontMetrics().horizontalAdvance(valueSample),
                                    21 * value->fontMetrics().averageCharWidth()));
        m_captions[size_t(i)] = caption;
        m_values[size_t(i)] = value;
        QFormLayout* into = inChangeGroup(f) ? changeForm : inPortGroup(f) ? portForm : main;
        into->addRow(caption, value);
    }
    // A click on "Godzina i data wykonania" fetches as well.
    m_captions[size_t(InfoField::LastDailyReport)]->installEventFilter(this);
    m_captions[size_t(InfoField::LastDailyReport)]->setCursor(Qt::PointingHandCursor);
    top->addLayout(main);
    auto* groups = new QHBoxLayout;
    groups->addWidget(m_change);
    groups->addWidget(ports);
    top->addLayout(groups);
    m_wait = new QLabel(QStringLiteral("Czekaj..."), this);
    m_wait->setAlignment(Qt::AlignCenter);
    m_wait->setFrameShape(QFrame::Panel);
    m_wait->hide();
    top->addWidget(m_wait);
    auto* buttons = new QHBoxLayout;
    m_fetch = new QPushButton(QStringLiteral("Pobierz dane informacyjne"), this);
    m_fetch->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Anuluj"), this);
    buttons->addWidget(m_fetch);
    buttons->addStretch();
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(m_fetch, &QPushButton::clicked, this, &TDaneInformacyjne::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TDaneInformacyjne::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_captions[size_t(InfoField::LastDailyReport)] &&
        event->type() == QEvent::MouseButtonRelease) {
        Button1Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TDaneInformacyjne::Button1Click()
{
    // A click on the caption is no control the window locks: one fetch at a time.
    if (m_fetching)
        return;
    m_fetching = true;
    m_wait->show();
    std::optional<transfer::Information> info;
    {
        // "Czekaj..." is the form's progress display; the window locks the form meanwhile.
        TransferRun run(m_session.ui(), {this, nullptr, [](int, int) {}});
        run.processEvents();
        info = transfer::fetchInformation(*m_link, run);
    }
    m_wait->hide();
    m_fetching = false;
    // The last answer stays shown until the next one; a failed fetch leaves it.
    if (info)
        showInformation(*info);
}

void TDaneInformacyjne::showInformation(const transfer::Information& info)
{
    for (int i = 0; i < transfer::kInfoFieldCount; ++i)
        if (const auto& v = info.values[size_t(i)])
            m_values[size_t(i)]->setText(*v);
    // The change's symbol and date mean something only when a change is programmed.
    for (InfoField f : {InfoField::NewCurrencySymbol, InfoField::CurrencyChangeDate}) {
        m_captions[size_t(f)]->setEnabled(info.currencyChangeProgrammed);
        m_values[size_t(f)]->setEnabled(info.currencyChangeProgrammed);
    }
}

VDUNO_REGISTER_FORM(TDaneInformacyjne)

#include "reports/forms/reportform.h"

#include "app/appsession.h"
#include "common/transferui.h"
#include "link/link.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace reports {

ReportForm::ReportForm(Kind kind, AppSession& session, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_session(session), m_link(&Link::instance()),
      m_body(new QVBoxLayout), m_execute(new QPushButton(QStringLiteral("Wykonaj"), this)),
      m_cancel(new QPushButton(QStringLiteral("Anuluj"), this))
{
    setWindowTitle(QString::fromUtf16(info(kind).title));
    m_execute->setObjectName(QStringLiteral("Button1"));
    m_cancel->setObjectName(QStringLiteral("Button2"));
    m_execute->setDefault(true);
    m_execute->setAutoDefault(true);
    m_cancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_execute);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_body);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(m_execute, &QPushButton::clicked, this, &ReportForm::Button1Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ReportForm::Button1Click()
{
    ReportParams p;
    collect(p);
    // A zeroing report clears the register's totals for good: ask first, but only about an
    // order that passes its checks (a refused one shows its own message).
    if (p.zeroing && buildOrder(m_kind, p, m_link->address).ok() &&
        m_session.ui().ask(QStringLiteral("Raport zerujący wyzeruje liczniki w kasie i nie można "
                                          "tego cofnąć. Wykonać raport zerujący?"),
                           TransferUi::Buttons::YesNo,
                           TransferUi::Icon::Warning) != TransferUi::Answer::Yes)
        return;
    SerialReportLink serial(*m_link);
    m_outcome = runReport(m_kind, p, m_link->address, serial, m_session.ui());
    if (m_outcome.result == RunResult::Sent && info(m_kind).closesAfterSend)
        accept();
}

} // namespace reports

#include "tobrotgrup.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "common/transferrun.h"
#include "link/link.h"
#include "transfer/sales.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TObrotGrup::TObrotGrup(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_link(&Link::instance())
{
    setObjectName(QStringLiteral("TObrotGrup"));
    setWindowTitle(QStringLiteral("Obrót grup towarowych"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("Odczyt obrotu grup towarowych"), this));
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    // A month's twenty groups and its heading at once, each line whole.
    const QFontMetrics fm(m_text->font());
    m_text->setMinimumSize(40 * fm.averageCharWidth(), 22 * fm.lineSpacing());
    top->addWidget(m_text);
    auto* buttons = new QHBoxLayout;
    auto* refresh = new QPushButton(QStringLiteral("&Odśwież"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Anuluj"), this);
    buttons->addWidget(refresh);
    buttons->addStretch();
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(refresh, &QPushButton::clicked, this, &TObrotGrup::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TObrotGrup::Button1Click()
{
    m_text->clear();
    transfer::TurnoverRead r;
    {
        // No panel of its own: the window's progress window counts and offers "Anuluj".
        TransferRun run(m_session.ui(), {this, nullptr, {}});
        r = transfer::readGroupTurnover(*m_link, run);
    }
    m_text->setPlainText(r.lines.join(QLatin1Char('\n')));
    if (r.stopped)
        m_session.ui().showMessage(stoppedReadText(r.frames, 0), TransferUi::Icon::Warning);
}

VDUNO_REGISTER_FORM(TObrotGrup)

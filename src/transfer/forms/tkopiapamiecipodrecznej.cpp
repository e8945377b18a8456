#include "tkopiapamiecipodrecznej.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "common/transferrun.h"
#include "link/link.h"
#include "transfer/cachedump.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TKopiaPamieciPodrecznej::TKopiaPamieciPodrecznej(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_link(&Link::instance())
{
    setObjectName(QStringLiteral("TKopiaPamieciPodrecznej"));
    setWindowTitle(QStringLiteral("Zrzut pamięci podręcznej"));
    auto* top = new QVBoxLayout(this);
    m_panel = new QFrame(this);
    m_panel->setFrameShape(QFrame::Panel);
    auto* panel = new QVBoxLayout(m_panel);
    panel->addWidget(new QLabel(QStringLiteral("Trwa kopiowanie pamięci podręcznej..."), m_panel));
    auto* count = new QHBoxLayout;
    count->addWidget(new QLabel(QStringLiteral("Odebrane pakiety danych:"), m_panel));
    m_counter = new QLabel(QStringLiteral("0"), m_panel);
    count->addWidget(m_counter);
    count->addWidget(new QLabel(QStringLiteral("/ 8192"), m_panel));
    panel->addLayout(count);
    m_panel->hide();
    top->addWidget(m_panel);
    auto* buttons = new QHBoxLayout;
    m_start = new QPushButton(QStringLiteral("Wykonaj zrzut pamięci podręcznej"), this);
    m_start->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Anuluj"), this);
    buttons->addWidget(m_start);
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    top->addLayout(buttons);
    connect(m_start, &QPushButton::clicked, this, &TKopiaPamieciPodrecznej::Button1Click);
    // While the dump runs "Anuluj" is the run's own and stops it (the frames received so far
    // are kept); otherwise it closes the form.
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (!m_dumping)
            reject();
    });
}

void TKopiaPamieciPodrecznej::Button1Click()
{
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Zrzut pamięci podręcznej"), transfer::defaultCacheDumpName(),
        QStringLiteral("Pliki binarne (*.bin)"));
    if (!path.isEmpty())
        dumpTo(path);
}

void TKopiaPamieciPodrecznej::dumpTo(const QString& path)
{
    m_counter->setText(QStringLiteral("0"));
    m_panel->show();
    m_dumping = true;
    transfer::CacheDump dump;
    {
        TransferRun run(m_session.ui(), {this, m_cancel, [this](int done, int) {
                                             m_counter->setText(QString::number(done));
                                         }});
        dump = transfer::dumpCacheMemory(*m_link, run, path);
    }
    m_dumping = false;
    m_panel->hide();
    // A transmission error has said so already ("Błąd transmisji").
    if (dump.stopped)
        m_session.ui().showMessage(stoppedReadText(dump.frames, transfer::kCacheMaxFrames),
                                   TransferUi::Icon::Warning);
}

VDUNO_REGISTER_FORM(TKopiaPamieciPodrecznej)

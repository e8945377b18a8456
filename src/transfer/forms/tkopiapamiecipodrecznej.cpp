#include "tkopiapamiecipodrecznej.h"

#include "formui.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "link/link.h"
#include "transfer/cachedump.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TKopiaPamieciPodrecznej::TKopiaPamieciPodrecznej(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_link(&Link::instance()), m_ui(new FormUi(session.ui()))
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
    auto* cancel = new QPushButton(QStringLiteral("Anuluj"), this);
    buttons->addWidget(m_start);
    buttons->addStretch();
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(m_start, &QPushButton::clicked, this, &TKopiaPamieciPodrecznej::Button1Click);
    // While the dump runs "Anuluj" stops it; the frames received so far are kept.
    connect(cancel, &QPushButton::clicked, this, [this] {
        if (m_panel->isVisible())
            m_ui->stop = true;
        else
            reject();
    });
    m_ui->onProgress = [this](int done, int) { m_counter->setText(QString::number(done)); };
}

TKopiaPamieciPodrecznej::~TKopiaPamieciPodrecznej()
{
    delete m_ui;
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
    m_ui->stop = false;
    m_counter->setText(QStringLiteral("0"));
    m_panel->show();
    m_start->setEnabled(false);
    QApplication::processEvents();
    transfer::dumpCacheMemory(*m_link, *m_ui, path);
    m_start->setEnabled(true);
    m_panel->hide();
}

VDUNO_REGISTER_FORM(TKopiaPamieciPodrecznej)

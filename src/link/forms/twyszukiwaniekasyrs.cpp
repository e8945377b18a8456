#include "twyszukiwaniekasyrs.h"

#include "app/appsession.h"
#include "app/connection.h"
#include "common/transferrun.h"
#include "link/diagnosis.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TWyszukiwanieKasyRS::TWyszukiwanieKasyRS(AppSession& session, QWidget* parent)
    : TWyszukiwanieKasyRS(session, Link::instance(), parent)
{
}

TWyszukiwanieKasyRS::TWyszukiwanieKasyRS(AppSession& session, Link& link, QWidget* parent)
    : QDialog(parent), m_app(session), m_link(link)
{
    setWindowTitle(QStringLiteral("Wyszukiwanie kasy"));
    auto* layout = new QVBoxLayout(this);
    auto* title =
        new QLabel(QStringLiteral("Wyszukiwanie kas VORN DUNO podłączonych do komputera"), this);
    title->setStyleSheet(QStringLiteral("font-weight: bold"));
    layout->addWidget(title);
    layout->addWidget(new QLabel(QStringLiteral("Numer portu:"), this));
    LBPorty = new QListWidget(this);
    layout->addWidget(LBPorty, 1);

    PPostep = new QFrame(this);
    PPostep->setFrameShape(QFrame::StyledPanel);
    auto* panel = new QGridLayout(PPostep);
    panel->addWidget(
        new QLabel(
            QStringLiteral("Trwa wyszukiwanie kas VORN DUNO podłączonych do tego komputera..."),
            PPostep),
        0, 0, 1, 4);
    panel->addWidget(new QLabel(QStringLiteral("COM"), PPostep), 1, 0);
    LPort = new QLabel(PPostep);
    panel->addWidget(LPort, 1, 1);
    panel->addWidget(new QLabel(QStringLiteral("Adres kasy:"), PPostep), 1, 2);
    LAdres = new QLabel(PPostep);
    panel->addWidget(LAdres, 1, 3);
    ProgressBar1 = new QProgressBar(PPostep);
    panel->addWidget(ProgressBar1, 2, 0, 1, 4);
    BAnuluj = new QPushButton(QStringLiteral("Anuluj"), PPostep);
    BAnuluj->setAutoDefault(false);
    panel->addWidget(BAnuluj, 3, 3);
    PPostep->hide();
    layout->addWidget(PPostep);

    auto* buttons = new QHBoxLayout;
    BWyszukaj = new QPushButton(QStringLiteral("Wyszukaj"), this);
    BPolacz = new QPushButton(QStringLiteral("Połącz"), this);
    BWyjdz = new QPushButton(QStringLiteral("&Wyjdz"), this);
    buttons->addWidget(BWyszukaj);
    buttons->addWidget(BPolacz);
    buttons->addStretch();
    buttons->addWidget(BWyjdz);
    layout->addLayout(buttons);
    resize(460, 360);

    connect(BWyszukaj, &QPushButton::clicked, this, &TWyszukiwanieKasyRS::BWyszukajClick);
    connect(BPolacz, &QPushButton::clicked, this, &TWyszukiwanieKasyRS::BPolaczClick);
    connect(BWyjdz, &QPushButton::clicked, this, &QDialog::reject);
    connect(LBPorty, &QListWidget::itemDoubleClicked, this, &TWyszukiwanieKasyRS::BPolaczClick);
    FormShow();
}

void TWyszukiwanieKasyRS::FormShow()
{
    LBPorty->clear();
    BPolacz->setEnabled(false);
    m_found.clear();
}

void TWyszukiwanieKasyRS::BWyszukajClick()
{
    BWyszukaj->setEnabled(false);
    BPolacz->setEnabled(false);
    LBPorty->clear();
    m_found.clear();
    ProgressBar1->setValue(0);
    PPostep->show();
    PPostep->repaint();
    portscan::ScanResult result;
    bool stopped = false;
    int done = 0;
    int total = 0;
    {
        // The scan is this dialog's run: its panel shows the progress and its "Anuluj" stops
        // it between two probes.
        TransferRun run(m_app.ui(), {this, BAnuluj, [this](int step, int steps) {
                                         ProgressBar1->setMaximum(qMax(steps, 1));
                                         ProgressBar1->setValue(step);
                                     }});
        result =
            connection::scanRegisters(m_app, m_link, run, [this](int address, int port, int, int) {
                LAdres->setText(QString::number(address));
                LPort->setText(portscan::portLabel(port).mid(3).trimmed());
                PPostep->repaint();
            });
        stopped = run.stopRequested();
        done = run.done();
        total = run.total();
    }
    BWyszukaj->setEnabled(true);
    PPostep->hide();
    m_found = result.found;
    for (const portscan::FoundRegister& f : m_found)
        LBPorty->addItem(portscan::foundEntry(f));
    // The ports other programs hold close the list, greyed: nothing to connect to there, but
    // the register may be behind one of them.
    for (const portscan::HeldPort& h : result.held)
        (new QListWidgetItem(portscan::heldEntry(h), LBPorty))->setFlags(Qt::NoItemFlags);
    if (!m_found.isEmpty()) {
        BPolacz->setEnabled(true);
        LBPorty->setCurrentRow(0);
    }
    // A scan cut short says how far it got, so that its list is not taken for a whole one.
    if (stopped)
        m_app.ui().showMessage(stoppedReadText(done, total), TransferUi::Icon::Warning);
    else if (m_found.isEmpty() && !showDiagnosis)
        m_app.ui().showMessage(portscan::NothingFound, TransferUi::Icon::Warning);
    else if (m_found.isEmpty() &&
             m_app.ui().ask(portscan::NothingFound + QLatin1Char(' ') + diagnosis::OfferQuestion,
                            TransferUi::Buttons::YesNo,
                            TransferUi::Icon::Warning) == TransferUi::Answer::Yes)
        showDiagnosis();
}

void TWyszukiwanieKasyRS::BPolaczClick()
{
    const int row = LBPorty->currentRow();
    if (!BPolacz->isEnabled() || row < 0 || row >= m_found.size())
        return;
    // The port comes from the entry, the address from the found-register table.
    portscan::FoundRegister chosen = m_found[row];
    chosen.port = portscan::portFromEntry(LBPorty->item(row)->text());
    if (connection::connectFoundRegister(m_app, m_link, chosen))
        accept();
}

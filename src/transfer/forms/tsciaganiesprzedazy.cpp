#include "tsciaganiesprzedazy.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "app/forms/textfit.h"
#include "common/transferrun.h"
#include "link/link.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TSciaganieSprzedazy::TSciaganieSprzedazy(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_link(&Link::instance())
{
    setObjectName(QStringLiteral("TSciaganieSprzedazy"));
    setWindowTitle(QStringLiteral("Ściąganie sprzedaży"));
    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto* top = new QVBoxLayout(this);
    // Column heads over the list's fixed columns (6 + 42, PTU, 12, 10 characters).
    auto* heads =
        new QLabel(QStringLiteral("Numer ") + QStringLiteral("Nazwa").leftJustified(43) +
                       QStringLiteral("PTU") + QStringLiteral("Ilość").rightJustified(11) +
                       QStringLiteral("Wartość").rightJustified(11),
                   this);
    heads->setFont(mono);
    top->addWidget(heads);
    m_list = new QListWidget(this);
    m_list->setFont(mono);
    // The lines as wide as the column heads above them, beside the scroll bar.
    m_list->setMinimumWidth(listWidthFor(m_list, heads->text()));
    top->addWidget(m_list);
    m_nonZero = new QCheckBox(QStringLiteral("Ściągaj tylko niezerowe rekordy"), this);
    m_nonZero->setChecked(true);
    top->addWidget(m_nonZero);

    m_panel = new QFrame(this);
    m_panel->setFrameShape(QFrame::Panel);
    auto* panel = new QHBoxLayout(m_panel);
    panel->addWidget(
        new QLabel(QStringLiteral("Trwa wysyłanie sprzedaży bazy towarowej..."), m_panel));
    panel->addWidget(new QLabel(QStringLiteral("Liczba wysłanych towarów:"), m_panel));
    m_counter = new QLabel(QStringLiteral("0"), m_panel);
    panel->addWidget(m_counter);
    m_stop = new QPushButton(QStringLiteral("Anuluj"), m_panel);
    panel->addWidget(m_stop);
    m_panel->hide();
    top->addWidget(m_panel);

    auto* buttons = new QHBoxLayout;
    m_download = new QPushButton(QStringLiteral("Ściągnij &sprzedaż"), this);
    m_clear = new QPushButton(QStringLiteral("&Kasuj sprzedaż"), this);
    auto* csv = new QPushButton(QStringLiteral("Eksportuj do CSV"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Anuluj"), this);
    for (QPushButton* b : {m_download, m_clear, csv})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cancel);
    top->addLayout(buttons);

    connect(m_download, &QPushButton::clicked, this, &TSciaganieSprzedazy::Button1Click);
    connect(m_clear, &QPushButton::clicked, this, &TSciaganieSprzedazy::Button2Click);
    connect(csv, &QPushButton::clicked, this, &TSciaganieSprzedazy::exportClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TSciaganieSprzedazy::fillList()
{
    m_list->clear();
    m_list->addItems(transfer::salesList(m_sales));
}

void TSciaganieSprzedazy::Button1Click()
{
    m_counter->setText(QStringLiteral("0"));
    m_panel->show();
    transfer::SalesDownload got;
    {
        // The panel counts and its "Anuluj" stops; the window keeps the form from closing
        // and from starting anything else until the download ends.
        TransferRun run(m_session.ui(), {this, m_stop, [this](int done, int) {
                                             m_counter->setText(QString::number(done));
                                         }});
        got = transfer::downloadSales(*m_link, run, m_sales, m_nonZero->isChecked());
    }
    // The list shows what arrived, also when that is not the register's whole sales.
    fillList();
    m_panel->hide();
    if (got.stopped || (!got.complete && got.received > 0))
        m_session.ui().showMessage(stoppedReadText(got.received, 0), TransferUi::Icon::Warning);
}

void TSciaganieSprzedazy::Button2Click()
{
    // The list shown stays as it is.
    transfer::clearRegisterSales(*m_link, m_session.ui());
}

void TSciaganieSprzedazy::exportClick()
{
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Eksportuj do CSV"), {},
                                                QStringLiteral("Pliki CSV (*.csv)"));
    if (path.isEmpty())
        return;
    if (!path.contains(u'.'))
        path += QStringLiteral(".CSV");
    exportCsv(path);
}

bool TSciaganieSprzedazy::exportCsv(const QString& path)
{
    if (transfer::writeSalesCsv(path, m_sales))
        return true;
    m_session.ui().showMessage(QStringLiteral("Nie można zapisać pliku ") + path + QLatin1Char('.'),
                               TransferUi::Icon::Error);
    return false;
}

VDUNO_REGISTER_FORM(TSciaganieSprzedazy)

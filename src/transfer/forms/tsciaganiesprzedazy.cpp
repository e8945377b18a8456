#include "tsciaganiesprzedazy.h"

#include "formui.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "link/link.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

transfer::SalesBuffer& TSciaganieSprzedazy::buffer()
{
    static transfer::SalesBuffer sales;
    return sales;
}

TSciaganieSprzedazy::TSciaganieSprzedazy(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_link(&Link::instance()), m_ui(new FormUi(session.ui()))
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
    m_list->setMinimumWidth(640);
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
    auto* stop = new QPushButton(QStringLiteral("Anuluj"), m_panel);
    panel->addWidget(stop);
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
    connect(stop, &QPushButton::clicked, this, [this] { m_ui->stop = true; });
    m_ui->onProgress = [this](int done, int) { m_counter->setText(QString::number(done)); };
    fillList();
}

TSciaganieSprzedazy::~TSciaganieSprzedazy()
{
    delete m_ui;
}

void TSciaganieSprzedazy::fillList()
{
    m_list->clear();
    m_list->addItems(transfer::salesList(buffer()));
}

void TSciaganieSprzedazy::Button1Click()
{
    m_counter->setText(QStringLiteral("0"));
    m_ui->stop = false;
    m_panel->show();
    for (QPushButton* b : {m_download, m_clear})
        b->setEnabled(false);
    transfer::downloadSales(*m_link, *m_ui, buffer(), m_nonZero->isChecked());
    fillList();
    m_panel->hide();
    for (QPushButton* b : {m_download, m_clear})
        b->setEnabled(true);
}

void TSciaganieSprzedazy::Button2Click()
{
    // The list shown stays as it is.
    transfer::clearRegisterSales(*m_link, *m_ui);
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

void TSciaganieSprzedazy::exportCsv(const QString& path)
{
    if (!transfer::writeSalesCsv(path, buffer()))
        m_ui->showMessage(QStringLiteral("Nie można zapisać pliku ") + path + QLatin1Char('.'),
                          TransferUi::Icon::Error);
}

VDUNO_REGISTER_FORM(TSciaganieSprzedazy)

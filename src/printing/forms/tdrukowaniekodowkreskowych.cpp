#include "tdrukowaniekodowkreskowych.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "app/forms/textfit.h"
#include "common/listline.h"
#include "common/transferui.h"
#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "tables/tablelayout.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

TDrukowanieKodowKreskowych::TDrukowanieKodowKreskowych(AppSession& session, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Drukowanie kodów kreskowych"));
    showMessage = [&session](const QString& t) { session.ui().showMessage(t); };
    // The article table of the open database, read in one go when the form is shown.
    readArticleTable = [&session]() -> QByteArray {
        if (!session.hasDatabase() || !session.session().isLoaded())
            return {};
        return readTable(session.database(), layout::Articles);
    };
    runPrintDialog = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };

    auto* root = new QVBoxLayout(this);
    ListBox1 = new QListWidget(this);
    ListBox1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    {
        // An article line (39 characters) whole beside its check box and scroll bar, and
        // sixteen lines of them.
        ListBox1->setMinimumSize(listWidthFor(ListBox1, QString(41, u'M'), true),
                                 16 * QFontMetrics(ListBox1->font()).lineSpacing());
    }
    ListBox1->setUniformItemSizes(true);
    root->addWidget(ListBox1);
    KodTowaru = new QLabel(this);
    root->addWidget(KodTowaru);

    auto* heightRow = new QHBoxLayout;
    root->addLayout(heightRow);
    heightRow->addWidget(new QLabel(QStringLiteral("Wysokość kodu:"), this));
    TrackBar1 = new QSlider(Qt::Horizontal, this);
    TrackBar1->setRange(labels::MinBarHeightMm, labels::MaxBarHeightMm);
    TrackBar1->setSingleStep(5);
    TrackBar1->setPageStep(5);
    TrackBar1->setTickInterval(5);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    heightRow->addWidget(TrackBar1);
    Wysokosc = new QLabel(this);
    heightRow->addWidget(Wysokosc);

    auto* buttons = new QHBoxLayout;
    root->addLayout(buttons);
    Podglad = new QPushButton(QStringLiteral("Podgląd wydruku"), this);
    Drukuj = new QPushButton(QStringLiteral("   &Drukuj tablicę kodów kreskowych"), this);
    Anuluj = new QPushButton(QStringLiteral("&Anuluj"), this);
    buttons->addWidget(Podglad);
    buttons->addStretch();
    buttons->addWidget(Drukuj);
    buttons->addWidget(Anuluj);
    Drukuj->setDefault(true);

    connect(ListBox1, &QListWidget::itemClicked, this, &TDrukowanieKodowKreskowych::ListBox1Click);
    connect(ListBox1, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item) { ListBox1Click(item); });
    connect(ListBox1, &QListWidget::itemDoubleClicked, this,
            &TDrukowanieKodowKreskowych::ListBox1DblClick);
    connect(TrackBar1, &QSlider::valueChanged, this, &TDrukowanieKodowKreskowych::TrackBar1Change);
    connect(Drukuj, &QPushButton::clicked, this, [this] { DrukujClick(); });
    connect(Podglad, &QPushButton::clicked, this, &TDrukowanieKodowKreskowych::PodgladClick);
    connect(Anuluj, &QPushButton::clicked, this, &QDialog::reject);
    TrackBar1Change(labels::DefaultBarHeightMm);
}

void TDrukowanieKodowKreskowych::showEvent(QShowEvent* event)
{
    refill();
    TrackBar1->setValue(labels::DefaultBarHeightMm);
    TrackBar1Change(labels::DefaultBarHeightMm);
    QDialog::showEvent(event);
}

void TDrukowanieKodowKreskowych::refill()
{
    // The lines checked before stay checked while they read the same: the person's choice
    // survives closing the form, an edit of that article or another database does not.
    QSet<QString> checked;
    for (int i = 0; i < ListBox1->count(); ++i)
        if (ListBox1->item(i)->checkState() == Qt::Checked)
            checked.insert(ListBox1->item(i)->text());
    m_articles = readArticleTable ? labels::articlesFromTable(readArticleTable())
                                  : std::vector<labels::LabelArticle>{};
    ListBox1->setUpdatesEnabled(false);
    ListBox1->clear();
    for (const labels::LabelArticle& a : m_articles) {
        auto* item = new QListWidgetItem(labels::listLine(a));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(checked.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
        ListBox1->addItem(item);
    }
    ListBox1->setUpdatesEnabled(true);
    KodTowaru->clear();
}

void TDrukowanieKodowKreskowych::ListBox1Click(QListWidgetItem* item)
{
    if (!item)
        return;
    const int row = ListBox1->row(item);
    if (row >= 0 && row < static_cast<int>(m_articles.size()))
        KodTowaru->setText(QStringLiteral("Kod towaru: ") +
                           QString::fromLatin1(m_articles[row].barcode));
}

void TDrukowanieKodowKreskowych::ListBox1DblClick(QListWidgetItem* item)
{
    if (item)
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void TDrukowanieKodowKreskowych::TrackBar1Change(int position)
{
    m_settings.barHeightMm = position;
    Wysokosc->setText(QString::number(position) + QStringLiteral(" mm"));
}

std::vector<labels::Label> TDrukowanieKodowKreskowych::checkedLabels() const
{
    std::vector<labels::Label> out;
    for (int row = 0; row < ListBox1->count(); ++row) {
        const QListWidgetItem* item = ListBox1->item(row);
        if (item->checkState() != Qt::Checked)
            continue;
        // The article number is read back from the line, as everywhere in the program.
        const int number = recordNumberFromLine(item->text().trimmed());
        labels::Label label;
        for (const labels::LabelArticle& a : m_articles) {
            if (a.number == number) {
                label = {a.barcode, a.name};
                break;
            }
        }
        out.push_back(label);
    }
    return out;
}

bool TDrukowanieKodowKreskowych::printTo(QPrinter& printer) const
{
    printer.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const bool ok = labels::paint(painter, printer, checkedLabels(), m_settings);
    painter.end();
    return ok;
}

bool TDrukowanieKodowKreskowych::DrukujClick()
{
    if (checkedLabels().empty()) {
        showMessage(labels::NothingCheckedMessage);
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!runPrintDialog(printer))
        return false;
    return printTo(printer);
}

void TDrukowanieKodowKreskowych::PodgladClick()
{
    if (checkedLabels().empty()) {
        showMessage(labels::NothingCheckedMessage);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Portrait);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { printTo(*p); });
    preview.exec();
}

VDUNO_REGISTER_FORM(TDrukowanieKodowKreskowych)

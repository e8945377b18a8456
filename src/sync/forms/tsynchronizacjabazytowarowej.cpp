#include "tsynchronizacjabazytowarowej.h"

#include "app/forms/formparts.h"
#include "app/forms/textfit.h"
#include "checklist.h"
#include "transferpanel.h"

#include "app/appsession.h"
#include "app/articlelist/tedycjatowaru.h"
#include "app/connection.h"
#include "app/forms/formregistry.h"
#include "common/transferrun.h"
#include "database/registerdatabase.h"
#include "link/link.h"
#include "printing/articlelistprint.h"
#include "sync/articlesync.h"
#include "sync/gauge.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

#include <QCheckBox>
#include <QDate>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using basesync::ArticleSync;

using formparts::button;

namespace {

// A list as wide as its longest line (number, name of up to 22 characters, price, VAT letter:
// 41 characters) with the check box before it and the scroll bar beside it.
int lineWidth(QListWidget* list)
{
    return listWidthFor(list, QString(41, u'M'), true);
}

} // namespace

TSynchronizacjaBazyTowarowej::TSynchronizacjaBazyTowarowej(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_buffer(std::make_unique<ArticleSync>())
{
    setWindowTitle(QStringLiteral("Podgląd bazy towarowej"));
    setObjectName(QStringLiteral("TSynchronizacjaBazyTowarowej"));
    auto* top = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    top->addLayout(columns);

    // The PC side
    auto* pcBox = new QVBoxLayout;
    pcBox->addWidget(new QLabel(QStringLiteral("Baza towarowa PC"), this));
    m_pcList = new QListWidget(this);
    m_pcList->setObjectName(QStringLiteral("PcList"));
    m_pcList->setFont(QFont(QStringLiteral("Monospace")));
    m_pcList->setMinimumWidth(lineWidth(m_pcList));
    pcBox->addWidget(m_pcList, 1);
    auto* pcGauge = new QHBoxLayout;
    pcGauge->addWidget(new QLabel(QStringLiteral("Zajęta pamięć:"), this));
    m_pcGauge = new QLabel(this);
    m_pcGauge->setObjectName(QStringLiteral("PcGauge"));
    pcGauge->addWidget(m_pcGauge);
    m_pcBar = new QProgressBar(this);
    m_pcBar->setRange(0, basesync::GaugeMaximum);
    m_pcBar->setTextVisible(false);
    pcGauge->addWidget(m_pcBar, 1);
    pcBox->addLayout(pcGauge);
    m_pcAll = button(this, QStringLiteral("PcAll"), QStringLiteral("Zaznacz/odznacz wszystko"));
    m_deletePc =
        button(this, QStringLiteral("UsunZPc"), QStringLiteral("Usuń zaznaczone rekordy z PC"));
    m_edit = button(this, QStringLiteral("Edytuj"), QStringLiteral("&Edytuj towar"));
    pcBox->addWidget(m_pcAll);
    pcBox->addWidget(m_deletePc);
    pcBox->addWidget(m_edit);
    columns->addLayout(pcBox, 3);

    // The buttons between the lists
    auto* middle = new QVBoxLayout;
    m_refresh = button(this, QStringLiteral("Odswiez"), QStringLiteral("&Odśwież"));
    m_toRegister = button(this, QStringLiteral("DoKasy"),
                          QStringLiteral("Skopiuj zaznaczone\nrekordy do kasy"));
    m_toPc =
        button(this, QStringLiteral("DoPc"), QStringLiteral("Skopiuj zaznaczone\nrekordy do PC"));
    m_deleteRegister = button(this, QStringLiteral("UsunZKasy"),
                              QStringLiteral("Usuń zaznaczone\nrekordy z kasy"));
    m_verify = button(this, QStringLiteral("Weryfikuj"), QStringLiteral("Weryfikuj kody kreskowe"));
    for (QPushButton* b : {m_refresh, m_toRegister, m_toPc, m_deleteRegister, m_verify})
        middle->addWidget(b);
    auto* range = new QGridLayout;
    m_byNumbers = button(this, QStringLiteral("WgNumerow"), QStringLiteral("Zaznacz wg numerów"));
    range->addWidget(m_byNumbers, 0, 0, 1, 4);
    range->addWidget(new QLabel(QStringLiteral("od"), this), 1, 0);
    m_from = new QLineEdit(this);
    m_from->setObjectName(QStringLiteral("Od"));
    m_from->setMaxLength(4);
    range->addWidget(m_from, 1, 1);
    range->addWidget(new QLabel(QStringLiteral("do"), this), 1, 2);
    m_to = new QLineEdit(this);
    m_to->setObjectName(QStringLiteral("Do"));
    m_to->setMaxLength(4);
    range->addWidget(m_to, 1, 3);
    middle->addLayout(range);
    auto* days = new QHBoxLayout;
    days->addWidget(new QLabel(QStringLiteral("Zaznacz towary niesprzedawane od"), this));
    m_days = new QLineEdit(QStringLiteral("30"), this);
    m_days->setObjectName(QStringLiteral("Dni"));
    m_days->setMaxLength(2);
    // Two digits with the edit's margins.
    m_days->setMaximumWidth(m_days->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    days->addWidget(m_days);
    days->addWidget(new QLabel(QStringLiteral("dni"), this));
    middle->addLayout(days);
    m_unused =
        button(this, QStringLiteral("Nieuzywane"), QStringLiteral("Zaznacz nieużywane towary"));
    middle->addWidget(m_unused);
    m_confirm =
        new QCheckBox(QStringLiteral("Potwierdzaj wprowadzanie towarów z klawiatury kasy"), this);
    m_confirm->setObjectName(QStringLiteral("Potwierdzaj"));
    middle->addWidget(m_confirm);
    middle->addStretch(1);
    columns->addLayout(middle, 2);

    // The register side
    auto* regBox = new QVBoxLayout;
    regBox->addWidget(new QLabel(QStringLiteral("Baza towarowa kasy Vorn Duno"), this));
    m_regList = new QListWidget(this);
    m_regList->setObjectName(QStringLiteral("RegisterList"));
    m_regList->setFont(QFont(QStringLiteral("Monospace")));
    m_regList->setMinimumWidth(lineWidth(m_regList));
    regBox->addWidget(m_regList, 1);
    auto* regGauge = new QHBoxLayout;
    regGauge->addWidget(new QLabel(QStringLiteral("Zajęta pamięć:"), this));
    m_regGauge = new QLabel(this);
    m_regGauge->setObjectName(QStringLiteral("RegisterGauge"));
    regGauge->addWidget(m_regGauge);
    m_regBar = new QProgressBar(this);
    m_regBar->setRange(0, basesync::GaugeMaximum);
    m_regBar->setTextVisible(false);
    regGauge->addWidget(m_regBar, 1);
    regBox->addLayout(regGauge);
    m_regAll =
        button(this, QStringLiteral("RegisterAll"), QStringLiteral("Zaznacz/odznacz wszystko"));
    regBox->addWidget(m_regAll);
    columns->addLayout(regBox, 3);

    // Details of the clicked line
    auto* detailsBox = new QGroupBox(this);
    auto* detailsLayout = new QVBoxLayout(detailsBox);
    auto* head = new QHBoxLayout;
    m_symbol = new QLabel(detailsBox);
    m_symbol->setObjectName(QStringLiteral("Symbol"));
    m_name = new QLabel(detailsBox);
    m_name->setObjectName(QStringLiteral("Nazwa"));
    head->addWidget(m_symbol);
    head->addWidget(m_name, 1);
    detailsLayout->addLayout(head);
    // The detail lines in two columns side by side, so that the lists keep the height.
    auto* detailColumns = new QHBoxLayout;
    m_details = new QFormLayout;
    m_detailsRight = new QFormLayout;
    detailColumns->addLayout(m_details);
    detailColumns->addSpacing(4 * fontMetrics().averageCharWidth());
    detailColumns->addLayout(m_detailsRight);
    detailColumns->addStretch(1);
    detailsLayout->addLayout(detailColumns);
    // A click on this caption opens the print menu.
    auto* printCaption = new QPushButton(QStringLiteral("Numer jednostki towarowej"), detailsBox);
    printCaption->setObjectName(QStringLiteral("Drukuj"));
    printCaption->setFlat(true);
    auto* printMenu = new QMenu(printCaption);
    printMenu->addAction(QStringLiteral("Drukuj według numerów PLU"), this,
                         [this] { printArticles(false); });
    printMenu->addAction(QStringLiteral("Drukuj według nazw"), this,
                         [this] { printArticles(true); });
    printCaption->setMenu(printMenu);
    printCaption->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed); // never just its arrow
    detailsLayout->addWidget(printCaption, 0, Qt::AlignLeft);
    detailsLayout->addStretch(1);
    // Room for every detail line of a register article (eleven: six rows in two columns, with
    // the name seven, then the caption) from the start, so that the lists do not shrink under
    // the pointer at a click.
    const int detailLine = fontMetrics().height() + qMax(0, m_details->verticalSpacing());
    detailsBox->setMinimumHeight(7 * detailLine + printCaption->sizeHint().height() +
                                 2 * detailsLayout->contentsMargins().top());
    detailsBox->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    top->addWidget(detailsBox);

    m_panel = new TransferPanel(this);
    top->addWidget(m_panel);

    connect(m_refresh, &QPushButton::clicked, this, [this] { OdswiezClick(); });
    connect(m_toRegister, &QPushButton::clicked, this, [this] { DoKasyClick(); });
    connect(m_toPc, &QPushButton::clicked, this, [this] { DoPcClick(); });
    connect(m_deleteRegister, &QPushButton::clicked, this, [this] { UsunZKasyClick(); });
    connect(m_deletePc, &QPushButton::clicked, this, [this] { UsunZPcClick(); });
    connect(m_byNumbers, &QPushButton::clicked, this, [this] { ZaznaczWgNumerowClick(); });
    connect(m_unused, &QPushButton::clicked, this, [this] { ZaznaczNieuzywaneClick(); });
    connect(m_edit, &QPushButton::clicked, this, [this] { EdytujClick(); });
    connect(m_verify, &QPushButton::clicked, this, [this] { WeryfikujClick(); });
    connect(m_pcAll, &QPushButton::clicked, this, [this] {
        checklist::setAll(m_pcList, m_pcAllOn);
        m_pcAllOn = !m_pcAllOn;
    });
    connect(m_regAll, &QPushButton::clicked, this, [this] {
        checklist::setAll(m_regList, m_regAllOn);
        m_regAllOn = !m_regAllOn;
    });
    connect(m_pcList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { PcListClick(item); });
    connect(m_regList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { RegisterListClick(item); });
    connect(m_pcList, &QListWidget::itemDoubleClicked, this, &checklist::toggle);
    connect(m_regList, &QListWidget::itemDoubleClicked, this, &checklist::toggle);
}

TSynchronizacjaBazyTowarowej::~TSynchronizacjaBazyTowarowej() = default;

void TSynchronizacjaBazyTowarowej::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TSynchronizacjaBazyTowarowej::FormShow()
{
    showDetails({}, QString());
    // A list read at an earlier showing may be of another register by now.
    buffer().clear();
    m_regGauge->setText(basesync::unknownGaugeText());
    m_regBar->setValue(0);
    m_pcAllOn = m_regAllOn = true;
    m_registerRead = false;
    rebuildPcList();
    rebuildRegisterList();
}

int TSynchronizacjaBazyTowarowej::registerType() const
{
    return m_session.isDuno() ? 1 : 2;
}

bool TSynchronizacjaBazyTowarowej::typeKnown()
{
    // Article images and frames differ between the two registers: never guess.
    return connection::requireRegisterType(m_session, Link::instance()) != RegisterType::Unknown;
}

quint8 TSynchronizacjaBazyTowarowej::confirmByte() const
{
    return m_confirm->isChecked() ? 1 : 0;
}

void TSynchronizacjaBazyTowarowej::updateGauge(QLabel* text, QProgressBar* bar, int lines)
{
    text->setText(basesync::gaugeText(lines));
    bar->setValue(qMin(lines, basesync::GaugeMaximum));
    const basesync::GaugeColor c = basesync::gaugeColor(lines);
    bar->setStyleSheet(QStringLiteral("QProgressBar::chunk { background-color: rgb(%1, %2, %3); }")
                           .arg(c.red)
                           .arg(c.green)
                           .arg(c.blue));
}

void TSynchronizacjaBazyTowarowej::rebuildPcList()
{
    const int row = m_pcList->currentRow();
    checklist::fill(m_pcList, ArticleSync::pcLines(m_session.database()));
    if (row >= 0 && row < m_pcList->count())
        m_pcList->setCurrentRow(row);
    updateGauge(m_pcGauge, m_pcBar, m_pcList->count());
}

void TSynchronizacjaBazyTowarowej::rebuildRegisterList()
{
    checklist::fill(m_regList, buffer().registerLines());
    if (m_regList->count() > 0 || m_registerRead)
        updateGauge(m_regGauge, m_regBar, m_regList->count());
}

void TSynchronizacjaBazyTowarowej::showDetails(const basesync::Details& details,
                                               const QString& symbol)
{
    m_symbol->setText(symbol);
    m_name->setText(details.title);
    for (QFormLayout* column : {m_details, m_detailsRight})
        while (column->rowCount() > 0)
            column->removeRow(0);
    // The first half of the lines (the odd one included) on the left, the rest on the right.
    const qsizetype leftRows = (details.fields.size() + 1) / 2;
    for (qsizetype i = 0; i < details.fields.size(); ++i) {
        const basesync::DetailField& f = details.fields[i];
        (i < leftRows ? m_details : m_detailsRight)->addRow(f.caption, new QLabel(f.value));
    }
}

TransferRun::View TSynchronizacjaBazyTowarowej::runView()
{
    return {this, m_panel->cancelButton(),
            [this](int done, int total) { m_panel->setCounter(done, total); }};
}

basesync::RunPanel TSynchronizacjaBazyTowarowej::panelNotices()
{
    basesync::RunPanel panel;
    panel.printing = [this](bool shown) { m_panel->setPrinting(shown); };
    panel.failures = [this](int failures) { m_panel->setFailures(failures); };
    return panel;
}

void TSynchronizacjaBazyTowarowej::registerRunEnded()
{
    m_panel->hide();
    m_registerRead = true;
    rebuildRegisterList();
}

void TSynchronizacjaBazyTowarowej::OdswiezClick()
{
    if (!typeKnown())
        return;
    m_panel->start(QStringLiteral("Trwa importowanie bazy towarowej..."),
                   QStringLiteral("Liczba zaimportowanych towarów:"));
    m_regList->clear();
    basesync::ReadOutcome outcome;
    {
        TransferRun run(m_session.ui(), runView());
        outcome = buffer().read(Link::instance(), run, registerType());
    }
    registerRunEnded();
    // What arrived is listed; that it is not the whole base is said.
    if (!outcome.complete)
        m_session.ui().showMessage(stoppedReadText(outcome.received, 0), TransferUi::Icon::Warning);
}

void TSynchronizacjaBazyTowarowej::DoKasyClick()
{
    const QSet<int> checked = checklist::checked(m_pcList);
    if (checked.isEmpty() || !typeKnown())
        return;
    m_panel->start(QStringLiteral("Trwa wysyłanie bazy towarowej..."),
                   QStringLiteral("Liczba wysłanych towarów:"));
    {
        // The run itself says how it ended, a stop included.
        TransferRun run(m_session.ui(), runView());
        buffer().program(Link::instance(), run, m_session.database(), checklist::numbers(m_pcList),
                         checked, confirmByte(), registerType(), panelNotices());
    }
    registerRunEnded();
}

void TSynchronizacjaBazyTowarowej::DoPcClick()
{
    const QSet<int> checked = checklist::checked(m_regList);
    if (checked.isEmpty() || !buffer().origin().allowsCopy(Link::instance(), m_session.ui()))
        return;
    // The PC base changed: the save prompt must guard it like any other edit.
    if (buffer().copyToPc(m_session.database(), checked) > 0)
        m_session.markModified();
    rebuildPcList();
}

void TSynchronizacjaBazyTowarowej::UsunZPcClick()
{
    const QSet<int> checked = checklist::checked(m_pcList);
    if (checked.isEmpty())
        return;
    if (ArticleSync::deleteFromPc(m_session.database(), checklist::numbers(m_pcList), checked) > 0)
        m_session.markModified();
    rebuildPcList();
}

void TSynchronizacjaBazyTowarowej::UsunZKasyClick()
{
    const QSet<int> checked = checklist::checked(m_regList);
    if (checked.isEmpty())
        return;
    // What the register deletes, it does not give back.
    if (m_session.ui().ask(
            QStringLiteral("Usunąć z kasy zaznaczone towary (") + QString::number(checked.size()) +
                QStringLiteral(")? Tego nie można cofnąć."),
            TransferUi::Buttons::YesNo, TransferUi::Icon::Warning) != TransferUi::Answer::Yes)
        return;
    m_panel->start(QStringLiteral("Trwa kasowanie bazy towarowej..."),
                   QStringLiteral("Liczba skasowanych towarów:"));
    basesync::ArticleRunResult result;
    {
        TransferRun run(m_session.ui(), runView());
        result = buffer().deleteInRegister(Link::instance(), run, checklist::numbers(m_regList),
                                           checked, confirmByte(), panelNotices());
    }
    registerRunEnded();
    if (result.stopped || result.broken)
        m_session.ui().showMessage(stoppedSendText(result.done, result.total),
                                   TransferUi::Icon::Warning);
}

void TSynchronizacjaBazyTowarowej::ZaznaczWgNumerowClick()
{
    const auto range = basesync::numberRange(m_from->text(), m_to->text(), m_session.ui());
    if (!range)
        return;
    QSet<int> on;
    for (int n : checklist::numbers(m_regList))
        if (range->contains(n))
            on.insert(n);
    checklist::setChecked(m_regList, on);
}

void TSynchronizacjaBazyTowarowej::ZaznaczNieuzywaneClick()
{
    rebuildRegisterList();
    checklist::setChecked(m_regList, buffer().unusedArticles(m_days->text(), QDate::currentDate()));
}

void TSynchronizacjaBazyTowarowej::EdytujClick()
{
    const int n = checklist::current(m_pcList);
    if (n == 0)
        return;
    TEdycjaTowaru editor(m_session, this);
    editor.setArticleNumber(n);
    editor.exec();
    rebuildPcList();
}

void TSynchronizacjaBazyTowarowej::WeryfikujClick()
{
    if (!typeKnown())
        return;
    m_panel->start(QStringLiteral("Trwa importowanie bazy towarowej..."),
                   QStringLiteral("Liczba zaimportowanych towarów:"));
    basesync::VerifyResult result;
    {
        TransferRun run(m_session.ui(), runView());
        result =
            buffer().verifyBarcodes(Link::instance(), run, m_session.database(), registerType());
    }
    registerRunEnded();
    if (!result.lastRead.complete)
        m_session.ui().showMessage(stoppedReadText(result.lastRead.received, 0),
                                   TransferUi::Icon::Warning);
}

std::vector<articleprint::Row> TSynchronizacjaBazyTowarowej::printRows(bool byName)
{
    // In slot order, or sorted by the PC list's line text (the name after the number).
    QList<int> numbers = ArticleSync::pcNumbers(m_session.database());
    std::vector<std::pair<QString, ArticleRecord>> articles;
    for (int n : numbers) {
        const ArticleRecord r = ArticleRecord::decode(
            m_session.database().readBytes(layout::Articles.offsetOf(n), ArticleRecord::Size));
        articles.emplace_back(ArticleSync::pcLine(r), r);
    }
    if (byName)
        std::stable_sort(articles.begin(), articles.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<articleprint::Row> rows;
    for (const auto& [line, r] : articles)
        rows.push_back(
            {r.number, r.name, r.price, QChar::fromLatin1(r.vat), r.fixedPrice, r.barcode});
    return rows;
}

void TSynchronizacjaBazyTowarowej::printArticles(bool byName)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!printer.isValid()) {
        m_session.ui().showMessage(QStringLiteral("Brak drukarki."), TransferUi::Icon::Warning);
        return;
    }
    printer.setPageOrientation(QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    articleprint::paint(painter, printer, printRows(byName));
    painter.end();
}

void TSynchronizacjaBazyTowarowej::PcListClick(QListWidgetItem* item)
{
    m_regList->clearSelection();
    const int n = item ? checklist::current(m_pcList) : 0;
    if (n < 1 || n > ArticleSync::Count)
        return;
    showDetails(ArticleSync::pcDetails(m_session.database().readBytes(layout::Articles.offsetOf(n),
                                                                      ArticleRecord::Size)),
                QStringLiteral("PC"));
}

void TSynchronizacjaBazyTowarowej::RegisterListClick(QListWidgetItem* item)
{
    m_pcList->clearSelection();
    const int n = item ? checklist::current(m_regList) : 0;
    if (n < 1 || n > ArticleSync::Count)
        return;
    showDetails(ArticleSync::registerDetails(buffer().image(n)), QStringLiteral("Kasa"));
}

VDUNO_REGISTER_FORM(TSynchronizacjaBazyTowarowej)

#include "tprogramowanietowarow.h"

#include "app/appsession.h"
#include "app/articlelist/tedycjatowaru.h"
#include "app/connection.h"
#include "app/forms/formparts.h"
#include "app/forms/formregistry.h"
#include "app/forms/gridfit.h"
#include "common/transferrun.h"
#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/link.h"
#include "printing/articlelistprint.h"
#include "tables/articlegrid.h"
#include "tables/articleread.h"
#include "tables/articlesend.h"
#include "tables/articlewarnings.h"
#include "tables/tablelayout.h"
#include "transfer/whole/changedarticles.h"
#include "transfer/whole/preflight.h"
#include "transfer/whole/verify.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

VDUNO_REGISTER_FORM(TProgramowanieTowarow)

TProgramowanieTowarow::TProgramowanieTowarow(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_base(std::make_unique<ArticleBase>(session.database()))
{
    setWindowTitle(QStringLiteral("Edycja bazy towarowej"));
    runPreview = [this](QPrinter& printer) {
        QPrintPreviewDialog preview(&printer, this);
        connect(&preview, &QPrintPreviewDialog::paintRequested, this,
                [this](QPrinter* p) { printTo(*p); });
        preview.exec();
    };

    auto* root = new QVBoxLayout(this);
    m_model = new ArticleGridModel(ArticleGridModel::Columns::BaseEditor, this);
    StringGrid1 = new QTableView(this);
    StringGrid1->setModel(m_model);
    formparts::readOnlyRows(StringGrid1);
    fitGridToContents(StringGrid1);
    StringGrid1->setMinimumSize(900, 300);
    StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    root->addWidget(StringGrid1);

    auto* middle = new QHBoxLayout;
    root->addLayout(middle);
    auto* fields = new QGridLayout;
    middle->addLayout(fields);
    Edit4 = new QLineEdit(QStringLiteral("0"), this);
    Edit4->setMaxLength(4);
    Edit5 = new QLineEdit(this);
    Edit5->setMaxLength(42);
    Edit1 = new QLineEdit(QStringLiteral("0,00"), this);
    Edit1->setMaxLength(10);
    Edit2 = new QLineEdit(this);
    Edit2->setMaxLength(13);
    Hint4 = formparts::redHint(this, QStringLiteral("Hint4"), QStringLiteral("Wprowadź numer!"));
    Hint5 = formparts::redHint(this, QStringLiteral("Hint5"), QStringLiteral("Wprowadź nazwę!"));
    Hint1 = formparts::redHint(this, QStringLiteral("Hint1"), QStringLiteral("Wprowadź cenę!"));
    fields->addWidget(new QLabel(QStringLiteral("Numer towaru"), this), 0, 0);
    fields->addWidget(Edit4, 0, 1);
    fields->addWidget(Hint4, 0, 2);
    fields->addWidget(new QLabel(QStringLiteral("Nazwa"), this), 1, 0);
    fields->addWidget(Edit5, 1, 1);
    fields->addWidget(Hint5, 1, 2);
    fields->addWidget(new QLabel(QStringLiteral("Cena"), this), 2, 0);
    fields->addWidget(Edit1, 2, 1);
    fields->addWidget(Hint1, 2, 2);
    fields->addWidget(new QLabel(QStringLiteral("Kod kreskowy"), this), 3, 0);
    fields->addWidget(Edit2, 3, 1);

    auto* defaults = new QGroupBox(QStringLiteral("Wartości domyślne"), this);
    middle->addWidget(defaults);
    auto* dl = new QGridLayout(defaults);
    ComboBox1 = new QComboBox(defaults);
    for (char c = 'A'; c <= 'G'; ++c)
        ComboBox1->addItem(QString(QLatin1Char(c)));
    ComboBox2 = new QComboBox(defaults);
    NumerOpakowania = new QComboBox(defaults);
    ComboBox3 = new QComboBox(defaults);
    ComboBox4 = new QComboBox(defaults);
    ComboBox4->addItem(QStringLiteral("brak"));
    for (int k = 1; k <= 9; ++k)
        ComboBox4->addItem(QString::number(k));
    CheckBox2 = new QCheckBox(QStringLiteral("Cena sztywna"), defaults);
    CheckBox3 = new QCheckBox(QStringLiteral("Sprzedaż na sztuki"), defaults);
    CheckBox3->setChecked(true);
    dl->addWidget(new QLabel(QStringLiteral("Stawka PTU"), defaults), 0, 0);
    dl->addWidget(ComboBox1, 0, 1);
    dl->addWidget(new QLabel(QStringLiteral("Numer grupy towarowej"), defaults), 1, 0);
    dl->addWidget(ComboBox2, 1, 1);
    dl->addWidget(new QLabel(QStringLiteral("Sprzedaż w tandemie"), defaults), 2, 0);
    dl->addWidget(NumerOpakowania, 2, 1);
    dl->addWidget(new QLabel(QStringLiteral("Indeks tablicy HALO"), defaults), 3, 0);
    dl->addWidget(ComboBox3, 3, 1);
    dl->addWidget(new QLabel(QStringLiteral("Numer jednostki towarowej"), defaults), 4, 0);
    dl->addWidget(ComboBox4, 4, 1);
    dl->addWidget(CheckBox2, 5, 0);
    dl->addWidget(CheckBox3, 5, 1);

    auto* side = new QVBoxLayout;
    middle->addLayout(side);
    auto* search = new QHBoxLayout;
    Edit6 = new QLineEdit(this);
    Szukaj = new QPushButton(QStringLiteral("Szukaj"), this);
    search->addWidget(Edit6);
    search->addWidget(Szukaj);
    side->addLayout(search);
    auto* freeRow = new QHBoxLayout;
    freeRow->addWidget(new QLabel(QStringLiteral("Wolne miejsce:"), this));
    Wolne = new QLabel(this);
    freeRow->addWidget(Wolne);
    side->addLayout(freeRow);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 2000);
    ProgressBar1->setTextVisible(false);
    side->addWidget(ProgressBar1);
    side->addStretch();

    CheckBox4 = new QCheckBox(
        QStringLiteral("Po dodaniu do bazy automatycznie wysyłaj towar do kasy"), this);
    root->addWidget(CheckBox4);

    auto* buttons = new QHBoxLayout;
    root->addLayout(buttons);
    DodajDoBazy = new QPushButton(QStringLiteral("Dodaj do bazy"), this);
    EdytujTowar = new QPushButton(QStringLiteral("Edytuj zaznaczony"), this);
    UsunTowar = new QPushButton(QStringLiteral("Usuń zaznaczony"), this);
    WyslijTowar = new QPushButton(QStringLiteral("Wyślij zaznaczony"), this);
    WyslijWszystkie = new QPushButton(QStringLiteral("Wyślij wszystkie"), this);
    OdczytajZKasy = new QPushButton(QStringLiteral("Odczytaj z kasy"), this);
    Drukuj = new QPushButton(QStringLiteral("Drukuj"), this);
    Zamknij = new QPushButton(QStringLiteral("Anuluj"), this);
    for (QPushButton* b : {DodajDoBazy, EdytujTowar, UsunTowar, WyslijTowar, WyslijWszystkie,
                           OdczytajZKasy, Drukuj, Zamknij}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
        if (b == WyslijWszystkie) {
            // The two options of "Wyślij wszystkie", one above the other beside it. The check
            // is off until ticked and kept while the program runs (the form lives as long).
            auto* sendOptions = new QVBoxLayout;
            sendOptions->setSpacing(0);
            TylkoZmienione = new QCheckBox(QStringLiteral("Tylko zmienione"), this);
            Sprawdz = new QCheckBox(QStringLiteral("Sprawdź po zaprogramowaniu"), this);
            Sprawdz->setObjectName(QStringLiteral("Sprawdz"));
            sendOptions->addWidget(TylkoZmienione);
            sendOptions->addWidget(Sprawdz);
            buttons->addLayout(sendOptions);
        }
    }

    PanelWysylania = new QFrame(this);
    PanelWysylania->setFrameShape(QFrame::Box);
    auto* pl = new QGridLayout(PanelWysylania);
    pl->addWidget(new QLabel(QStringLiteral("Trwa wysyłanie bazy towarowej..."), PanelWysylania), 0,
                  0, 1, 2);
    pl->addWidget(new QLabel(QStringLiteral("Liczba wysłanych towarów:"), PanelWysylania), 1, 0);
    LiczbaWyslanych = new QLabel(PanelWysylania);
    pl->addWidget(LiczbaWyslanych, 1, 1);
    pl->addWidget(new QLabel(QStringLiteral("Błędy:"), PanelWysylania), 2, 0);
    LiczbaBledow = new QLabel(PanelWysylania);
    pl->addWidget(LiczbaBledow, 2, 1);
    Drukuje = new QLabel(QStringLiteral("Drukuję..."), PanelWysylania);
    Drukuje->hide();
    pl->addWidget(Drukuje, 3, 0);
    AnulujWysylanie = new QPushButton(QStringLiteral("Anuluj"), PanelWysylania);
    AnulujWysylanie->setAutoDefault(false);
    pl->addWidget(AnulujWysylanie, 3, 1);
    PanelWysylania->hide();
    root->addWidget(PanelWysylania);
    PanelCzekaj = new QFrame(this);
    PanelCzekaj->setFrameShape(QFrame::Box);
    (new QHBoxLayout(PanelCzekaj))->addWidget(new QLabel(QStringLiteral("Czekaj..."), PanelCzekaj));
    PanelCzekaj->hide();
    root->addWidget(PanelCzekaj);

    connect(DodajDoBazy, &QPushButton::clicked, this, [this] { DodajDoBazyClick(); });
    connect(EdytujTowar, &QPushButton::clicked, this, &TProgramowanieTowarow::EdytujTowarClick);
    connect(UsunTowar, &QPushButton::clicked, this, &TProgramowanieTowarow::UsunTowarClick);
    connect(WyslijTowar, &QPushButton::clicked, this, &TProgramowanieTowarow::WyslijTowarClick);
    connect(WyslijWszystkie, &QPushButton::clicked, this,
            &TProgramowanieTowarow::WyslijWszystkieClick);
    connect(OdczytajZKasy, &QPushButton::clicked, this, &TProgramowanieTowarow::OdczytajZKasyClick);
    connect(Drukuj, &QPushButton::clicked, this, &TProgramowanieTowarow::DrukujClick);
    connect(Szukaj, &QPushButton::clicked, this, &TProgramowanieTowarow::SzukajClick);
    connect(Zamknij, &QPushButton::clicked, this, &QDialog::reject);
    connect(StringGrid1, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { StringGrid1DblClick(index.row()); });
    connect(StringGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        QAction* print = menu.addAction(QStringLiteral("Drukuj według numerów PLU"));
        connect(print, &QAction::triggered, this, &TProgramowanieTowarow::DrukujClick);
        menu.exec(StringGrid1->viewport()->mapToGlobal(at));
    });
}

TProgramowanieTowarow::~TProgramowanieTowarow() = default;

Link& TProgramowanieTowarow::link()
{
    return m_link ? *m_link : Link::instance();
}

int TProgramowanieTowarow::registerType() const
{
    return m_session.isDuno() ? 1 : 2;
}

bool TProgramowanieTowarow::typeKnown()
{
    // Article frames differ between the two registers: never guess.
    return connection::requireRegisterType(m_session, link()) != RegisterType::Unknown;
}

void TProgramowanieTowarow::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TProgramowanieTowarow::FormShow()
{
    if (m_session.hasDatabase() && !m_session.online()) {
        CheckBox4->setChecked(false);
        Edit4->setText(QStringLiteral("0"));
        Edit6->clear();
    }
    m_base->rebuildIndex();
    refillGrid();
    const ArticleChoices choices = articleChoices(m_session.database());
    ComboBox2->clear();
    ComboBox2->addItems(choices.groups);
    NumerOpakowania->clear();
    NumerOpakowania->addItems(choices.tandems);
    ComboBox3->clear();
    ComboBox3->addItems(choices.halos);
    proposeNextFree();
}

void TProgramowanieTowarow::refillGrid()
{
    RegisterDatabase& db = m_session.database();
    m_model->refill(readTable(db, layout::Articles), readTable(db, layout::Groups),
                    readTable(db, layout::Packaging));
    Wolne->setText(QString::number(m_model->freeCount()) + QStringLiteral("/2000"));
    ProgressBar1->setValue(m_model->freeCount());
}

void TProgramowanieTowarow::proposeNextFree()
{
    bool ok = false;
    const int typed = Edit4->text().toInt(&ok);
    const int next =
        nextFreeArticle(readTable(m_session.database(), layout::Articles), ok ? typed : 0);
    Edit4->setText(next ? QString::number(next) : QString());
}

ArticleInput TProgramowanieTowarow::input() const
{
    ArticleInput in;
    in.number = Edit4->text();
    in.name = Edit5->text();
    in.price = Edit1->text();
    in.barcode = Edit2->text();
    in.vatIndex = ComboBox1->currentIndex();
    in.groupIndex = ComboBox2->currentIndex();
    in.tandemIndex = NumerOpakowania->currentIndex();
    in.haloIndex = ComboBox3->currentIndex();
    in.unitIndex = ComboBox4->currentIndex();
    in.fixedPrice = CheckBox2->isChecked();
    in.wholeQuantity = CheckBox3->isChecked();
    return in;
}

void TProgramowanieTowarow::setInput(const ArticleInput& in)
{
    Edit4->setText(in.number);
    Edit5->setText(in.name);
    Edit1->setText(in.price);
    Edit2->setText(in.barcode);
    ComboBox1->setCurrentIndex(in.vatIndex);
    ComboBox2->setCurrentIndex(in.groupIndex);
    NumerOpakowania->setCurrentIndex(in.tandemIndex);
    ComboBox3->setCurrentIndex(in.haloIndex);
    if (in.unitIndex >= 0)
        ComboBox4->setCurrentIndex(in.unitIndex);
    CheckBox2->setChecked(in.fixedPrice);
    CheckBox3->setChecked(in.wholeQuantity);
}

bool TProgramowanieTowarow::DodajDoBazyClick()
{
    return addToBase(input());
}

bool TProgramowanieTowarow::addToBase(const ArticleInput& in)
{
    TransferUi& ui = m_session.ui();
    const ArticleBase::AddResult r = m_base->add(in);
    const auto hinted = [&r](const char* field) {
        for (const Failure& h : r.validation.hints)
            if (h.field == QLatin1String(field))
                return true;
        return false;
    };
    Hint4->setVisible(hinted("Edit4"));
    Hint5->setVisible(hinted("Edit5"));
    Hint1->setVisible(hinted("Edit1"));
    if (r.status != ArticleBase::Status::Written) {
        const QString message = r.message();
        if (!message.isEmpty())
            ui.showMessage(message, TransferUi::Icon::Warning);
        if (r.validation.failure && !r.validation.failure->hint) {
            if (r.validation.failure->field == QLatin1String("Edit5"))
                Edit5->setFocus();
            else if (r.validation.failure->field == QLatin1String("Edit2"))
                Edit2->setFocus(); // a barcode the register cannot hold
        }
        return false;
    }
    const int number = r.validation.record->number;
    // Stored all the same: a broken EAN code is the shop's to correct, not the form's to refuse.
    if (const QStringList warned = articlewarnings::warnings(number, r.validation.record->name,
                                                             r.validation.record->barcode);
        !warned.isEmpty())
        ui.showMessage(warned.join(u'\n'), TransferUi::Icon::Warning);
    m_session.markModified();
    refillGrid();
    Edit5->clear();
    Edit2->clear();
    Edit1->setText(QStringLiteral("0,00"));
    Edit5->setFocus();
    proposeNextFree();
    if (CheckBox4->isChecked() && typeKnown()) {
        const int sent = articlesend::sendArticle(link(), ui, m_session.database(), number,
                                                  registerType(), articlesend::AfterAddition);
        const QString text = articlesend::singleSendMessage(sent, link().at(8));
        if (!answers::confirmed(sent) && !text.isEmpty())
            ui.showMessage(text, TransferUi::Icon::Error);
    }
    return true;
}

int TProgramowanieTowarow::currentNumber() const
{
    return m_model->numberAt(StringGrid1->currentIndex().row());
}

void TProgramowanieTowarow::selectRow(int row)
{
    row = qBound(0, row, m_model->rowCount() - 1);
    StringGrid1->selectRow(row);
    StringGrid1->setCurrentIndex(m_model->index(row, 0));
}

void TProgramowanieTowarow::StringGrid1DblClick(int row)
{
    const int number = m_model->numberAt(row);
    if (number == 0)
        return;
    ArticleInput in = inputFromRecord(m_base->load(number), input());
    in.number = m_model->cell(row, 0);
    in.name = m_model->cell(row, 1);
    in.price = m_model->cell(row, 3);
    in.barcode = m_model->cell(row, 4);
    setInput(in);
    Edit5->setFocus();
}

void TProgramowanieTowarow::EdytujTowarClick()
{
    const int row = StringGrid1->currentIndex().row();
    const int number = m_model->numberAt(row);
    if (number == 0)
        return;
    TEdycjaTowaru editor(m_session, this);
    editor.setArticleNumber(number);
    editor.save = [this, number](const ArticleInput& edited) {
        // The editor has no unit field: the article keeps the unit it has, and the unit
        // chosen here stays as it was for the next addition.
        ArticleInput in = edited;
        in.unitIndex = -1;
        setInput(in);
        in.unitIndex = m_base->load(number).unit;
        addToBase(in);
    };
    editor.exec();
    selectRow(row);
}

void TProgramowanieTowarow::UsunTowarClick()
{
    const int row = StringGrid1->currentIndex().row();
    const int number = m_model->numberAt(row);
    if (number < 1 || number > 2000)
        return;
    if (!m_base->remove(number)) {
        m_session.ui().showMessage(QStringLiteral("     Błąd! Nie usunięto towaru     "),
                                   TransferUi::Icon::Error);
        return;
    }
    m_session.markModified();
    refillGrid();
    proposeNextFree();
    selectRow(row < m_model->shownCount() ? row : row - 1);
}

void TProgramowanieTowarow::WyslijTowarClick()
{
    const int number = currentNumber();
    if (number == 0 || !typeKnown())
        return;
    const int result = articlesend::sendArticle(link(), m_session.ui(), m_session.database(),
                                                number, registerType(), articlesend::AfterSelected);
    const QString text = articlesend::singleSendMessage(result, link().at(8));
    if (text.isEmpty())
        return; // nothing went out, or the link said why
    m_session.ui().showMessage(text, answers::confirmed(result) ? TransferUi::Icon::Information
                                                                : TransferUi::Icon::Error);
}

void TProgramowanieTowarow::WyslijWszystkieClick()
{
    if (!typeKnown())
        return;
    if (TylkoZmienione->isChecked()) {
        sendChangedOnly();
        return;
    }
    TransferUi& ui = m_session.ui();
    LiczbaWyslanych->setText(QStringLiteral("0"));
    LiczbaBledow->setText(QStringLiteral("0"));
    Drukuje->hide();
    PanelWysylania->show();
    articlesend::Panel panel;
    panel.failures = [this](int failures) { LiczbaBledow->setText(QString::number(failures)); };
    panel.printingNotice = [this](bool shown) { Drukuje->setVisible(shown); };
    articlesend::RunResult result;
    // The rows shown are what goes, and only they are checked afterwards.
    const QList<int> shown = m_model->shownNumbers();
    {
        // The panel's counter is the run's one progress display, its "Anuluj" the run's stop.
        const auto counter = [this](int done, int listed) {
            LiczbaWyslanych->setText(QString::number(done) + u'/' + QString::number(listed));
        };
        TransferRun run(ui, {this, AnulujWysylanie, [](int, int) {}});
        panel.programmed = counter;
        result =
            articlesend::sendAll(link(), run, m_session.database(), shown, registerType(), panel);
    }
    PanelWysylania->hide();
    const bool broken = result.end == articlesend::RunResult::End::TransmissionError ||
                        result.end == articlesend::RunResult::End::SalesNotZero;
    QStringList messages = result.messages();
    bool differs = false;
    if (Sprawdz->isChecked() && result.end == articlesend::RunResult::End::Completed &&
        !result.cancelled && !messages.isEmpty()) {
        // The run asked nothing before it went: what the check before programming would find
        // in the base was let through already.
        QStringList accepted;
        for (const wholereg::Problem& p : wholereg::preflight(m_session.database(), std::nullopt))
            accepted << p.text;
        const QStringList checked = checkProgrammed(accepted, differs, shown);
        messages.first() += QStringLiteral("\n\n") + checked.join(u'\n');
    }
    for (const QString& message : messages)
        ui.showMessage(message, broken                           ? TransferUi::Icon::Error
                                : result.endedEarly() || differs ? TransferUi::Icon::Warning
                                                                 : TransferUi::Icon::Information);
}

QStringList TProgramowanieTowarow::checkProgrammed(const QStringList& accepted, bool& differs,
                                                   const QList<int>& sent)
{
    wholereg::RestoreOptions programmed;
    programmed.only = {wholereg::Step::Articles};
    programmed.articles = sent;
    wholereg::VerifyResult verified;
    {
        // Reading the base back takes about as long as sending it: the count and "Anuluj" are
        // in the window's one progress window over this form.
        TransferRun run(m_session.ui(), {this, nullptr, {}});
        verified = wholereg::verifyProgrammed(link(), run, m_session.database(), registerType(),
                                              programmed, accepted);
    }
    differs = !verified.equal;
    return wholereg::verifyLines(verified);
}

void TProgramowanieTowarow::sendChangedOnly()
{
    TransferUi& ui = m_session.ui();
    wholereg::RestoreResult result;
    {
        // The register's base is read before anything goes: the count and "Anuluj" are in
        // the window's one progress window over this form.
        TransferRun run(ui, {this, nullptr, {}});
        result = wholereg::restore(link(), run, m_session.database(), registerType(),
                                   wholereg::changedArticlesOptions());
    }
    auto report = wholereg::changedArticlesReport(result, m_session.database());
    if (Sprawdz->isChecked() && result.finished && !report.summary.isEmpty()) {
        // The problems the person said yes to before programming are not asked again.
        QStringList accepted;
        for (const wholereg::Problem& p : result.problems)
            accepted << p.text;
        bool differs = false;
        const QStringList checked = checkProgrammed(accepted, differs);
        report.warning = report.warning || differs;
        report.summary += QStringLiteral("\n\n") + checked.join(u'\n');
    }
    if (!report.summary.isEmpty())
        ui.showMessage(report.summary,
                       report.warning ? TransferUi::Icon::Warning : TransferUi::Icon::Information);
    if (!report.failures.isEmpty())
        ui.showMessage(report.failures, TransferUi::Icon::Warning);
}

void TProgramowanieTowarow::OdczytajZKasyClick()
{
    if (!typeKnown())
        return;
    PanelCzekaj->show();
    articleread::Result r;
    {
        // The wait panel has no counter of its own: the count read so far and "Anuluj" are in
        // the window's one progress window over this form, which goes with the run.
        TransferRun run(m_session.ui(), {this, nullptr, {}});
        r = articleread::readArticles(link(), run, m_session.database(), registerType());
    }
    if (r.recordsWritten > 0) {
        m_base->rebuildIndex();
        m_session.markModified();
    }
    PanelCzekaj->hide();
    refillGrid();
    // The articles read may have taken the number proposed before.
    proposeNextFree();
    if (r.writeFailed)
        m_session.ui().showMessage(QStringLiteral("     Błąd! Nie dodano towaru     "),
                                   TransferUi::Icon::Error);
    else if (r.endedEarly())
        m_session.ui().showMessage(stoppedReadText(r.framesStored, 0), TransferUi::Icon::Warning);
}

void TProgramowanieTowarow::SzukajClick()
{
    refillGrid();
    if (Edit6->text().isEmpty())
        return;
    m_model->search(Edit6->text());
}

std::vector<articleprint::Row> TProgramowanieTowarow::printRows()
{
    const QByteArray table = readTable(m_session.database(), layout::Articles);
    std::vector<articleprint::Row> rows;
    if (table.size() < layout::Articles.bytes())
        return rows;
    for (int n = 1; n <= layout::Articles.count; ++n) {
        const QByteArrayView bytes = layout::Articles.record(table, n);
        if (!ArticleRecord::used(bytes))
            continue;
        const ArticleRecord r = ArticleRecord::decode(bytes);
        rows.push_back({r.number, r.name, r.price, QLatin1Char(r.vat), r.fixedPrice, r.barcode});
    }
    return rows;
}

int TProgramowanieTowarow::printTo(QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    const int pages = articleprint::paint(painter, printer, printRows());
    painter.end();
    return pages;
}

void TProgramowanieTowarow::DrukujClick()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!printer.isValid()) {
        m_session.ui().showMessage(QStringLiteral("Brak drukarki."), TransferUi::Icon::Warning);
        return;
    }
    printer.setPageOrientation(QPageLayout::Portrait);
    runPreview(printer);
}

void TProgramowanieTowarow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (Edit6->hasFocus())
            SzukajClick();
        else
            DodajDoBazyClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

#include "tkasywsiecisklepow.h"

#include "tkasasieci.h"

#include "app/appsession.h"
#include "app/forms/formparts.h"
#include "app/forms/formregistry.h"
#include "app/forms/gridfit.h"
#include "app/forms/runlock.h"
#include "app/forms/textfit.h"
#include "common/transferui.h"
#include "transfer/chain/chainjobs.h"
#include "transfer/chain/chainrunner.h"

#include <QCheckBox>
#include <QColor>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using chain::RegisterOutcome;

const QString Online = QStringLiteral("ONLINE");
const QString NoAnswer = QStringLiteral("brak odpowiedzi");
const QString Waiting = QStringLiteral("oczekuje");
const QString Working = QStringLiteral("w toku");
const QString StoppedBeforeStart = QStringLiteral("Przerwano przed rozpoczęciem.");

// "1 kasa", "3 kasy", "5 kas", "22 kasy".
QString countOf(qsizetype n)
{
    const bool few = n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14);
    return QString::number(n) + (n == 1 ? QStringLiteral(" kasa")
                                 : few  ? QStringLiteral(" kasy")
                                        : QStringLiteral(" kas"));
}

QString kindTitle(int kind)
{
    static const char16_t* const titles[] = {u"Programowanie całej kasy", u"Tylko zmienione",
                                             u"Kopia kasy do bazy", u"Dane informacyjne",
                                             u"Test połączenia"};
    return QString::fromUtf16(titles[kind]);
}

} // namespace

TKasyWSieciSklepow::TKasyWSieciSklepow(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("TKasyWSieciSklepow"));
    setWindowTitle(QStringLiteral("Kasy w sieci sklepów"));
    auto* top = new QVBoxLayout(this);

    auto* listRow = new QHBoxLayout;
    Lista = new QLabel(this);
    Lista->setObjectName(QStringLiteral("Lista"));
    OtworzListe = formparts::button(this, QStringLiteral("OtworzListe"),
                                    QStringLiteral("&Otwórz listę…"), false);
    ZapiszListe = formparts::button(this, QStringLiteral("ZapiszListe"),
                                    QStringLiteral("Zapi&sz listę"), false);
    Dodaj = formparts::button(this, QStringLiteral("Dodaj"), QStringLiteral("&Dodaj"), false);
    Zmien = formparts::button(this, QStringLiteral("Zmien"), QStringLiteral("Z&mień"), false);
    Usun = formparts::button(this, QStringLiteral("Usun"), QStringLiteral("&Usuń"), false);
    Testuj = formparts::button(this, QStringLiteral("Testuj"), QStringLiteral("&Testuj"), false);
    for (QPushButton* b : {OtworzListe, ZapiszListe, Dodaj, Zmien, Usun, Testuj})
        listRow->addWidget(b);
    listRow->addStretch();
    top->addLayout(listRow);
    top->addWidget(Lista);

    Siatka = new QTableWidget(0, ColumnCount, this);
    Siatka->setObjectName(QStringLiteral("Siatka"));
    Siatka->setHorizontalHeaderLabels(
        {QStringLiteral("Nazwa"), QStringLiteral("Port"), QStringLiteral("Adres"),
         QStringLiteral("Baza"), QStringLiteral("Model"), QStringLiteral("Stan"),
         QStringLiteral("Postęp"), QStringLiteral("Wynik"), QStringLiteral("Wznowienie")});
    formparts::readOnlyRows(Siatka);
    fitGridToContents(Siatka);
    // The grid's fit measures the texts; the name's column has the tick box before its text,
    // which the view's own measure of the column counts.
    Siatka->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::ResizeToContents);
    {
        // A dozen registers at once, with room for their results; more scroll.
        const QFontMetrics fm(Siatka->font());
        Siatka->setMinimumSize(fm.averageCharWidth() * 150,
                               Siatka->verticalHeader()->defaultSectionSize() * 12 +
                                   Siatka->horizontalHeader()->sizeHint().height() + 4);
    }
    top->addWidget(Siatka, 3);

    auto* actions = new QHBoxLayout;
    ProgramowanieCalejKasy = formparts::button(this, QStringLiteral("ProgramowanieCalejKasy"),
                                               QStringLiteral("&Programowanie całej kasy"), false);
    TylkoZmienione = formparts::button(this, QStringLiteral("TylkoZmienione"),
                                       QStringLiteral("Tylko &zmienione"), false);
    KopiaKasy = formparts::button(this, QStringLiteral("KopiaKasy"),
                                  QStringLiteral("&Kopia kasy do bazy"), false);
    DaneInformacyjne = formparts::button(this, QStringLiteral("DaneInformacyjne"),
                                         QStringLiteral("Dane &informacyjne"), false);
    Przerwij =
        formparts::button(this, QStringLiteral("Przerwij"), QStringLiteral("P&rzerwij"), false);
    Wznow = formparts::button(this, QStringLiteral("Wznow"), QStringLiteral("&Wznów"), false);
    // The check belongs to the two programming runs: beside them, off until ticked, and kept
    // while the program runs (the form lives as long as the program).
    Sprawdz = new QCheckBox(QStringLiteral("Sprawdź po zapro&gramowaniu"), this);
    Sprawdz->setObjectName(QStringLiteral("Sprawdz"));
    for (QPushButton* b : {ProgramowanieCalejKasy, TylkoZmienione})
        actions->addWidget(b);
    actions->addWidget(Sprawdz);
    for (QPushButton* b : {KopiaKasy, DaneInformacyjne})
        actions->addWidget(b);
    actions->addStretch();
    actions->addWidget(Przerwij);
    actions->addWidget(Wznow);
    top->addLayout(actions);

    Szczegoly = new QPlainTextEdit(this);
    Szczegoly->setObjectName(QStringLiteral("Szczegoly"));
    Szczegoly->setReadOnly(true);
    Szczegoly->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The summaries per table are laid out in columns of characters.
    Szczegoly->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Szczegoly->setPlaceholderText(QStringLiteral("Przebieg i wynik kasy wybranej w tabeli"));
    Szczegoly->setMinimumSize(
        textBoxSizeFor(Szczegoly, Szczegoly->document(), QString(84, u'M'), 10));
    top->addWidget(Szczegoly, 2);

    auto* bottom = new QHBoxLayout;
    Wynik = new QLabel(this);
    Wynik->setObjectName(QStringLiteral("Wynik"));
    Wynik->setWordWrap(true);
    auto* close =
        formparts::button(this, QStringLiteral("Zamknij"), QStringLiteral("Z&amknij"), false);
    bottom->addWidget(Wynik, 1);
    bottom->addWidget(close);
    top->addLayout(bottom);

    chooseOpenPath = [this] {
        return QFileDialog::getOpenFileName(
            this, QStringLiteral("Otwórz listę kas"), listDir(),
            QStringLiteral("Lista kas (*.txt);;Wszystkie pliki (*)"));
    };
    chooseSavePath = [this](const QString& proposed) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Zapisz listę kas"), proposed,
                                            QStringLiteral("Lista kas (*.txt)"));
    };

    connect(OtworzListe, &QPushButton::clicked, this, &TKasyWSieciSklepow::OtworzListeClick);
    connect(ZapiszListe, &QPushButton::clicked, this, &TKasyWSieciSklepow::ZapiszListeClick);
    connect(Dodaj, &QPushButton::clicked, this, &TKasyWSieciSklepow::DodajClick);
    connect(Zmien, &QPushButton::clicked, this, &TKasyWSieciSklepow::ZmienClick);
    connect(Usun, &QPushButton::clicked, this, &TKasyWSieciSklepow::UsunClick);
    connect(Testuj, &QPushButton::clicked, this, &TKasyWSieciSklepow::TestujClick);
    connect(ProgramowanieCalejKasy, &QPushButton::clicked, this,
            &TKasyWSieciSklepow::ProgramowanieCalejKasyClick);
    connect(TylkoZmienione, &QPushButton::clicked, this, &TKasyWSieciSklepow::TylkoZmienioneClick);
    connect(KopiaKasy, &QPushButton::clicked, this, &TKasyWSieciSklepow::KopiaKasyClick);
    connect(DaneInformacyjne, &QPushButton::clicked, this,
            &TKasyWSieciSklepow::DaneInformacyjneClick);
    connect(Przerwij, &QPushButton::clicked, this, &TKasyWSieciSklepow::PrzerwijClick);
    connect(Wznow, &QPushButton::clicked, this, &TKasyWSieciSklepow::WznowClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(Siatka, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == NameColumn && item->row() < m_shown.size())
            m_shown[item->row()].ticked = item->checkState() == Qt::Checked;
    });
    connect(Siatka, &QTableWidget::currentCellChanged, this, [this] {
        showDetails();
        updateButtons();
    });
    connect(Siatka, &QTableWidget::cellDoubleClicked, this, [this] {
        if (!running())
            ZmienClick();
    });
    fillGrid();
}

TKasyWSieciSklepow::~TKasyWSieciSklepow() = default;

bool TKasyWSieciSklepow::running() const
{
    return m_runner != nullptr;
}

QString TKasyWSieciSklepow::listDir() const
{
    return m_listPath.isEmpty() ? QDir::currentPath() : QFileInfo(m_listPath).absolutePath();
}

// ---- the list ----

bool TKasyWSieciSklepow::openList(const QString& path)
{
    const chain::RegisterList list = chain::loadRegisterList(path);
    if (!list.ok()) {
        m_session.ui().showMessage(list.errors.join(u'\n'), TransferUi::Icon::Error);
        return false;
    }
    m_listPath = QFileInfo(path).absoluteFilePath();
    m_listModified = false;
    m_registers = list.registers;
    m_shown = QList<Shown>(m_registers.size());
    Wynik->clear();
    fillGrid();
    return true;
}

bool TKasyWSieciSklepow::saveList(const QString& path)
{
    QString error;
    if (!chain::saveRegisterList(path, m_registers, &error)) {
        m_session.ui().showMessage(error, TransferUi::Icon::Error);
        return false;
    }
    m_listPath = QFileInfo(path).absoluteFilePath();
    m_listModified = false;
    fillGrid();
    return true;
}

bool TKasyWSieciSklepow::listSavePrompt()
{
    if (!m_listModified)
        return true;
    switch (m_session.ui().ask(QStringLiteral("Czy chcesz zapisać zmiany w liście kas?"),
                               TransferUi::Buttons::YesNoCancel)) {
    case TransferUi::Answer::Yes:
        ZapiszListeClick();
        return !m_listModified;
    case TransferUi::Answer::No:
        return true;
    case TransferUi::Answer::Cancel:
        break;
    }
    return false;
}

void TKasyWSieciSklepow::OtworzListeClick()
{
    if (!listSavePrompt())
        return;
    const QString path = chooseOpenPath();
    if (!path.isEmpty())
        openList(path);
}

void TKasyWSieciSklepow::ZapiszListeClick()
{
    QString path = m_listPath;
    if (path.isEmpty()) {
        path = chooseSavePath(QDir(listDir()).filePath(QStringLiteral("kasy.txt")));
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".txt");
    }
    saveList(path);
}

bool TKasyWSieciSklepow::editEntry(int row)
{
    TKasaSieci dialog(m_session.ui(), this);
    QList<chain::ChainRegister> others = m_registers;
    if (row >= 0)
        others.removeAt(row);
    dialog.setUp(row >= 0 ? &m_registers[row] : nullptr, others, listDir());
    if (runEntryDialog)
        runEntryDialog(dialog);
    else
        dialog.exec();
    if (dialog.result() != QDialog::Accepted)
        return false;
    if (row < 0) {
        m_registers.append(dialog.accepted());
        m_shown.append(Shown());
        row = int(m_registers.size() - 1);
    } else {
        const chain::ChainRegister changed = dialog.accepted();
        const chain::ChainRegister& was = m_registers[row];
        // Another register, or the same one with another database: what was shown of it is
        // no longer true, and a resume point belongs to the database it was made with.
        if (changed.lineKey() != was.lineKey() || changed.address != was.address ||
            changed.database != was.database) {
            Shown fresh;
            fresh.ticked = m_shown[row].ticked;
            m_shown[row] = fresh;
        }
        m_registers[row] = changed;
    }
    m_listModified = true;
    fillGrid();
    Siatka->setCurrentCell(row, NameColumn);
    return true;
}

void TKasyWSieciSklepow::DodajClick()
{
    editEntry(-1);
}

void TKasyWSieciSklepow::ZmienClick()
{
    const int row = Siatka->currentRow();
    if (row >= 0 && row < m_registers.size())
        editEntry(row);
}

void TKasyWSieciSklepow::UsunClick()
{
    const int row = Siatka->currentRow();
    if (row < 0 || row >= m_registers.size())
        return;
    if (m_session.ui().ask(QStringLiteral("Usunąć kasę „") + m_registers[row].name +
                           QStringLiteral("” z listy?")) != TransferUi::Answer::Yes)
        return;
    m_registers.removeAt(row);
    m_shown.removeAt(row);
    m_listModified = true;
    fillGrid();
}

// ---- the grid ----

void TKasyWSieciSklepow::fillGrid()
{
    const int current = Siatka->currentRow();
    {
        const QSignalBlocker quiet(Siatka);
        Siatka->setRowCount(int(m_registers.size()));
        for (int r = 0; r < m_registers.size(); ++r)
            showRow(r);
    }
    fitGridColumns(Siatka);
    if (!m_registers.isEmpty())
        Siatka->setCurrentCell(qBound(0, current, int(m_registers.size()) - 1), NameColumn);
    Lista->setText(QStringLiteral("Lista kas: ") +
                   (m_listPath.isEmpty() ? QStringLiteral("nowa, niezapisana")
                                         : QDir::toNativeSeparators(m_listPath)) +
                   (m_listModified ? QStringLiteral(" (zmieniona)") : QString()));
    showDetails();
    updateButtons();
}

void TKasyWSieciSklepow::showRow(int r)
{
    const chain::ChainRegister& reg = m_registers.at(r);
    const Shown& s = m_shown.at(r);
    const QString cells[ColumnCount] = {reg.name,
                                        reg.port,
                                        QString::number(reg.address),
                                        QFileInfo(reg.database).fileName(),
                                        s.model,
                                        s.state,
                                        s.progress,
                                        s.result,
                                        chain::resumeText(s.resume)};
    const QSignalBlocker quiet(Siatka);
    for (int c = 0; c < ColumnCount; ++c) {
        QTableWidgetItem* item = Siatka->item(r, c);
        if (!item) {
            item = new QTableWidgetItem;
            if (c == NameColumn)
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            if (c == AddressColumn || c == ProgressColumn)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Siatka->setItem(r, c, item);
        }
        item->setText(cells[c]);
    }
    Siatka->item(r, NameColumn)->setCheckState(s.ticked ? Qt::Checked : Qt::Unchecked);
    Siatka->item(r, DatabaseColumn)->setToolTip(QDir::toNativeSeparators(reg.database));
    Siatka->item(r, ResultColumn)->setToolTip(s.result);
    Siatka->item(r, StateColumn)
        ->setForeground(s.state == Online ? QColor(Qt::darkGreen) : QColor(Qt::red));
}

void TKasyWSieciSklepow::showDetails()
{
    const int r = Siatka->currentRow();
    if (r < 0 || r >= m_registers.size()) {
        Szczegoly->clear();
        return;
    }
    QStringList lines{m_registers[r].name + QStringLiteral(" (") + m_registers[r].title() +
                      QStringLiteral(")")};
    lines += m_shown[r].details;
    Szczegoly->setPlainText(lines.join(u'\n'));
}

void TKasyWSieciSklepow::updateButtons()
{
    if (running())
        return; // the run's lock holds every control but "Przerwij"
    const bool chosen = Siatka->currentRow() >= 0 && Siatka->currentRow() < m_registers.size();
    Zmien->setEnabled(chosen);
    Usun->setEnabled(chosen);
    Testuj->setEnabled(chosen);
    Przerwij->setEnabled(false);
    Wznow->setEnabled(std::any_of(m_shown.begin(), m_shown.end(),
                                  [](const Shown& s) { return !s.resume.isEmpty(); }));
}

// ---- the runs ----

void TKasyWSieciSklepow::TestujClick()
{
    const int row = Siatka->currentRow();
    if (row >= 0 && row < m_registers.size())
        start(Kind::Probe, {row});
}

void TKasyWSieciSklepow::ProgramowanieCalejKasyClick()
{
    startOnTicked(Kind::Whole);
}

void TKasyWSieciSklepow::TylkoZmienioneClick()
{
    startOnTicked(Kind::Changed);
}

void TKasyWSieciSklepow::KopiaKasyClick()
{
    startOnTicked(Kind::Backup);
}

void TKasyWSieciSklepow::DaneInformacyjneClick()
{
    startOnTicked(Kind::Information);
}

void TKasyWSieciSklepow::PrzerwijClick()
{
    if (m_runner)
        m_runner->requestStop();
}

void TKasyWSieciSklepow::WznowClick()
{
    QList<int> rows;
    QList<wholereg::ResumePoint> from;
    for (int r = 0; r < m_shown.size(); ++r)
        if (const auto point = wholereg::ResumePoint::parse(m_shown[r].resume)) {
            rows << r;
            from << *point;
        }
    if (!rows.isEmpty())
        start(m_resumeChangedOnly ? Kind::Changed : Kind::Whole, rows, from);
}

void TKasyWSieciSklepow::startOnTicked(Kind kind)
{
    QList<int> rows;
    QStringList existing;
    for (int r = 0; r < m_shown.size(); ++r) {
        if (!m_shown[r].ticked)
            continue;
        rows << r;
        const QString& db = m_registers[r].database;
        if (!db.isEmpty() && QFileInfo::exists(db))
            existing << QFileInfo(db).fileName();
    }
    TransferUi& ui = m_session.ui();
    if (rows.isEmpty()) {
        ui.showMessage(QStringLiteral("Zaznacz w tabeli kasy, na których wykonać „") +
                           kindTitle(int(kind)) + QStringLiteral("”."),
                       TransferUi::Icon::Warning);
        return;
    }
    // A copy replaces the databases the list names: said once for all of them.
    if (kind == Kind::Backup && !existing.isEmpty() &&
        ui.ask(QStringLiteral("Kopia zastąpi istniejące pliki baz: ") +
                   existing.join(QStringLiteral(", ")) + QStringLiteral(". Kontynuować?"),
               TransferUi::Buttons::YesNo, TransferUi::Icon::Warning) != TransferUi::Answer::Yes)
        return;
    start(kind, rows);
}

void TKasyWSieciSklepow::start(Kind kind, const QList<int>& rows,
                               const QList<wholereg::ResumePoint>& from)
{
    if (running())
        return;
    QList<chain::ChainRegister> registers;
    for (int r : rows)
        registers << m_registers[r];
    // A question of a register is the window's, with the register's name before it; the
    // answer goes back to that register only.
    const auto asker = [this, registers](int index, const QString& text,
                                         TransferUi::Buttons buttons, TransferUi::Icon icon,
                                         const QString& title) {
        return m_session.ui().ask(registers.at(index).name + QStringLiteral(": ") + text, buttons,
                                  icon, title);
    };
    m_runner = std::make_unique<ChainRunner>(registers, asker);
    m_runRows = rows;
    m_runFrom = from;
    m_began.clear();
    m_kind = kind;

    chain::ChainJob job;
    switch (kind) {
    case Kind::Whole:
    case Kind::Changed:
        job = chain::programmingJob(registers, {kind == Kind::Changed, from, Sprawdz->isChecked()},
                                    m_runner->details());
        m_resumeChangedOnly = kind == Kind::Changed;
        break;
    case Kind::Backup:
        job = chain::backupJob(registers, m_runner->details());
        break;
    case Kind::Information:
        job = chain::informationJob(m_runner->details());
        break;
    case Kind::Probe:
        job = chain::probeJob();
        break;
    }
    connect(m_runner.get(), &ChainRunner::started, this, &TKasyWSieciSklepow::registerStarted);
    connect(m_runner.get(), &ChainRunner::progressed, this,
            &TKasyWSieciSklepow::registerProgressed);
    connect(m_runner.get(), &ChainRunner::messaged, this,
            [this](int index, const QString& text) { registerSaid(index, {text}); });
    connect(m_runner.get(), &ChainRunner::detailed, this, &TKasyWSieciSklepow::registerSaid);
    connect(m_runner.get(), &ChainRunner::finished, this, &TKasyWSieciSklepow::registerFinished);
    connect(m_runner.get(), &ChainRunner::ended, this, &TKasyWSieciSklepow::runEnded);

    for (int r : rows) {
        Shown& s = m_shown[r];
        s.progress.clear();
        s.result = Waiting;
        s.details.clear();
        // A new programming has points of its own; a new copy replaces the database the
        // points were made with.
        if (kind == Kind::Whole || kind == Kind::Changed || kind == Kind::Backup)
            s.resume.clear();
        showRow(r);
    }
    showDetails();
    Wynik->setText(kindTitle(int(kind)) + QStringLiteral(": ") + countOf(rows.size()) +
                   QStringLiteral("…"));

    // As with one register's run: nothing else starts, Escape and "Przerwij" stop every
    // register, the form does not close. The grid and the details stay readable and a row
    // can be chosen to follow that register.
    m_lock = std::make_unique<RunLock>(this, Przerwij, [this] { PrzerwijClick(); });
    Siatka->setEnabled(true);
    Szczegoly->setEnabled(true);
    Przerwij->setEnabled(true);
    m_runner->start(job, m_session.fastTransfers());
}

void TKasyWSieciSklepow::registerStarted(int index)
{
    m_began.insert(index);
    Shown& s = m_shown[m_runRows[index]];
    s.result = Working;
    s.progress = QStringLiteral("0 %");
    showRow(m_runRows[index]);
}

void TKasyWSieciSklepow::registerProgressed(int index, int percent)
{
    const int row = m_runRows[index];
    m_shown[row].progress = QString::number(percent) + QStringLiteral(" %");
    const QSignalBlocker quiet(Siatka);
    Siatka->item(row, ProgressColumn)->setText(m_shown[row].progress);
}

void TKasyWSieciSklepow::registerSaid(int index, const QStringList& lines)
{
    const int row = m_runRows[index];
    m_shown[row].details += lines;
    if (Siatka->currentRow() == row)
        showDetails();
}

void TKasyWSieciSklepow::registerFinished(int index, const RegisterOutcome& outcome)
{
    const int row = m_runRows[index];
    Shown& s = m_shown[row];
    if (outcome.registerType != 0) {
        s.model = chain::modelText(outcome.registerType);
        s.state = Online;
    } else if (m_began.contains(index) && outcome.result != QStringLiteral("Przerwano.")) {
        // Its line was opened and the register did not answer (or the line did not open).
        s.model.clear();
        s.state = NoAnswer;
    }
    s.result = chain::resultText(outcome);
    // A register whose job never began (the stop came first, a check refused it, its line
    // did not answer) did nothing a progress could show.
    const bool notReached = !outcome.ok() && outcome.registerType == 0;
    if (outcome.ok())
        s.progress = QStringLiteral("100 %");
    else if (notReached)
        s.progress.clear();
    if (m_kind == Kind::Whole || m_kind == Kind::Changed) {
        // One the run did not reach goes on from where it was to go on (the start, or the
        // point of the run before), unless a check of its own keeps it out.
        const bool mayResume = outcome.result == StoppedBeforeStart || m_began.contains(index);
        s.resume = !outcome.resume.isEmpty() ? outcome.resume
                   : notReached && mayResume ? m_runFrom.value(index).text()
                                             : QString();
    }
    if (s.details.isEmpty() && !outcome.ok())
        s.details << outcome.result;
    showRow(row);
    if (Siatka->currentRow() == row)
        showDetails();
}

void TKasyWSieciSklepow::runEnded()
{
    // Every register's notices came before this one; the closing line counts the result table.
    const QList<RegisterOutcome> outcomes = m_runner->outcomes();
    m_lock.reset();
    m_runner.release()->deleteLater();
    QString text = chain::closingText(outcomes);
    const bool resumable = std::any_of(m_runRows.begin(), m_runRows.end(),
                                       [this](int r) { return !m_shown[r].resume.isEmpty(); });
    if (resumable)
        text += QStringLiteral(" „Wznów” dokończy programowanie od miejsca, w którym się "
                               "zatrzymało.");
    Wynik->setText(text);
    fitGridColumns(Siatka);
    updateButtons();
}

VDUNO_REGISTER_FORM(TKasyWSieciSklepow)

#include "tprogramowaniecalejkasy.h"

#include "wholesummary.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "app/forms/tmenuglowne.h"
#include "common/transferrun.h"
#include "database/databasesession.h"
#include "link/link.h"
#include "transfer/whole/registerextras.h"
#include "transfer/whole/severalregisters.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int MaxAddress = 9;

// "1,2,3" or "1-3": the addresses in the order typed, each once; false with a message when
// the text holds anything else.
bool parseAddresses(const QString& text, QList<int>& out, QString* error)
{
    out.clear();
    for (const QString& raw : text.split(u',', Qt::SkipEmptyParts)) {
        const QString part = raw.trimmed();
        const QStringList range = part.split(u'-');
        bool ok1 = false;
        bool ok2 = false;
        const int from = range.value(0).trimmed().toInt(&ok1);
        const int to = range.size() == 2 ? range.value(1).trimmed().toInt(&ok2) : from;
        if (!ok1 || (range.size() == 2 && !ok2) || range.size() > 2 || from < 1 ||
            to > MaxAddress || from > to) {
            *error = QStringLiteral("Błędny adres kasy: „%1” (dozwolone 1..%2).")
                         .arg(part)
                         .arg(MaxAddress);
            return false;
        }
        for (int a = from; a <= to; ++a)
            if (!out.contains(a))
                out.append(a);
    }
    if (out.isEmpty()) {
        *error = QStringLiteral("Wpisz adresy kas, np. 1,2,3.");
        return false;
    }
    return true;
}

} // namespace

TProgramowanieCalejKasy::TProgramowanieCalejKasy(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_link(&Link::instance())
{
    setObjectName(QStringLiteral("TProgramowanieCalejKasy"));
    setWindowTitle(QStringLiteral("Programowanie całej kasy"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("Wszystkie tabele bazy zostaną zaprogramowane w "
                                             "kasie (stawki PTU, grupy i opakowania przed "
                                             "towarami)."),
                              this));

    TylkoZmienione = new QCheckBox(QStringLiteral("Tylko zmienione rekordy"), this);
    SkasujNadmiarowe =
        new QCheckBox(QStringLiteral("Skasuj w kasie rekordy, których nie ma w bazie"), this);
    SkasujNadmiarowe->setEnabled(false);
    top->addWidget(TylkoZmienione);
    auto* indented = new QHBoxLayout;
    indented->addSpacing(24);
    indented->addWidget(SkasujNadmiarowe);
    top->addLayout(indented);
    // Off until ticked; the form lives as long as the program, and so does the choice.
    Sprawdz = new QCheckBox(QStringLiteral("Sprawdź po zaprogramowaniu"), this);
    Sprawdz->setObjectName(QStringLiteral("Sprawdz"));
    top->addWidget(Sprawdz);
    auto* several = new QHBoxLayout;
    WieleKas = new QCheckBox(QStringLiteral("Wszystkie kasy na linii (adresy):"), this);
    Adresy = new QLineEdit(this);
    Adresy->setObjectName(QStringLiteral("Adresy"));
    Adresy->setPlaceholderText(QStringLiteral("1,2,3"));
    Adresy->setEnabled(false);
    several->addWidget(WieleKas);
    several->addWidget(Adresy, 1);
    top->addLayout(several);

    const wholesummary::RunRow run =
        wholesummary::addRunRow(this, top, QStringLiteral("AnulujProgramowanie"));
    Postep = run.progress;
    AnulujProgramowanie = run.cancel;

    Podsumowanie = wholesummary::makeTable(this);
    Podsumowanie->setObjectName(QStringLiteral("Podsumowanie"));
    top->addWidget(Podsumowanie, 3);
    Uwagi = new QPlainTextEdit(this);
    Uwagi->setObjectName(QStringLiteral("Uwagi"));
    Uwagi->setReadOnly(true);
    Uwagi->setPlaceholderText(
        QStringLiteral("Rekordy, których kasa nie przyjęła, i rekordy tylko w kasie"));
    Uwagi->setMaximumHeight(Uwagi->fontMetrics().lineSpacing() * 6);
    top->addWidget(Uwagi, 1);
    Wynik = new QLabel(this);
    Wynik->setObjectName(QStringLiteral("Wynik"));
    Wynik->setWordWrap(true);
    top->addWidget(Wynik);

    auto* buttons = new QHBoxLayout;
    Wykonaj = new QPushButton(QStringLiteral("&Wykonaj"), this);
    Wznow = new QPushButton(QStringLiteral("W&znów"), this);
    auto* close = new QPushButton(QStringLiteral("&Zamknij"), this);
    for (QPushButton* b : {AnulujProgramowanie, Wykonaj, Wznow, close})
        b->setAutoDefault(false);
    buttons->addWidget(Wykonaj);
    buttons->addWidget(Wznow);
    buttons->addStretch();
    buttons->addWidget(close);
    top->addLayout(buttons);

    connect(TylkoZmienione, &QCheckBox::toggled, this, [this](bool on) {
        SkasujNadmiarowe->setEnabled(on);
        if (!on)
            SkasujNadmiarowe->setChecked(false);
    });
    connect(WieleKas, &QCheckBox::toggled, Adresy, &QWidget::setEnabled);
    connect(Wykonaj, &QPushButton::clicked, this, &TProgramowanieCalejKasy::WykonajClick);
    connect(Wznow, &QPushButton::clicked, this, &TProgramowanieCalejKasy::WznowClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    updateButtons();
}

void TProgramowanieCalejKasy::showEvent(QShowEvent* event)
{
    dropStaleResume();
    QDialog::showEvent(event);
}

void TProgramowanieCalejKasy::dropStaleResume()
{
    const int generation = m_session.session().generation();
    if (generation != m_generation) {
        m_pending.clear();
        m_accepted.clear();
        m_generation = generation;
    }
    updateButtons();
}

void TProgramowanieCalejKasy::updateButtons()
{
    Wznow->setEnabled(!m_pending.isEmpty());
}

wholereg::RestoreOptions TProgramowanieCalejKasy::options() const
{
    wholereg::RestoreOptions o;
    o.changedOnly = TylkoZmienione->isChecked();
    o.deleteOnlyInRegister = o.changedOnly && SkasujNadmiarowe->isChecked();
    o.accepted = m_accepted;
    // The unit names come from the copy's extras file beside the database's file, when the
    // database was opened from (or saved to) a file that has one.
    if (auto* window = qobject_cast<TMenuGlowne*>(parentWidget());
        window && !window->filePath().isEmpty())
        if (const auto extras = wholereg::readExtras(wholereg::extrasPath(window->filePath())))
            wholereg::applyExtras(o, *extras);
    return o;
}

void TProgramowanieCalejKasy::WykonajClick()
{
    dropStaleResume();
    QList<Pending> targets;
    if (WieleKas->isChecked()) {
        QList<int> addresses;
        QString error;
        if (!parseAddresses(Adresy->text(), addresses, &error)) {
            m_session.ui().showMessage(error, TransferUi::Icon::Warning);
            Adresy->setFocus();
            return;
        }
        for (int a : addresses)
            targets.append(Pending{{m_link->port, quint8(a)}, {}});
    } else {
        targets.append(Pending{{m_link->port, m_link->address}, {}});
    }
    m_accepted.clear();
    run(targets);
}

void TProgramowanieCalejKasy::WznowClick()
{
    dropStaleResume();
    if (!m_pending.isEmpty())
        run(m_pending);
}

void TProgramowanieCalejKasy::run(const QList<Pending>& targets)
{
    TransferUi& ui = m_session.ui();
    wholesummary::clear(Podsumowanie);
    Uwagi->clear();
    Wynik->clear();
    Postep->setRange(0, 1);
    Postep->setValue(0);
    const quint8 address = m_link->address;
    const bool several = targets.size() > 1 || WieleKas->isChecked();

    QList<wholereg::RegisterRun> runs;
    bool stopped = false;
    AnulujProgramowanie->setEnabled(true);
    {
        // The form's bar is the run's one progress display, its "Anuluj" the run's stop.
        TransferRun outer(ui, {this, AnulujProgramowanie, [this](int done, int total) {
                                   Postep->setRange(0, qMax(total, 1));
                                   Postep->setValue(qBound(0, done, qMax(total, 1)));
                               }});
        // Registers that go on from different points are programmed one after another;
        // what the person accepted at the check for one is not asked again for the next.
        for (int i = 0; i < targets.size();) {
            wholereg::RestoreOptions o = options();
            o.from = targets[i].from;
            QList<portscan::FoundRegister> group;
            int j = i;
            for (; j < targets.size() && targets[j].from == o.from; ++j)
                group.append(targets[j].target);
            const QList<wholereg::RegisterRun> done = wholereg::restoreEach(
                *m_link, outer, m_session.database(), group, o, Sprawdz->isChecked());
            runs += done;
            for (const wholereg::RegisterRun& r : done)
                for (const wholereg::Problem& p : r.result.problems)
                    if (!r.result.declined && !m_accepted.contains(p.text))
                        m_accepted.append(p.text);
            const bool declined = std::any_of(done.begin(), done.end(),
                                              [](const auto& r) { return r.result.declined; });
            if (declined || outer.stopRequested())
                break;
            i = j;
        }
        stopped = outer.stopRequested();
    }
    AnulujProgramowanie->setEnabled(false);
    m_link->address = address; // the connected register stays the one the program talks to

    m_pending.clear();
    QStringList notes;
    int succeeded = 0;
    int verified = 0; // registers whose programming was checked
    int equal = 0;    // of them, those that hold the database
    QString verdict;  // the check's verdict on the last register checked
    int programmed = 0;
    int refused = 0;
    bool declined = false;
    for (const wholereg::RegisterRun& r : runs) {
        if (several)
            wholesummary::addHeading(Podsumowanie, wholereg::registerTitle(r.target));
        if (!r.failure.isEmpty()) {
            notes << wholereg::registerTitle(r.target) + QStringLiteral(": ") + r.failure;
            m_pending.append(Pending{r.target, r.result.resume});
            continue;
        }
        if (r.result.declined) {
            declined = true;
            continue;
        }
        wholesummary::addRows(Podsumowanie, r.result.tables);
        if (r.verifying) {
            const QStringList checked = wholereg::verifyLines(r.verified);
            wholesummary::addLines(Podsumowanie, checked);
            ++verified;
            equal += r.verified.equal;
            verdict = r.verified.equal || !r.verified.complete
                          ? checked.first()
                          : QStringLiteral("Kasa różni się od bazy (lista powyżej).");
        }
        for (const wholereg::TableOutcome& t : r.result.tables) {
            programmed += t.records;
            refused += int(t.refused.size());
        }
        QStringList lines = wholereg::refusedLines(r.result.tables);
        lines += wholereg::onlyInRegisterLines(r.result.onlyInRegister);
        if (several && !lines.isEmpty())
            lines.prepend(wholereg::registerTitle(r.target) + u':');
        notes += lines;
        // A register that differs after the check was programmed to the end all the same:
        // "Wznów" has nothing to finish there.
        if (r.succeeded())
            ++succeeded;
        else if (!r.result.finished)
            m_pending.append(Pending{r.target, r.result.resume});
    }
    // Registers the run did not reach (a stop, or the person declined) go on from where they
    // were to go on.
    for (const Pending& t : targets) {
        const bool reached = std::any_of(runs.begin(), runs.end(),
                                         [&](const auto& r) { return r.target == t.target; });
        if (!reached && !declined)
            m_pending.append(t);
    }
    Uwagi->setPlainText(notes.join(u'\n'));

    QString text;
    if (declined) {
        text = QStringLiteral("Nie zaprogramowano kasy.");
    } else if (m_pending.isEmpty()) {
        Postep->setValue(Postep->maximum());
        text = several ? QStringLiteral("Zaprogramowano %1 kas.").arg(succeeded + verified - equal)
                       : QStringLiteral("Zaprogramowano kasę.");
        if (refused > 0)
            text += QStringLiteral(" Kasa nie przyjęła %1 rekordów (lista poniżej).").arg(refused);
        if (several && verified > 0)
            text += QStringLiteral(" Zgodnych z bazą po sprawdzeniu: %1 z %2.")
                        .arg(equal)
                        .arg(verified);
        else if (verified > 0)
            text += u' ' + verdict;
    } else {
        // A short run is never shown as a whole one: how far it got, and how to go on.
        text = (stopped ? stoppedSendText(programmed, 0)
                        : QStringLiteral("Programowanie nie zostało dokończone. Wysłano %1.")
                              .arg(programmed)) +
               QStringLiteral(" „Wznów” dokończy programowanie od miejsca, w którym się "
                              "zatrzymało.");
    }
    Wynik->setText(text);
    updateButtons();
    if (!m_pending.isEmpty() && !declined)
        ui.showMessage(text, TransferUi::Icon::Warning);
}

VDUNO_REGISTER_FORM(TProgramowanieCalejKasy)

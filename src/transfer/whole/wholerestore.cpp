#include "wholerestore.h"

#include "registerreads.h"
#include "restoresteps.h"
#include "stageui.h"

#include "common/transferrun.h"
#include "link/link.h"

#include <algorithm>

namespace wholereg {

namespace {

using State = TableOutcome::State;

struct StepNames {
    const char* name;
    QString title;
};

const StepNames& namesOf(Step step)
{
    static const StepNames names[StepCount] = {
        {"vat", QStringLiteral("Stawki PTU")},
        {"groups", QStringLiteral("Grupy towarowe")},
        {"packaging", QStringLiteral("Opakowania")},
        {"articles", QStringLiteral("Towary")},
        {"cashiers", QStringLiteral("Kasjerzy")},
        {"discounts", QStringLiteral("Rabaty i narzuty")},
        {"payments", QStringLiteral("Formy płatności")},
        {"currencies", QStringLiteral("Waluty")},
        {"quickkeys", QStringLiteral("Klawisze szybkie")},
        {"header", QStringLiteral("Nagłówek paragonu")},
        {"footer", QStringLiteral("Stopka paragonu")},
        {"halo", QStringLiteral("Tablica HALO")},
        {"units", QStringLiteral("Jednostki")},
    };
    return names[int(step)];
}

// What the step's own logic said last; a run that ends without a word broke on the line.
QString lastMessage(const StageUi& stage)
{
    if (!stage.messages.isEmpty())
        return stage.messages.last();
    return stage.stopRequested() ? QString() : QStringLiteral("Wystąpił błąd transmisji.");
}

} // namespace

QString stepTitle(Step step)
{
    return namesOf(step).title;
}

QString stepName(Step step)
{
    return QString::fromLatin1(namesOf(step).name);
}

std::optional<Step> stepOf(const QString& name)
{
    for (int s = 0; s < StepCount; ++s)
        if (name == QLatin1String(namesOf(Step(s)).name))
            return Step(s);
    return std::nullopt;
}

QString ResumePoint::text() const
{
    return QString::number(step) + u':' + QString::number(done);
}

std::optional<ResumePoint> ResumePoint::parse(const QString& text)
{
    const QStringList parts = text.split(u':');
    bool stepOk = false, doneOk = false;
    if (parts.size() != 2)
        return std::nullopt;
    const ResumePoint p{parts[0].toInt(&stepOk), parts[1].toInt(&doneOk)};
    if (!stepOk || !doneOk || p.step < 0 || p.step >= StepCount || p.done < 0)
        return std::nullopt;
    return p;
}

void applyExtras(RestoreOptions& options, const RegisterExtras& extras)
{
    options.units = extras.units;
    for (auto it = extras.keptDefaults.cbegin(); it != extras.keptDefaults.cend(); ++it)
        if (const auto step = stepOf(it.key()))
            options.keptDefaults.insert(*step, it.value());
}

QStringList onlyInRegisterLines(const QList<OnlyInRegister>& list)
{
    QStringList lines;
    for (const OnlyInRegister& o : list) {
        lines << stepTitle(o.step) + QStringLiteral(" tylko w kasie: ") + numbersText(o.numbers) +
                     (o.deleted ? QStringLiteral(" (skasowane)") : QString());
    }
    if (!lines.isEmpty())
        lines.prepend(QStringLiteral("Rekordy tylko w kasie:"));
    return lines;
}

QString numbersText(const QList<int>& numbers)
{
    QStringList list;
    for (int n : numbers)
        list << QString::number(n);
    return list.join(QStringLiteral(", "));
}

RestoreResult restore(Link& link, TransferUi& caller, RegisterDatabase& db, int registerType,
                      const RestoreOptions& options)
{
    TransferRun run(caller);
    RestoreResult result;
    result.resume = options.from;

    QList<Step> steps;
    for (int s = 0; s < StepCount; ++s)
        if (options.only.isEmpty() || options.only.contains(Step(s)))
            steps.append(Step(s));

    // The register's rates: for the check, and so that unchanged rates are never sent again.
    std::optional<QByteArray> registerVat;
    if (steps.contains(Step::Vat)) {
        StageUi quiet(run, 0, 0, 0);
        const ImagesRead read = readVatRates(link, quiet);
        if (read.end == ImagesRead::End::Whole && read.received == 1)
            registerVat = read.images.first();
    }
    if (options.from.atStart()) {
        result.problems = preflight(db, registerVat);
        // Only what this run sends.
        QStringList titles;
        for (Step step : steps)
            titles << stepTitle(step);
        result.problems.erase(
            std::remove_if(result.problems.begin(), result.problems.end(),
                           [&](const Problem& p) { return !titles.contains(p.table); }),
            result.problems.end());
        const bool allAccepted =
            std::all_of(result.problems.begin(), result.problems.end(),
                        [&](const Problem& p) { return options.accepted.contains(p.text); });
        if (!allAccepted && run.ask(preflightQuestion(result.problems), TransferUi::Buttons::YesNo,
                                    TransferUi::Icon::Warning) != TransferUi::Answer::Yes) {
            result.declined = true;
            return result;
        }
    }

    // The progress covers every record the database has for the steps still to run.
    QList<QList<int>> items;
    int total = 0;
    for (Step step : steps) {
        StageUi probe(run, 0, 0, 0);
        QList<int> list;
        if (int(step) >= options.from.step) {
            StepContext c{link, probe, db, registerType, options, registerVat};
            list = stepDef(step).items(c);
        }
        items.append(list);
        total += int(list.size()) + 1;
    }

    int offset = 0;
    bool going = true;
    // A step that broke or was stopped ends the run; the next one goes on from `resume`.
    const auto endHere = [&](TableOutcome& t, const StageUi& stage, bool stopped,
                             ResumePoint resume) {
        t.state = stopped ? State::Stopped : State::Failed;
        t.note = lastMessage(stage);
        result.resume = resume;
        going = false;
    };
    for (int i = 0; i < steps.size(); ++i) {
        const Step step = steps[i];
        const StepDef& def = stepDef(step);
        TableOutcome t;
        t.table = stepTitle(step);
        const int weight = int(items[i].size()) + 1;
        if (int(step) < options.from.step) {
            t.state = State::Done;
            t.note = QStringLiteral("wysłano w poprzednim przebiegu");
            result.tables.append(t);
            continue;
        }
        if (!going) {
            result.tables.append(t);
            continue;
        }
        if (run.stopRequested()) {
            t.state = State::Stopped;
            result.resume = {int(step), 0};
            going = false;
            result.tables.append(t);
            continue;
        }

        StageUi stage(run, offset, weight, total);
        StepContext c{link, stage, db, registerType, options, registerVat};
        if (def.stored && options.keptDefaults.contains(step) &&
            def.stored(c) == options.keptDefaults.value(step)) {
            t.state = State::Done;
            t.note = QStringLiteral("wartości domyślne kopii kasy: nie wysłano");
            stage.finish();
            offset += weight;
            result.tables.append(t);
            continue;
        }
        QList<int> todo = items[i];
        int skipped = int(step) == options.from.step ? options.from.done : 0;
        const bool compare = def.compare && (options.changedOnly || step == Step::Vat);
        if (compare && !todo.isEmpty()) {
            const std::optional<Compared> compared = def.compare(c);
            if (!compared) {
                endHere(t, stage, run.stopRequested(), {int(step), 0});
                result.tables.append(t);
                continue;
            }
            todo = compared->changed;
            skipped = 0; // what a run before this one sent now compares equal
            if (!compared->onlyRegister.isEmpty())
                result.onlyInRegister.append({step, compared->onlyRegister, false});
        }
        todo = todo.mid(skipped);
        if (step == Step::Articles && !options.articles.isEmpty())
            todo.removeIf([&](int n) { return !options.articles.contains(n); });
        t.listed = int(todo.size());
        if (options.checkOnly && compare) {
            t.state = State::Done;
            t.note = todo.isEmpty() ? QStringLiteral("zgodne z bazą")
                                    : QStringLiteral("różne od bazy: ") + numbersText(todo);
            stage.finish();
            offset += weight;
            result.tables.append(t);
            continue;
        }

        Sent sent;
        if (!todo.isEmpty())
            sent = def.send(c, todo);
        t.records = sent.programmed;
        t.refused = sent.refused;
        if (sent.broken || sent.stopped) {
            // The unchanged records were skipped by the comparison: a resume compares again.
            endHere(t, stage, sent.stopped, {int(step), compare ? 0 : skipped + sent.handled});
        } else {
            t.state = !sent.refused.isEmpty()      ? State::Refused
                      : todo.isEmpty() && !compare ? State::Empty
                                                   : State::Done;
            if (todo.isEmpty() && compare)
                t.note = QStringLiteral("bez zmian");
            if (!def.compare && !todo.isEmpty())
                t.note = QStringLiteral("kasa nie wysyła tej tabeli: wysłano bez porównania");
        }

        // Records only in the register go only when the person asked for it.
        if (going && options.deleteOnlyInRegister && def.remove &&
            !result.onlyInRegister.isEmpty() && result.onlyInRegister.last().step == step) {
            OnlyInRegister& extra = result.onlyInRegister.last();
            const Sent removed = def.remove(c, extra.numbers);
            extra.deleted = !removed.broken && !removed.stopped;
            if (!extra.deleted)
                endHere(t, stage, removed.stopped, {int(step), int(todo.size()) + skipped});
        }
        if (going)
            stage.finish();
        offset += weight;
        result.tables.append(t);
    }
    result.finished = going;
    if (result.finished)
        result.resume = {};
    return result;
}

} // namespace wholereg

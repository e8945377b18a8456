#include "chainjobs.h"

#include "common/transferrun.h"
#include "database/databasesession.h"
#include "transfer/information.h"
#include "transfer/whole/registerextras.h"
#include "transfer/whole/stageui.h"
#include "transfer/whole/verify.h"
#include "transfer/whole/wholebackup.h"

#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

namespace chain {

namespace {

using wholereg::TableOutcome;

const QString NoDatabase = QStringLiteral("Lista nie podaje bazy tej kasy.");

void tell(const Details& details, int index, const QStringList& lines)
{
    if (details && !lines.isEmpty())
        details(index, lines);
}

// Why a programming run ended before its end: the table it ended in and what was said there.
QString endedText(const wholereg::RestoreResult& result)
{
    for (const TableOutcome& t : result.tables) {
        if (t.state == TableOutcome::State::Stopped)
            return QStringLiteral("Przerwano.");
        if (t.state == TableOutcome::State::Failed)
            return t.table + QStringLiteral(": ") +
                   (t.note.isEmpty() ? wholereg::stateText(t.state) : t.note);
    }
    return QStringLiteral("Programowanie nie zostało dokończone.");
}

JobResult program(const ChainRegister& reg, Link& link, TransferUi& ui, int registerType,
                  wholereg::RestoreOptions options, bool verify, QStringList& lines)
{
    JobResult r;
    // The register's own working copy: registers sharing a database file never share it.
    QTemporaryDir dir;
    if (!dir.isValid()) {
        r.result = QStringLiteral("Nie mogę utworzyć katalogu tymczasowego");
        return r;
    }
    DatabaseSession session(dir.filePath(DatabaseSession::WorkingCopyName));
    const DbResult opened = session.openDatabaseFile(reg.database);
    if (!opened.ok) {
        r.result = opened.message;
        return r;
    }
    if (const auto extras = wholereg::readExtras(wholereg::extrasPath(reg.database)))
        wholereg::applyExtras(options, *extras);

    const wholereg::RestoreResult result =
        wholereg::restore(link, ui, session.database(), registerType, options);
    if (result.declined) {
        // A stop while the check's question waited its turn answers it "No": the register was
        // not refused by the person, only not begun.
        if (ui.stopRequested()) {
            r.result = QStringLiteral("Przerwano.");
            r.resume = options.from.text();
        } else {
            r.result = QStringLiteral("Nie zaprogramowano kasy.");
        }
        return r;
    }
    lines << wholereg::summaryLines(result.tables)
          << wholereg::onlyInRegisterLines(result.onlyInRegister);
    r.counts = wholereg::totalsText(result.tables);
    if (!result.finished) {
        r.result = endedText(result);
        r.resume = result.resume.text();
        return r;
    }
    int refused = 0;
    for (const TableOutcome& t : result.tables)
        refused += int(t.refused.size());
    r.ok = wholereg::allDone(result.tables);
    if (refused > 0)
        r.result = QStringLiteral("Kasa nie przyjęła %1 rekordów.").arg(refused);
    if (verify) {
        // The check's verdict says it all: a refused record is one that still differs. The
        // problems the person let through before programming are not asked again.
        QStringList accepted = options.accepted;
        for (const wholereg::Problem& p : result.problems)
            accepted << p.text;
        const wholereg::VerifyResult verified = wholereg::verifyProgrammed(
            link, ui, session.database(), registerType, options, accepted);
        const QStringList checked = wholereg::verifyLines(verified);
        lines << checked;
        r.ok = r.ok && verified.equal;
        r.result = checked.first();
        r.counts.clear(); // the records are in the summary above the check's lines
    }
    return r;
}

JobResult backUp(const ChainRegister& reg, Link& link, TransferUi& ui, QStringList& lines)
{
    JobResult r;
    QString error;
    const wholereg::BackupResult result = wholereg::backupToFile(link, ui, reg.database, &error);
    lines << wholereg::summaryLines(result.tables);
    r.counts = wholereg::totalsText(result.tables);
    const QString name = QFileInfo(reg.database).fileName();
    if (!result.complete()) {
        r.result = result.stopped
                       ? QStringLiteral("Przerwano. Nie zapisano pliku ") + name + u'.'
                       : QStringLiteral("Kopia niepełna. Nie zapisano pliku ") + name + u'.';
        return r;
    }
    if (!error.isEmpty()) {
        r.result = error;
        return r;
    }
    lines << QStringLiteral("Zapisano ") + reg.database + QStringLiteral(" i ") +
                 QFileInfo(wholereg::extrasPath(reg.database)).fileName() + u'.';
    r.ok = true;
    return r;
}

JobResult inform(Link& link, TransferUi& ui, QStringList& lines)
{
    JobResult r;
    TransferRun run(ui);
    // "Brak komunikacji" and the check-byte messages are the register's result, not a box.
    StageUi quiet(run, 0, 0, 0);
    const auto info = transfer::fetchInformation(link, quiet);
    if (!info) {
        r.result =
            quiet.messages.isEmpty() ? QStringLiteral("Brak komunikacji") : quiet.messages.last();
        return r;
    }
    lines << QStringLiteral("Typ kasy: ") + modelText(info->registerType);
    for (int f = 0; f < transfer::kInfoFieldCount; ++f)
        if (const auto value = info->value(transfer::InfoField(f)))
            lines << transfer::infoCaption(transfer::InfoField(f)) + QStringLiteral(": ") + *value;
    r.ok = true;
    return r;
}

} // namespace

ChainJob programmingJob(const QList<ChainRegister>& registers, const Programming& programming,
                        Details details)
{
    ChainJob job;
    job.precheck = [registers](int index) -> QString {
        const ChainRegister& reg = registers.at(index);
        if (reg.database.isEmpty())
            return NoDatabase;
        if (!QFileInfo(reg.database).isFile())
            return QStringLiteral("Nie ma pliku bazy ") + reg.database + u'.';
        return QString();
    };
    job.run = [registers, programming, details](int index, Link& link, TransferUi& ui,
                                                int registerType) {
        wholereg::RestoreOptions options;
        options.changedOnly = programming.changedOnly;
        options.from = programming.from.value(index);
        QStringList lines;
        const JobResult r = program(registers.at(index), link, ui, registerType, options,
                                    programming.verify, lines);
        tell(details, index, lines);
        return r;
    };
    return job;
}

ChainJob backupJob(const QList<ChainRegister>& registers, Details details)
{
    // A copy never writes over another register's: registers whose files would be the same
    // one copy into neither.
    QHash<QString, QList<int>> byFile;
    for (int i = 0; i < registers.size(); ++i)
        if (!registers.at(i).database.isEmpty())
            byFile[QFileInfo(registers.at(i).database).absoluteFilePath()].append(i);
    QHash<int, QString> refused;
    for (const QList<int>& same : std::as_const(byFile))
        if (same.size() > 1)
            for (int i : same)
                refused.insert(i, QStringLiteral("Ten sam plik kopii ") +
                                      QFileInfo(registers.at(i).database).fileName() +
                                      QStringLiteral(" co kasa „") +
                                      registers.at(same.at(same.first() == i ? 1 : 0)).name +
                                      QStringLiteral("”; nie zapisano."));

    ChainJob job;
    job.precheck = [registers, refused](int index) -> QString {
        if (registers.at(index).database.isEmpty())
            return NoDatabase;
        return refused.value(index);
    };
    job.run = [registers, details](int index, Link& link, TransferUi& ui, int) {
        QStringList lines;
        const JobResult r = backUp(registers.at(index), link, ui, lines);
        tell(details, index, lines);
        return r;
    };
    return job;
}

ChainJob informationJob(Details details)
{
    ChainJob job;
    job.run = [details](int index, Link& link, TransferUi& ui, int) {
        QStringList lines;
        const JobResult r = inform(link, ui, lines);
        tell(details, index, lines);
        return r;
    };
    return job;
}

ChainJob probeJob()
{
    ChainJob job;
    job.run = [](int, Link&, TransferUi&, int) {
        JobResult r;
        r.ok = true;
        return r;
    };
    return job;
}

QString resultText(const RegisterOutcome& outcome)
{
    // A job that says more than "OK" (the check after programming) shows what it said.
    if (outcome.ok() && (outcome.result.isEmpty() || outcome.result == QStringLiteral("OK")))
        return outcome.counts.isEmpty() ? QStringLiteral("OK")
                                        : QStringLiteral("OK: ") + outcome.counts;
    if (outcome.counts.isEmpty())
        return outcome.result;
    return outcome.result + QStringLiteral(" (") + outcome.counts + u')';
}

QString resumeText(const QString& resume)
{
    const auto point = wholereg::ResumePoint::parse(resume);
    if (!point)
        return {};
    if (point->atStart())
        return QStringLiteral("od początku");
    QString text = wholereg::stepTitle(wholereg::Step(point->step));
    if (point->done > 0)
        text += QStringLiteral(", wysłano ") + QString::number(point->done);
    return text;
}

QString closingText(const QList<RegisterOutcome>& outcomes)
{
    int ok = 0;
    for (const RegisterOutcome& o : outcomes)
        ok += o.ok();
    const qsizetype all = outcomes.size();
    return QStringLiteral("Zakończono: %1 z %2 %3 bez błędów.")
        .arg(ok)
        .arg(all)
        .arg(all == 1 ? QStringLiteral("kasy") : QStringLiteral("kas"));
}

} // namespace chain

#include "articlesend.h"

#include "common/transferrun.h"

#include "common/cp1250.h"
#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/frame.h"
#include "link/linedamage.h"
#include "link/link.h"
#include "tables/articlerecord.h"
#include "tables/recordsend.h"
#include "tables/tablelayout.h"

namespace articlesend {

namespace {

constexpr int BusyRetryMs = 800;

commands::Frame articleFrame(quint8 address, quint16 sequence, QByteArrayView record,
                             int registerType)
{
    return commands::articleRecord(address, sequence, record, ConfirmByte,
                                   registerType == 1 ? 1 : 2);
}

// One confirmation wait whose answer alone is in the receive area: a wait that reads nothing
// must not find the start byte of an earlier answer there.
int freshConfirmationWait(Link& link, TransferUi& ui)
{
    link.clearReceiveArea();
    return answers::confirmationWait(link, ui);
}

// The register's own whole answer (start byte .. end byte) that was no acceptance: it refused
// the article (its sales are not zero). Half an answer is a transmission error, and so is the
// paper-out status after which the user stopped the run.
bool refusedByRegister(const Link& link, int result)
{
    return result != answers::UserStopped && link.at(0) == quint8(frame::Start) &&
           link.at(9) == quint8(frame::End);
}

} // namespace

int sendArticle(Link& link, TransferUi& ui, RegisterDatabase& db, int number, int registerType,
                SingleSend how)
{
    if (number < 1 || number > layout::Articles.count)
        return recordsend::NotSent;
    const QByteArray record =
        db.readBytes(layout::Articles.offsetOf(number), layout::Articles.recordSize);
    recordsend::Single single;
    single.pauseMs = how.pauseMs;
    single.busyWaitMs = BusyRetryMs;
    return recordsend::sendFrame(
        link, ui, articleFrame(link.address, frame::Single, record, registerType), single);
}

QString singleSendMessage(int result, int deviceError)
{
    return recordsend::outcomeText(result, deviceError,
                                   {QStringLiteral("Towar zapisano w kasie"),
                                    QStringLiteral("Błąd! Kasa nie potwierdziła zapisu towaru!")});
}

QString RunResult::failureList() const
{
    QString list = QStringLiteral("Niezaprogramowane towary:");
    for (const Refusal& r : refused)
        list += u'\n' + QString::number(r.number) + u'.' + r.name + QStringLiteral(" - ") +
                answers::deviceErrorText(r.deviceError);
    return list;
}

QStringList RunResult::messages() const
{
    const QString count = QString::number(programmed);
    switch (end) {
    case End::SalesNotZero:
        return {QStringLiteral("Wykonaj raport sprzedaży i raport dobowy! Niezerowa sprzedaż "
                               "towaru. Zaprogramowano ") +
                count + QStringLiteral(" towarów.")};
    case End::TransmissionError: {
        QString text = QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano ") + count +
                       QStringLiteral(" towarów.");
        if (!lineNote.isEmpty())
            text += QLatin1Char(' ') + lineNote;
        return {text + linedamage::resentText(resent)};
    }
    case End::Completed:
    case End::RegisterEnded:
        break;
    }
    QString summary =
        (endedEarly() ? stoppedSendText(programmed, listed)
                      : QStringLiteral(" Zaprogramowano ") + count + QStringLiteral(" towarów.")) +
        linedamage::resentText(resent);
    if (refused.isEmpty())
        return {summary};
    summary += QStringLiteral(" Nie udało się zaprogramować ") + QString::number(refused.size()) +
               QStringLiteral(" towarów.");
    return {summary, failureList()};
}

QList<int> usedArticles(RegisterDatabase& db)
{
    const QByteArray table = readTable(db, layout::Articles);
    QList<int> used;
    if (table.size() < layout::Articles.bytes())
        return used;
    for (int n = 1; n <= layout::Articles.count; ++n)
        if (ArticleRecord::used(layout::Articles.record(table, n)))
            used.append(n);
    return used;
}

RunResult sendAll(Link& link, TransferUi& caller, RegisterDatabase& db, const QList<int>& numbers,
                  int registerType, const Panel& panel, const Pacing& pacing)
{
    TransferRun ui(caller);
    const QByteArray table = readTable(db, layout::Articles);
    QList<int> todo;
    if (table.size() >= layout::Articles.bytes())
        for (int n : numbers)
            if (n >= 1 && n <= layout::Articles.count &&
                ArticleRecord::used(layout::Articles.record(table, n)))
                todo.append(n);

    RunResult run;
    run.listed = int(todo.size());
    link.stopRequest = false;
    link.drainInput(ui);

    linedamage::ResendGuard guard;
    int runStart = 0; // the record the register's run began with
    for (int i = 0; i < todo.size(); ++i) {
        ui.processEvents();
        if (ui.stopRequested())
            link.stopRequest = true;
        quint16 sequence = quint16((i - runStart + 1) & 0x7FFF);
        if (link.stopRequest) {
            sequence |= frame::EndMarker;
            run.cancelled = true;
        }
        // The last article closes the register's run.
        if (i + 1 == todo.size())
            sequence |= frame::EndMarker;
        const QByteArrayView record = layout::Articles.record(table, todo[i]);
        // A line that cannot take the frame at all (the device is gone) is no damage to
        // send through again.
        if (commands::send(link, ui, *articleFrame(link.address, sequence, record, registerType)) !=
            0) {
            run.end = RunResult::End::TransmissionError;
            break;
        }
        link.pauseForAnswer(ui, pacing.afterFrame);
        int result = freshConfirmationWait(link, ui);
        if (result == answers::Busy) {
            if (panel.printingNotice)
                panel.printingNotice(true);
            ui.waitMs((sequence & 0xFF) == 1 ? pacing.busyFirst : pacing.busyOther);
            if (panel.printingNotice)
                panel.printingNotice(false);
            result = freshConfirmationWait(link, ui);
        }
        run.lastResult = result;
        if (linedamage::damagedAnswer(link, result)) {
            const auto verdict = guard.answered(true);
            if (verdict == linedamage::ResendGuard::Verdict::Resend) {
                link.note(linedamage::resendNote(todo[i]));
                // The same article opens a new run: the register's count of the old one is
                // not to be trusted.
                link.drainInput(ui);
                runStart = i--;
                continue;
            }
            run.resent = guard.resent();
            run.end = RunResult::End::TransmissionError;
            run.lineNote = verdict == linedamage::ResendGuard::Verdict::LineUnusable
                               ? linedamage::lineUnusableText()
                               : linedamage::recordFailedText(guard.AttemptsPerRecord);
            break;
        }
        guard.answered(false);
        ui.progress(i + 1, run.listed);
        if (answers::confirmed(result)) {
            ++run.programmed;
            if (panel.programmed)
                panel.programmed(run.programmed, run.listed);
            link.pauseBetweenFrames(ui, pacing.afterConfirmed);
            if (result == answers::AcceptedEnd && i + 1 < todo.size()) {
                run.end = RunResult::End::RegisterEnded;
                break;
            }
        } else if (result == answers::DeviceError) {
            run.refused.append({todo[i], cp1250::readField(record.sliced(2, 42)), link.at(8)});
            if (panel.failures)
                panel.failures(int(run.refused.size()));
        } else {
            run.end = refusedByRegister(link, result) ? RunResult::End::SalesNotZero
                                                      : RunResult::End::TransmissionError;
            break;
        }
        // The frame with the end marker closed the register's run, whatever the answer: a
        // frame after it would be out of sequence.
        if (sequence & frame::EndMarker)
            break;
    }
    run.resent = guard.resent();
    link.stopRequest = false;
    return run;
}

} // namespace articlesend

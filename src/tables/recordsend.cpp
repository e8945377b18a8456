#include "recordsend.h"

#include "common/transferrun.h"

#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/linedamage.h"
#include "link/link.h"

namespace recordsend {

namespace {

// The low byte of a sequence value (the end marker lives in the high byte).
int low(quint16 sequence)
{
    return sequence & 0xFF;
}

Source make(const TableLayout& table,
            commands::Frame (*build)(quint8, quint16, QByteArrayView, quint8),
            std::function<int(quint16)> busy)
{
    Source s;
    s.table = table;
    s.build = build;
    s.pacing.busyWaitMs = std::move(busy);
    return s;
}

// The register is slowest to answer the first frame of a run.
int firstFrameSlower(quint16 sent, int first, int other)
{
    return low(sent) == 1 ? first : other;
}

} // namespace

Source cashiers()
{
    return make(layout::Cashiers, commands::cashierRecord,
                [](quint16 sent) { return low(sent) == 0 ? 2300 : 1700; });
}

Source discounts()
{
    return make(layout::Discounts, commands::discountRecord,
                [](quint16 sent) { return low(quint16(sent + 1)) == 1 ? 1000 : 390; });
}

Source paymentForms()
{
    return make(layout::PaymentForms, commands::paymentFormRecord,
                [](quint16 sent) { return firstFrameSlower(sent, 1000, 390); });
}

Source currencies()
{
    return make(layout::Currencies, commands::currencyRecord,
                [](quint16 sent) { return firstFrameSlower(sent, 1000, 390); });
}

Source packaging()
{
    return make(layout::Packaging, commands::packagingRecord,
                [](quint16 sent) { return firstFrameSlower(sent, 1000, 450); });
}

Source groups()
{
    return make(layout::Groups, commands::productGroupRecord,
                [](quint16 sent) { return firstFrameSlower(sent, 1000, 450); });
}

int sendFrame(Link& link, TransferUi& ui, const commands::Frame& frame, const Single& how)
{
    if (!frame)
        return NotSent;
    // Whatever an earlier send left unread must not pass for this frame's answer.
    link.drainInput(ui);
    if (commands::send(link, ui, *frame) != 0)
        return SendFailed;
    if (!how.awaitAnswer)
        return NotAwaited;
    link.pauseForAnswer(ui, how.pauseMs);
    int result = answers::confirmationWait(link, ui);
    if (result == answers::Busy && how.busyWaitMs >= 0) {
        ui.waitMs(how.busyWaitMs);
        result = answers::confirmationWait(link, ui);
    }
    return result;
}

int sendOne(Link& link, TransferUi& ui, RegisterDatabase& db, const Source& source, int number,
            quint8 confirm, const Single& how)
{
    if (number < 1 || number > source.table.count)
        return NotSent;
    const QByteArray record = db.readBytes(source.table.offsetOf(number), source.table.recordSize);
    return sendFrame(link, ui, source.build(link.address, 0x8001, record, confirm), how);
}

QList<int> usedNumbers(RegisterDatabase& db, const TableLayout& table)
{
    const QByteArray bytes = readTable(db, table);
    QList<int> used;
    for (int n = 1; n <= table.count; ++n)
        if (bytes.size() >= table.bytes() && table.record(bytes, n)[0] != 0)
            used.append(n);
    return used;
}

RunResult sendAll(Link& link, TransferUi& caller, RegisterDatabase& db, const Source& source,
                  const QList<int>& numbers, quint8 confirm)
{
    TransferRun ui(caller);
    // Only used slots go out, so that the end marker lands on a frame that is really sent.
    const QByteArray table = readTable(db, source.table);
    QList<int> todo;
    for (int n : numbers.isEmpty() ? usedNumbers(db, source.table) : numbers)
        if (n >= 1 && n <= source.table.count && table.size() >= source.table.bytes() &&
            source.table.record(table, n)[0] != 0)
            todo.append(n);

    RunResult run;
    run.listed = int(todo.size());
    link.stopRequest = false;
    link.drainInput(ui);
    const Pacing& pace = source.pacing;
    linedamage::ResendGuard guard;
    int runStart = 0; // the record the register's run began with
    for (int i = 0; i < todo.size(); ++i) {
        ui.processEvents();
        if (ui.stopRequested())
            link.stopRequest = true;
        const bool last = i + 1 == todo.size() || link.stopRequest;
        const quint16 sequence = quint16((i - runStart + 1) & 0x7FFF) | (last ? 0x8000 : 0);
        const QByteArrayView record = source.table.record(table, todo[i]);
        if (commands::send(link, ui, *source.build(link.address, sequence, record, confirm)) != 0) {
            run.failure = SendFailed;
            break;
        }
        link.pauseForAnswer(ui, pace.pauseAfterFrameMs);
        // Only this frame's answer may be judged: a short one must not leave the last one's
        // bytes standing for it.
        link.clearReceiveArea();
        int result = answers::confirmationWait(link, ui);
        if (result == answers::Busy) {
            ui.waitMs(pace.busyWaitMs(sequence));
            result = answers::confirmationWait(link, ui);
        }
        if (linedamage::damagedAnswer(link, result)) {
            const auto verdict = guard.answered(true);
            link.drainInput(ui);
            if (verdict == linedamage::ResendGuard::Verdict::Resend) {
                link.note(linedamage::resendNote(todo[i]));
                runStart = i--; // the same record opens a new run
                continue;
            }
            run.failure = result;
            run.lineNote = verdict == linedamage::ResendGuard::Verdict::LineUnusable
                               ? linedamage::lineUnusableText()
                               : linedamage::recordFailedText(guard.AttemptsPerRecord);
            break;
        }
        guard.answered(false);
        ui.progress(i + 1, run.listed);
        if (answers::confirmed(result)) {
            ++run.programmed;
            if (result == answers::AcceptedEnd || last) {
                run.stopped = link.stopRequest && i + 1 < todo.size();
                if (result == answers::AcceptedEnd && !last)
                    run.failure = result; // the register ended the run before its last record
                break;
            }
            link.pauseBetweenFrames(ui, pace.pauseAfterAcceptMs);
        } else if (result == answers::DeviceError) {
            run.refused.append({todo[i], link.at(8)});
            if (last) {
                run.stopped = link.stopRequest && i + 1 < todo.size();
                break;
            }
        } else {
            run.failure = result;
            link.drainInput(ui);
            break;
        }
    }
    run.resent = guard.resent();
    link.stopRequest = false;
    return run;
}

} // namespace recordsend

namespace recordsend {
QString summary(const RunResult& run, const QString& noun)
{
    const QString count = QString::number(run.programmed) + noun;
    const QString resent = linedamage::resentText(run.resent);
    if (run.failure >= 0 || run.failure == SendFailed)
        return QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano ") + count +
               (run.lineNote.isEmpty() ? QString() : QLatin1Char(' ') + run.lineNote) + resent;
    return QStringLiteral(" Zaprogramowano ") + count + resent;
}
} // namespace recordsend

namespace recordsend {
QString outcomeText(int result, int deviceError, const OutcomeTexts& texts, bool confirmAtRegister)
{
    if (answers::confirmed(result))
        return texts.confirmed;
    switch (result) {
    case answers::DeviceError:
        return answers::deviceErrorMessage(deviceError);
    case answers::UserStopped: // "Komunikacja przerwana przez użytkownika." was shown
    case NotSent:
    case NotAwaited:
    case SendFailed: // the link said why
        return QString();
    case answers::NoAnswer:
        if (confirmAtRegister)
            return QStringLiteral("Kasa czeka na potwierdzenie zapisu na klawiaturze kasy.");
        return texts.notConfirmed;
    default:
        return texts.notConfirmed;
    }
}

bool reportOutcome(TransferUi& ui, int result, int deviceError, const OutcomeTexts& texts,
                   bool confirmAtRegister)
{
    const QString text = outcomeText(result, deviceError, texts, confirmAtRegister);
    const bool ok = answers::confirmed(result);
    if (!text.isEmpty())
        ui.showMessage(text, ok || (confirmAtRegister && result == answers::NoAnswer)
                                 ? TransferUi::Icon::Information
                                 : TransferUi::Icon::Warning);
    return ok;
}
} // namespace recordsend

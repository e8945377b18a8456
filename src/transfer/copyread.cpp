#include "copyread.h"

#include "common/transferrun.h"

#include "common/cp1250.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/frame.h"
#include "link/link.h"

#include <functional>

namespace transfer {

namespace {

constexpr int kChunkBuffer = 1000;
constexpr int kPauseMs = 20;
constexpr char kAcknowledge = char(0xAA);

// Bytes of a text chunk that copy text never holds.
int strayBytes(QByteArrayView chunk)
{
    int stray = 0;
    for (qsizetype i = 0; i < chunk.size(); ++i) {
        const quint8 b = quint8(chunk[i]);
        if (b == 0)
            stray += i + 1 < chunk.size() ? 1 : 0; // the end byte ends its chunk
        else if (b < 32 && b != 9 && b != 10 && b != 13)
            ++stray;
    }
    return stray;
}

bool onlyAcknowledgements(QByteArrayView chunk)
{
    for (char c : chunk)
        if (c != kAcknowledge)
            return false;
    return !chunk.isEmpty();
}

QByteArray emptyQuery(CopyHandling handling)
{
    QByteArray q(14, '\0');
    q[13] = char(handling); // frame byte 21
    return q;
}

std::optional<qint64> integer(const QString& text)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

} // namespace

std::optional<CopyQuery> copyByNumbers(const QString& firstReport, const QString& lastReport,
                                       const QString& firstReceipt, const QString& lastReceipt,
                                       CopyScope scope, CopyHandling handling, QString* error)
{
    const auto fr = integer(firstReport), lr = integer(lastReport);
    const auto fp = integer(firstReceipt), lp = integer(lastReceipt);
    auto inRange = [](const std::optional<qint64>& v) { return v && *v >= 1 && *v <= 2000; };
    // Receipt numbers travel as u32: anything a u32 cannot carry is refused as well.
    auto fits = [](const std::optional<qint64>& v) { return v && *v >= 0 && *v <= 0xFFFFFFFFLL; };
    if (!inRange(fr) || !inRange(lr) || !fits(fp) || !fits(lp)) {
        if (error)
            *error = QStringLiteral("Błędnie wprowadzone dane");
        return std::nullopt;
    }
    CopyQuery q{CopyKind::ByNumbers, emptyQuery(handling), handling};
    frame::putU16(q.bytes, 0, quint16(*fr));
    frame::putU32(q.bytes, 2, quint32(*fp));
    frame::putU16(q.bytes, 6, quint16(*lr));
    frame::putU32(q.bytes, 8, quint32(*lp));
    q.bytes[12] = char(scope);
    return q;
}

CopyQuery copyByDates(const QDate& fromDate, const QTime& fromTime, const QDate& toDate,
                      const QTime& toTime, CopyScope scope, CopyHandling handling)
{
    CopyQuery q{CopyKind::ByDates, emptyQuery(handling), handling};
    auto put = [&q](int at, const QDate& d, const QTime& t) {
        q.bytes[at] = char(t.hour());
        q.bytes[at + 1] = char(t.minute());
        q.bytes[at + 2] = char(d.day());
        q.bytes[at + 3] = char(d.month());
        frame::putU16(q.bytes, at + 4, quint16(d.year()));
    };
    put(0, fromDate, fromTime);
    put(6, toDate, toTime);
    q.bytes[12] = char(scope);
    return q;
}

CopyQuery copySimple(CopyKind kind, CopyHandling handling)
{
    return CopyQuery{kind, emptyQuery(handling), handling};
}

QByteArray copyReadFrame(quint8 address, const CopyQuery& query)
{
    return commands::copyRead(address, frame::Single, quint8(query.kind), query.bytes);
}

bool CopyTextDecoder::feed(QByteArrayView chunk)
{
    if (chunk.isEmpty() || chunk[0] == frame::Start)
        return m_finished;
    QByteArray run; // text bytes between line breaks, decoded together
    auto flush = [&] {
        m_text += cp1250::decode(run);
        run.clear();
    };
    for (char c : chunk) {
        if (c == 0) {
            m_finished = true;
        } else if (c == 10) {
            flush();
            m_text += QLatin1Char('\n');
        } else {
            run.append(c);
        }
    }
    flush();
    return m_finished;
}

CopyReception receiveCopyText(Link& link, TransferUi& caller,
                              const std::function<void(const QString&)>& onText, int silenceMs)
{
    TransferRun ui(caller);
    CopyReception result;
    CopyTextDecoder decoder;
    SerialLine* line = link.serialLine();
    if (!line || !line->isOpen()) {
        result.end = CopyEnd::SendFailed;
        return result;
    }
    const LineTimeouts before = line->timeouts();
    qint64 lastData = ui.nowMs();
    qint64 lastText = lastData;
    qint64 received = 0;
    int stray = 0;
    auto endWith = [&](CopyEnd end, const QString& message) {
        result.end = end;
        ui.showMessage(message, TransferUi::Icon::Warning);
    };
    for (;;) {
        // Reads take what is waiting: a short total time-out instead of the link's (every
        // send sets the link's own again).
        if (SerialLine* l = link.serialLine())
            l->setTimeouts(
                LineTimeouts{0, 0, kPauseMs, before.writeMultiplier, before.writeConstant});
        const int n = link.read(kChunkBuffer);
        // The register's error frame instead of the text (a query it refuses): nothing more
        // comes, and the device error must not be lost behind a silence.
        if (n >= 11 && link.at(0) == quint8(frame::Start) && link.at(2) == 11 && link.at(3) == 0 &&
            link.at(6) == frame::StatusCommand && link.at(10) == quint8(frame::End)) {
            answers::showDeviceError(ui, link.at(8));
            result.end = CopyEnd::Refused;
            break;
        }
        if (n > 0) {
            lastData = ui.nowMs();
            const QByteArrayView chunk = link.received(n);
            received += n;
            if (onlyAcknowledgements(chunk)) {
                endWith(CopyEnd::Echo, CopyEchoText);
                break;
            }
            if (chunk[0] != frame::Start) {
                stray += strayBytes(chunk);
                if (stray > kCopyMaxStrayBytes) {
                    endWith(CopyEnd::NotText, CopyNotText);
                    break;
                }
                lastText = lastData;
            }
            if (received > kCopyMaxBytes) {
                endWith(CopyEnd::TooLarge, CopyTooLargeText);
                break;
            }
            const qsizetype before = decoder.text().size();
            decoder.feed(link.received(n));
            // Only what this chunk added: the memo appends it instead of taking the whole
            // text again, which would grow with the square of the copy's length.
            if (onText)
                onText(decoder.text().sliced(before));
            // Every chunk taken is answered, a chunk that was not text included.
            if (link.sendBytes(ui, QByteArrayView("\xAA", 1)) != 0) {
                result.end = CopyEnd::SendFailed;
                break;
            }
            if (decoder.finished()) {
                result.end = CopyEnd::Complete;
                break;
            }
        }
        link.pauseForAnswer(ui, kPauseMs);
        ui.processEvents();
        if (ui.stopRequested()) {
            result.end = CopyEnd::Stopped;
            ui.showMessage(QStringLiteral("Odczyt kopii przerwany przez użytkownika."),
                           TransferUi::Icon::Warning);
            break;
        }
        if (ui.nowMs() - lastText >= silenceMs && lastData != lastText) {
            endWith(CopyEnd::NotText, CopyNotText);
            break;
        }
        if (ui.nowMs() - lastData >= silenceMs) {
            result.end = CopyEnd::Silence;
            ui.showMessage(QStringLiteral("Kasa przestała przesyłać dane. Odczyt kopii przerwany."),
                           TransferUi::Icon::Warning);
            break;
        }
    }
    if (link.serialLine())
        link.serialLine()->setTimeouts(before);
    result.text = decoder.text();
    return result;
}

bool runCopyRead(Link& link, TransferUi& caller, const CopyQuery& query, CopyReception* reception,
                 const std::function<void(const QString&)>& onText)
{
    TransferRun ui(caller);
    if (reception)
        *reception = CopyReception{};
    link.drainInput(ui);
    if (link.sendBytes(ui, copyReadFrame(link.address, query)) != 0) {
        if (reception)
            reception->end = CopyEnd::SendFailed;
        return false;
    }
    if (query.handling != CopyHandling::SendToComputer)
        return true;
    const CopyReception r = receiveCopyText(link, ui, onText);
    if (reception)
        *reception = r;
    return r.end != CopyEnd::SendFailed;
}

} // namespace transfer

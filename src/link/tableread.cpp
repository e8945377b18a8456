#include "tableread.h"

#include "answers.h"
#include "commands.h"
#include "frame.h"
#include "link.h"

#include <cstring>
#include <set>

namespace tableread {

namespace {

constexpr int StatusPaperOut = 0x02;
constexpr int StatusBusy = 0x08;
constexpr int StatusEmpty = 0x10;
constexpr int StatusZeroSales = 0x40;
constexpr int MaxDamagedInRow = 10;

// What one read of an answer brought.
struct Answer {
    enum Kind {
        Good,    // a data frame of the table, whole and with its check byte right
        Damaged, // a data frame's worth of bytes that is not one
        Status,  // a status frame (`code`)
        Error,   // the register's error frame (`code`)
        Silence, // nothing
        Short,   // too little for anything
    };
    Kind kind = Silence;
    int code = 0;
    bool intact = false; // a status or error frame with its check byte right
};

// The first `length` bytes of the receive area are one frame of that length.
bool intactFrame(const Link& link, int length)
{
    return link.at(0) == frame::Start && link.at(2) == (length & 0xFF) &&
           link.at(3) == (length >> 8) && link.at(length - 1) == frame::End &&
           frame::checkByte(link.received(length)) == link.at(length - 2);
}

Answer dataFrame(const Link& link, const Request& request, int n)
{
    if (n < request.frameLength)
        return {Answer::Short};
    const bool good = intactFrame(link, request.frameLength) && link.at(6) == request.code;
    return {good ? Answer::Good : Answer::Damaged};
}

// One answer, read whole at once as the table's frames are.
Answer readFrame(Link& link, const Request& request)
{
    const int length = request.frameLength;
    const int n = link.read(length);
    if (n == 0)
        return {Answer::Silence};
    const bool statusCommand = n >= 10 && link.at(6) == frame::StatusCommand;
    if (statusCommand && link.at(2) == 10) {
        const int status = link.at(7);
        const bool intact = intactFrame(link, 10);
        // Busy or out of paper, and then the frame the register sends once it is ready,
        // begun within the same read: the frame is read on.
        if (n > 10 && intact && (status == StatusBusy || status == StatusPaperOut)) {
            char* area = link.receiveArea();
            std::memmove(area, area + 10, size_t(n - 10));
            const int more = link.readAt(n - 10, length - (n - 10));
            return dataFrame(link, request, n - 10 + more);
        }
        return {Answer::Status, status, intact};
    }
    if (statusCommand && n == 11)
        return {Answer::Error, link.at(8), intactFrame(link, 11)};
    return dataFrame(link, request, n);
}

// The register's codes for a frame it received damaged (the request or an acknowledgement).
bool damageCode(int deviceError)
{
    return deviceError >= 1 && deviceError <= 4;
}

// How one pass ended.
struct PassRun {
    enum EndKind {
        End,        // on the register's last frame (whole or not)
        Stopped,    // on the person's stop
        Empty,      // "Pusta baza." or "Zerowa wartość sprzedaży."
        Broken,     // on an answer that could not be used
        Refused,    // the register refused the request with a device error of its own
        Silent,     // nothing answered the request
        SendFailed, // the link could not send (it has said why)
        Noisy,      // the line keeps talking, it is no register's (the drain has said so)
    };
    Pass pass;
    EndKind end = SendFailed;
    bool requestSent = false;
    int status = 0;
    int deviceError = -1; // an intact error frame's code, for the message
};

class PassReader {
public:
    PassReader(Link& link, TransferUi& ui, const Request& request, std::set<int>& seen)
        : m_link(link), m_ui(ui), m_request(request), m_seen(seen)
    {
    }

    PassRun run(int number);

private:
    bool stopAsked()
    {
        if (m_ui.stopRequested())
            m_link.stopRequest = true;
        return m_link.stopRequest;
    }
    bool acknowledge(quint8 code) { return answers::sendAcknowledgement(m_link, m_ui, code) == 0; }
    // A data frame: kept in the pass when it is good and fits, else counted missing. Returns
    // whether it carried the end marker.
    bool takeFrame(PassRun& run, const Answer& answer, int number);

    Link& m_link;
    TransferUi& m_ui;
    const Request& m_request;
    std::set<int>& m_seen; // record numbers received in any pass, for the progress
};

bool PassReader::takeFrame(PassRun& run, const Answer& answer, int number)
{
    const QByteArrayView f = m_link.received(m_request.frameLength);
    if (answer.kind == Answer::Damaged) {
        run.pass.skip();
        m_link.note(QStringLiteral("uszkodzona ramka %1 (przejście %2)")
                        .arg(run.pass.next() - 1)
                        .arg(number));
        // Bytes of a frame that came out of step go before the next one is asked for.
        if (m_link.drainInput(m_ui) != 0)
            run.end = PassRun::Noisy;
        return false;
    }
    const quint16 sequence = frame::u16(f, 4);
    const bool last = (sequence & frame::EndMarker) != 0;
    const int place = sequence & ~frame::EndMarker;
    const QByteArray data = f.sliced(7, m_request.frameLength - 9).toByteArray();
    const int record = m_request.recordOf ? m_request.recordOf(data) : place;
    const bool inRange =
        place >= 1 && place <= m_request.maxRecord && record >= 1 && record <= m_request.maxRecord;
    if (inRange && run.pass.take(place, record, data, last)) {
        m_seen.insert(record);
        m_ui.progress(int(m_seen.size()), 0);
        return last;
    }
    if (!inRange)
        run.pass.skip();
    m_link.note(
        QStringLiteral("ramka %1 nie pasuje do pozostałych (przejście %2)").arg(place).arg(number));
    return last;
}

PassRun PassReader::run(int number)
{
    PassRun run;
    // A line that keeps talking is told of once; the first pass asks all the same, as a
    // single read always did.
    if (m_link.drainInput(m_ui) != 0 && number > 1) {
        run.end = PassRun::Noisy;
        return run;
    }
    const QByteArray request = commands::requestTable(m_link.address, m_request.sequence,
                                                      m_request.code, m_request.parameter);
    if (commands::send(m_link, m_ui, request) != 0)
        return run;
    run.requestSent = true;
    bool started = false; // a frame of this pass came
    int silences = 0, errors = 0, statuses = 0, damagedInRow = 0;
    for (;;) {
        m_ui.processEvents();
        const bool stop = stopAsked();
        if (m_request.pauseBeforeReadMs > 0)
            m_link.pauseForAnswer(m_ui, m_request.pauseBeforeReadMs);
        // Nothing of an older answer may be taken for this one.
        m_link.clearReceiveArea();
        const Answer a = readFrame(m_link, m_request);
        if (a.kind == Answer::Good || a.kind == Answer::Damaged) {
            started = true;
            silences = errors = statuses = 0;
            damagedInRow = a.kind == Answer::Damaged ? damagedInRow + 1 : 0;
            const bool last = takeFrame(run, a, number);
            if (run.end == PassRun::Noisy)
                return run;
            // No table has more frames than records; a line that damages frame after frame
            // is given another pass rather than followed on.
            if (!last &&
                (damagedInRow >= MaxDamagedInRow || run.pass.next() > m_request.maxRecord)) {
                run.end = PassRun::Broken;
                return run;
            }
            // The frame with the end marker ends the transfer even when it did not fit.
            const quint8 code = last ? 3 : stop ? 4 : 0;
            if (!acknowledge(code)) {
                run.end = PassRun::SendFailed;
                return run;
            }
            if (code != 0) {
                run.end = last ? PassRun::End : PassRun::Stopped;
                return run;
            }
            continue;
        }
        const bool usable = a.intact && (a.kind == Answer::Status || a.kind == Answer::Error);
        if (a.kind == Answer::Status && usable &&
            (a.code == StatusBusy || a.code == StatusPaperOut) && ++statuses <= 3)
            continue; // the register sends the frame once it is ready
        if (a.kind == Answer::Error && usable)
            run.deviceError = a.code;
        if (!started) {
            if (a.kind == Answer::Status && usable &&
                (a.code == StatusEmpty || a.code == StatusZeroSales)) {
                m_ui.showMessage(a.code == StatusEmpty
                                     ? QStringLiteral("Pusta baza.")
                                     : QStringLiteral("Zerowa wartość sprzedaży."));
                run.end = PassRun::Empty;
                run.status = a.code;
            } else if (a.kind == Answer::Error && usable && !damageCode(a.code)) {
                run.end = PassRun::Refused;
            } else {
                run.end = a.kind == Answer::Silence ? PassRun::Silent : PassRun::Broken;
            }
            return run;
        }
        // In the middle of the table: the acknowledgement may not have reached the register
        // whole. Sent once more, a register that is still sending goes on.
        (a.kind == Answer::Silence || a.kind == Answer::Short ? silences : errors) += 1;
        if (stop) {
            acknowledge(4);
            run.end = PassRun::Stopped;
            return run;
        }
        if (silences > 1 || errors > 2) {
            run.end = PassRun::Broken;
            return run;
        }
        m_link.note(QStringLiteral("brak ramki, potwierdzenie wysłane ponownie"));
        if (m_link.drainInput(m_ui) != 0) {
            run.end = PassRun::Noisy;
            return run;
        }
        if (!acknowledge(0)) {
            run.end = PassRun::SendFailed;
            return run;
        }
    }
}

// The message of a read that ended for good without the whole table.
void tellFailure(TransferUi& ui, const PassRun& last)
{
    switch (last.end) {
    case PassRun::Refused:
        answers::showDeviceError(ui, last.deviceError);
        break;
    case PassRun::Broken:
    case PassRun::Silent:
        if (last.deviceError >= 0)
            answers::showDeviceError(ui, last.deviceError);
        else
            ui.showMessage(QStringLiteral("Brak komunikacji."), TransferUi::Icon::Error);
        break;
    default:
        break;
    }
}

} // namespace

Result read(Link& link, TransferUi& ui, const Request& request)
{
    Result result;
    Passes passes;
    std::set<int> seen, afterFirst;
    link.stopRequest = false;
    PassReader reader(link, ui, request, seen);
    PassRun last;
    for (int number = 1; number <= 1 + request.extraPasses; ++number) {
        if (number > 1)
            link.note(QStringLiteral("ponowny odczyt (przejście %1)").arg(number));
        last = reader.run(number);
        result.passes = number;
        result.requestSent = result.requestSent || last.requestSent;
        passes.add(last.pass);
        if (number == 1)
            afterFirst = passes.settled();
        if (passes.whole()) {
            result.end = End::Whole;
            break;
        }
        if (link.stopRequest || ui.stopRequested()) {
            result.end = End::Stopped;
            break;
        }
        if (last.end == PassRun::Empty && passes.known() == 0) {
            result.end = End::Empty;
            result.status = last.status;
            break;
        }
        // What cannot get better by asking again: nothing answers, the register refuses the
        // table, the link is gone, or the table came empty after all.
        const bool forGood = last.end == PassRun::Refused || last.end == PassRun::SendFailed ||
                             last.end == PassRun::Noisy || last.end == PassRun::Empty ||
                             (last.end == PassRun::Silent && number == 1);
        result.end = forGood ? End::Failed : End::Missing;
        if (forGood)
            break;
    }
    link.stopRequest = false;
    result.records = passes.records();
    for (const auto& entry : result.records)
        if (afterFirst.count(entry.first) == 0)
            ++result.reread;
    if (result.end == End::Whole || result.end == End::Empty || result.end == End::Stopped)
        return result;
    result.broken = last.end != PassRun::End;
    tellFailure(ui, last);
    result.missing = passes.missing();
    // Nothing to name when no frame ever came (the message above said why).
    if (passes.framesCame()) {
        result.missingLine = missingText(result.missing);
        ui.showMessage(result.missingLine, TransferUi::Icon::Error);
    }
    return result;
}

} // namespace tableread

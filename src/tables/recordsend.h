#pragma once

#include "link/commands.h"
#include "tables/tablelayout.h"

#include <QList>

#include <functional>

class Link;
class RegisterDatabase;
class TransferUi;

// Programming records of a table into the register: one record as a frame of its own
// (sequence value 0x8001), or a run over the table (sequence 1, 2, 3 ... with the end marker
// on the last frame), each frame followed by the confirmation wait.
namespace recordsend {

// What the send functions report besides the confirmation wait's own codes 0..8.
enum Status {
    NotAwaited = -1, // the frame went out; no answer is read
    NotSent = -2,    // free slot: no frame
    SendFailed = -3, // the link could not send the frame (it told the user why)
};

// How a run paces itself between frames.
struct Pacing {
    // The wait after a busy answer, from the sequence value just sent.
    std::function<int(quint16 sequence)> busyWaitMs = [](quint16) { return 1000; };
    int pauseAfterFrameMs = 0;   // between sending a frame and its confirmation wait
    int pauseAfterAcceptMs = 50; // after a record the register accepted with code 0
};

// A table whose records go out as programming frames.
struct Source {
    TableLayout table;
    // Builds the frame of one record; nothing for a free slot.
    std::function<commands::Frame(quint8 address, quint16 sequence, QByteArrayView record,
                                  quint8 confirm)>
        build;
    Pacing pacing;
};

// The register's tables, with the pacing of their programming runs.
Source cashiers();
Source discounts();
Source paymentForms();
Source currencies();
Source packaging();
Source groups();

// How one record is sent.
struct Single {
    bool awaitAnswer = true; // false: send and read nothing
    int pauseMs = 0;         // before the confirmation wait
    int busyWaitMs = 1000;   // after a busy answer, before the one more wait; < 0: no retry
};

// Drains the input, sends the frame and (unless told not to) runs the confirmation wait,
// once more after a busy answer. Returns the wait's result (answers::WaitResult) or a Status.
int sendFrame(Link& link, TransferUi& ui, const commands::Frame& frame, const Single& how = {});

// Record `number` of the source's table, read from the database, as one frame.
int sendOne(Link& link, TransferUi& ui, RegisterDatabase& db, const Source& source, int number,
            quint8 confirm, const Single& how = {});

struct Refusal {
    int number = 0;
    int deviceError = 0;
};

struct RunResult {
    int listed = 0;         // used records to send
    int programmed = 0;     // confirmed by the register (code 0 or 3, after a busy answer too)
    QList<Refusal> refused; // refused with a device error (code 5); the run went on
    int failure = -1;       // the result that broke the run (answers::WaitResult or Status)
    bool stopped = false;   // the user asked to stop; the frame sent then carried the end marker
    int resent = 0;         // frames the line damaged, sent again
    QString lineNote;       // why a run on a poor line gave up

    bool complete() const { return failure < 0 && !stopped && refused.isEmpty(); }
};

// Sends the listed records (all used slots when `numbers` is empty; free slots are skipped)
// with the source's pacing. The stop request (the link's flag or ui.stopRequested()) makes the
// next frame the last. Code 3 ends the run; a device error is noted and the run goes on; a
// frame the line damaged goes again (see linedamage); any other result ends it.
RunResult sendAll(Link& link, TransferUi& ui, RegisterDatabase& db, const Source& source,
                  const QList<int>& numbers, quint8 confirm);

// The used record numbers of a table, in slot order.
QList<int> usedNumbers(RegisterDatabase& db, const TableLayout& table);

} // namespace recordsend

namespace recordsend {
// The closing line of a run: " Zaprogramowano <count><noun>" after a complete run, "Wystąpił
// błąd transmisji. Zaprogramowano <count><noun>" after a broken one (noun e.g. " kasjerów.").
QString summary(const RunResult& run, const QString& noun);
} // namespace recordsend

namespace recordsend {
// What the user is told after one record or block went to the register.
struct OutcomeTexts {
    QString confirmed;    // the register confirmed it (code 0 or 3)
    QString notConfirmed; // no answer, a busy register that stayed busy, or acknowledgement 1/2
};
// The register confirmed (code 0 or 3): the confirmed text. It refused (code 5): "Błąd " + the
// device error code + ": " + its text. Nothing came back while the register waits for its
// operator to confirm at its keyboard: "Kasa czeka na potwierdzenie zapisu na klawiaturze
// kasy."; any other answer: the not-confirmed text. Nothing to add (empty) when no frame went
// out, the link already said why the send failed, or the user stopped after a paper-out.
QString outcomeText(int result, int deviceError, const OutcomeTexts& texts,
                    bool confirmAtRegister = false);
// Shows the outcome text (information when confirmed, a warning otherwise); true when the
// register confirmed.
bool reportOutcome(TransferUi& ui, int result, int deviceError, const OutcomeTexts& texts,
                   bool confirmAtRegister = false);
} // namespace recordsend

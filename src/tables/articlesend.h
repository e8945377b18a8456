#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class Link;
class RegisterDatabase;
class TransferUi;

// Programming articles into the register: one article as a frame of its own (sequence value
// 0x8001), or the whole listed base as a run numbered 1, 2, 3 ... whose last frame carries
// the end marker; once the user has pressed "Anuluj" on the send panel the next frame carries
// it and is the run's last.
namespace articlesend {

// The article frame carries record bytes 0..67 (DUNO BIS, 78 bytes) or 0..66 (DUNO, 77 bytes,
// no unit byte), then the confirm byte. The article form hides its keyboard-confirmation
// option, so the byte it sends is 0.
inline constexpr quint8 ConfirmByte = 0;

// How a single article goes out: "Send selected" pauses 700 ms before the confirmation wait,
// the automatic send after an addition waits at once. A busy answer is waited out for
// 800 ms and the confirmation wait runs once more.
struct SingleSend {
    int pauseMs = 700;
};
inline constexpr SingleSend AfterSelected{700};
inline constexpr SingleSend AfterAddition{0};

// Drains the input, sends article `number` from the database and waits for the register's
// confirmation. Returns the confirmation wait's result (0 and 3 are success) or one of the
// negative codes of recordsend (free slot, send failure).
int sendArticle(Link& link, TransferUi& ui, RegisterDatabase& db, int number, int registerType,
                SingleSend how = AfterSelected);

// What the user is told of one article's send: "Towar zapisano w kasie", the register's device
// error, or "Błąd! Kasa nie potwierdziła zapisu towaru!"; empty when there is nothing to add
// (nothing went out, or the link already said why).
QString singleSendMessage(int result, int deviceError);

// The send panel's side of a run: the counter, the error counter and the "Drukuję..." notice.
struct Panel {
    std::function<void(int programmed, int listed)> programmed;
    std::function<void(int failures)> failures;
    std::function<void(bool shown)> printingNotice;
};

struct Refusal {
    int number = 0;
    QString name;
    int deviceError = 0;
};

struct RunResult {
    enum class End {
        Completed,         // every listed article was answered, or the one after "Anuluj"
        RegisterEnded,     // the register acknowledged with code 3 and the run stopped there
        TransmissionError, // an answer that is neither confirmed, busy nor refused
        SalesNotZero,      // such an answer that was a frame of the register's own
    };
    End end = End::Completed;
    int listed = 0;
    int programmed = 0;
    QList<Refusal> refused;
    bool cancelled = false; // "Anuluj" was pressed; the frame after it carried the end marker
    int lastResult = -1;    // the last confirmation wait's result
    int resent = 0;         // frames the line damaged, sent again
    QString lineNote;       // why a run on a poor line gave up

    // "Anuluj" was pressed and the run ended before every listed article was answered.
    bool endedEarly() const
    {
        return cancelled && (end == End::Completed || end == End::RegisterEnded) &&
               programmed + refused.size() < listed;
    }
    // The messages to show, in order: the summary ("Przerwano. Wysłano 3 z 20." for a run
    // that ended early), and the failure list when there were refusals; or the one message
    // of a broken run.
    QStringList messages() const;
    // "Niezaprogramowane towary:" and a line per refused article.
    QString failureList() const;
};

// Pacing of the run, in milliseconds.
struct Pacing {
    int afterFrame = 1000;   // between a frame and its confirmation wait
    int busyFirst = 1500;    // after a busy answer to the run's first frame
    int busyOther = 450;     // after a busy answer to any later frame
    int afterConfirmed = 50; // after a confirmed article
};

// Sends the articles `numbers` (the grid's rows, in row order) from the database. Free slots
// in the list are passed over. A frame the line damaged goes again (see linedamage). The stop
// request (the link's flag, or ui.stopRequested() after the pending events have run) marks the next
// frame with the end marker, and the run ends after its answer. Shows nothing: the caller shows
// result.messages().
RunResult sendAll(Link& link, TransferUi& ui, RegisterDatabase& db, const QList<int>& numbers,
                  int registerType, const Panel& panel = {}, const Pacing& pacing = {});

// The used article numbers of the database, in slot order.
QList<int> usedArticles(RegisterDatabase& db);

} // namespace articlesend

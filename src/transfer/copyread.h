#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QTime>

#include <functional>
#include <optional>

class Link;
class TransferUi;

// Reading the register's electronic copy: the copy read frame (code 1, 24 bytes) and the
// plain text stream the register sends back when the copy goes to the computer.
namespace transfer {

enum class CopyKind { LastDocument = 1, ByNumbers = 2, ByDates = 3, CacheMemory = 4 };
enum class CopyScope { Whole = 1, ReportsOnly = 2 }; // "Całość kopii", "Tylko raporty"
enum class CopyHandling { PrintAtRegister = 1, SendToComputer = 2 }; // "Drukowanie na kasie", ...

struct CopyQuery {
    CopyKind kind = CopyKind::LastDocument;
    QByteArray bytes; // frame bytes 8..21 (14 bytes)
    CopyHandling handling = CopyHandling::PrintAtRegister;
};

// Page "Według numerów": the four edits as typed. The report numbers must be 1..2000, the
// receipt numbers only integers; otherwise "Błędnie wprowadzone dane" in `error`.
//   8-9 first report (u16), 10-13 first receipt (u32), 14-15 last report (u16),
//   16-19 last receipt (u32), 20 scope, 21 handling
std::optional<CopyQuery> copyByNumbers(const QString& firstReport, const QString& lastReport,
                                       const QString& firstReceipt, const QString& lastReceipt,
                                       CopyScope scope, CopyHandling handling,
                                       QString* error = nullptr);
// Page "Według dat": 8 hour, 9 minute, 10 day, 11 month, 12-13 year from; 14-19 the same to;
// 20 scope, 21 handling. Seconds are not sent.
CopyQuery copyByDates(const QDate& fromDate, const QTime& fromTime, const QDate& toDate,
                      const QTime& toTime, CopyScope scope, CopyHandling handling);
// "Ostatni dokument" and "Wydruk pamięci podręcznej": only byte 21.
CopyQuery copySimple(CopyKind kind, CopyHandling handling);

// The 24-byte frame of a query (sequence 0x8001).
QByteArray copyReadFrame(quint8 address, const CopyQuery& query);

// The text stream: bytes of text, 10 for a new line, 0 at the end. A chunk that begins with
// the frame start byte 0x02 is not text and is left out.
class CopyTextDecoder {
public:
    // Takes one chunk as it came off the line; returns true once the end byte was seen
    // (the rest of that chunk is still taken).
    bool feed(QByteArrayView chunk);
    bool finished() const { return m_finished; }
    const QString& text() const { return m_text; }

private:
    QString m_text;
    bool m_finished = false;
};

enum class CopyEnd {
    Complete,   // the end byte arrived
    Silence,    // the register stopped sending before it
    Stopped,    // the user stopped the reception
    SendFailed, // the link failed
    Refused,    // the register answered the query with an error frame (its message shown)
    Echo,       // the line sent back the computer's own acknowledgements (a loopback)
    NotText,    // what came cannot be copy text (line noise, a stream of frames)
    TooLarge,   // more than the register's copy memory can hold
};

struct CopyReception {
    QString text;
    CopyEnd end = CopyEnd::Complete;
};

// How long the register may stay silent in the middle of the stream; also how long bytes
// that are not copy text may come without any text among them.
constexpr int kCopySilenceMs = 3000;
// The most the stream can carry: the register's copy memory (an 8 MiB card) replayed whole.
constexpr qint64 kCopyMaxBytes = qint64(8) * 1024 * 1024;
// Control bytes that copy text never holds (any below 32 but line feed, carriage return and
// tab, and a zero byte with more bytes after it in its chunk): a few are line noise, more
// than this many mean that what comes is not copy text.
constexpr int kCopyMaxStrayBytes = 3;

// Receives the text stream: takes whatever is waiting on the line, answers each chunk with
// the byte 0xAA and pauses 20 ms; `onText` is given the text each chunk adds (empty for a
// chunk that is not text), so that joined they are the whole text. Ends at the
// end byte, after `silenceMs` without a byte ("Kasa przestała przesyłać dane. Odczyt kopii
// przerwany.") or when the user stops ("Odczyt kopii przerwany przez użytkownika."). It is
// bounded against lines that are not a register: a chunk of nothing but the acknowledgement
// byte is the line echoing (CopyEchoText), bytes that cannot be copy text or `silenceMs`
// of bytes without any text end it (CopyNotText), and so does more than kCopyMaxBytes
// (CopyTooLargeText).
inline const QString CopyEchoText =
    QStringLiteral("Linia odsyła z powrotem bajty wysłane przez komputer (pętla zwrotna zamiast "
                   "kasy?). Odczyt kopii przerwany.");
inline const QString CopyNotText =
    QStringLiteral("Kasa przesyła dane, które nie są tekstem kopii. Odczyt kopii przerwany.");
inline const QString CopyTooLargeText = QStringLiteral(
    "Kasa przesłała więcej danych, niż mieści jej pamięć kopii. Odczyt kopii przerwany.");

CopyReception receiveCopyText(Link& link, TransferUi& ui,
                              const std::function<void(const QString&)>& onText = {},
                              int silenceMs = kCopySilenceMs);

// Drains the line, sends the query and, when the copy goes to the computer, receives its
// text. Nothing is awaited for a copy printed at the register (the reception is then empty
// and Complete). False when the query could not be sent.
bool runCopyRead(Link& link, TransferUi& ui, const CopyQuery& query, CopyReception* reception,
                 const std::function<void(const QString&)>& onText = {});

} // namespace transfer

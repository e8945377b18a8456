#pragma once

#include "tables/rtf.h"
#include "tables/tablelayout.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Link;
class RegisterDatabase;
class TransferUi;

// Receipt header (6 lines) and footer (3 lines). A block is the print lines, 42 bytes each,
// the line count and one tall-line flag per line:
//   header 259 bytes = 252 + 1 + 6, footer 130 bytes = 126 + 1 + 3.
// A large character is the byte 0x01 followed by the character; both count towards the 42.
namespace recordsend {
struct OutcomeTexts;
}

namespace receipt {

inline constexpr int LineWidth = 42;
inline constexpr char LargeMark = 0x01;

enum class Align { Left, Center, Right };

struct Char {
    QChar c;
    bool large = false;
};
struct Paragraph {
    QList<Char> text;
    Align align = Align::Center;
};

// One print line: the characters (0x01 before a large one), padded with spaces to 42 as the
// alignment says; centred pads alternately at the end and at the front, starting at the end.
// A line that would not fit is cut at 42 bytes (never leaving a lone 0x01 at the end).
QByteArray printLine(const Paragraph& p);

struct Block {
    int lineCount = 0;
    QByteArray lines; // lineLimit * 42 bytes
    QList<bool> tall; // lineLimit flags

    static Block decode(QByteArrayView bytes, int lineLimit);
    QByteArray encode() const;
    bool operator==(const Block&) const = default;
};

// The refusal of the paragraphs that go into the block (the first `lineLimit`) when one holds a
// character without a cp1250 byte: the field is "Nagłówek" or "Stopka". Empty when all fit.
QString textRefusal(const QList<Paragraph>& paragraphs, int lineLimit, const QString& label);

// The block from the editor's paragraphs (only the first `lineLimit` count) and the tall flags.
Block buildBlock(const QList<Paragraph>& paragraphs, int lineLimit, const QList<bool>& tall);

inline constexpr int HeaderLines = 6;
inline constexpr int FooterLines = 3;

// A header read back from the register: six lines of 42 bytes with every 0 byte dropped.
QStringList headerLinesFromRegister(QByteArrayView block);

// The editors mark a large character by the font size 20 (ordinary text is 10); any size of
// 15 points or more counts as large, so that a file from a word processor prints as it looks.
inline constexpr int NormalSize = 10;
inline constexpr int LargeSize = 20;
inline bool isLargeSize(double points)
{
    return points >= 15;
}
// An RTF document as editor paragraphs (justified counts as left) and back (sizes 10 and 20).
QList<Paragraph> paragraphsFromRtf(const rtf::Document& document);
rtf::Document rtfFromParagraphs(const QList<Paragraph>& paragraphs);

// Header (6 lines at 144271) or footer (3 lines at 148560).
enum class Kind { Header, Footer };
int lineLimit(Kind kind);
const TableLayout& blockLayout(Kind kind);
Block loadBlock(RegisterDatabase& db, Kind kind);
bool storeBlock(RegisterDatabase& db, Kind kind, const Block& block);

// "Wyślij do kasy" of the header: the "N" frame (sequence 0x8001) with the 259-byte block (the
// form passes the block it has just stored), then the confirmation wait; a device error is
// shown. Returns the wait's result (-1: not sent).
int sendHeader(Link& link, TransferUi& ui, QByteArrayView block);
// The footer: the "D" frame (sequence 0x8001) with the 130-byte block and the confirm byte.
// Without awaiting the answer, returns the send result (0 sent); awaiting it, the confirmation
// wait's result (once more after a busy answer) or a recordsend::Status.
int sendFooter(Link& link, TransferUi& ui, QByteArrayView block, bool confirm,
               bool awaitAnswer = false);
// What the user is told of the register's answer to the footer.
recordsend::OutcomeTexts footerSendTexts();
// "Pobierz nagłówek": one 268-byte answer to the "N" request; its six lines without the 0
// bytes, nullopt when nothing usable came (a check error is answered with acknowledgement 1).
std::optional<QStringList> readHeader(Link& link, TransferUi& ui);
// The same answer's whole 259-byte block, as the database keeps it.
std::optional<QByteArray> readHeaderBlock(Link& link, TransferUi& ui);

// A stored block back as editor paragraphs: its first `lineCount` lines (at most the block's
// lines), centred, with the 0x01 marker turned back into a large character and the pad
// spaces and 0 bytes around the text dropped.
QList<Paragraph> paragraphsFromBlock(const Block& b);

} // namespace receipt

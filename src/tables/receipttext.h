#pragma once

#include "tables/tablelayout.h"

#include <QList>
#include <QString>
#include <QStringList>

// Receipt header (6 lines) and footer (3 lines). A block is the print lines, 42 bytes each,
// the line count and one tall-line flag per line:
//   header 259 bytes = 252 + 1 + 6, footer 130 bytes = 126 + 1 + 3.
// A large character is the byte 0x01 followed by the character; both count towards the 42.
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

// The block from the editor's paragraphs (only the first `lineLimit` count) and the tall flags.
Block buildBlock(const QList<Paragraph>& paragraphs, int lineLimit, const QList<bool>& tall);

inline constexpr int HeaderLines = 6;
inline constexpr int FooterLines = 3;

// A header read back from the register: six lines of 42 bytes with every 0 byte dropped.
QStringList headerLinesFromRegister(QByteArrayView block);

// Readable lines of a stored block (the large-character marker shown as "^").
QStringList readableLines(const Block& b);

} // namespace receipt

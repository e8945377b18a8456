#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// Code 128 symbols for the barcode labels: full ASCII with an automatic choice of
// code set, a check symbol and the 384-bit row the label printer draws bar by bar.
namespace code128 {

constexpr int StartA = 103;
constexpr int StartB = 104;
constexpr int StartC = 105;
constexpr int CodeA = 101;
constexpr int CodeB = 100;
constexpr int CodeC = 99;
constexpr int Shift = 98;

constexpr int RowBits = 384;
constexpr int RowBytes = RowBits / 8;
// The widest symbol (in modules) that still gets a module width of one bit.
constexpr int FitBits = 284;

// The 11-module pattern of a symbol value 0..105 ("1" = bar, "0" = space).
const char* pattern(int value);
inline constexpr const char* StopPattern = "1100011101011";

// The start value (StartA/B/C) for the text from position p on.
int chooseSet(const QByteArray& text, int p);

struct Symbols {
    bool valid = false;    // false: empty text or a character outside 0..127
    int start = 0;         // StartA, StartB or StartC
    std::vector<int> data; // data symbols, switches and shifts included
    int check = 0;
};

// Encodes ASCII text (bytes 0..127).
Symbols encode(const QByteArray& text);

// (start + sum of i * data[i-1]) mod 103.
int checkSymbol(int start, const std::vector<int>& data);

// Module width m = 284 div (11 d + 55); 0 when the symbol is too long.
int moduleWidth(int dataCount);

// Margin, quiet zone, start, data, check, stop, quiet zone, as "0"/"1" modules.
// Empty when the symbol has no bars (invalid, or too long for the row).
QByteArray moduleString(const Symbols& symbols);

// Each module repeated m times into 384 bits, most significant bit first.
using Row = std::array<std::uint8_t, RowBytes>;
Row bitRow(const Symbols& symbols);
inline bool bit(const Row& row, int i)
{
    return (row[i / 8] >> (7 - i % 8)) & 1;
}

} // namespace code128

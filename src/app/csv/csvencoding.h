#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// How the bytes of a CSV file become text and back. The program writes cp1250, as the register
// holds its texts; a spreadsheet saves UTF-8, with or without a byte order mark. The choice on
// import is made so that a file the program wrote always reads back as the text it wrote.
namespace csv {

enum class Encoding {
    Automatic, // the byte order mark, else the bytes themselves decide (readsAsUtf8)
    Utf8,
    Cp1250,
};

// "utf-8" or "utf8", "cp1250" or "windows-1250" (any case); nothing for another name.
std::optional<Encoding> encodingFromName(const QString& name);

// The offset of the first byte that does not belong to a well-formed UTF-8 sequence (an
// overlong form, a surrogate, a code point above U+10FFFF, a cut sequence), or -1.
qsizetype firstInvalidUtf8(QByteArrayView bytes);

// Without a byte order mark a file is read as UTF-8 only when it has bytes above 127, they
// all form valid UTF-8, and every character they stand for is one cp1250 holds. Anything else
// is cp1250: a register's text such as "Î˘" is two cp1250 bytes that happen to be valid UTF-8
// for a character the register has not got.
bool readsAsUtf8(QByteArrayView file);

struct DecodedFile {
    QString text;
    bool utf8 = false;
    QString error; // why the file cannot be read in the chosen encoding; empty when it can
};

// The text of the file. A UTF-8 byte order mark is dropped; it decides for Automatic, and a
// file that starts with one is refused for Cp1250. Utf8 refuses bytes that are not UTF-8,
// naming the line and the byte's place in it.
DecodedFile decodeFile(QByteArrayView file, Encoding encoding = Encoding::Automatic);

// The bytes of an exported file: cp1250, unless those bytes would read back as UTF-8 (only
// names holding pairs such as "Ĺ‚", which are the UTF-8 bytes of "ł" read as cp1250, can make
// them so); such a file is written in UTF-8 with the byte order mark, which reads back as
// written. Every text given must have come from cp1250 bytes.
QByteArray encodeFile(const QString& text);

} // namespace csv

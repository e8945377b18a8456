#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// The part of RTF the receipt editors need: paragraphs with their alignment, runs of text with
// their font size, and the characters as code-page escapes (\'xx) or Unicode escapes (\uN).
// Everything else a word processor writes (font and colour tables, styles, document
// information, pictures, fields' instructions, bold, colours) is read over and dropped.
namespace rtf {

enum class Align { Left, Center, Right, Justify };

struct Run {
    QString text;
    int halfPoints = 24; // \fsN: font size in half-points (RTF's default is 12 pt)
    bool operator==(const Run&) const = default;
};

struct Paragraph {
    QList<Run> runs; // never empty runs; neighbours always differ in size
    Align align = Align::Left;

    QString text() const;
    // Appends text in the given size, joining it to the last run when the size is the same.
    void append(const QString& text, int halfPoints);
    bool operator==(const Paragraph&) const = default;
};

struct Document {
    QList<Paragraph> paragraphs;
    bool operator==(const Document&) const = default;
};

// Reads an RTF file. nullopt when the bytes are not RTF at all (no "{\rtf" at the start).
// Any other input is read as far as it makes sense: unbalanced groups, unknown control words,
// broken escapes, absurd numbers and deep nesting never fail.
std::optional<Document> read(QByteArrayView bytes);

// Writes the document as RTF with code page 1250: Polish letters as \'xx, characters outside
// cp1250 as \uN. read(write(d)) gives d back (with its runs joined as append() does; a tab comes
// back as a space and control characters, which have no place on a print line, are left out).
QByteArray write(const Document& document);

} // namespace rtf

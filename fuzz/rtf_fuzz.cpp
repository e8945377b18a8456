// The RTF reader of the receipt header and footer editors fed arbitrary files: whatever it
// reads must be a sound document (no empty runs, no control characters, sizes in range), come
// back unchanged through the writer, and give header and footer blocks of the right size.
#include "common/cp1250.h"
#include "tables/receipttext.h"
#include "tables/rtf.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "rtf_fuzz: %s\n", what);
        std::abort();
    }
}

// "{\rtf" at the start, after an optional UTF-8 byte order mark and white space.
bool looksLikeRtf(QByteArrayView b)
{
    qsizetype i = 0;
    if (b.size() >= 3 && quint8(b[0]) == 0xEF && quint8(b[1]) == 0xBB && quint8(b[2]) == 0xBF)
        i = 3;
    while (i < b.size() && (b[i] == ' ' || b[i] == '\t' || b[i] == '\r' || b[i] == '\n'))
        ++i;
    return b.sliced(i).startsWith("{\\rtf");
}

void checkDocument(const rtf::Document& d)
{
    for (const rtf::Paragraph& p : d.paragraphs) {
        for (qsizetype i = 0; i < p.runs.size(); ++i) {
            const rtf::Run& r = p.runs[i];
            check(!r.text.isEmpty(), "an empty run");
            check(r.halfPoints >= 1 && r.halfPoints <= 3276, "a font size out of range");
            if (i > 0)
                check(p.runs[i - 1].halfPoints != r.halfPoints, "neighbour runs of one size");
            for (const QChar c : r.text)
                check(c.unicode() >= 0x20 && c.unicode() != 0x7F,
                      "a control character in the text");
        }
    }
}

struct Printed {
    QByteArray bytes; // the character's byte(s)
    bool large = false;
    bool operator==(const Printed&) const = default;
};

// Drops the spaces the alignment may have put around the text (and any ordinary spaces at its
// ends, which cannot be told from them).
QList<Printed> trimmed(QList<Printed> s)
{
    auto pad = [](const Printed& p) { return !p.large && p.bytes == " "; };
    while (!s.isEmpty() && pad(s.front()))
        s.removeFirst();
    while (!s.isEmpty() && pad(s.back()))
        s.removeLast();
    return s;
}

// What a print line shows, read back byte by byte: 0x01 makes the next byte large.
QList<Printed> readLine(const QByteArray& line)
{
    QList<Printed> out;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == receipt::LargeMark) {
            check(i + 1 < line.size(), "a large-character mark at the end of a line");
            out.append({line.mid(++i, 1), true});
        } else {
            out.append({line.mid(i, 1), false});
        }
    }
    return out;
}

// The characters of the paragraph that fit on one line: each with its bytes (none: left out),
// a large one with the mark in front.
QList<Printed> fitting(const receipt::Paragraph& p)
{
    QList<Printed> out;
    int used = 0;
    for (const receipt::Char& c : p.text) {
        const QByteArray b = cp1250::encode(QString(c.c));
        if (b.isEmpty())
            continue;
        check(b.size() == 1, "a character of more than one byte");
        used += 1 + (c.large ? 1 : 0);
        if (used > receipt::LineWidth)
            break;
        out.append({b, c.large});
    }
    return out;
}

void checkBlock(const QList<receipt::Paragraph>& paragraphs, int limit)
{
    const receipt::Block b = receipt::buildBlock(paragraphs, limit, {});
    check(b.lineCount == std::min<qsizetype>(paragraphs.size(), limit), "line count");
    check(b.lines.size() == limit * receipt::LineWidth, "block text size");
    check(b.tall.size() == limit, "tall flags");
    for (int i = 0; i < b.lineCount; ++i) {
        const QByteArray line = b.lines.mid(i * receipt::LineWidth, receipt::LineWidth);
        // Every large-character mark is followed by its character on the same line.
        check(line.back() != receipt::LargeMark, "a lone large-character mark");
        check(!line.contains('\0'), "a 0 byte inside a print line");
        check(trimmed(readLine(line)) == trimmed(fitting(paragraphs[i])),
              "a print line does not show its paragraph");
    }
    for (qsizetype i = b.lineCount * receipt::LineWidth; i < b.lines.size(); ++i)
        check(b.lines[i] == '\0', "bytes after the last line are not 0");
    const QByteArray stored = b.encode();
    check(stored.size() == limit * receipt::LineWidth + 1 + limit, "stored block size");
    check(receipt::Block::decode(stored, limit) == b, "block does not read back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto doc = rtf::read(bytes);
    check(doc.has_value() == looksLikeRtf(bytes), "RTF recognised wrongly");
    if (!doc)
        return 0;
    checkDocument(*doc);

    // What the save button writes, the open button reads back the same.
    const QByteArray written = rtf::write(*doc);
    const auto again = rtf::read(written);
    check(again.has_value(), "the writer's file is not RTF");
    check(*again == *doc, "the document does not come back through the writer");

    // The editors' paragraphs and the blocks they make.
    const QList<receipt::Paragraph> paragraphs = receipt::paragraphsFromRtf(*doc);
    check(paragraphs.size() == doc->paragraphs.size(), "paragraphs lost");
    checkBlock(paragraphs, receipt::HeaderLines);
    checkBlock(paragraphs, receipt::FooterLines);

    // Editor paragraphs saved and opened again print the same lines.
    const auto reopened = rtf::read(rtf::write(receipt::rtfFromParagraphs(paragraphs)));
    check(reopened.has_value(), "the editor's file is not RTF");
    const QList<receipt::Paragraph> back = receipt::paragraphsFromRtf(*reopened);
    check(back.size() == paragraphs.size(), "paragraphs lost through the editor's file");
    for (qsizetype i = 0; i < back.size(); ++i)
        check(receipt::printLine(back[i]) == receipt::printLine(paragraphs[i]),
              "a print line changed through the editor's file");
    return 0;
}

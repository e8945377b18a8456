#include "rtf.h"

#include "common/cp1250.h"

#include <QStringDecoder>

#include <algorithm>
#include <memory>

namespace rtf {

QString Paragraph::text() const
{
    QString t;
    for (const Run& r : runs)
        t += r.text;
    return t;
}

void Paragraph::append(const QString& text, int halfPoints)
{
    if (text.isEmpty())
        return;
    if (!runs.isEmpty() && runs.last().halfPoints == halfPoints)
        runs.last().text += text;
    else
        runs.append({text, halfPoints});
}

namespace {

// Destinations whose text is not part of the document body.
bool skippedDestination(QByteArrayView word)
{
    static const char* const names[] = {"fonttbl",
                                        "colortbl",
                                        "stylesheet",
                                        "info",
                                        "pict",
                                        "header",
                                        "headerl",
                                        "headerr",
                                        "headerf",
                                        "footer",
                                        "footerl",
                                        "footerr",
                                        "footerf",
                                        "footnote",
                                        "listtable",
                                        "listoverridetable",
                                        "revtbl",
                                        "rsidtbl",
                                        "generator",
                                        "xmlnsdecl",
                                        "pgdsctbl",
                                        "themedata",
                                        "colorschememapping",
                                        "datastore",
                                        "latentstyles",
                                        "fldinst",
                                        "object",
                                        "objdata",
                                        "shpinst",
                                        "nonshppict",
                                        "filetbl",
                                        "listtext",
                                        "pntext",
                                        "pntxta",
                                        "pntxtb",
                                        "ftnsep",
                                        "ftnsepc",
                                        "aftnsep",
                                        "aftnsepc",
                                        "userprops",
                                        "bkmkstart",
                                        "bkmkend",
                                        "mmathPr",
                                        "comment",
                                        "annotation",
                                        "atnid",
                                        "atnauthor",
                                        "template",
                                        "docvar",
                                        "wgrffmtfilter",
                                        "passwordhash"};
    for (const char* n : names)
        if (word == QByteArrayView(n))
            return true;
    return false;
}

struct State {
    int halfPoints = 24;
    Align align = Align::Left;
    int uc = 1;
    bool skip = false;
};

class Reader {
public:
    explicit Reader(QByteArrayView in) : m_in(in) {}

    Document run()
    {
        qsizetype i = 0;
        while (i < m_in.size()) {
            const char c = m_in[i];
            if (c == '{') {
                openGroup();
                ++i;
            } else if (c == '}') {
                closeGroup();
                ++i;
                if (m_stack.isEmpty() && m_depthBeyond == 0)
                    break; // the document's own group has ended
            } else if (c == '\\') {
                i = control(i + 1);
            } else if (c == '\r' || c == '\n') {
                ++i;
            } else {
                byte(quint8(c));
                ++i;
            }
        }
        flushBytes();
        if (!m_current.runs.isEmpty()) {
            m_current.align = m_state.align;
            m_doc.paragraphs.append(m_current);
        }
        return m_doc;
    }

private:
    static constexpr int MaxDepth = 256;

    void openGroup()
    {
        flushBytes();
        m_pendingSkip = 0;
        if (m_stack.size() >= MaxDepth) {
            // Deeper groups than any word processor writes: their text is dropped.
            ++m_depthBeyond;
            return;
        }
        m_stack.append(m_state);
        m_groupStart = true;
    }

    void closeGroup()
    {
        flushBytes();
        m_pendingSkip = 0;
        m_groupStart = false;
        if (m_depthBeyond > 0) {
            --m_depthBeyond;
            return;
        }
        if (m_stack.isEmpty())
            return;
        // Paragraph properties set inside a group end with it, as do character properties.
        m_state = m_stack.takeLast();
    }

    bool skipping() const { return m_state.skip || m_depthBeyond > 0; }

    // Reads a control word or symbol after the backslash at i - 1; returns the next index.
    qsizetype control(qsizetype i)
    {
        const bool groupStart = m_groupStart;
        m_groupStart = false;
        if (i >= m_in.size())
            return i;
        const char c = m_in[i];
        if (isLetter(c)) {
            const qsizetype start = i;
            while (i < m_in.size() && isLetter(m_in[i]) && i - start < 32)
                ++i;
            const QByteArrayView word = m_in.sliced(start, i - start);
            bool hasNumber = false;
            bool negative = false;
            qint64 number = 0;
            if (i < m_in.size() && m_in[i] == '-' && i + 1 < m_in.size() && isDigit(m_in[i + 1])) {
                negative = true;
                ++i;
            }
            int digits = 0;
            while (i < m_in.size() && isDigit(m_in[i])) {
                if (digits < 10)
                    number = number * 10 + (m_in[i] - '0');
                ++digits;
                ++i;
                hasNumber = true;
            }
            if (i < m_in.size() && m_in[i] == ' ')
                ++i;
            if (negative)
                number = -number;
            number = std::clamp<qint64>(number, -2147483647, 2147483647);
            word_(word, hasNumber, int(number), groupStart);
            return i;
        }
        ++i;
        switch (c) {
        case '\'': {
            if (i + 1 < m_in.size() && isHex(m_in[i]) && isHex(m_in[i + 1])) {
                const int v = hexValue(m_in[i]) * 16 + hexValue(m_in[i + 1]);
                i += 2;
                byte(quint8(v), true);
            }
            return i;
        }
        case '*': // "{\*\dest ...}": a destination this reader need not know
            if (groupStart)
                m_state.skip = true;
            return i;
        case '\\':
        case '{':
        case '}':
            byte(quint8(c));
            return i;
        case '~':
            text(QString(u' '));
            return i;
        case '_':
            text(QString(u'-'));
            return i;
        case '\r':
        case '\n':
            paragraphEnd();
            return i;
        default: // \- (optional hyphen), \| and others: nothing to show
            return i;
        }
    }

    void word_(QByteArrayView w, bool hasNumber, int n, bool groupStart)
    {
        if (skippedDestination(w)) {
            flushBytes();
            m_state.skip = true;
            return;
        }
        (void)groupStart;
        if (w == "par" || w == "line" || w == "row" || w == "sect" || w == "page") {
            paragraphEnd();
        } else if (w == "pard") {
            flushBytes();
            m_state.align = Align::Left;
        } else if (w == "plain") {
            flushBytes();
            m_state.halfPoints = 24;
        } else if (w == "fs") {
            flushBytes();
            if (hasNumber && n > 0 && n <= 3276)
                m_state.halfPoints = n;
            else if (!hasNumber)
                m_state.halfPoints = 24;
        } else if (w == "ql") {
            m_state.align = Align::Left;
        } else if (w == "qc") {
            m_state.align = Align::Center;
        } else if (w == "qr") {
            m_state.align = Align::Right;
        } else if (w == "qj" || w == "qd") {
            m_state.align = Align::Justify;
        } else if (w == "uc") {
            if (hasNumber && n >= 0 && n <= 16)
                m_state.uc = n;
        } else if (w == "u") {
            if (!hasNumber)
                return;
            flushBytes();
            m_pendingSkip = 0;
            const int unit = n < 0 ? n + 65536 : n;
            if (!skipping() && unit <= 0xFFFF && !isControl(char16_t(unit)))
                m_current.append(QString(QChar(char16_t(unit))), m_state.halfPoints);
            m_pendingSkip = m_state.uc;
        } else if (w == "ansicpg") {
            if (hasNumber)
                setCodePage(n);
        } else if (w == "tab" || w == "cell") {
            text(QString(u' '));
        } else if (w == "emdash") {
            text(QString(u'\u2014'));
        } else if (w == "endash") {
            text(QString(u'\u2013'));
        } else if (w == "bullet") {
            text(QString(u'\u2022'));
        } else if (w == "lquote") {
            text(QString(u'\u2018'));
        } else if (w == "rquote") {
            text(QString(u'\u2019'));
        } else if (w == "ldblquote") {
            text(QString(u'\u201C'));
        } else if (w == "rdblquote") {
            text(QString(u'\u201D'));
        }
    }

    // A byte of text in the document's code page; `escaped` for \'xx.
    void byte(quint8 b, bool escaped = false)
    {
        m_groupStart = false;
        if (m_pendingSkip > 0) {
            --m_pendingSkip; // the code-page stand-in after \uN
            return;
        }
        if (skipping())
            return;
        if (!escaped && b < 0x20)
            return;
        m_bytes.append(char(b));
    }

    void text(const QString& t)
    {
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        if (skipping())
            return;
        flushBytes();
        m_current.append(t, m_state.halfPoints);
    }

    void flushBytes()
    {
        if (m_bytes.isEmpty())
            return;
        QString decoded = m_decoder ? m_decoder->decode(m_bytes) : cp1250::decode(m_bytes);
        // Control characters have no place in a print line (0x01 would turn the next character
        // into a large one).
        decoded.removeIf([](QChar ch) { return isControl(ch.unicode()); });
        m_bytes.clear();
        m_current.append(decoded, m_state.halfPoints);
    }

    void paragraphEnd()
    {
        if (skipping())
            return;
        flushBytes();
        m_pendingSkip = 0;
        m_current.align = m_state.align;
        m_doc.paragraphs.append(m_current);
        m_current = Paragraph();
    }

    void setCodePage(int cp)
    {
        if (cp == 1250) {
            m_decoder.reset();
            return;
        }
        const QByteArray name = "windows-" + QByteArray::number(cp);
        auto dec = std::make_unique<QStringDecoder>(name.constData());
        if (cp == 65001)
            dec = std::make_unique<QStringDecoder>(QStringDecoder::Utf8);
        if (dec->isValid())
            m_decoder = std::move(dec);
        else
            m_decoder.reset(); // unknown code page: read as cp1250, the register's own
    }

    // The characters the writer leaves out: below the space, and DEL.
    static bool isControl(char16_t u) { return u < 0x20 || u == 0x7F; }
    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static bool isHex(char c)
    {
        return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }
    static int hexValue(char c)
    {
        if (isDigit(c))
            return c - '0';
        return (c | 0x20) - 'a' + 10;
    }

    QByteArrayView m_in;
    Document m_doc;
    Paragraph m_current;
    State m_state;
    QList<State> m_stack;
    int m_depthBeyond = 0;
    int m_pendingSkip = 0;
    bool m_groupStart = false;
    QByteArray m_bytes; // text bytes not yet decoded (multi-byte code pages need them whole)
    std::unique_ptr<QStringDecoder> m_decoder; // null: cp1250
};

bool startsAsRtf(QByteArrayView b)
{
    qsizetype i = 0;
    if (b.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < b.size() && (b[i] == ' ' || b[i] == '\r' || b[i] == '\n' || b[i] == '\t'))
        ++i;
    return b.sliced(i).startsWith("{\\rtf");
}

const char* alignWord(Align a)
{
    switch (a) {
    case Align::Center:
        return "\\qc";
    case Align::Right:
        return "\\qr";
    case Align::Justify:
        return "\\qj";
    case Align::Left:
        break;
    }
    return "\\ql";
}

} // namespace

std::optional<Document> read(QByteArrayView bytes)
{
    if (!startsAsRtf(bytes))
        return std::nullopt;
    // Without \ansicpg the \'xx bytes are taken as cp1250: Polish files name it through their
    // fonts' \fcharset238 rather than the document's code page.
    Reader reader(bytes);
    return reader.run();
}

QByteArray write(const Document& d)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1250\\deff0\\uc1"
                     "{\\fonttbl{\\f0\\fmodern\\fcharset238 Courier New;}}\r\n";
    for (const Paragraph& p : d.paragraphs) {
        out += "\\pard";
        out += alignWord(p.align);
        out += "\\f0 ";
        int size = -1;
        for (const Run& r : p.runs) {
            if (r.text.isEmpty())
                continue;
            if (r.halfPoints != size) {
                size = r.halfPoints;
                out += "\\fs" + QByteArray::number(std::clamp(size, 1, 3276)) + ' ';
            }
            for (const QChar ch : r.text) {
                const char16_t u = ch.unicode();
                if (u == u'\\' || u == u'{' || u == u'}') {
                    out += '\\';
                    out += char(u);
                } else if (u == u'\t') {
                    out += "\\tab ";
                } else if (u >= 0x20 && u < 0x7F) {
                    out += char(u);
                } else if (u < 0x20 || u == 0x7F) {
                    // control characters have no place in a print line
                } else if (!ch.isSurrogate() && cp1250::representable(QString(ch))) {
                    const QByteArray b = cp1250::encode(QString(ch));
                    out += "\\'" + b.toHex();
                } else {
                    out += "\\u" + QByteArray::number(qint16(u)) + '?';
                }
            }
        }
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

} // namespace rtf

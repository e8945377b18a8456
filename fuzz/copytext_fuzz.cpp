// The copy text stream as the register sends it: arbitrary chunks, one per read of the line,
// fed to the decoder alone and to the whole reception. The reception must end (at the end
// byte, after the silence, at a stop or a failed send), and its text must be exactly the text
// bytes of the chunks it took: every byte but 0, one character each, chunks that begin with
// the frame start byte left out.
#include "common/cp1250.h"
#include "link/frame.h"
#include "link/link.h"
#include "scriptedline.h"
#include "transfer/copyread.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "copytext_fuzz: %s\n", what);
        std::abort();
    }
}

struct Script {
    QList<QByteArray> chunks; // an empty chunk is a read that brings nothing
    qsizetype next = 0;       // the chunk the next read delivers
    QList<QByteArray> delivered;
    qint64 now = 0;       // the run's clock, moved by waits and by reads that time out
    int reads = 0;        // reads of the line
    int writes = 0;       // writes of the line (the 0xAA answers)
    int failWrite = -1;   // the write (from 0) that fails with the device gone
    int stopAtPolls = -1; // stop requested from this poll on (-1: never)
    int polls = 0;
};

// A line that hands out one chunk per read and costs the read's time-out when it brings less
// than was asked for, as a real line does.
class ChunkLine : public ScriptedLine {
public:
    explicit ChunkLine(Script& s) : m_s(s) {}
    WriteResult write(QByteArrayView bytes) override
    {
        const int n = m_s.writes++;
        if (n == m_s.failWrite)
            return {false, true, 0, 0};
        return {true, false, bytes.size(), 0};
    }
    qint64 read(char* into, qint64 count) override
    {
        ++m_s.reads;
        // Every turn of the reception takes a chunk or lets time pass: far more reads than
        // chunks and silent turns means it goes round without end.
        check(m_s.reads <= int(m_s.chunks.size()) + 2 * transfer::kCopySilenceMs / 20 + 1000,
              "the reception never ends");
        qint64 n = 0;
        if (m_s.next < m_s.chunks.size()) {
            QByteArray& chunk = m_s.chunks[m_s.next];
            n = qMin<qint64>(count, chunk.size());
            std::memcpy(into, chunk.constData(), size_t(n));
            m_s.delivered.append(chunk.left(n));
            if (n < chunk.size()) {
                chunk.remove(0, n);
            } else {
                ++m_s.next;
            }
        }
        if (n < count)
            m_s.now += m_t.readConstant + qint64(m_t.readMultiplier) * count;
        return n;
    }
    int waitReadable(int ms) override
    {
        if (m_s.next < m_s.chunks.size() && !m_s.chunks[m_s.next].isEmpty())
            return 1;
        m_s.now += ms;
        return 0;
    }

private:
    Script& m_s;
};

class FuzzUi : public TransferUi {
public:
    explicit FuzzUi(Script& s) : m_s(s) {}
    void showMessage(const QString& text, Icon) override { messages.append(text); }
    Answer ask(const QString&, Buttons, Icon, const QString&) override { return Answer::No; }
    void waitMs(int ms) override { m_s.now += ms; }
    qint64 nowMs() const override { return m_s.now; }
    bool stopRequested() const override
    {
        ++m_s.polls;
        return m_s.stopAtPolls >= 0 && m_s.polls > m_s.stopAtPolls;
    }
    bool waitForLine(const std::function<bool()>& clear) override { return clear(); }

    QStringList messages;

private:
    Script& m_s;
};

// What the stream's chunks say, worked out byte by byte.
struct Expected {
    QByteArray textBytes; // every text byte but 0, line feeds included
    bool finished = false;
    int textChunks = 0;
};

// Takes chunks in order until (and including) the one with the end byte.
Expected expected(const QList<QByteArray>& chunks, qsizetype* used = nullptr)
{
    Expected e;
    qsizetype i = 0;
    for (; i < chunks.size() && !e.finished; ++i) {
        const QByteArray& c = chunks[i];
        if (c.isEmpty() || quint8(c[0]) == 0x02)
            continue;
        ++e.textChunks;
        for (char b : c) {
            if (b == 0)
                e.finished = true;
            else
                e.textBytes.append(b);
        }
    }
    if (used)
        *used = i;
    return e;
}

// The text of the bytes: one character per byte, never a 0, line feeds where the bytes have
// them, and the same characters as the bytes decoded in one piece.
void checkText(const QString& text, const QByteArray& bytes)
{
    check(text.size() == bytes.size(), "not one character per text byte");
    check(!text.contains(QChar(u'\0')), "a 0 character in the text");
    for (qsizetype i = 0; i < bytes.size(); ++i)
        check((bytes[i] == '\n') == (text[i] == u'\n'), "line breaks not where the bytes are");
    check(text == cp1250::decode(bytes), "text differs from the bytes decoded whole");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const uint8_t flags = data[0];
    Script script;
    script.failWrite = (flags & 0x02) ? int(data[1]) : -1;
    script.stopAtPolls = (flags & 0x04) ? int(data[2]) : -1;
    // The chunks: a length byte, then that many bytes (fewer at the end of the input).
    for (size_t pos = 3; pos < size;) {
        const size_t n = qMin<size_t>(data[pos], size - pos - 1);
        script.chunks.append(
            QByteArray(reinterpret_cast<const char*>(data + pos + 1), qsizetype(n)));
        pos += 1 + n;
    }

    // The decoder alone, over the chunks up to the end byte.
    {
        qsizetype used = 0;
        const Expected e = expected(script.chunks, &used);
        transfer::CopyTextDecoder decoder;
        for (qsizetype i = 0; i < used; ++i) {
            const bool done = decoder.feed(script.chunks[i]);
            check(done == decoder.finished(), "feed and finished() disagree");
        }
        check(decoder.finished() == e.finished, "end byte not noticed");
        checkText(decoder.text(), e.textBytes);
        // Once finished it stays finished, whatever comes after.
        for (qsizetype i = used; i < script.chunks.size(); ++i)
            check(decoder.feed(script.chunks[i]), "finished decoder forgot the end");
    }

    // The whole reception over the line.
    FuzzUi ui(script);
    Link link([&script] { return std::make_unique<ChunkLine>(script); });
    link.port = 1;
    link.fastTransfers = flags & 0x01;
    if (link.openPort(ui, false) != 0)
        return 0;
    int texts = 0;
    const transfer::CopyReception r =
        transfer::receiveCopyText(link, ui, [&texts](const QString&) { ++texts; });

    // A reception cut short because the line is no register (an echo, bytes that are not
    // copy text, too much) may end on a chunk that it no longer takes as text.
    const bool bounded = r.end == transfer::CopyEnd::Echo || r.end == transfer::CopyEnd::NotText ||
                         r.end == transfer::CopyEnd::TooLarge;
    QList<QByteArray> taken = script.delivered;
    qsizetype delivered = 0;
    for (const QByteArray& c : taken)
        delivered += c.isEmpty() ? 0 : 1;
    if (bounded && texts < delivered)
        taken.removeLast();
    const Expected got = expected(taken);
    checkText(r.text, got.textBytes);
    qsizetype nonEmpty = 0;
    for (const QByteArray& c : taken)
        nonEmpty += c.isEmpty() ? 0 : 1;
    // The error frame that refuses the query is not text, nor is it answered.
    const bool refused = r.end == transfer::CopyEnd::Refused;
    check(texts == nonEmpty - (refused ? 1 : 0), "onText not called once per chunk");
    switch (r.end) {
    case transfer::CopyEnd::Complete:
        check(got.finished, "complete without the end byte");
        // A failed write is tried again, so it may count twice.
        check(script.failWrite < 0 ? script.writes == nonEmpty : script.writes >= nonEmpty,
              "a chunk left unanswered");
        break;
    case transfer::CopyEnd::Silence:
        check(!got.finished, "silence reported after the end byte");
        check(ui.messages.contains(
                  QStringLiteral("Kasa przestała przesyłać dane. Odczyt kopii przerwany.")),
              "silence not reported");
        break;
    case transfer::CopyEnd::Stopped:
        check(!got.finished, "stop reported after the end byte");
        check(script.stopAtPolls >= 0, "stopped without a stop request");
        check(ui.messages.contains(QStringLiteral("Odczyt kopii przerwany przez użytkownika.")),
              "stop not reported");
        break;
    case transfer::CopyEnd::Refused: {
        // The register's error frame came instead of the text: its device error is shown.
        check(!got.finished, "refusal reported after the end byte");
        const QByteArray& last = script.delivered.back();
        check(last.size() >= 11 && quint8(last[0]) == 0x02 && quint8(last[2]) == 11 &&
                  last[3] == 0 && last[6] == 'A' && quint8(last[10]) == 0x03,
              "refused without an error frame");
        check(!ui.messages.isEmpty(), "refusal not reported");
        break;
    }
    case transfer::CopyEnd::Echo:
    case transfer::CopyEnd::NotText:
    case transfer::CopyEnd::TooLarge:
        check(!ui.messages.isEmpty(), "a reception cut short not reported");
        break;
    case transfer::CopyEnd::SendFailed:
        check(script.failWrite >= 0, "send failed on a sound line");
        break;
    }
    return 0;
}

#include "transfer/copyread.h"

#include "../link/fakeline.h"
#include "fakeui.h"

#include <gtest/gtest.h>

using namespace transfer;

namespace {

struct Bench {
    FakeLineScript script;
    Link link{fakeFactory(script)};
    FakeUi ui;
    Bench()
    {
        link.port = 5;
        link.openPort(ui, false);
    }
};

} // namespace

TEST(CopyRead, NumbersRange)
{
    struct Case {
        const char *first, *last;
        bool ok;
    };
    const Case cases[] = {{"1", "2000", true}, {"0", "5", false},    {"2001", "5", false},
                          {"5", "0", false},   {"5", "2001", false}, {"x", "5", false},
                          {"", "5", false},    {"2000", "1", true}};
    for (const Case& c : cases) {
        QString error;
        const auto q = copyByNumbers(QString::fromLatin1(c.first), QString::fromLatin1(c.last),
                                     QStringLiteral("1"), QStringLiteral("99999"), CopyScope::Whole,
                                     CopyHandling::SendToComputer, &error);
        EXPECT_EQ(q.has_value(), c.ok) << c.first << " " << c.last;
        EXPECT_EQ(error, c.ok ? QString() : QStringLiteral("Błędnie wprowadzone dane"));
    }
    QString error;
    EXPECT_FALSE(copyByNumbers(QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("a"),
                               QStringLiteral("1"), CopyScope::Whole, CopyHandling::PrintAtRegister,
                               &error));
    EXPECT_EQ(error, QStringLiteral("Błędnie wprowadzone dane"));
}

TEST(CopyRead, NumbersFrame)
{
    const auto q = copyByNumbers(QStringLiteral("3"), QStringLiteral("2000"),
                                 QStringLiteral("70000"), QStringLiteral("99999"),
                                 CopyScope::ReportsOnly, CopyHandling::SendToComputer);
    ASSERT_TRUE(q);
    const QByteArray f = copyReadFrame(1, *q);
    // 70000 = 0x00011170, 2000 = 0x07D0, 99999 = 0x0001869F
    const QByteArray head =
        bytes({0x02, 0x01, 0x18, 0x00, 0x01, 0x80, 0x01, 0x02, 0x03, 0x00, 0x70,
               0x11, 0x01, 0x00, 0xD0, 0x07, 0x9F, 0x86, 0x01, 0x00, 0x02, 0x02});
    ASSERT_EQ(f.size(), 24);
    EXPECT_EQ(f.left(22), head);
    quint8 x = 0;
    for (int i = 1; i < 22; ++i)
        x ^= quint8(head[i]);
    EXPECT_EQ(quint8(f[22]), x);
    EXPECT_EQ(f[23], char(0x03));
}

TEST(CopyRead, DatesFrame)
{
    const CopyQuery q = copyByDates(QDate(2015, 3, 7), QTime(9, 5, 41), QDate(2015, 3, 8),
                                    QTime(18, 30), CopyScope::Whole, CopyHandling::PrintAtRegister);
    const QByteArray f = copyReadFrame(1, q);
    EXPECT_EQ(f[7], char(3));
    EXPECT_EQ(f.mid(8, 14), bytes({9, 5, 7, 3, 0xDF, 0x07, 18, 30, 8, 3, 0xDF, 0x07, 1, 1}));
}

TEST(CopyRead, SimpleKinds)
{
    for (CopyKind kind : {CopyKind::LastDocument, CopyKind::CacheMemory}) {
        const QByteArray f = copyReadFrame(2, copySimple(kind, CopyHandling::SendToComputer));
        EXPECT_EQ(f[1], char(2));
        EXPECT_EQ(f[7], char(kind));
        EXPECT_EQ(f.mid(8, 14), QByteArray(13, '\0') + char(2));
    }
}

TEST(CopyRead, DecoderLinesAndEnd)
{
    CopyTextDecoder d;
    EXPECT_TRUE(d.feed(bytes({'A', 'B', 10, 'C', 0})));
    EXPECT_EQ(d.text(), QStringLiteral("AB\nC"));
    EXPECT_EQ(d.text().split(u'\n'), (QStringList{QStringLiteral("AB"), QStringLiteral("C")}));

    CopyTextDecoder e;
    EXPECT_FALSE(e.feed(bytes({0x02, 'X', 'Y'})));
    EXPECT_EQ(e.text(), QString());
    EXPECT_FALSE(e.feed(QByteArray("SPRZEDA\xAF", 8)));
    EXPECT_EQ(e.text(), QStringLiteral("SPRZEDAŻ"));
    // the rest of the chunk with the end byte is still shown
    EXPECT_TRUE(e.feed(bytes({0, 'Z'})));
    EXPECT_EQ(e.text(), QStringLiteral("SPRZEDAŻZ"));
}

TEST(CopyRead, StreamAnsweredChunkByChunk)
{
    Bench t;
    t.script.reads = {QByteArray(), bytes({0x02, 0x01, 0x0A}), QByteArray(), bytes({'A', 'B', 10}),
                      bytes({'C', 0})};
    QStringList seen;
    CopyReception r;
    const CopyQuery q = copySimple(CopyKind::LastDocument, CopyHandling::SendToComputer);
    ASSERT_TRUE(runCopyRead(t.link, t.ui, q, &r, [&](const QString& s) { seen << s; }));
    EXPECT_EQ(r.end, CopyEnd::Complete);
    EXPECT_EQ(r.text, QStringLiteral("AB\nC"));
    // each chunk's own text, once: the 0x02 chunk adds nothing, then "AB\n", then "C"
    EXPECT_EQ(seen, (QStringList{QString(), QStringLiteral("AB\n"), QStringLiteral("C")}));
    // the query, then 0xAA after each of the three chunks (the 0x02 one too)
    EXPECT_EQ(t.script.written.size(), 24 + 3);
    EXPECT_EQ(t.script.written.mid(24), bytes({0xAA, 0xAA, 0xAA}));
    EXPECT_TRUE(t.ui.messages.isEmpty());
}

TEST(CopyRead, SilenceEndsTheReception)
{
    Bench t;
    t.script.reads = {QByteArray(), bytes({'A', 10})};
    CopyReception r;
    ASSERT_TRUE(runCopyRead(t.link, t.ui,
                            copySimple(CopyKind::LastDocument, CopyHandling::SendToComputer), &r));
    EXPECT_EQ(r.end, CopyEnd::Silence);
    EXPECT_EQ(r.text, QStringLiteral("A\n"));
    EXPECT_GE(t.ui.clock, kCopySilenceMs);
    EXPECT_LT(t.ui.clock, kCopySilenceMs + 100);
    EXPECT_EQ(t.ui.messages, QStringList{QStringLiteral(
                                 "Kasa przestała przesyłać dane. Odczyt kopii przerwany.")});
}

TEST(CopyRead, UserStopEndsTheReception)
{
    Bench t;
    t.script.reads = {QByteArray(), bytes({'A'})};
    t.ui.stopAfterEvents = 3;
    CopyReception r;
    runCopyRead(t.link, t.ui, copySimple(CopyKind::LastDocument, CopyHandling::SendToComputer), &r);
    EXPECT_EQ(r.end, CopyEnd::Stopped);
    EXPECT_EQ(t.ui.messages,
              QStringList{QStringLiteral("Odczyt kopii przerwany przez użytkownika.")});
}

TEST(CopyRead, PrintedCopyAwaitsNothing)
{
    Bench t;
    t.script.reads = {QByteArray(), bytes({'A', 0})};
    CopyReception r;
    ASSERT_TRUE(runCopyRead(t.link, t.ui,
                            copySimple(CopyKind::LastDocument, CopyHandling::PrintAtRegister), &r));
    EXPECT_EQ(t.script.written.size(), 24);
    EXPECT_EQ(t.script.readsDone, 1); // the drain only
    EXPECT_EQ(r.text, QString());
}

// Lines that are not a register end the reception with their own message, never as a
// whole copy: the line echoing the acknowledgements, noise (control bytes that copy text
// never holds, with a zero byte among them), and chunk after chunk of frame starts.
TEST(CopyRead, HostileStreamsEndTheReception)
{
    QList<QByteArray> frameStarts{QByteArray()};
    for (int i = 0; i < 400; ++i)
        frameStarts << QByteArray(40, char(0x02));
    const struct {
        const char* line;
        QList<QByteArray> reads;
        CopyEnd end;
        QString message;
    } rows[] = {
        {"echo", {QByteArray(), bytes({'A', 10}), bytes({0xAA})}, CopyEnd::Echo, CopyEchoText},
        {"noise",
         {QByteArray(), bytes({0x55, 0x01, 0x1B, 0x7F, 0x05, 0x00, 0x9C, 0x11, 0x00, 0x30})},
         CopyEnd::NotText,
         CopyNotText},
        {"frame starts", frameStarts, CopyEnd::NotText, CopyNotText},
    };
    for (const auto& row : rows) {
        Bench t;
        t.script.reads = row.reads;
        CopyReception r;
        runCopyRead(t.link, t.ui, copySimple(CopyKind::LastDocument, CopyHandling::SendToComputer),
                    &r);
        EXPECT_EQ(r.end, row.end) << row.line;
        EXPECT_EQ(t.ui.messages, QStringList{row.message}) << row.line;
    }
}

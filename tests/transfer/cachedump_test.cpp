#include "transfer/cachedump.h"

#include "../link/fakeline.h"
#include "fakeui.h"
#include "testframes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace transfer;

namespace {

struct Bench {
    FakeLineScript script;
    Link link{fakeFactory(script)};
    FakeUi ui;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Kopia_cache.bin"));
    Bench()
    {
        link.port = 5;
        link.openPort(ui, false);
    }
    QByteArray file() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QByteArray chunk(int i)
{
    QByteArray d(256, '\0');
    for (int k = 0; k < 256; ++k)
        d[k] = char((i * 7 + k) & 0xFF);
    return d;
}

const QDateTime kWhen(QDate(2026, 12, 8), QTime(21, 5, 9));

} // namespace

TEST(CacheDump, Trailer)
{
    EXPECT_EQ(cacheDumpTrailer(kWhen), QByteArray("\rData wykoniania kopii: 2026-12-08 21:05:09"));
}

TEST(CacheDump, FullDumpOf8192Frames)
{
    Bench t;
    t.script.reads << QByteArray();
    QByteArray expected;
    for (int i = 1; i <= kCacheMaxFrames; ++i) {
        t.script.reads << answerFrame(quint16(i | (i == kCacheMaxFrames ? 0x8000 : 0)), ':',
                                      chunk(i));
        expected += chunk(i);
    }
    const CacheDump d = dumpCacheMemory(t.link, t.ui, t.path, kWhen);
    EXPECT_EQ(d.frames, 8192);
    EXPECT_TRUE(d.complete);
    const QByteArray file = t.file();
    ASSERT_EQ(file.size(), 2097152 + cacheDumpTrailer(kWhen).size());
    EXPECT_EQ(file.left(2097152), expected);
    EXPECT_EQ(file.mid(2097152), cacheDumpTrailer(kWhen));
    EXPECT_EQ(t.ui.lastDone, 8192);
    EXPECT_EQ(t.ui.lastTotal, 8192);
    EXPECT_EQ(t.ui.messages,
              QStringList{QStringLiteral("Pamięć podręczna zapisana do pliku 'Kopia_cache.bin'.")});
    // ":" with sequence 1: 02 01 0A 00 01 00 3A 01, check 01^0A^01^3A^01 = 0x31
    EXPECT_EQ(t.script.written.left(10),
              bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x3A, 0x01, 0x31, 0x03}));
    EXPECT_EQ(t.script.written.size(), 10 + 8192 * 10);
    EXPECT_EQ(t.script.written.right(10), ackFrame(3));
    EXPECT_EQ(t.ui.waits.first(), 100);
}

// The dump cannot ask for a frame again: a damaged one is refused and ends the dump there,
// so that nothing after it is taken for its data.
TEST(CacheDump, CheckFailureEndsTheDump)
{
    Bench t;
    QByteArray bad = answerFrame(2, ':', chunk(2));
    bad[263] = char(bad[263] ^ 1);
    t.script.reads = {QByteArray(), answerFrame(1, ':', chunk(1)), bad,
                      answerFrame(0x8003, ':', chunk(3))};
    const CacheDump d = dumpCacheMemory(t.link, t.ui, t.path, kWhen);
    EXPECT_FALSE(d.complete);
    EXPECT_EQ(d.frames, 1);
    EXPECT_EQ(d.failedFrame, 2);
    EXPECT_EQ(t.file(), chunk(1));
    EXPECT_EQ(t.ui.messages.mid(1),
              (QStringList{QStringLiteral("Błąd CRC!"), QStringLiteral("Błąd transmisji: zrzut "
                                                                       "przerwany na ramce 2.")}));
    EXPECT_EQ(t.script.written.right(20), ackFrame(0) + ackFrame(1));
}

// A dump cut short: with no earlier file the part that arrived is kept; an earlier dump is
// never replaced by a part, nor overwritten in part.
TEST(CacheDump, NoAnswerKeepsWhatArrivedButNeverAnEarlierFile)
{
    for (const bool earlier : {false, true}) {
        SCOPED_TRACE(earlier ? "earlier file" : "no earlier file");
        Bench t;
        const QByteArray old(4000, 'x');
        if (earlier) {
            QFile f(t.path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        t.script.reads = {QByteArray(), answerFrame(1, ':', chunk(1))};
        const CacheDump d = dumpCacheMemory(t.link, t.ui, t.path, kWhen);
        EXPECT_FALSE(d.complete);
        EXPECT_FALSE(d.stopped);
        EXPECT_EQ(d.frames, 1);
        EXPECT_EQ(t.file(), earlier ? old : chunk(1));
        EXPECT_EQ(t.ui.messages,
                  (QStringList{QStringLiteral("Brak komunikacji."),
                               QStringLiteral("Błąd transmisji: zrzut przerwany na ramce 2.")}));
    }
}

TEST(CacheDump, UnwritableFileIsReported)
{
    Bench t;
    t.script.reads = {QByteArray(), answerFrame(0x8001, ':', chunk(1))};
    const QString path = t.dir.filePath(QStringLiteral("no/such/dir.bin"));
    const CacheDump d = dumpCacheMemory(t.link, t.ui, path, kWhen);
    EXPECT_FALSE(d.written);
    EXPECT_EQ(t.ui.messages, QStringList{QStringLiteral("Nie można zapisać pliku '") + path +
                                         QStringLiteral("'.")});
}

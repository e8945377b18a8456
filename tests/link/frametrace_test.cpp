#include "link/frametrace.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "filesizelimit.h"

namespace {

TEST(FrameTrace, LineHasTimeDirectionAndHexBytes)
{
    const qint64 at = QDateTime(QDate(2026, 12, 8), QTime(20, 51, 2, 123)).toMSecsSinceEpoch();
    const char frame[] = {0x02, 0x54, char(0x80), char(0xff)};
    EXPECT_EQ(FrameTrace::line(at, '>', QByteArrayView(frame, 4)),
              QByteArray("2026-12-08 20:51:02.123 > 02 54 80 ff"));
}

TEST(FrameTrace, NoteLineIsTextAfterItsHash)
{
    const qint64 at = QDateTime(QDate(2026, 12, 8), QTime(20, 51, 4, 560)).toMSecsSinceEpoch();
    EXPECT_EQ(FrameTrace::line(at, '#', QStringLiteral("ponowny odczyt (przejście 2)").toUtf8()),
              QStringLiteral("2026-12-08 20:51:04.560 # ponowny odczyt (przejście 2)").toUtf8());
}

TEST(FrameTrace, HookAppendsOneFlushedLinePerCallAndSkipsEmptyReads)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier\n");
    }
    FrameTrace trace;
    ASSERT_TRUE(trace.open(path));
    auto hook = trace.hook();
    ASSERT_TRUE(hook);
    hook('>', QByteArrayView("\x01\x02", 2));
    hook('<', QByteArrayView());
    hook('<', QByteArrayView("\x03", 1));

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)); // readable while the trace is still open
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4); // the last one is empty after the final line feed
    EXPECT_EQ(lines[0], QByteArray("earlier"));
    const QRegularExpression stamp(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "));
    EXPECT_TRUE(stamp.match(QString::fromLatin1(lines[1])).hasMatch());
    EXPECT_TRUE(lines[1].endsWith("> 01 02"));
    EXPECT_TRUE(lines[2].endsWith("< 03"));
}

// A trace the disk stops taking says so once and writes nothing more.
TEST(FrameTrace, FailedWriteIsReportedOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    FrameTrace trace;
    ASSERT_TRUE(trace.open(path));
    QStringList told;
    auto hook = trace.hook([&told](const QString& message) { told << message; });
    {
        FileSizeLimit full(60); // the first line (44 bytes) fits, the second does not
        for (int i = 0; i < 5; ++i)
            hook('>', QByteArrayView("\x01\x02\x03\x04\x05\x06", 6));
    }
    hook('>', QByteArrayView("\x07", 1));
    EXPECT_EQ(told, QStringList{QStringLiteral("Nie mogę pisać do pliku zapisu ramek ") + path +
                                QStringLiteral("; zapis ramek przerwany.")});
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.readAll().contains("> 07"));
}

TEST(FrameTrace, UnwritablePathIsRefusedWithItsName)
{
    FrameTrace trace;
    QString error;
    EXPECT_FALSE(trace.open(QStringLiteral("/nonexistent-dir/trace.txt"), &error));
    EXPECT_EQ(error, QStringLiteral("Nie mogę otworzyć pliku /nonexistent-dir/trace.txt"));
    EXPECT_FALSE(trace.isOpen());
    EXPECT_FALSE(trace.hook());
}

} // namespace

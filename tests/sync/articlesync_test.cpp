#define SYNC_BENCH_EMULATOR
#include "syncbench.h"

#include "common/transferrun.h"
#include "link/frame.h"
#include "sync/articlesync.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

#include <gtest/gtest.h>

using namespace basesync;
using T = emu::RegisterModel;

namespace {

QByteArray registerArticle(int n, const char* name, const char* barcode, const QDate& lastSale)
{
    QByteArray img(82, '\0');
    put16(img, 0, quint32(n));
    putText(img, 2, name);
    img[44] = 'A';
    put32(img, 45, quint32(100 * n));
    putText(img, 57, barcode);
    img[70] = 1;
    img[73] = 1;
    put16(img, 75, quint32(lastSale.year()));
    img[77] = char(lastSale.month());
    img[78] = char(lastSale.day());
    img[79] = 10;
    img[80] = 15;
    img[81] = 1;
    return img;
}

QByteArray pcArticle(int n, const char* name, const char* barcode, char vat = 'A')
{
    QByteArray r(68, '\0');
    put16(r, 0, quint32(n));
    putText(r, 2, name);
    r[44] = vat;
    put32(r, 45, quint32(250 + n));
    putText(r, 49, barcode);
    r[62] = 1;
    r[65] = 1;
    return r;
}

quint16 sequenceOf(const QByteArray& frame)
{
    return frame::u16(frame, 4);
}

} // namespace

TEST(ArticleSyncAgainstEmulator, ReadsTheBaseIntoTheBuffer)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    const QDate day(2026, 5, 1);
    b.setImage(T::Articles, 3, registerArticle(3, "Mleko", "5900000000003", day));
    b.setImage(T::Articles, 1500, registerArticle(1500, "Ser żółty", "5900000001500", day));
    ArticleSync sync;
    // The run's progress is the one counter the form shows.
    QList<int> counts;
    ReadOutcome r;
    {
        TransferRun run(b.ui, {nullptr, nullptr, [&](int done, int) { counts.append(done); }});
        r = sync.read(b.link, run, 2);
    }
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.received, 2);
    EXPECT_EQ(counts, (QList<int>{0, 1, 2}));
    EXPECT_EQ(sync.registerNumbers(), (QList<int>{3, 1500}));
    EXPECT_EQ(sync.image(1500), b.image(T::Articles, 1500));
    EXPECT_EQ(sync.registerLines()[1], QStringLiteral("1500. Ser żółty") + QString(13, u' ') +
                                           QStringLiteral("    1500,00 A"));
    EXPECT_TRUE(b.ui.messages.isEmpty()) << b.ui.messages.join(u'\n').toStdString();
    // A read clears what was there before.
    sync.setImage(7, registerArticle(7, "Stary", "0000000000007", day));
    sync.read(b.link, b.ui, 2);
    EXPECT_EQ(sync.registerNumbers(), (QList<int>{3, 1500}));
}

TEST(ArticleSyncAgainstEmulator, EmptyBaseSaysSo)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    ArticleSync sync;
    const ReadOutcome r = sync.read(b.link, b.ui, 2);
    // An empty base is the whole base: nothing is missing.
    EXPECT_TRUE(r.complete);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.received, 0);
    EXPECT_EQ(b.ui.messages, QStringList{QStringLiteral("Pusta baza.")});
}

TEST(ArticleSyncAgainstEmulator, ProgramsCheckedArticlesWithTheirSequenceValues)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    for (int n : {10, 11, 12})
        ASSERT_TRUE(b.db().writeRecord(layout::Articles.offsetOf(n),
                                       pcArticle(n, "Chleb", "0000000000000")));
    // Different names: the register refuses a name it already has.
    b.db().writeRecord(layout::Articles.offsetOf(11), pcArticle(11, "Bułka", "0000000000011"));
    b.db().writeRecord(layout::Articles.offsetOf(12), pcArticle(12, "Rogal", "0000000000012"));
    ArticleSync sync;
    const QList<int> lines = ArticleSync::pcNumbers(b.db());
    ASSERT_EQ(lines, (QList<int>{10, 11, 12}));
    // The first frame is answered busy: the article still counts.
    emu::FaultPlan plan;
    plan.busy = {b.framesReceived() + 1};
    b.setFaults(plan);
    QList<bool> printing;
    RunPanel panel;
    panel.printing = [&](bool shown) { printing.append(shown); };
    const ArticleRunResult r = sync.program(b.link, b.ui, b.db(), lines, {10, 12}, 1, 2, panel);
    EXPECT_EQ(r.total, 2);
    EXPECT_EQ(r.done, 2);
    EXPECT_EQ(r.failed, 0);
    EXPECT_FALSE(r.broken);
    EXPECT_EQ(printing, (QList<bool>{true, false}));
    EXPECT_EQ(b.ui.messages, QStringList{QStringLiteral(" Zaprogramowano 2 towarów.")});
    // Numbered over the frames sent (the unchecked line between them sends nothing); the
    // last checked line carries the end marker and closes the register's run.
    const QList<QByteArray> frames = b.sentWith('T');
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(sequenceOf(frames[0]), 1);
    EXPECT_EQ(sequenceOf(frames[1]), 0x8002);
    EXPECT_FALSE(b.runOpen());
    EXPECT_EQ(frames[0].size(), 78);
    EXPECT_EQ(quint8(frames[0][75]), 1); // confirm byte
    // Busy on a frame with sequence value 1: 1500 ms before the second wait.
    EXPECT_TRUE(b.ui.waits.contains(1500));
    EXPECT_EQ(b.image(T::Articles, 12).mid(2, 5), QByteArray("Rogal"));
    EXPECT_EQ(b.image(T::Articles, 11)[0], 0);
    // Accepted articles are in the buffer at once.
    EXPECT_EQ(sync.registerNumbers(), (QList<int>{10, 12}));
    EXPECT_EQ(sync.image(12).mid(57, 13), QByteArray("0000000000012"));
}

TEST(ArticleSyncAgainstEmulator, RefusedArticlesAreListedAndTheRunGoesOn)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    b.db().writeRecord(layout::Articles.offsetOf(1), pcArticle(1, "Kawa", "0000000000001"));
    b.db().writeRecord(layout::Articles.offsetOf(2), pcArticle(2, "Herbata", "0000000000002", 'E'));
    b.db().writeRecord(layout::Articles.offsetOf(3), pcArticle(3, "Kakao", "0000000000003"));
    ArticleSync sync;
    int failures = 0;
    RunPanel panel;
    panel.failures = [&](int f) { failures = f; };
    const ArticleRunResult r =
        sync.program(b.link, b.ui, b.db(), {1, 2, 3}, {1, 2, 3}, 0, 2, panel);
    EXPECT_EQ(r.done, 2);
    EXPECT_EQ(r.failed, 1);
    EXPECT_EQ(failures, 1);
    ASSERT_EQ(b.ui.messages.size(), 2);
    EXPECT_EQ(b.ui.messages[0], QStringLiteral(" Zaprogramowano 2 towarów. Nie udało się "
                                               "zaprogramować 1 towarów."));
    EXPECT_EQ(b.ui.messages[1],
              QStringLiteral("Niezaprogramowane towary:\n2.Herbata - Zła wartość stawki "
                             "podatkowej PTU (więcej niż 'G' lub ptu niezaprogramowane)"));
}

TEST(ArticleSyncAgainstEmulator, SilenceEndsTheRunWithATransmissionError)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    b.db().writeRecord(layout::Articles.offsetOf(1), pcArticle(1, "Kawa", "0000000000001"));
    b.db().writeRecord(layout::Articles.offsetOf(2), pcArticle(2, "Cukier", "0000000000002"));
    emu::FaultPlan plan;
    plan.silent = {b.framesReceived() + 2};
    b.setFaults(plan);
    ArticleSync sync;
    const ArticleRunResult r = sync.program(b.link, b.ui, b.db(), {1, 2}, {1, 2}, 0, 2);
    EXPECT_TRUE(r.broken);
    EXPECT_EQ(r.done, 1);
    EXPECT_EQ(b.ui.messages,
              QStringList{QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano 1 towarów.")});
}

TEST(ArticleSyncAgainstEmulator, NothingCheckedDoesNothing)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    b.db().writeRecord(layout::Articles.offsetOf(1), pcArticle(1, "Kawa", "0000000000001"));
    ArticleSync sync;
    const int before = b.framesReceived();
    EXPECT_EQ(sync.program(b.link, b.ui, b.db(), {1}, {}, 0, 2).total, 0);
    EXPECT_EQ(sync.deleteInRegister(b.link, b.ui, {1}, {}, 0).total, 0);
    EXPECT_EQ(sync.copyToPc(b.db(), {}), 0);
    EXPECT_EQ(b.framesReceived(), before);
    EXPECT_TRUE(b.ui.messages.isEmpty());
}

TEST(ArticleSyncAgainstEmulator, CopyToPcAfterARead)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    b.setImage(T::Articles, 4, registerArticle(4, "Masło", "      1234567", QDate(2026, 1, 2)));
    ArticleSync sync;
    sync.read(b.link, b.ui, 2);
    EXPECT_EQ(sync.copyToPc(b.db(), {4}), 1);
    const ArticleRecord r =
        ArticleRecord::decode(b.db().readBytes(layout::Articles.offsetOf(4), 68));
    EXPECT_EQ(r.name, QStringLiteral("Masło"));
    EXPECT_EQ(r.barcode, QStringLiteral("0000001234567"));
    EXPECT_EQ(r.price, 400);
    EXPECT_EQ(r.unit, 1);
    EXPECT_FALSE(b.session.isModified());
}

TEST(ArticleSyncAgainstEmulator, DeletesInTheRegisterAndStopsAtARefusal)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    const QDate day(2026, 2, 2);
    b.setImage(T::Articles, 1, registerArticle(1, "Jabłka", "0000000000001", day));
    b.setImage(T::Articles, 2, registerArticle(2, "Gruszki", "0000000000002", day));
    QByteArray sold = registerArticle(3, "Śliwki", "0000000000003", day);
    put32(sold, 53, 999); // non-zero sales: the register refuses
    b.setImage(T::Articles, 3, sold);
    b.setImage(T::Articles, 4, registerArticle(4, "Wiśnie", "0000000000004", day));
    ArticleSync sync;
    sync.read(b.link, b.ui, 2);
    const ArticleRunResult first =
        sync.deleteInRegister(b.link, b.ui, sync.registerNumbers(), {1, 2}, 0);
    EXPECT_EQ(first.done, 2);
    EXPECT_FALSE(first.broken);
    EXPECT_EQ(sync.registerNumbers(), (QList<int>{3, 4}));
    EXPECT_EQ(b.image(T::Articles, 1)[0], 0);
    EXPECT_EQ(b.image(T::Articles, 2)[0], 0);
    const QList<QByteArray> frames = b.sentWith('0');
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(frames[0].size(), 54);
    EXPECT_EQ(sequenceOf(frames[0]), 1);
    EXPECT_EQ(sequenceOf(frames[1]), 0x8002);
    EXPECT_TRUE(b.ui.messages.isEmpty());

    const ArticleRunResult refused =
        sync.deleteInRegister(b.link, b.ui, sync.registerNumbers(), {3, 4}, 0);
    EXPECT_EQ(refused.done, 0);
    EXPECT_TRUE(refused.broken);
    EXPECT_EQ(b.ui.messages,
              QStringList{QStringLiteral("Błąd 91: Niezerowa wartość sprzedaży towaru")});
    EXPECT_EQ(sync.registerNumbers(), (QList<int>{3, 4}));
    EXPECT_NE(b.image(T::Articles, 4)[0], 0); // the run stopped before article 4
}

TEST(ArticleSyncAgainstEmulator, ChecksByNumbersOverTheRegisterList)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    for (int n : {1, 3, 5, 8})
        b.setImage(T::Articles, n, registerArticle(n, "T", "0000000000000", QDate(2026, 1, 1)));
    // Names must differ only for programming; reading takes them as they are.
    ArticleSync sync;
    sync.read(b.link, b.ui, 2);
    const QList<int> lines = sync.registerNumbers();
    ASSERT_EQ(lines, (QList<int>{1, 3, 5, 8}));
    auto checked = [&](const QString& from, const QString& to) {
        QList<int> on;
        const auto range = numberRange(from, to, b.ui);
        if (range)
            for (int n : lines)
                if (range->contains(n))
                    on.append(n);
        return on;
    };
    EXPECT_EQ(checked(QString(), QString()), lines);
    EXPECT_EQ(checked(QStringLiteral("3"), QStringLiteral("5")), (QList<int>{3, 5}));
    EXPECT_TRUE(b.ui.messages.isEmpty());
    EXPECT_TRUE(checked(QStringLiteral("5"), QStringLiteral("3")).isEmpty());
    EXPECT_EQ(b.ui.messages, QStringList{QStringLiteral("Błędnie wypełnione pola!")});
}

TEST(ArticleSyncAgainstEmulator, DaysWithoutSaleAroundThirty)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    const QDate today = QDate::currentDate();
    b.setImage(T::Articles, 1, registerArticle(1, "A", "0000000000000", today.addDays(-30)));
    b.setImage(T::Articles, 2, registerArticle(2, "B", "0000000000000", today.addDays(-31)));
    b.setImage(T::Articles, 3, registerArticle(3, "C", "0000000000000", today.addDays(3)));
    ArticleSync sync;
    sync.read(b.link, b.ui, 2);
    EXPECT_EQ(sync.unusedArticles(QStringLiteral("30"), today), QSet<int>{2});
    EXPECT_EQ(sync.unusedArticles(QStringLiteral("31"), today), QSet<int>{});
    EXPECT_EQ(sync.unusedArticles(QStringLiteral("29"), today), (QSet<int>{1, 2}));
}

TEST(ArticleSyncAgainstEmulator, BarcodeVerificationFindsAndMendsADifference)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    const char* names[] = {"Jogurt", "Kefir", "Maślanka"};
    for (int n = 1; n <= 3; ++n) {
        const QByteArray code = QByteArray("590000000000") + char('0' + n);
        b.db().writeRecord(layout::Articles.offsetOf(n), pcArticle(n, names[n - 1], code.data()));
        QByteArray img = registerArticle(n, names[n - 1], code.data(), QDate(2026, 1, 1));
        if (n == 2)
            putText(img, 57, "5900000000099");
        b.setImage(T::Articles, n, img);
    }
    ArticleSync sync;
    const VerifyResult first = sync.verifyBarcodes(b.link, b.ui, b.db(), 2);
    EXPECT_EQ(first.compared, 3);
    EXPECT_EQ(first.resent, 1);
    ASSERT_FALSE(b.ui.messages.isEmpty());
    EXPECT_EQ(b.ui.messages.last(),
              QStringLiteral("Wykryto nieprawidłowości, zaprogramowano błędne towary, wykonaj "
                             "weryfikację ponownie w celu potwierdzenia poprawności danych."));
    const QList<QByteArray> frames = b.sentWith('T');
    // the read request (11 bytes), the re-send (78 bytes, confirm 0), the second read request
    ASSERT_EQ(frames.size(), 3);
    EXPECT_EQ(frames[1].size(), 78);
    EXPECT_EQ(sequenceOf(frames[1]), 0x8001);
    EXPECT_EQ(quint8(frames[1][75]), 0);
    EXPECT_EQ(b.image(T::Articles, 2).mid(57, 13), QByteArray("5900000000002"));
    EXPECT_EQ(sync.image(2).mid(57, 13), QByteArray("5900000000002"));

    b.ui.messages.clear();
    const VerifyResult second = sync.verifyBarcodes(b.link, b.ui, b.db(), 2);
    EXPECT_EQ(second.resent, 0);
    EXPECT_EQ(b.ui.messages,
              QStringList{QStringLiteral("Poprawnie zweryfikowano 3 towarów. Nie stwierdzono "
                                         "błędów.")});
}

TEST(ArticleSyncAgainstEmulator, BarcodeVerificationComparesOnlyTheShorterList)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    b.db().writeRecord(layout::Articles.offsetOf(5), pcArticle(5, "Woda", "0000000000005"));
    for (int n : {5, 6, 7})
        b.setImage(T::Articles, n,
                   registerArticle(n, n == 5 ? "Woda" : "Sok", "0000000000005", QDate(2026, 1, 1)));
    ArticleSync sync;
    const VerifyResult r = sync.verifyBarcodes(b.link, b.ui, b.db(), 2);
    EXPECT_EQ(r.compared, 1);
    EXPECT_EQ(r.resent, 0);
    EXPECT_EQ(b.ui.messages.last(),
              QStringLiteral("Poprawnie zweryfikowano 1 towarów. Nie stwierdzono błędów."));
}

TEST(ArticleSyncAgainstEmulator, DunoUsesTheShorterImageAndFrame)
{
    Bench b(emu::Model::Duno);
    ASSERT_TRUE(b.opened && b.ok);
    QByteArray img = registerArticle(9, "Olej", "0000000000009", QDate(2026, 1, 1));
    b.setImage(T::Articles, 9, img.left(81));
    ArticleSync sync;
    const ReadOutcome read = sync.read(b.link, b.ui, 1);
    EXPECT_TRUE(read.complete);
    ASSERT_EQ(sync.registerNumbers(), QList<int>{9});
    EXPECT_EQ(sync.image(9).size(), 82);
    EXPECT_EQ(sync.image(9)[81], 0);
    EXPECT_EQ(sync.image(9).left(81), img.left(81));

    b.db().writeRecord(layout::Articles.offsetOf(20), pcArticle(20, "Ocet", "0000000000020"));
    const ArticleRunResult r = sync.program(b.link, b.ui, b.db(), {20}, {20}, 0, 1);
    EXPECT_EQ(r.done, 1);
    const QList<QByteArray> frames = b.sentWith('T');
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(frames[1].size(), 77);
    EXPECT_EQ(b.image(T::Articles, 20).mid(2, 4), QByteArray("Ocet"));
}

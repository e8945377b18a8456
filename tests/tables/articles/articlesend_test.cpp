#include "articletestdb.h"
#include "fakeline.h"
#include "fakeui.h"

#include "link/answers.h"
#include "tables/articleread.h"
#include "tables/articlesend.h"
#include "tables/recordsend.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

// The register's acknowledgement: 02 01 0A 00 01 00 06 code check 03, check = 0x0C ^ code.
QByteArray ack(int code)
{
    QByteArray f("\x02\x01\x0A\x00\x01\x00\x06", 7);
    f.append(char(code)).append(char(0x0C ^ code)).append('\x03');
    return f;
}

// Status frame "A" with one status byte: check = 01 ^ 0A ^ 00 ^ 01 ^ 00 ^ 41 ^ status.
QByteArray status(int s)
{
    QByteArray f("\x02\x01\x0A\x00\x01\x00\x41", 7);
    f.append(char(s)).append(char(0x4B ^ s)).append('\x03');
    return f;
}

// Error frame: 11 bytes, device error code in byte 8; read as 10 bytes and then one more.
QList<QByteArray> errorFrame(int code)
{
    QByteArray f("\x02\x01\x0B\x00\x01\x00\x41\x00", 8);
    f.append(char(code));
    f.append(char(0x01 ^ 0x0B ^ 0x01 ^ 0x41 ^ code)).append('\x03');
    return {f.left(10), f.mid(10)};
}

struct Rig {
    Rig() : link(fakeFactory(script))
    {
        link.port = 1;
        EXPECT_EQ(link.openPort(ui, true), 0);
        link.trace = [this](char dir, QByteArrayView bytes) {
            if (dir == '>' && bytes.size() > 6 && bytes[6] == 'T')
                sent.append(bytes.toByteArray());
        };
        for (int n = 1; n <= 3; ++n)
            db.put(TestDb::article(n, QStringLiteral("Towar ") + QString::number(n)));
    }
    // One drain read that finds the line silent, then the given answers.
    void answers(const QList<QByteArray>& replies)
    {
        script.reads = {QByteArray()};
        script.reads += replies;
    }
    TestDb db;
    FakeLineScript script;
    Link link;
    FakeUi ui;
    QList<QByteArray> sent;
};

quint16 sequenceOf(const QByteArray& frame)
{
    return quint16(quint8(frame[4]) | (quint8(frame[5]) << 8));
}

} // namespace

TEST(ArticleSendAll, EveryArticleConfirmedWithItsPacing)
{
    Rig r;
    r.answers({ack(0), ack(0), ack(0)});
    QList<int> counts;
    articlesend::Panel panel;
    panel.programmed = [&](int done, int listed) { counts << done * 100 + listed; };
    const auto run = articlesend::sendAll(r.link, r.ui, r.db.db(), {1, 2, 3}, 2, panel);
    EXPECT_EQ(run.end, articlesend::RunResult::End::Completed);
    EXPECT_EQ(run.programmed, 3);
    EXPECT_EQ(run.messages(), QStringList{QStringLiteral(" Zaprogramowano 3 towarów.")});
    EXPECT_EQ(counts, (QList<int>{103, 203, 303}));
    EXPECT_EQ(r.ui.waits, (QList<int>{1000, 50, 1000, 50, 1000, 50}));
    ASSERT_EQ(r.sent.size(), 3);
    // Sequence values 1, 2, 3, the end marker on the last; 78-byte frames with the record
    // bytes.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sequenceOf(r.sent[i]), (i + 1) | (i == 2 ? 0x8000 : 0));
        EXPECT_EQ(r.sent[i].size(), 78);
        EXPECT_EQ(r.sent[i].mid(7, 68), r.db.articleBytes(i + 1));
        EXPECT_EQ(r.sent[i][75], 0); // confirm byte
    }
    EXPECT_TRUE(r.ui.messages.isEmpty()); // the caller shows the summary
}

TEST(ArticleSendAll, RefusedArticleIsListedAndTheRunGoesOn)
{
    Rig r;
    QList<QByteArray> replies{ack(0)};
    replies += errorFrame(7);
    replies += ack(0);
    r.answers(replies);
    int failures = 0;
    articlesend::Panel panel;
    panel.failures = [&](int n) { failures = n; };
    const auto run = articlesend::sendAll(r.link, r.ui, r.db.db(), {1, 2, 3}, 2, panel);
    EXPECT_EQ(run.programmed, 2);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(run.messages(),
              (QStringList{QStringLiteral(" Zaprogramowano 2 towarów. Nie udało się "
                                          "zaprogramować 1 towarów."),
                           QStringLiteral("Niezaprogramowane towary:\n2.Towar 2 - Zła wartość "
                                          "stawki podatkowej PTU (więcej niż 'G' lub ptu "
                                          "niezaprogramowane)")}));
}

TEST(ArticleSendAll, BusyIsWaitedOutWithThePrintingNotice)
{
    Rig r;
    r.answers({status(0x08), ack(0), status(0x08), ack(0), ack(0)});
    QList<bool> notice;
    articlesend::Panel panel;
    panel.printingNotice = [&](bool shown) { notice << shown; };
    const auto run = articlesend::sendAll(r.link, r.ui, r.db.db(), {1, 2, 3}, 2, panel);
    EXPECT_EQ(run.programmed, 3);
    EXPECT_EQ(notice, (QList<bool>{true, false, true, false}));
    // 1500 ms after the first frame's busy answer, 450 ms after a later one.
    EXPECT_EQ(r.ui.waits, (QList<int>{1000, 1500, 50, 1000, 450, 50, 1000, 50}));
}

// The frame after "Anuluj" carries the end marker and is the run's last, whatever the
// register answers: it closed the register's run, so a frame after it would be out of
// sequence.
TEST(ArticleSendAll, CancelMarksTheNextFrameAsTheRunsLast)
{
    Rig r;
    r.answers({ack(0), ack(0), ack(0)});
    r.ui.stopAfterEvents = 2; // "Anuluj" pressed while the first article was on its way
    const auto run = articlesend::sendAll(r.link, r.ui, r.db.db(), {1, 2, 3}, 2);
    EXPECT_TRUE(run.cancelled);
    EXPECT_EQ(run.programmed, 2);
    ASSERT_EQ(r.sent.size(), 2);
    EXPECT_EQ(sequenceOf(r.sent[0]), 0x0001);
    EXPECT_EQ(sequenceOf(r.sent[1]), 0x8002);
    EXPECT_FALSE(r.link.stopRequest);
    EXPECT_EQ(run.messages(), QStringList{QStringLiteral("Przerwano. Wysłano 2 z 3.")});
}

TEST(ArticleSendAll, RegisterAcknowledgementThreeEndsTheRun)
{
    Rig r;
    r.answers({ack(0), ack(3), ack(0)});
    const auto run = articlesend::sendAll(r.link, r.ui, r.db.db(), {1, 2, 3}, 2);
    EXPECT_EQ(run.end, articlesend::RunResult::End::RegisterEnded);
    EXPECT_EQ(run.programmed, 2);
    EXPECT_EQ(r.sent.size(), 2);
    EXPECT_EQ(run.messages(), QStringList{QStringLiteral(" Zaprogramowano 2 towarów.")});
}

TEST(ArticleSendAll, AnAnswerFrameThatIsNoConfirmationAsksForTheReports)
{
    Rig r;
    r.answers({ack(0), ack(1)});
    const auto run = articlesend::sendAll(r.link, r.ui, r.db.db(), {1, 2, 3}, 2);
    EXPECT_EQ(run.end, articlesend::RunResult::End::SalesNotZero);
    EXPECT_EQ(run.programmed, 1);
    EXPECT_EQ(run.messages(),
              QStringList{QStringLiteral("Wykonaj raport sprzedaży i raport dobowy! Niezerowa "
                                         "sprzedaż towaru. Zaprogramowano 1 towarów.")});
}

// A frame the line damaged (no answer, or the register's own check-byte error) goes again as
// the first frame of a new run; five times in a row for one article, and the run gives up.
struct DamagedCase {
    const char* title;
    QList<QByteArray> answers; // after the first article's acknowledgement
    QList<int> sequences;
    articlesend::RunResult::End end;
    QString message;
};

void PrintTo(const DamagedCase& c, std::ostream* os)
{
    *os << c.title;
}

class ArticleSendAllDamaged : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(ArticleSendAllDamaged, SendsTheArticleAgainAsANewRun)
{
    // The first answer leaves 0x02 in the receive area; the silent second one must not be
    // taken for a frame of the register's.
    Rig r;
    r.answers(QList<QByteArray>{ack(0)} + GetParam().answers);
    const auto run = articlesend::sendAll(r.link, r.ui, r.db.db(), {1, 2, 3}, 2);
    EXPECT_EQ(run.end, GetParam().end);
    EXPECT_EQ(run.messages(), QStringList{GetParam().message});
    QList<int> sequences;
    for (const QByteArray& f : r.sent)
        sequences << sequenceOf(f);
    EXPECT_EQ(sequences, GetParam().sequences);
}

const QByteArray silence;

INSTANTIATE_TEST_SUITE_P(
    Cases, ArticleSendAllDamaged,
    ::testing::Values(
        // silence, the drain that follows it, then the article again as frame 1
        DamagedCase{"silence once",
                    {silence, silence, ack(0), ack(0)},
                    {0x0001, 0x0002, 0x0001, 0x8002},
                    articlesend::RunResult::End::Completed,
                    QStringLiteral(" Zaprogramowano 3 towarów. Ramki wysłane ponownie: 1.")},
        DamagedCase{"check-byte error",
                    errorFrame(1) + QList<QByteArray>{silence, ack(0), ack(0)},
                    {0x0001, 0x0002, 0x0001, 0x8002},
                    articlesend::RunResult::End::Completed,
                    QStringLiteral(" Zaprogramowano 3 towarów. Ramki wysłane ponownie: 1.")},
        DamagedCase{"silence five times",
                    {},
                    {0x0001, 0x0002, 0x0001, 0x0001, 0x0001, 0x0001},
                    articlesend::RunResult::End::TransmissionError,
                    QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano 1 towarów. Kasa nie "
                                   "odpowiedziała poprawnie na 5 kolejnych prób wysłania tego "
                                   "samego rekordu. Ramki wysłane ponownie: 4.")}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(ArticleSendAll, FreeSlotsAreNeverSentAndDunoFramesLackTheUnit)
{
    Rig r;
    r.answers({ack(0), ack(0)});
    const auto run = articlesend::sendAll(r.link, r.ui, r.db.db(), {1, 7, 3}, 1);
    EXPECT_EQ(run.listed, 2);
    ASSERT_EQ(r.sent.size(), 2);
    EXPECT_EQ(r.sent[0].size(), 77);
    EXPECT_EQ(r.sent[0].mid(7, 67), r.db.articleBytes(1).left(67));
    EXPECT_EQ(sequenceOf(r.sent[1]), 0x8002); // numbered by the frames that go out
    EXPECT_EQ(articlesend::usedArticles(r.db.db()), (QList<int>{1, 2, 3}));
}

TEST(ArticleSendOne, SelectedArticleWithBusyRetry)
{
    Rig r;
    r.answers({status(0x08), ack(0)});
    const int result = articlesend::sendArticle(r.link, r.ui, r.db.db(), 2, 2);
    EXPECT_EQ(result, answers::Accepted);
    EXPECT_EQ(articlesend::singleSendMessage(result, r.link.at(8)),
              QStringLiteral("Towar zapisano w kasie"));
    EXPECT_EQ(r.ui.waits, (QList<int>{700, 800}));
    ASSERT_EQ(r.sent.size(), 1);
    EXPECT_EQ(sequenceOf(r.sent[0]), 0x8001);
}

TEST(ArticleSendOne, AfterAdditionWaitsAtOnceAndReportsAFailure)
{
    Rig r;
    r.answers({errorFrame(5)});
    const int result =
        articlesend::sendArticle(r.link, r.ui, r.db.db(), 1, 2, articlesend::AfterAddition);
    EXPECT_EQ(result, answers::DeviceError);
    EXPECT_EQ(articlesend::singleSendMessage(result, r.link.at(8)),
              QStringLiteral("Błąd 5: Nazwa towaru już występuje w bazie"));
    EXPECT_TRUE(r.ui.waits.isEmpty());
    EXPECT_EQ(articlesend::sendArticle(r.link, r.ui, r.db.db(), 9, 2), recordsend::NotSent);
    EXPECT_EQ(articlesend::singleSendMessage(answers::AcceptedEnd, 0),
              QStringLiteral("Towar zapisano w kasie"));
}

namespace {

// A data frame of the article read: head, the image, check byte, end byte.
QByteArray dataFrame(const QByteArray& image, quint16 sequence)
{
    const int length = image.size() + 9;
    QByteArray f(length, '\0');
    f[0] = 0x02;
    f[1] = 0x01;
    f[2] = char(length);
    f[4] = char(sequence & 0xFF);
    f[5] = char(sequence >> 8);
    f[6] = 'T';
    f.replace(7, image.size(), image);
    quint8 c = 0;
    for (int i = 1; i <= length - 3; ++i)
        c ^= quint8(f[i]);
    f[length - 2] = char(c);
    f[length - 1] = 0x03;
    return f;
}

QByteArray image(int number, int size, const QByteArray& barcode, char unit)
{
    QByteArray img(size, '\0');
    img[0] = char(number & 0xFF);
    img[1] = char(number >> 8);
    img.replace(2, 4, "Sok ");
    img[44] = 'A';
    img[45] = 0x10;                                         // price 16
    img.replace(49, 8, "\x01\x02\x03\x04\x05\x06\x07\x08"); // sales, not kept
    img.replace(57, 13, barcode);
    img[70] = 2; // group
    img[74] = 1; // halo
    if (size > 81)
        img[81] = unit;
    return img;
}

} // namespace

TEST(ArticleRead, DunoBisImagesBecomeRecordsAndMissingArticlesStay)
{
    Rig r;
    r.answers({dataFrame(image(5, 82, "   1234567890", 4), 1),
               dataFrame(image(1999, 82, "5901234123457", 0), 0x8002)});
    const auto result = articleread::readArticles(r.link, r.ui, r.db.db(), 2);
    EXPECT_TRUE(result.complete());
    EXPECT_EQ(result.framesStored, 2);
    EXPECT_EQ(result.recordsWritten, 2);
    QByteArray expected(68, '\0');
    expected[0] = 5;
    expected.replace(2, 4, "Sok ");
    expected[44] = 'A';
    expected[45] = 0x10;
    expected.replace(49, 13, "0001234567890"); // spaces of the barcode become "0"
    expected[62] = 2;
    expected[66] = 1;
    expected[67] = 4;
    EXPECT_EQ(r.db.articleBytes(5), expected);
    EXPECT_EQ(r.db.articleBytes(1999).mid(49, 13), QByteArray("5901234123457"));
    // Articles 1..3 were not returned and keep their records.
    EXPECT_EQ(ArticleRecord::decode(r.db.articleBytes(2)).name, QStringLiteral("Towar 2"));
    // The request: "T", sequence 1, 11 bytes; acknowledgements 0, then 3 on the last frame.
    EXPECT_EQ(r.script.written.left(11),
              QByteArray("\x02\x01\x0B\x00\x01\x00\x54\x00\x00\x5F\x03", 11));
    EXPECT_EQ(r.script.written.mid(11), ack(0) + ack(3));
}

TEST(ArticleRead, DunoImagesHaveNoUnitAndAPauseBeforeEachFrame)
{
    Rig r;
    r.answers({dataFrame(image(8, 81, "0000000000001", 0), 0x8001)});
    const auto result = articleread::readArticles(r.link, r.ui, r.db.db(), 1);
    EXPECT_TRUE(result.complete());
    EXPECT_EQ(r.db.articleBytes(8)[67], 0);
    EXPECT_EQ(r.ui.waits, QList<int>{1});
}

TEST(ArticleRead, EmptyBaseAndNumbersOutOfRange)
{
    Rig r;
    r.answers({status(0x10)});
    const QByteArray before = r.db.db().contents();
    auto result = articleread::readArticles(r.link, r.ui, r.db.db(), 2);
    EXPECT_FALSE(result.complete());
    EXPECT_EQ(r.ui.messages, QStringList{QStringLiteral("Pusta baza.")});
    EXPECT_EQ(r.db.db().contents(), before);

    // An article number beyond 2000 is passed over, not stored out of bounds.
    r.answers({dataFrame(image(2001, 82, "0000000000000", 0), 0x8001)});
    result = articleread::readArticles(r.link, r.ui, r.db.db(), 2);
    EXPECT_EQ(result.framesStored, 0);
    EXPECT_EQ(r.db.db().contents(), before);
}

TEST(ArticleRead, StopRequestEndsWithAcknowledgementFour)
{
    Rig r;
    r.answers({dataFrame(image(5, 82, "0000000000000", 0), 1),
               dataFrame(image(6, 82, "0000000000000", 0), 2)});
    r.ui.stopAfterEvents = 1;
    const auto result = articleread::readArticles(r.link, r.ui, r.db.db(), 2);
    EXPECT_EQ(result.ended, answers::Done);
    EXPECT_EQ(result.framesStored, 1);
    EXPECT_EQ(r.script.written.mid(11), ack(4));
}

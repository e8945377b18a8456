// Fault matrix of the article runs: one article sent, the whole base sent, the base read back
// into the database.
#include "faultmatrix.h"

#include "common/cp1250.h"
#include "tables/articleread.h"
#include "tables/articlesend.h"

using namespace fm;
using emu::RegisterModel;

namespace {

constexpr qint64 kArticleBase = 5000;
constexpr int kArticleSize = 68;
const char* const kNames[] = {"Chleb", "Mleko", "Woda"};

// Article record n, written out byte by byte: number, name (0-padded to 42), VAT "A",
// price 100 * n + 99, barcode "59" + eleven digits, group 1, no tandem, not fixed, whole
// pieces, no halo, unit 1.
QByteArray articleRecord(int n)
{
    QByteArray r(kArticleSize, '\0');
    r[0] = char(n);
    r[1] = 0;
    r.replace(2, int(qstrlen(kNames[n - 1])), kNames[n - 1]);
    r[44] = 'A';
    const int price = 100 * n + 99;
    r[45] = char(price & 0xFF);
    r[46] = char(price >> 8);
    r.replace(49, 13, QByteArray("5900000000").append(QByteArray::number(100 + n)));
    r[62] = 1;
    r[65] = 1;
    r[67] = 1;
    return r;
}

// The register's image of it (82 bytes): record bytes 0..48, quantity and value sold (here
// 0), barcode and bytes 62..66, last sale "never" (year 0, month 0, day 0, hour 24), unit.
QByteArray articleImage(int n)
{
    const QByteArray r = articleRecord(n);
    QByteArray img = r.left(49) + QByteArray(8, '\0') + r.mid(49, 18);
    img += QByteArray("\x00\x00\x00\x00\x18\x00", 6);
    img += r.at(67);
    return img;
}

void putRecords(Rig& rig)
{
    for (int n = 1; n <= 3; ++n)
        rig.db().writeRecord(kArticleBase + (n - 1) * kArticleSize, articleRecord(n));
}

void putImages(Rig& rig)
{
    for (int n = 1; n <= 3; ++n)
        rig.setImage(RegisterModel::Articles, n, articleImage(n));
}

const QString kSaved = QStringLiteral("Towar zapisano w kasie");
const QString kNotConfirmed = QStringLiteral("Błąd! Kasa nie potwierdziła zapisu towaru!");

} // namespace

// "Wyślij zaznaczony": drain, the "T" frame, 700 ms, the confirmation wait (busy: 800 ms and
// once more). The register's acknowledgement 0 or 3 is accepted without its check byte.
TEST(FaultMatrixArticles, SendSelected)
{
    Case run;
    run.name = "article send selected";
    run.prepare = putRecords;
    run.faultFrame = frame(1);
    run.run = [](Rig& rig) {
        const int r = articlesend::sendArticle(rig.link, rig.ui, rig.db(), 2, 2);
        // As the form shows it: nothing more after the user stopped at the paper-out question.
        const QString text = articlesend::singleSendMessage(r, rig.link.at(8));
        return text.isEmpty() ? QStringList{} : QStringList{text};
    };
    run.expect = [](Fault f, Rig&) -> Expect {
        switch (f) {
        case Fault::Busy:
        case Fault::BadCheck:
            return {{kSaved}, {}};
        case Fault::PaperYes:
            return {{kSaved}, {kPaperQuestion}};
        case Fault::PaperNo:
            return {{kUserStopped}, {kPaperQuestion}};
        case Fault::DeviceError:
            return {{QStringLiteral("Błąd 97: Wymagany tryb serwisowy")}, {}};
        default:
            return {{kNotConfirmed}, {}};
        }
    };
    runMatrix(run);
}

// "Wyślij wszystkie": three articles; the fault hits the second frame. A refused article is
// listed and the run goes on; an answer the line lost sends the article again; any other
// failure ends it with the count so far.
TEST(FaultMatrixArticles, SendAll)
{
    Case run;
    run.name = "article send all";
    run.prepare = putRecords;
    run.faultFrame = frame(2);
    run.run = [](Rig& rig) {
        return articlesend::sendAll(rig.link, rig.ui, rig.db(), {1, 2, 3}, 2).messages();
    };
    run.expect = [](Fault f, Rig& rig) -> Expect {
        const QString all = QStringLiteral(" Zaprogramowano 3 towarów.");
        const QString broken =
            QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano 1 towarów.");
        const QString resent = QStringLiteral(" Ramki wysłane ponownie: 1.");
        switch (f) {
        case Fault::Busy:
        case Fault::BadCheck:
            return {{all}, {}};
        case Fault::PaperYes:
            return {{all}, {kPaperQuestion}};
        case Fault::PaperNo:
            // The user stopped: no refusal of the register's, although its last frame (the
            // paper-out status) was a whole frame of its own.
            return {{kUserStopped, broken}, {kPaperQuestion}};
        case Fault::DeviceError:
            return {
                {QStringLiteral(" Zaprogramowano 2 towarów. Nie udało się zaprogramować 1 "
                                "towarów."),
                 QStringLiteral("Niezaprogramowane towary:\n2.Mleko - Wymagany tryb serwisowy")},
                {}};
        case Fault::Vanish: // the article cannot go again: the device is gone
            return {{rig.cannotOpen(), broken + resent}, {}};
        default: // silence, half an answer, noise: the line lost the answer, the article goes
                 // again as a new run
            return {{all + resent}, {}};
        }
    };
    runMatrix(run);
}

// "Odczytaj z kasy": the read request, one acknowledged data frame per article. One fault on
// the line no longer ends the read: a status before the first frame is waited out, a frame
// that fails its check or does not come is read again in a second pass, the register's error
// answer to an acknowledgement is answered by the acknowledgement once more. Only a device
// that is gone ends it, and then nothing is written.
namespace {

Expect readBackExpect(Fault f, Rig& rig)
{
    if (f == Fault::Vanish)
        return {{rig.cannotOpen(), QStringLiteral("Nie odczytano rekordów: po rekordzie 1.")}, {}};
    return {};
}

// Frames read again: the second article, where the line lost or damaged its frame.
int readBackRereads(Fault f)
{
    switch (f) {
    case Fault::BadCheck:
    case Fault::Silent:
    case Fault::Truncate:
    case Fault::Noise:
        return 1;
    default:
        return 0;
    }
}

void checkReadBack(Fault f, Rig& rig, const QByteArray& before, const articleread::Result& r,
                   const QByteArray& unitless)
{
    const QByteArray after = rig.dbBytes();
    expectSameOutside(before, after, kArticleBase, 2000 * kArticleSize);
    const bool whole = f != Fault::Vanish;
    EXPECT_EQ(r.complete(), whole);
    EXPECT_EQ(r.reread, whole ? readBackRereads(f) : 0);
    for (int n = 1; n <= 3; ++n) {
        QByteArray want = whole ? articleRecord(n) : QByteArray(kArticleSize, '\0');
        if (whole && !unitless.isEmpty())
            want[67] = unitless[0];
        EXPECT_EQ(after.mid(kArticleBase + (n - 1) * kArticleSize, kArticleSize), want) << n;
    }
    EXPECT_EQ(after.mid(kArticleBase + 3 * kArticleSize, 1997 * kArticleSize),
              before.mid(kArticleBase + 3 * kArticleSize, 1997 * kArticleSize));
}

} // namespace

TEST(FaultMatrixArticles, ReadBack)
{
    auto result = std::make_shared<articleread::Result>();
    Case run;
    run.name = "article read";
    run.prepare = putImages;
    run.faultFrame = commandThen(2);
    run.run = [result](Rig& rig) {
        *result = articleread::readArticles(rig.link, rig.ui, rig.db(), 2);
        return QStringList{};
    };
    run.expect = readBackExpect;
    run.check = [result](Fault f, Rig& rig, const QByteArray& before) {
        checkReadBack(f, rig, before, *result, {});
    };
    runMatrix(run);
}

// The register's own whole answer that is no acceptance (here its acknowledgement 1 to the
// second article) ends the run with the message about the sales that are not zero.
TEST(FaultMatrixArticles, SendAllRefusedByTheRegister)
{
    Rig rig;
    ASSERT_TRUE(rig.ok());
    putRecords(rig);
    emu::FaultPlan plan;
    plan.ackInstead = {{2, 1}};
    {
        auto hold = rig.host.lock();
        rig.reg.setFaults(plan);
    }
    const QByteArray before = rig.dbBytes();
    const articlesend::RunResult run =
        articlesend::sendAll(rig.link, rig.ui, rig.db(), {1, 2, 3}, 2);
    EXPECT_EQ(run.messages(),
              QStringList{QStringLiteral("Wykonaj raport sprzedaży i raport dobowy! Niezerowa "
                                         "sprzedaż towaru. Zaprogramowano 1 towarów.")});
    EXPECT_TRUE(rig.ui.messages.isEmpty());
    EXPECT_EQ(rig.sent.size(), 2);
    EXPECT_TRUE(rig.dbBytes() == before);
}

// The same read from a DUNO: 90-byte frames with the 81-byte image; the unit byte is neither
// received nor stored (0).
TEST(FaultMatrixArticles, ReadBackFromDuno)
{
    auto result = std::make_shared<articleread::Result>();
    Case run;
    run.name = "article read (DUNO)";
    run.prepare = [](Rig& rig) {
        for (int n = 1; n <= 3; ++n)
            rig.setImage(RegisterModel::Articles, n, articleImage(n).left(81));
    };
    run.faultFrame = commandThen(2);
    run.run = [result](Rig& rig) {
        *result = articleread::readArticles(rig.link, rig.ui, rig.db(), 1);
        return QStringList{};
    };
    run.expect = readBackExpect;
    run.check = [result](Fault f, Rig& rig, const QByteArray& before) {
        checkReadBack(f, rig, before, *result, QByteArray(1, '\0'));
    };
    runMatrix(run, emu::Model::Duno);
}

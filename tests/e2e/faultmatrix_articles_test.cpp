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
// listed and the run goes on; any other failure ends it with the count so far.
TEST(FaultMatrixArticles, SendAll)
{
    Case run;
    run.name = "article send all";
    run.prepare = putRecords;
    run.faultFrame = frame(2);
    run.run = [](Rig& rig) {
        return articlesend::sendAll(rig.link, rig.ui, rig.db(), {1, 2, 3}, 2).messages();
    };
    run.expect = [](Fault f, Rig&) -> Expect {
        const QString all = QStringLiteral(" Zaprogramowano 3 towarów.");
        const QString broken =
            QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano 1 towarów.");
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
        default: // silence, half an answer, noise, vanished device: no answer of the register's
            return {{broken}, {}};
        }
    };
    runMatrix(run);
}

// "Odczytaj z kasy": the read request, one acknowledged data frame per article. Only the
// frames that arrived whole with a good check byte are written into the database.
TEST(FaultMatrixArticles, ReadBack)
{
    Case run;
    run.name = "article read";
    run.prepare = putImages;
    run.faultFrame = commandThen(2);
    run.run = [](Rig& rig) {
        articleread::readArticles(rig.link, rig.ui, rig.db(), 2);
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) -> Expect {
        switch (f) {
        case Fault::Busy:
        case Fault::PaperYes:
        case Fault::PaperNo:
            // A status frame instead of the first data frame: nothing usable came.
            return {{kNoCommunication}, {}};
        case Fault::BadCheck:
            return {crcMessages(handCheck(1, 2, 'T', articleImage(2))), {}};
        case Fault::Noise: {
            // Four stray bytes, then the first 87 bytes of the frame: the "frame" read ends
            // 4 bytes early and its check byte is a byte of the image.
            QByteArray stream = QByteArray("\x55\xAA\x13\x7F", 4);
            QByteArray f = QByteArray("\x02\x01\x5B\x00\x02\x00\x54", 7) + articleImage(2);
            stream += f;
            quint8 x = 0;
            for (int i = 1; i <= 88; ++i)
                x ^= quint8(stream[i]);
            return {{QStringLiteral("CRC kasy: %1 CRC PC: %2").arg(quint8(stream[89])).arg(x),
                     kCrcError},
                    {}};
        }
        case Fault::DeviceError:
            return {{deviceErrorMessage97()}, {}};
        default:
            return {{kNoCommunication}, {}};
        }
    };
    run.check = [](Fault f, Rig& rig, const QByteArray& before) {
        const QByteArray after = rig.dbBytes();
        expectSameOutside(before, after, kArticleBase, 2000 * kArticleSize);
        // The first frame came whole unless the command itself met the fault.
        const bool first = f != Fault::Busy && f != Fault::PaperYes && f != Fault::PaperNo;
        EXPECT_EQ(after.mid(kArticleBase, kArticleSize),
                  first ? articleRecord(1) : QByteArray(kArticleSize, '\0'));
        EXPECT_EQ(after.mid(kArticleBase + kArticleSize, 1999 * kArticleSize),
                  before.mid(kArticleBase + kArticleSize, 1999 * kArticleSize));
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
    Case run;
    run.name = "article read (DUNO)";
    run.prepare = [](Rig& rig) {
        for (int n = 1; n <= 3; ++n)
            rig.setImage(RegisterModel::Articles, n, articleImage(n).left(81));
    };
    run.faultFrame = commandThen(2);
    run.run = [](Rig& rig) {
        articleread::readArticles(rig.link, rig.ui, rig.db(), 1);
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) -> Expect {
        const QByteArray second = handFrame(1, 2, 'T', articleImage(2).left(81));
        switch (f) {
        case Fault::BadCheck:
            return {crcMessages(quint8(second[second.size() - 2])), {}};
        case Fault::Noise:
            return {noisyCrcMessages(second), {}};
        case Fault::DeviceError:
            return {{deviceErrorMessage97()}, {}};
        default:
            return {{kNoCommunication}, {}};
        }
    };
    run.check = [](Fault f, Rig& rig, const QByteArray& before) {
        const QByteArray after = rig.dbBytes();
        expectSameOutside(before, after, kArticleBase, 2000 * kArticleSize);
        const bool first = f != Fault::Busy && f != Fault::PaperYes && f != Fault::PaperNo;
        QByteArray one = articleRecord(1);
        one[67] = 0;
        EXPECT_EQ(after.mid(kArticleBase, kArticleSize),
                  first ? one : QByteArray(kArticleSize, '\0'));
        EXPECT_EQ(after.mid(kArticleBase + kArticleSize, 1999 * kArticleSize),
                  before.mid(kArticleBase + kArticleSize, 1999 * kArticleSize));
    };
    runMatrix(run, emu::Model::Duno);
}

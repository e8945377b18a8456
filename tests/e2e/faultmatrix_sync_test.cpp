// Fault matrix of the synchronisation runs: the register's article base read into the buffer,
// checked PC articles programmed, checked articles deleted in the register; the same for the
// smaller bases (discounts, and packaging, whose deletion is awaited with the report
// confirmation wait). The synchronisation never writes the database during a transfer.
#include "faultmatrix.h"

#include "sync/articlesync.h"
#include "sync/tablemembers.h"
#include "sync/tablesync.h"
#include "tables/recordsend.h"

#include <algorithm>
#include <memory>

using namespace fm;
using emu::RegisterModel;

namespace {

constexpr qint64 kArticleBase = 5000;
constexpr int kArticleSize = 68;
const char* const kNames[] = {"Chleb", "Mleko", "Woda"};

QByteArray padded(const char* text, int width)
{
    QByteArray b(text);
    b.append(QByteArray(width - b.size(), '\0'));
    return b;
}

// Article n: number, name, VAT "A", price 100 n + 99, barcode, group 1, whole pieces, unit 1.
QByteArray articleRecord(int n)
{
    QByteArray r(1, char(n));
    r += QByteArray(1, '\0') + padded(kNames[n - 1], 42) + 'A';
    const int price = 100 * n + 99;
    r += QByteArray(1, char(price & 0xFF)) + char(price >> 8) + QByteArray(2, '\0');
    r += QByteArray("5900000000").append(QByteArray::number(100 + n));
    r += QByteArray("\x01\x00\x00\x01\x00\x01", 6);
    return r;
}
// Its register image: bytes 0..48, nothing sold, barcode and 62..66, never sold, unit.
QByteArray articleImage(int n)
{
    const QByteArray r = articleRecord(n);
    return r.left(49) + QByteArray(8, '\0') + r.mid(49, 18) +
           QByteArray("\x00\x00\x00\x00\x18\x00", 6) + r.at(67);
}

// Discount n: "Rabat n", a discount, percentage, n %; the register's image adds turnover
// and use count (here 0).
QByteArray discountRecord(int n)
{
    const QByteArray name = QByteArray("Rabat ") + char('0' + n);
    const int value = 100 * n;
    return QByteArray(1, char(n)) + padded(name.constData(), 21) + QByteArray(2, '\0') +
           char(value & 0xFF) + char(value >> 8) + QByteArray(2, '\0');
}
QByteArray discountImage(int n)
{
    return discountRecord(n) + QByteArray(8, '\0');
}
// Packaging n: "Butelka n", price 50 n; the image adds the register's statistics (none yet,
// last sale never: hour 24 at byte 59).
QByteArray packagingImage(int n)
{
    const QByteArray name = QByteArray("Butelka ") + char('0' + n);
    QByteArray img = QByteArray(1, char(n)) + padded(name.constData(), 42);
    img += QByteArray(1, char(50 * n)) + QByteArray(3, '\0');
    img = img.leftJustified(66, '\0');
    img[59] = 24;
    return img;
}

// What a read of three records tells the user when the fault hits the second data frame or,
// for busy and paper out, the request. One fault no longer ends the read (the frame is read
// again, the status waited out, the acknowledgement sent once more); a device that is gone
// does, with the first record received and the rest named missing.
Expect readExpect(Fault f, Rig& rig)
{
    if (f == Fault::Vanish)
        return {{rig.cannotOpen(), QStringLiteral("Nie odczytano rekordów: po rekordzie 1.")}, {}};
    return {};
}

// The records a read of three brings into the buffer.
QList<int> readNumbers(Fault f)
{
    return f == Fault::Vanish ? QList<int>{1} : QList<int>{1, 2, 3};
}

} // namespace

// "&Odśwież" of the article base: only whole frames with a good check byte reach the buffer,
// and with the frames read again the whole base does.
TEST(FaultMatrixSync, ArticleRead)
{
    auto sync = std::make_shared<basesync::ArticleSync>();
    Case run;
    run.name = "article sync read";
    run.prepare = [sync](Rig& rig) {
        sync->clear();
        for (int n = 1; n <= 3; ++n)
            rig.setImage(RegisterModel::Articles, n, articleImage(n));
    };
    run.faultFrame = commandThen(2);
    run.run = [sync](Rig& rig) {
        sync->read(rig.link, rig.ui, 2);
        return QStringList{};
    };
    run.expect = readExpect;
    run.check = [sync](Fault f, Rig& rig, const QByteArray& before) {
        EXPECT_TRUE(rig.dbBytes() == before);
        const QList<int> numbers = readNumbers(f);
        EXPECT_EQ(sync->registerNumbers(), numbers);
        for (int n : numbers)
            EXPECT_EQ(sync->image(n), articleImage(n));
        // Copying every line to the PC then writes exactly the articles that arrived whole.
        EXPECT_EQ(sync->copyToPc(rig.db(), {1, 2, 3}), numbers.size());
        const QByteArray after = rig.dbBytes();
        expectSameOutside(before, after, kArticleBase, 3 * kArticleSize);
        for (int n = 1; n <= 3; ++n)
            EXPECT_EQ(after.mid(kArticleBase + (n - 1) * kArticleSize, kArticleSize),
                      numbers.contains(n)
                          ? articleRecord(n)
                          : before.mid(kArticleBase + (n - 1) * kArticleSize, kArticleSize));
    };
    runMatrix(run);
}

// "Skopiuj zaznaczone rekordy do kasy" of three articles; the fault hits the second frame.
TEST(FaultMatrixSync, ArticleProgram)
{
    auto sync = std::make_shared<basesync::ArticleSync>();
    Case run;
    run.name = "article sync program";
    run.prepare = [sync](Rig& rig) {
        sync->clear();
        for (int n = 1; n <= 3; ++n)
            rig.db().writeRecord(kArticleBase + (n - 1) * kArticleSize, articleRecord(n));
    };
    run.faultFrame = frame(2);
    run.run = [sync](Rig& rig) {
        sync->program(rig.link, rig.ui, rig.db(), {1, 2, 3}, {1, 2, 3}, 0, 2);
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) -> Expect {
        const QString all = QStringLiteral(" Zaprogramowano 3 towarów.");
        const QString broken =
            QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano 1 towarów.");
        switch (f) {
        case Fault::Busy:
        case Fault::BadCheck:
        case Fault::PaperYes:
            return withPaper(f, {all});
        case Fault::PaperNo:
            return withPaper(f, {broken});
        case Fault::DeviceError:
            return {
                {QStringLiteral(" Zaprogramowano 2 towarów. Nie udało się zaprogramować 1 "
                                "towarów."),
                 QStringLiteral("Niezaprogramowane towary:\n2.Mleko - Wymagany tryb serwisowy")},
                {}};
        default:
            return {{broken}, {}};
        }
    };
    run.check = [sync](Fault f, Rig& rig, const QByteArray& before) {
        EXPECT_TRUE(rig.dbBytes() == before);
        // Accepted articles are copied into the buffer, the others are not.
        const bool on = f == Fault::Busy || f == Fault::BadCheck || f == Fault::PaperYes;
        QList<int> want{1};
        if (on)
            want = {1, 2, 3};
        else if (f == Fault::DeviceError)
            want = {1, 3};
        EXPECT_EQ(sync->registerNumbers(), want);
    };
    runMatrix(run);
}

// "Usuń zaznaczone rekordy z kasy" of three articles; the fault hits the second deletion.
TEST(FaultMatrixSync, ArticleDeleteInRegister)
{
    auto sync = std::make_shared<basesync::ArticleSync>();
    Case run;
    run.name = "article sync delete in register";
    run.prepare = [sync](Rig& rig) {
        sync->clear();
        for (int n = 1; n <= 3; ++n) {
            rig.setImage(RegisterModel::Articles, n, articleImage(n));
            sync->setImage(n, articleImage(n));
        }
    };
    run.faultFrame = frame(2);
    run.run = [sync](Rig& rig) {
        sync->deleteInRegister(rig.link, rig.ui, {1, 2, 3}, {1, 2, 3}, 0);
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) {
        return withPaper(f, f == Fault::DeviceError ? QStringList{deviceErrorMessage97()}
                                                    : QStringList{});
    };
    run.check = [sync](Fault f, Rig& rig, const QByteArray& before) {
        EXPECT_TRUE(rig.dbBytes() == before);
        const bool on = f == Fault::Busy || f == Fault::BadCheck || f == Fault::PaperYes;
        EXPECT_EQ(sync->registerNumbers(), on ? QList<int>() : QList<int>({2, 3}));
        // The register carried out the second deletion unless it refused it; only its answer
        // was lost, so the buffer keeps the image it can no longer vouch for.
        auto hold = rig.host.lock();
        EXPECT_EQ(rig.reg.usedRecords(RegisterModel::Articles),
                  on ? 0 : (f == Fault::DeviceError ? 2 : 1));
    };
    runMatrix(run);
}

// "&Odśwież" of the discounts: 45-byte frames.
TEST(FaultMatrixSync, DiscountRead)
{
    auto sync = std::make_shared<basesync::TableSync>(basesync::discountsMember());
    Case run;
    run.name = "discount sync read";
    run.prepare = [sync](Rig& rig) {
        sync->clear();
        for (int n = 1; n <= 3; ++n)
            rig.setImage(RegisterModel::Discounts, n, discountImage(n));
    };
    run.faultFrame = commandThen(2);
    run.run = [sync](Rig& rig) {
        sync->read(rig.link, rig.ui);
        return QStringList{};
    };
    run.expect = readExpect;
    run.check = [sync](Fault f, Rig& rig, const QByteArray& before) {
        EXPECT_TRUE(rig.dbBytes() == before);
        const QList<int> numbers = readNumbers(f);
        EXPECT_EQ(sync->registerNumbers(), numbers);
        for (int n : numbers)
            EXPECT_EQ(sync->image(n), discountImage(n));
        // Copying every line to the PC then writes exactly the discounts that arrived whole.
        EXPECT_EQ(sync->copyToPc(rig.db(), {1, 2, 3}), numbers.size());
        const QByteArray after = rig.dbBytes();
        expectSameOutside(before, after, 141000, 3 * 28);
        for (int n = 1; n <= 3; ++n)
            EXPECT_EQ(after.mid(141000 + (n - 1) * 28, 28),
                      numbers.contains(n) ? discountRecord(n)
                                          : before.mid(141000 + (n - 1) * 28, 28));
    };
    runMatrix(run);
}

TEST(FaultMatrixSync, DiscountProgram)
{
    auto sync = std::make_shared<basesync::TableSync>(basesync::discountsMember());
    Case run;
    run.name = "discount sync program";
    run.prepare = [sync](Rig& rig) {
        sync->clear();
        for (int n = 1; n <= 3; ++n)
            rig.db().writeRecord(141000 + (n - 1) * 28, discountRecord(n));
    };
    run.faultFrame = frame(2);
    run.run = [sync](Rig& rig) {
        sync->program(rig.link, rig.ui, rig.db(), {1, 2, 3}, {1, 2, 3}, 0);
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) {
        switch (f) {
        case Fault::Busy:
        case Fault::BadCheck:
        case Fault::PaperYes:
            return withPaper(f, {QStringLiteral(" Zaprogramowano 3 rabatów.")});
        case Fault::DeviceError:
            return withPaper(f, {QStringLiteral(" Zaprogramowano 2 rabatów.")});
        default:
            return withPaper(f, {QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano 1 "
                                                "rabatów.")});
        }
    };
    run.check = [sync](Fault f, Rig& rig, const QByteArray& before) {
        EXPECT_TRUE(rig.dbBytes() == before);
        const bool on = f == Fault::Busy || f == Fault::BadCheck || f == Fault::PaperYes;
        // A complete run reads the table again; a broken one leaves the buffer as it was.
        QList<int> want;
        if (on)
            want = {1, 2, 3};
        else if (f == Fault::DeviceError)
            want = {1, 3};
        EXPECT_EQ(sync->registerNumbers(), want);
    };
    runMatrix(run);
}

// "Usuń" of three discounts (the confirmation wait) and of three packaging records (the report
// confirmation wait, after which a paper-out answered Yes is no acceptance).
TEST(FaultMatrixSync, DeleteInRegister)
{
    const struct {
        const char* name;
        const basesync::TableMember& member;
        RegisterModel::Table table;
        QByteArray (*image)(int);
    } members[] = {
        {"discount sync delete", basesync::discountsMember(), RegisterModel::Discounts,
         discountImage},
        {"packaging sync delete", basesync::packagingMember(), RegisterModel::Packaging,
         packagingImage},
    };
    for (const auto& m : members) {
        auto sync = std::make_shared<basesync::TableSync>(m.member);
        const bool report = m.member.reportWaitOnDelete;
        Case run;
        run.name = m.name;
        run.prepare = [sync, &m](Rig& rig) {
            sync->clear();
            for (int n = 1; n <= 3; ++n) {
                rig.setImage(m.table, n, m.image(n));
                sync->setImage(n, m.image(n));
            }
        };
        run.faultFrame = frame(2);
        run.run = [sync](Rig& rig) {
            sync->deleteInRegister(rig.link, rig.ui, {1, 2, 3}, {1, 2, 3}, 0);
            return QStringList{};
        };
        run.expect = [report](Fault f, Rig&) {
            // The report confirmation wait shows the device error itself; the discount
            // deletion passes it over in silence.
            return withPaper(f, f == Fault::DeviceError && report
                                    ? QStringList{deviceErrorMessage97()}
                                    : QStringList{});
        };
        run.check = [sync, &m, report](Fault f, Rig& rig, const QByteArray& before) {
            EXPECT_TRUE(rig.dbBytes() == before);
            const bool on =
                f == Fault::Busy || f == Fault::BadCheck || (f == Fault::PaperYes && !report);
            QList<int> want{2, 3};
            if (on)
                want = {};
            else if (f == Fault::DeviceError && !report)
                want = {2};
            EXPECT_EQ(sync->registerNumbers(), want);
            auto hold = rig.host.lock();
            // The register carried out every deletion it did not refuse, heard or not.
            int inRegister = on ? 0 : 1;
            if (f == Fault::DeviceError)
                inRegister = report ? 2 : 1;
            EXPECT_EQ(rig.reg.usedRecords(m.table), inRegister);
        };
        runMatrix(run);
    }
}

// The register's own acknowledgement 1 to the second article: the sales of it are not zero.
TEST(FaultMatrixSync, ArticleProgramRefusedByTheRegister)
{
    Rig rig;
    ASSERT_TRUE(rig.ok());
    for (int n = 1; n <= 3; ++n)
        rig.db().writeRecord(kArticleBase + (n - 1) * kArticleSize, articleRecord(n));
    emu::FaultPlan plan;
    plan.ackInstead = {{2, 1}};
    {
        auto hold = rig.host.lock();
        rig.reg.setFaults(plan);
    }
    const QByteArray before = rig.dbBytes();
    basesync::ArticleSync sync;
    sync.program(rig.link, rig.ui, rig.db(), {1, 2, 3}, {1, 2, 3}, 0, 2);
    EXPECT_EQ(rig.ui.messages,
              QStringList{QStringLiteral("Wykonaj raport sprzedaży i raport dobowy! Niezerowa "
                                         "sprzedaż towaru. Zaprogramowano 1 towarów.")});
    EXPECT_EQ(sync.registerNumbers(), QList<int>{1});
    EXPECT_TRUE(rig.dbBytes() == before);
}

namespace {

// Article 2 as the register holds it with another barcode than the PC's.
QByteArray articleImageOtherBarcode(int n)
{
    QByteArray img = articleImage(n);
    if (n == 2)
        img.replace(57, 13, QByteArray("5900000000999"));
    return img;
}

void verifyBench(Rig& rig)
{
    for (int n = 1; n <= 3; ++n) {
        rig.db().writeRecord(kArticleBase + (n - 1) * kArticleSize, articleRecord(n));
        rig.setImage(RegisterModel::Articles, n, articleImageOtherBarcode(n));
    }
}

const QString kDetected = QStringLiteral(
    "Wykryto nieprawidłowości, zaprogramowano błędne towary, wykonaj weryfikację ponownie w "
    "celu potwierdzenia poprawności danych.");

} // namespace

// "Weryfikuj kody kreskowe" whose reading of the base meets the fault. The read gets over one
// fault, so the verification goes on: article 2 differs and is sent again. A base that did
// not arrive whole (the device is gone) gives no verdict and nothing is sent again.
TEST(FaultMatrixSync, VerifyBarcodesRead)
{
    auto sync = std::make_shared<basesync::ArticleSync>();
    Case run;
    run.name = "barcode verification, read";
    run.prepare = [sync](Rig& rig) {
        sync->clear();
        verifyBench(rig);
    };
    run.faultFrame = commandThen(2);
    run.run = [sync](Rig& rig) {
        rig.result = sync->verifyBarcodes(rig.link, rig.ui, rig.db(), 2).resent;
        return QStringList{};
    };
    run.expect = [](Fault f, Rig& rig) {
        return f == Fault::Vanish ? readExpect(f, rig) : Expect{{kDetected}, {}};
    };
    run.check = [](Fault f, Rig& rig, const QByteArray& before) {
        const int articleFrames = int(std::count_if(
            rig.sent.begin(), rig.sent.end(), [](const QByteArray& f) { return f.size() == 78; }));
        EXPECT_EQ(rig.result, f == Fault::Vanish ? 0 : 1);
        EXPECT_EQ(articleFrames, f == Fault::Vanish ? 0 : 1);
        EXPECT_TRUE(rig.dbBytes() == before);
    };
    runMatrix(run);
}

// The same verification whose re-send of article 2 (frame 5, after the request and the three
// acknowledgements of the read) meets the fault: its answer is not reported; the notice is
// shown and the base read again.
TEST(FaultMatrixSync, VerifyBarcodesResend)
{
    auto sync = std::make_shared<basesync::ArticleSync>();
    Case run;
    run.name = "barcode verification, re-send";
    run.prepare = [sync](Rig& rig) {
        sync->clear();
        verifyBench(rig);
    };
    run.faultFrame = frame(5);
    run.run = [sync](Rig& rig) {
        rig.result = sync->verifyBarcodes(rig.link, rig.ui, rig.db(), 2).resent;
        return QStringList{};
    };
    run.expect = [](Fault f, Rig& rig) {
        // A vanished device cannot be opened again for the second read.
        if (f == Fault::Vanish)
            return withPaper(f, {kDetected, rig.cannotOpen()});
        return withPaper(f, {kDetected});
    };
    run.check = [sync](Fault f, Rig& rig, const QByteArray& before) {
        EXPECT_EQ(rig.result, 1);
        EXPECT_TRUE(rig.dbBytes() == before);
        if (f == Fault::Vanish) {
            EXPECT_TRUE(sync->registerNumbers().isEmpty());
            return;
        }
        // The base read again holds the PC's barcode once the register took the article.
        const bool took = f != Fault::DeviceError;
        EXPECT_EQ(sync->image(2).mid(57, 13),
                  took ? articleRecord(2).mid(49, 13) : QByteArray("5900000000999"));
    };
    runMatrix(run);
}

// "Skopiuj zaznaczone rekordy do kasy" of packaging: the run ends with the settling wait, the
// read and then the summary.
TEST(FaultMatrixSync, PackagingProgram)
{
    auto sync = std::make_shared<basesync::TableSync>(basesync::packagingMember());
    Case run;
    run.name = "packaging sync program";
    run.prepare = [sync](Rig& rig) {
        sync->clear();
        for (int n = 1; n <= 3; ++n)
            rig.db().writeRecord(143311 + (n - 1) * 48, packagingImage(n).left(48));
    };
    run.faultFrame = frame(2);
    run.run = [sync](Rig& rig) {
        sync->program(rig.link, rig.ui, rig.db(), {1, 2, 3}, {1, 2, 3}, 0);
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) {
        switch (f) {
        case Fault::Busy:
        case Fault::BadCheck:
        case Fault::PaperYes:
            return withPaper(f, {QStringLiteral(" Zaprogramowano 3 opakowań.")});
        case Fault::DeviceError:
            return withPaper(f, {QStringLiteral(" Zaprogramowano 2 opakowań.")});
        default:
            return withPaper(f, {QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano 1 "
                                                "opakowań.")});
        }
    };
    run.check = [sync](Fault f, Rig& rig, const QByteArray& before) {
        EXPECT_TRUE(rig.dbBytes() == before);
        const bool on = f == Fault::Busy || f == Fault::BadCheck || f == Fault::PaperYes;
        QList<int> want;
        if (on)
            want = {1, 2, 3};
        else if (f == Fault::DeviceError)
            want = {1, 3};
        EXPECT_EQ(sync->registerNumbers(), want);
    };
    runMatrix(run);
}

// "Usuń" of cashiers 2 and 3: a refused deletion shows its device error; the register keeps
// the cashier, the run goes on.
TEST(FaultMatrixSync, CashierDeleteInRegister)
{
    auto sync = std::make_shared<basesync::TableSync>(basesync::cashiersMember());
    Case run;
    run.name = "cashier sync delete";
    run.prepare = [sync](Rig& rig) {
        sync->clear();
        for (int n = 2; n <= 4; ++n) {
            QByteArray img(324, '\0');
            img[0] = char(n);
            img.replace(1, 7, QByteArray("Kasjer").append(char('0' + n)));
            img[235] = 24; // never logged in
            img[241] = 24;
            rig.setImage(RegisterModel::Cashiers, n, img);
            sync->setImage(n, img);
        }
    };
    run.faultFrame = frame(2);
    run.run = [sync](Rig& rig) {
        sync->deleteInRegister(rig.link, rig.ui, {1, 2, 3, 4}, {2, 3, 4}, 0);
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) {
        return withPaper(f, f == Fault::DeviceError ? QStringList{deviceErrorMessage97()}
                                                    : QStringList{});
    };
    run.check = [sync](Fault f, Rig& rig, const QByteArray& before) {
        EXPECT_TRUE(rig.dbBytes() == before);
        const bool on = f == Fault::Busy || f == Fault::BadCheck || f == Fault::PaperYes;
        QList<int> want{3, 4};
        if (on)
            want = {};
        else if (f == Fault::DeviceError)
            want = {3};
        // The manager (cashier 1) is no line of this run; the buffer holds 2..4.
        EXPECT_EQ(sync->registerNumbers(), want);
    };
    runMatrix(run);
}

// "vduno send FILE cashiers": the record run over the used cashiers (1 and two more), the
// fault on the second frame; a refusal is noted and the run goes on.
TEST(FaultMatrixSync, CashierRecordRun)
{
    Case run;
    run.name = "cashier record run";
    run.prepare = [](Rig& rig) {
        for (int n = 2; n <= 3; ++n) {
            QByteArray rec(33, '\0');
            rec[0] = char(n);
            rec.replace(1, 7, QByteArray("Kasjer").append(char('0' + n)));
            rig.db().writeRecord(141560 + (n - 1) * 33, rec);
        }
    };
    run.faultFrame = frame(2);
    run.run = [](Rig& rig) {
        const recordsend::RunResult r =
            recordsend::sendAll(rig.link, rig.ui, rig.db(), recordsend::cashiers(), {}, 0);
        rig.result = r.programmed;
        return QStringList{recordsend::summary(r, QStringLiteral(" kasjerów."))};
    };
    run.expect = [](Fault f, Rig& rig) {
        switch (f) {
        case Fault::Busy:
        case Fault::BadCheck:
        case Fault::PaperYes:
            return withPaper(f, {QStringLiteral(" Zaprogramowano 3 kasjerów.")});
        case Fault::DeviceError:
            return withPaper(f, {QStringLiteral(" Zaprogramowano 2 kasjerów.")});
        case Fault::Silent:
        case Fault::Truncate:
        case Fault::Noise:
            // The line lost the answer: the cashier goes again as a new run.
            return withPaper(f, {QStringLiteral(" Zaprogramowano 3 kasjerów. Ramki wysłane "
                                                "ponownie: 1.")});
        case Fault::Vanish:
            return withPaper(
                f, {rig.cannotOpen(), QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano 1 "
                                                     "kasjerów. Ramki wysłane ponownie: 1.")});
        default:
            return withPaper(f, {QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano 1 "
                                                "kasjerów.")});
        }
    };
    runMatrix(run);
}

#include "emulator/registermodel.h"
#include "testframes.h"

#include <QDir>
#include <QTemporaryDir>

#include <vector>

#include <gtest/gtest.h>

#include "filesizelimit.h"

using namespace emu;

namespace {

const QByteArray kAck0 = bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x06, 0x00, 0x0C, 0x03});
const QByteArray kAck3 = bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x06, 0x03, 0x0F, 0x03});
const QByteArray kEmpty = bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x41, 0x10, 0x5B, 0x03});

QByteArray all(const QList<Reply>& replies)
{
    QByteArray out;
    for (const Reply& r : replies)
        out += r.bytes;
    return out;
}

QByteArray errorOf(int code)
{
    return handFrame(1, 1, 0x41, bytes({0, code}));
}

QByteArray request(int code, int sequence = 1, int address = 1)
{
    return handFrame(address, sequence, code, bytes({0, 0}));
}

struct Article {
    int number = 1;
    QByteArray name = "Chleb";
    char vat = 'A';
    int price = 350;
    QByteArray barcode = "0000000000000";
    int group = 1, tandem = 0, fixedPrice = 0, whole = 1, halo = 0, unit = 0;
};

QByteArray articleData(const Article& a)
{
    QByteArray r(68, '\0');
    r[0] = char(a.number & 0xFF);
    r[1] = char(a.number >> 8);
    r.replace(2, a.name.size(), a.name);
    r[44] = a.vat;
    for (int i = 0; i < 4; ++i)
        r[45 + i] = char((a.price >> (8 * i)) & 0xFF);
    r.replace(49, 13, a.barcode);
    r[62] = char(a.group);
    r[63] = char(a.tandem);
    r[64] = char(a.fixedPrice);
    r[65] = char(a.whole);
    r[66] = char(a.halo);
    r[67] = char(a.unit);
    return r;
}

QByteArray articleFrame(const Article& a, int sequence = 0x8001)
{
    return handFrame(1, sequence, 'T', articleData(a) + QByteArray(1, '\0'));
}

QByteArray groupFrame(int n, const QByteArray& name, int sequence = 0x8001)
{
    QByteArray r(21, '\0');
    r[0] = char(n);
    r.replace(1, name.size(), name);
    return handFrame(1, sequence, 'G', r + QByteArray(1, '\0'));
}

QByteArray named(int n, int width, const QByteArray& name, bool twoByteNumber = false)
{
    QByteArray d(width, '\0');
    d[0] = char(n & 0xFF);
    if (twoByteNumber)
        d[1] = char(n >> 8);
    d.replace(twoByteNumber ? 2 : 1, name.size(), name);
    return d;
}

} // namespace

TEST(RegisterModel, ProbeIsAnsweredWithAStatusFrame)
{
    RegisterModel reg;
    EXPECT_EQ(all(reg.handle(bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x80, 0x51, 0x00, 0xDB, 0x03})))
                  .toHex(' '),
              bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x41, 0x00, 0x4B, 0x03}).toHex(' '));
}

TEST(RegisterModel, AnswersOnlyItsOwnAddressExceptServiceCommands)
{
    RegisterModel reg(Model::DunoBis, 3);
    EXPECT_TRUE(reg.handle(handFrame(1, 0x8001, 'Q', bytes({0}))).isEmpty());
    EXPECT_EQ(all(reg.handle(handFrame(3, 0x8001, 'Q', bytes({0})))),
              handFrame(3, 1, 0x41, bytes({0})));
    // clear sales always goes to address 1; the register answers with its own address
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 0xCB, bytes({1})))), handAck(3, 3));
}

TEST(RegisterModel, BadCheckByteIsDeviceError1)
{
    RegisterModel reg;
    QByteArray probe = bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x80, 0x51, 0x00, 0xDA, 0x03});
    EXPECT_EQ(all(reg.handle(probe)), errorOf(1));
}

TEST(RegisterModel, UnknownCommandIsDeviceError0)
{
    RegisterModel reg;
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 'Y', bytes({1, 2, 3})))), errorOf(0));
}

TEST(RegisterModel, EmptyTableAnswersPustaBaza)
{
    RegisterModel reg;
    // 02 01 0B 00 01 00 52 00 00 59 03: read discounts
    EXPECT_EQ(request('R'),
              bytes({0x02, 0x01, 0x0B, 0x00, 0x01, 0x00, 0x52, 0x00, 0x00, 0x59, 0x03}));
    EXPECT_EQ(all(reg.handle(request('R'))), kEmpty);
    EXPECT_EQ(all(reg.handle(request('T'))), kEmpty);
}

TEST(RegisterModel, TableReadIsPacedByAcknowledgements)
{
    RegisterModel reg;
    EXPECT_EQ(all(reg.handle(groupFrame(2, "Napoje", 1))), kAck0);
    EXPECT_EQ(all(reg.handle(groupFrame(3, "Chemia", 0x8002))), kAck3);

    auto groupImage = [](int n, const QByteArray& name) {
        QByteArray img(26, '\0');
        img[0] = char(n);
        img.replace(1, name.size(), name);
        return img;
    };
    const QByteArray first = all(reg.handle(request('G')));
    EXPECT_EQ(first.size(), 35);
    EXPECT_EQ(first, handFrame(1, 1, 'G', groupImage(1, "Podstawowa")));
    EXPECT_EQ(all(reg.handle(handAck(1, 0))), handFrame(1, 2, 'G', groupImage(2, "Napoje")));
    EXPECT_EQ(all(reg.handle(handAck(1, 0))), handFrame(1, 0x8003, 'G', groupImage(3, "Chemia")));
    // after the end marker the computer sends 3; nothing more comes
    EXPECT_TRUE(reg.handle(handAck(1, 3)).isEmpty());
    EXPECT_TRUE(reg.handle(handAck(1, 0)).isEmpty());
}

// Only the frames of the computer's runs are numbered in sequence. The probe goes out with
// the number 0 from the register scan; acknowledgements always carry 1; the other commands
// are transfers of one frame and carry 1, with or without the end marker. A read request does
// not leave a run open: the register's data frames answer it.
TEST(RegisterModel, FramesOutsideRunsAndCommandsOfOneFrame)
{
    RegisterModel reg;
    EXPECT_EQ(all(reg.handle(handFrame(1, 0, 'Q', bytes({0})))), handFrame(1, 1, 0x41, bytes({0})));
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 'Q', bytes({0})))),
              handFrame(1, 1, 0x41, bytes({0})));
    EXPECT_EQ(all(reg.handle(groupFrame(2, "Napoje", 1))), kAck0);
    EXPECT_TRUE(reg.runOpen());
    // the probe and an acknowledgement in the middle leave the run as it is
    reg.handle(handFrame(1, 0, 'Q', bytes({0})));
    EXPECT_TRUE(reg.handle(handAck(1, 0)).isEmpty());
    EXPECT_EQ(all(reg.handle(groupFrame(3, "Chemia", 0x8002))), kAck3);
    EXPECT_FALSE(reg.runOpen());
    // a read request numbered 1 leaves no run open
    EXPECT_EQ(all(reg.handle(request('G', 1))).size(), 35);
    EXPECT_TRUE(reg.handle(handAck(1, 4)).isEmpty());
    EXPECT_FALSE(reg.runOpen());
    // a read request or a command of one frame numbered otherwise is refused
    EXPECT_EQ(all(reg.handle(request('G', 2))), errorOf(4));
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8002, 't', bytes({1})))), errorOf(4));
    EXPECT_EQ(reg.reportsPrinted(), 0);
    EXPECT_EQ(reg.numberingErrors(), 2);
    EXPECT_EQ(reg.unclosedRuns(), 0);
    // a run that never sent its end marker is abandoned when the next one begins
    EXPECT_EQ(all(reg.handle(groupFrame(4, "Pieczywo", 1))), kAck0);
    EXPECT_EQ(all(reg.handle(groupFrame(5, "Słodycze", 0x8001))), kAck3);
    EXPECT_EQ(reg.unclosedRuns(), 1);
    EXPECT_FALSE(reg.runOpen());
}

TEST(RegisterModel, StopAndAbortEndARead)
{
    for (int code : {4, 1, 3}) {
        RegisterModel reg;
        reg.handle(groupFrame(2, "Napoje"));
        reg.handle(groupFrame(3, "Chemia"));
        ASSERT_EQ(all(reg.handle(request('G'))).size(), 35);
        EXPECT_TRUE(reg.handle(handAck(1, code)).isEmpty()) << code;
        EXPECT_TRUE(reg.handle(handAck(1, 0)).isEmpty()) << code;
    }
}

TEST(RegisterModel, InformationAnswerLengthAndTypeByModel)
{
    RegisterModel bis(Model::DunoBis);
    const QByteArray b = all(bis.handle(request('I', 0x8001)));
    ASSERT_EQ(b.size(), 124);
    EXPECT_EQ(uint8_t(b[2]), 124);
    EXPECT_EQ(uint8_t(b[7]), 200);
    RegisterModel duno(Model::Duno);
    const QByteArray d = all(duno.handle(request('I', 0x8001)));
    ASSERT_EQ(d.size(), 115);
    EXPECT_EQ(uint8_t(d[2]), 115);
    EXPECT_EQ(uint8_t(d[7]), 100);
    int x = 0;
    for (int i = 1; i <= 112; ++i)
        x ^= uint8_t(d[i]);
    EXPECT_EQ(uint8_t(d[113]), x);
}

TEST(RegisterModel, ArticleProgrammedAndReadBackInBothImageFormats)
{
    for (Model m : {Model::DunoBis, Model::Duno}) {
        RegisterModel reg(m);
        Article a;
        a.number = 2000;
        a.barcode = "5901234123457";
        a.unit = 2;
        EXPECT_EQ(all(reg.handle(articleFrame(a))), kAck3);
        const QByteArray rec = articleData(a);
        QByteArray img(m == Model::DunoBis ? 82 : 81, '\0');
        img.replace(0, 49, rec.left(49));
        img.replace(57, 13, rec.mid(49, 13));
        img.replace(70, 5, rec.mid(62, 5));
        img[79] = 24; // never sold
        if (m == Model::DunoBis)
            img[81] = 2;
        const QByteArray got = all(reg.handle(request('T')));
        EXPECT_EQ(got.size(), m == Model::DunoBis ? 91 : 90);
        EXPECT_EQ(got.toHex(' '), handFrame(1, 0x8001, 'T', img).toHex(' '));
    }
}

TEST(RegisterModel, DunoAcceptsTheShortArticleFrame)
{
    RegisterModel reg(Model::Duno);
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 'T', articleData(Article{}).left(67) + '\0'))),
              kAck3);
    EXPECT_EQ(reg.usedRecords(RegisterModel::Articles), 1);
}

TEST(RegisterModel, ArticleRefusals)
{
    struct Case {
        const char* what;
        Article a;
        int code;
    };
    Article base;
    auto with = [&](auto change) {
        Article a = base;
        change(a);
        return a;
    };
    const Case cases[] = {
        {"number 0", with([](Article& a) { a.number = 0; }), 6},
        {"number 2001", with([](Article& a) { a.number = 2001; }), 6},
        {"VAT H", with([](Article& a) { a.vat = 'H'; }), 7},
        {"VAT E not programmed", with([](Article& a) { a.vat = 'E'; }), 7},
        {"barcode letters", with([](Article& a) { a.barcode = "00000000012AB"; }), 8},
        {"group 0", with([](Article& a) { a.group = 0; }), 9},
        {"group 4 missing", with([](Article& a) { a.group = 4; }), 9},
        {"packaging missing", with([](Article& a) { a.tandem = 1; }), 10},
        {"fixed price 2", with([](Article& a) { a.fixedPrice = 2; }), 11},
        {"whole 2", with([](Article& a) { a.whole = 2; }), 12},
        {"duplicate name", with([](Article& a) {
             a.number = 2;
             a.name = "Mleko";
         }),
         5},
    };
    for (const Case& c : cases) {
        RegisterModel reg;
        Article milk;
        milk.number = 1;
        milk.name = "Mleko";
        ASSERT_EQ(all(reg.handle(articleFrame(milk))), kAck3);
        EXPECT_EQ(all(reg.handle(articleFrame(c.a))), errorOf(c.code)) << c.what;
    }
}

TEST(RegisterModel, DeletionsCheckNameAndSales)
{
    RegisterModel reg;
    reg.fillDemo(10);
    // article 1 of the demo has sales, article 3 has none
    const QByteArray name1 = reg.image(RegisterModel::Articles, 1).mid(2, 42);
    const QByteArray name3 = reg.image(RegisterModel::Articles, 3).mid(2, 42);
    auto delArticle = [&](int n, const QByteArray& name) {
        return handFrame(1, 0x8001, '0', named(n, 44, name.left(name.indexOf('\0')), true) + '\0');
    };
    EXPECT_EQ(all(reg.handle(delArticle(3, "Inna nazwa"))), errorOf(90));
    EXPECT_EQ(all(reg.handle(delArticle(1, name1))), errorOf(91));
    EXPECT_EQ(all(reg.handle(delArticle(11, "X"))), errorOf(66));
    EXPECT_EQ(all(reg.handle(delArticle(3, name3))), kAck3);
    EXPECT_EQ(reg.image(RegisterModel::Articles, 3), QByteArray(82, '\0'));

    // cashier 1 is the manager, group 1 the base group
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, '2', named(1, 17, "Kierownik")))), errorOf(89));
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, '6', named(1, 22, "Podstawowa")))), errorOf(82));
    // cashier 2 has takings
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, '2', named(2, 17, "Anna Nowak")))), errorOf(103));
    // a payment form with turnover
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, '3', named(2, 23, "Karta") + '\0'))),
              errorOf(104));
}

TEST(RegisterModel, CashierNameCutToSixteenMatches)
{
    RegisterModel reg;
    QByteArray rec(33, '\0');
    rec[0] = 5;
    rec.replace(1, 21, QByteArray("Aleksandra Wisniewska"));
    ASSERT_EQ(all(reg.handle(handFrame(1, 0x8001, 'K', rec + '\0'))), kAck3);
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, '2', named(5, 17, "Aleksandra Wisni")))), kAck3);
    EXPECT_EQ(reg.image(RegisterModel::Cashiers, 5)[0], 0);
}

TEST(RegisterModel, ReportOrderInProgressThenCompletion)
{
    RegisterModel reg;
    const QList<Reply> r = reg.handle(handFrame(1, 0x8001, 't', bytes({1})));
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[0].bytes, bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x41, 0x04, 0x4F, 0x03}));
    EXPECT_EQ(r[1].bytes, kAck0);
    EXPECT_GT(r[1].delayMs, 0);
    EXPECT_EQ(reg.reportsPrinted(), 1);
}

TEST(RegisterModel, ClockValidation)
{
    struct Case {
        int month, day, hour, minute, second, code;
    };
    const Case cases[] = {{13, 1, 0, 0, 0, 60}, {2, 30, 0, 0, 0, 61}, {4, 31, 0, 0, 0, 61},
                          {1, 1, 24, 0, 0, 62}, {1, 1, 0, 60, 0, 63}, {1, 1, 0, 0, 60, 64}};
    for (const Case& c : cases) {
        RegisterModel reg;
        EXPECT_EQ(all(reg.handle(handFrame(
                      1, 0x8001, 'C',
                      bytes({0xEA, 0x07, c.month, c.day, c.hour, c.minute, c.second, 0})))),
                  errorOf(c.code));
    }
    RegisterModel reg;
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 'C', bytes({0xE8, 0x07, 2, 29, 23, 59, 59, 0})))),
              kAck3);
}

TEST(RegisterModel, SalesRecordsNonZeroOnlyForX)
{
    RegisterModel reg;
    reg.fillDemo(6); // articles 3 and 6 have no sales
    auto count = [&](int code) {
        int frames = 0;
        QByteArray f = all(reg.handle(request(code, 0x8001)));
        while (f.size() == 62) {
            ++frames;
            if (uint8_t(f[5]) & 0x80)
                break;
            f = all(reg.handle(handAck(1, 0)));
        }
        return frames;
    };
    EXPECT_EQ(count('X'), 4);
    EXPECT_EQ(count('Y'), 6);
    reg.handle(handFrame(1, 0x8001, 0xCB, bytes({1})));
    EXPECT_EQ(all(reg.handle(request('X', 0x8001))),
              bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x41, 0x40, 0x0B, 0x03}));
}

TEST(RegisterModel, FaultsChangeTheAnswer)
{
    const QByteArray probe = handFrame(1, 0x8001, 'Q', bytes({0}));
    const QByteArray ready = bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x41, 0x00, 0x4B, 0x03});
    RegisterModel reg;
    FaultPlan plan;
    plan.busy = {1};
    plan.corrupt = {2};
    plan.silent = {3};
    plan.truncate = {4};
    plan.noise = {5};
    plan.slow = {6};
    plan.vanish = {7};
    plan.paperOut = {8};
    reg.setFaults(plan);
    const QList<Reply> busy = reg.handle(probe);
    ASSERT_EQ(busy.size(), 2);
    EXPECT_EQ(busy[0].bytes, bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x41, 0x08, 0x43, 0x03}));
    EXPECT_EQ(busy[1].bytes, ready); // answered once free, without the frame sent again
    EXPECT_GE(busy[1].delayMs, 200);
    QByteArray corrupt = ready;
    corrupt[8] = char(~0x4B);
    EXPECT_EQ(all(reg.handle(probe)), corrupt);
    EXPECT_TRUE(reg.handle(probe).isEmpty());
    EXPECT_EQ(all(reg.handle(probe)), ready.left(5));
    EXPECT_EQ(all(reg.handle(probe)).right(10), ready);
    const QList<Reply> slow = reg.handle(probe);
    ASSERT_EQ(slow.size(), 1);
    EXPECT_EQ(slow[0].bytes, ready);
    EXPECT_GE(slow[0].delayMs, 1500);
    const QList<Reply> gone = reg.handle(probe);
    ASSERT_EQ(gone.size(), 1);
    EXPECT_TRUE(gone[0].vanish);
    const QList<Reply> paper = reg.handle(handFrame(1, 0x8001, 'v', bytes({1})));
    ASSERT_EQ(paper.size(), 3);
    EXPECT_EQ(paper[0].bytes, bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x41, 0x02, 0x49, 0x03}));
}

TEST(RegisterModel, StatePersistsBetweenRuns)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kasa.state"));
    RegisterModel a;
    a.fillDemo(50);
    ASSERT_TRUE(a.save(path));
    RegisterModel b;
    ASSERT_TRUE(b.load(path));
    for (int n = 1; n <= 50; ++n)
        EXPECT_EQ(b.image(RegisterModel::Articles, n), a.image(RegisterModel::Articles, n));
    EXPECT_EQ(b.image(RegisterModel::Cashiers, 2), a.image(RegisterModel::Cashiers, 2));
    RegisterModel other(Model::Duno);
    EXPECT_FALSE(other.load(path)); // image sizes of another model
    EXPECT_FALSE(b.load(dir.filePath(QStringLiteral("missing"))));

    // A state that cannot be written whole (a full disk) leaves the earlier one to load.
    RegisterModel bigger;
    bigger.fillDemo(300);
    {
        FileSizeLimit full(4096);
        EXPECT_FALSE(bigger.save(path));
    }
    RegisterModel c;
    ASSERT_TRUE(c.load(path));
    EXPECT_EQ(c.image(RegisterModel::Articles, 50), a.image(RegisterModel::Articles, 50));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("kasa.state")});
}

TEST(RegisterModel, CopyTextStreamWaitsForAA)
{
    RegisterModel reg;
    const QByteArray text = QByteArray("PARAGON 1\nSUMA 3,50\n").repeated(8); // 160 bytes
    reg.setCopyText(text);
    QByteArray order(15, '\0');
    order[0] = 1;  // last document
    order[14] = 2; // sent to the computer
    QByteArray got = all(reg.feed(handFrame(1, 0x8001, 1, order)));
    ASSERT_EQ(got.size(), RegisterModel::kCopyChunk);
    int chunks = 1;
    while (!got.endsWith('\0') && chunks < 10) {
        EXPECT_TRUE(reg.feed(QByteArray()).isEmpty()); // nothing without the handshake
        got += all(reg.feed(bytes({0xAA})));
        ++chunks;
    }
    EXPECT_EQ(chunks, 3); // 161 bytes in chunks of 64
    EXPECT_EQ(got, text + '\0');
    EXPECT_TRUE(reg.feed(bytes({0xAA})).isEmpty());
}

TEST(RegisterModel, CopyReadRefusals)
{
    struct Case {
        int kind, firstReport, lastReport, scope, handling, code;
    };
    const Case cases[] = {{0, 1, 1, 1, 2, 75},    {5, 1, 1, 1, 2, 75},    {1, 0, 0, 0, 3, 75},
                          {2, 0, 2000, 1, 2, 71}, {2, 1, 2001, 1, 2, 71}, {3, 0, 0, 0, 2, 75}};
    for (const Case& c : cases) {
        RegisterModel reg;
        QByteArray order(15, '\0');
        order[0] = char(c.kind);
        order[1] = char(c.firstReport & 0xFF);
        order[2] = char(c.firstReport >> 8);
        order[7] = char(c.lastReport & 0xFF);
        order[8] = char(c.lastReport >> 8);
        order[13] = char(c.scope);
        order[14] = char(c.handling);
        EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 1, order))), errorOf(c.code)) << c.kind;
    }
    RegisterModel reg;
    QByteArray print(15, '\0');
    print[0] = 4;
    print[14] = 1; // printed at the register
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 1, print))), kAck3);
}

TEST(RegisterModel, CacheDumpFramesOf265Bytes)
{
    RegisterModel reg;
    QByteArray cache;
    for (int i = 0; i < 3 * 256 - 10; ++i)
        cache.append(char(i % 251));
    reg.setCacheMemory(cache);
    QByteArray data;
    QByteArray f = all(reg.handle(handFrame(1, 1, ':', bytes({1}))));
    for (int n = 1; n <= 3; ++n) {
        ASSERT_EQ(f.size(), 265) << n;
        EXPECT_EQ(int(uint8_t(f[4]) | (uint8_t(f[5]) << 8)), n == 3 ? 0x8003 : n);
        data += f.mid(7, 256);
        f = all(reg.handle(handAck(1, n == 3 ? 3 : 0)));
    }
    EXPECT_TRUE(f.isEmpty());
    EXPECT_EQ(data, cache + QByteArray(10, '\0'));
}

TEST(RegisterModel, HeaderRefusals)
{
    auto header = [](int count, int lines, int tall) {
        QByteArray block(259, '\0');
        for (int l = 0; l < lines; ++l)
            block.replace(l * 42, 42, QByteArray(42, char('A' + l)));
        block[252] = char(count);
        block[253] = char(tall);
        return handFrame(1, 0x8001, 'N', block);
    };
    struct Case {
        int count, lines, tall;
        QByteArray want;
    };
    const Case cases[] = {
        {2, 2, 1, kAck3},       {7, 0, 0, errorOf(38)}, {1, 2, 0, errorOf(38)},
        {2, 2, 2, errorOf(39)}, {6, 6, 0, errorOf(88)}, {5, 5, 0, kAck3},
    };
    for (const Case& c : cases) {
        RegisterModel reg;
        EXPECT_EQ(all(reg.handle(header(c.count, c.lines, c.tall))), c.want) << c.count << c.lines;
    }
    RegisterModel reg;
    ASSERT_EQ(all(reg.handle(header(2, 2, 0))), kAck3);
    const QByteArray back = all(reg.handle(request('N', 0x8001)));
    ASSERT_EQ(back.size(), 268);
    EXPECT_EQ(back.mid(7, 42), QByteArray(42, 'A'));
}

TEST(RegisterModel, DiscountPercentAbove9999IsRefused)
{
    QByteArray rec(28, '\0');
    rec[0] = 1;
    rec.replace(1, 5, "Rabat");
    rec[24] = char(10000 & 0xFF);
    rec[25] = char(10000 >> 8);
    RegisterModel reg;
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 'R', rec + '\0'))), errorOf(17));
    rec[23] = 1; // an amount of 100,00 is fine
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 'R', rec + '\0'))), kAck3);
}

// Every table: a record programmed with its frame comes back in the register image, the
// record bytes placed as the image layout of that table places them.
TEST(RegisterModel, EachTableProgrammedAndReadBack)
{
    struct Span {
        int from, to, length;
    };
    struct Table {
        const char* what;
        int code, recordSize, sentBytes, imageSize;
        std::vector<Span> spans; // record bytes -> image bytes
    };
    const Table tables[] = {
        {"cashier", 'K', 33, 33, 324, {{0, 0, 26}, {26, 224, 7}}},
        {"discount", 'R', 28, 28, 36, {{0, 0, 28}}},
        {"payment form", 'F', 23, 23, 31, {{0, 0, 22}, {22, 26, 1}}},
        {"currency", 'W', 30, 30, 42, {{0, 0, 22}, {22, 26, 8}}},
        {"group", 'G', 22, 21, 26, {{0, 0, 21}}},
        {"packaging", 'Z', 48, 48, 66, {{0, 0, 47}, {47, 65, 1}}},
    };
    for (const Table& t : tables) {
        RegisterModel reg;
        QByteArray rec(t.recordSize, '\0');
        rec[0] = 7;
        rec.replace(1, 6, "Rekord");
        for (int i = 22; i < t.recordSize; ++i)
            rec[i] = char(i % 2); // 0/1 values every table accepts in its option bytes
        if (t.code == 'F')
            rec[22] = 2;
        const QByteArray frame = handFrame(1, 0x8001, t.code, rec.left(t.sentBytes) + '\0');
        ASSERT_EQ(all(reg.handle(frame)), kAck3) << t.what;
        // group 1 and cashier 1 exist from the start; record 7 follows them
        QByteArray f = all(reg.handle(request(t.code)));
        while (f.size() == t.imageSize + 9 && uint8_t(f[7]) != 7)
            f = all(reg.handle(handAck(1, 0)));
        ASSERT_EQ(f.size(), t.imageSize + 9) << t.what;
        EXPECT_EQ(uint8_t(f[4]) | (uint8_t(f[5]) << 8),
                  0x8000 | (t.code == 'K' || t.code == 'G' ? 2 : 1))
            << t.what;
        const QByteArray img = f.mid(7, t.imageSize);
        for (const Span& s : t.spans)
            EXPECT_EQ(img.mid(s.to, s.length), rec.mid(s.from, s.length))
                << t.what << " " << s.from;
    }
}

TEST(RegisterModel, CurrencySymbolEmptyOrRepeatedIsRefused)
{
    auto currency = [](int n, const QByteArray& name, const QByteArray& symbol) {
        QByteArray rec(30, '\0');
        rec[0] = char(n);
        rec.replace(1, name.size(), name);
        rec[22] = char(0x40); // rate 4,0000 with 4 decimals
        rec[23] = char(0x9C);
        rec[26] = 4;
        rec.replace(27, 3, symbol);
        return handFrame(1, 0x8001, 'W', rec + '\0');
    };
    RegisterModel reg;
    EXPECT_EQ(all(reg.handle(currency(1, "Euro", "EUR"))), kAck3);
    EXPECT_EQ(all(reg.handle(currency(2, "Euro 2", "EUR"))), errorOf(34));
    EXPECT_EQ(all(reg.handle(currency(2, "Dolar", "   "))), errorOf(34));
    EXPECT_EQ(all(reg.handle(currency(2, "Euro", "USD"))), errorOf(32));
    EXPECT_EQ(all(reg.handle(currency(2, "Dolar", "USD"))), kAck3);
    EXPECT_EQ(all(reg.handle(currency(1, "Euro", "EUR"))), kAck3); // reprogrammed in place
}

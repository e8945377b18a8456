// The transfers of the text and key tables over a scripted line, byte for byte.
#include "common/cp1250.h"
#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "link/answers.h"
#include "tables/articlerecord.h"
#include "tables/clock.h"
#include "tables/functionkeys.h"
#include "tables/halo.h"
#include "tables/managerpassword.h"
#include "tables/nip.h"
#include "tables/quickkeys.h"
#include "tables/receipttext.h"
#include "tables/reportset.h"
#include "tables/units.h"

#include "../../link/fakeline.h"
#include "fakeui.h"
#include "wire.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Wire {
    FakeLineScript script;
    Link link{fakeFactory(script)};
    FakeUi ui;
    Wire()
    {
        link.port = 1;
        link.openPort(ui, true);
    }
};

struct Db {
    QTemporaryDir dir;
    std::unique_ptr<DatabaseSession> session;
    Db()
    {
        session = std::make_unique<DatabaseSession>(dir.filePath(DatabaseSession::WorkingCopyName));
        EXPECT_TRUE(session->createWorkingDatabase().ok);
    }
    RegisterDatabase& db() { return session->database(); }
};

receipt::Paragraph para(const QString& text, const QString& largeMask = {})
{
    receipt::Paragraph p;
    for (int i = 0; i < text.size(); ++i)
        p.text.append({text[i], i < largeMask.size() && largeMask[i] == u'L'});
    return p;
}

} // namespace

// ---- header and footer ---------------------------------------------------------------------

TEST(ReceiptBlock, PrintLineCases)
{
    // Two ordinary characters: 20 spaces, the characters, 20 spaces.
    receipt::Block b = receipt::buildBlock({para(QStringLiteral("AB"))}, 6, {});
    EXPECT_EQ(b.lines.left(42), QByteArray(20, ' ') + "AB" + QByteArray(20, ' '));
    EXPECT_EQ(b.lines.mid(42), QByteArray(210, '\0'));
    EXPECT_EQ(b.lineCount, 1);
    // 41 characters: the single pad space goes to the end.
    b = receipt::buildBlock({para(QString(41, u'x'))}, 6, {});
    EXPECT_EQ(b.lines.left(42), QByteArray(41, 'x') + ' ');
    // Three large characters take six bytes: 01 X 01 Y 01 Z, 36 spaces around them.
    b = receipt::buildBlock({para(QStringLiteral("XYZ"), QStringLiteral("LLL"))}, 6, {});
    EXPECT_EQ(b.lines.left(42), QByteArray(18, ' ') + "\x01X\x01Y\x01Z" + QByteArray(18, ' '));
}

// A character from beyond cp1250 written as a surrogate pair prints as the one substitute byte
// of its second half; its first half has no byte and leaves no large-character mark behind.
TEST(ReceiptBlock, LargeCharacterBeyondCp1250LeavesNoLoneMark)
{
    const QString smile = QStringLiteral("A") + QChar(0xD83D) + QChar(0xDE00) + u'B';
    const receipt::Block b = receipt::buildBlock({para(smile, QStringLiteral("LLLL"))}, 6, {});
    const QByteArray substitute = cp1250::encode(QString(QChar(0xDE00)));
    ASSERT_EQ(substitute.size(), 1);
    const QByteArray marked = "\x01"
                              "A\x01" +
                              substitute + "\x01" + "B";
    EXPECT_EQ(b.lines.left(42), QByteArray(18, ' ') + marked + QByteArray(18, ' '));
    // At the end of a full line the mark never stands alone either.
    const QString full = QString(40, u'x') + QChar(0xD83D);
    const receipt::Block c = receipt::buildBlock({para(full, QString(40, u'N') + u'L')}, 6, {});
    EXPECT_EQ(c.lines.left(42), QByteArray(" ") + QByteArray(40, 'x') + ' ');
}

TEST(ReceiptBlock, SevenLinesCutToTheLimit)
{
    QList<receipt::Paragraph> seven;
    for (int i = 1; i <= 7; ++i)
        seven.append(para(QString::number(i)));
    const receipt::Block header = receipt::buildBlock(seven, receipt::HeaderLines, {true});
    EXPECT_EQ(header.lineCount, 6);
    const QByteArray h = header.encode();
    ASSERT_EQ(h.size(), 259);
    EXPECT_EQ(h.mid(5 * 42, 42), QByteArray(20, ' ') + '6' + QByteArray(21, ' '));
    EXPECT_EQ(h[252], 6);
    EXPECT_EQ(h.mid(253), wireBytes({1, 0, 0, 0, 0, 0}));
    const receipt::Block footer = receipt::buildBlock(seven, receipt::FooterLines, {});
    const QByteArray f = footer.encode();
    ASSERT_EQ(f.size(), 130);
    EXPECT_EQ(f.mid(2 * 42, 42), QByteArray(20, ' ') + '3' + QByteArray(21, ' '));
    EXPECT_EQ(f[126], 3);
    EXPECT_EQ(f.mid(127), QByteArray(3, '\0'));
}

TEST(ReceiptBlock, StoredAtTheBlockOffsets)
{
    Db d;
    const receipt::Block h = receipt::buildBlock({para(QStringLiteral("AB"))}, 6, {});
    ASSERT_TRUE(receipt::storeBlock(d.db(), receipt::Kind::Header, h));
    EXPECT_EQ(d.db().readBytes(144271, 259), h.encode());
    EXPECT_EQ(receipt::loadBlock(d.db(), receipt::Kind::Header), h);
    const receipt::Block f = receipt::buildBlock({para(QStringLiteral("C"))}, 3, {});
    ASSERT_TRUE(receipt::storeBlock(d.db(), receipt::Kind::Footer, f));
    EXPECT_EQ(d.db().readBytes(148560, 130), f.encode());
}

TEST(ReceiptBlock, RtfParagraphsBothWays)
{
    const QList<receipt::Paragraph> ps{para(QStringLiteral("AbC"), QStringLiteral("L L"))};
    const rtf::Document d = receipt::rtfFromParagraphs(ps);
    ASSERT_EQ(d.paragraphs.size(), 1);
    EXPECT_EQ(d.paragraphs[0].runs, (QList<rtf::Run>{{QStringLiteral("A"), 40},
                                                     {QStringLiteral("b"), 20},
                                                     {QStringLiteral("C"), 40}}));
    const auto back = receipt::paragraphsFromRtf(*rtf::read(rtf::write(d)));
    ASSERT_EQ(back.size(), 1);
    EXPECT_EQ(back[0].align, receipt::Align::Center);
    EXPECT_TRUE(back[0].text[0].large);
    EXPECT_FALSE(back[0].text[1].large);
    EXPECT_TRUE(back[0].text[2].large);
    // Sizes from a word processor: 15 points and more print large, 12 does not.
    rtf::Document other;
    other.paragraphs.append(
        {{{QStringLiteral("a"), 30}, {QStringLiteral("b"), 29}}, rtf::Align::Justify});
    const auto ps2 = receipt::paragraphsFromRtf(other);
    EXPECT_TRUE(ps2[0].text[0].large);
    EXPECT_FALSE(ps2[0].text[1].large);
    EXPECT_EQ(ps2[0].align, receipt::Align::Left);
}

TEST(ReceiptSend, HeaderFrameAndDeviceError)
{
    Wire w;
    const QByteArray block = receipt::buildBlock({para(QStringLiteral("AB"))}, 6, {}).encode();
    w.script.reads = {{}, registerAck(0)};
    EXPECT_EQ(receipt::sendHeader(w.link, w.ui, block), answers::Accepted);
    EXPECT_EQ(w.script.written, wireFrame(1, 0x8001, 'N', block));
    EXPECT_EQ(w.script.written.size(), 268);
    EXPECT_TRUE(w.ui.messages.isEmpty());

    Wire e;
    const QByteArray error = wireFrame(1, 1, 'A', wireBytes({0, 88}));
    e.script.reads = {{}, error.left(10), error.mid(10)};
    EXPECT_EQ(receipt::sendHeader(e.link, e.ui, block), answers::DeviceError);
    EXPECT_EQ(e.ui.messages,
              QStringList{QStringLiteral("Błąd 88: Za duża liczba znaków w nagłówku (max 240)")});
}

TEST(ReceiptSend, FooterFrameCarriesTheConfirmByteAndWaitsForNothing)
{
    Wire w;
    const QByteArray block = receipt::buildBlock({para(QStringLiteral("C"))}, 3, {}).encode();
    w.script.reads = {{}};
    EXPECT_EQ(receipt::sendFooter(w.link, w.ui, block, true), 0);
    EXPECT_EQ(w.script.written, wireFrame(1, 0x8001, 'D', block + '\x01'));
    EXPECT_EQ(w.script.written.size(), 140);
    EXPECT_EQ(w.script.readsDone, 1); // the drain only
}

TEST(ReceiptRead, HeaderLinesWithoutZeroBytes)
{
    Wire w;
    QByteArray block =
        receipt::buildBlock(
            {para(QStringLiteral("AB")), para(QStringLiteral("XY"), QStringLiteral("L"))}, 6, {})
            .encode();
    w.script.reads = {{}, wireFrame(1, 0x8001, 'N', block)};
    const auto lines = receipt::readHeader(w.link, w.ui);
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 6);
    EXPECT_EQ(lines->at(0), QString(20, u' ') + QStringLiteral("AB") + QString(20, u' '));
    EXPECT_EQ(lines->at(1), QString(19, u' ') + QStringLiteral("\u0001XY") + QString(20, u' '));
    EXPECT_EQ(lines->at(2), QString());
    // Request "N" with 0x8001, then our acknowledgement 3 of the frame with the end marker.
    EXPECT_EQ(w.script.written,
              wireFrame(1, 0x8001, 'N', QByteArray(2, '\0')) + wireFrame(1, 1, 6, wireBytes({3})));
}

TEST(ReceiptRead, CheckErrorIsAnsweredWithOne)
{
    Wire w;
    QByteArray frame = wireFrame(1, 0x8001, 'N', QByteArray(259, 'a'));
    frame[266] = char(frame[266] ^ 0x11);
    w.script.reads = {{}, frame};
    EXPECT_FALSE(receipt::readHeader(w.link, w.ui));
    EXPECT_TRUE(w.script.written.endsWith(wireFrame(1, 1, 6, wireBytes({1}))));
    EXPECT_EQ(w.ui.messages.last(), QStringLiteral("Błąd CRC!"));

    Wire silent;
    silent.script.reads = {{}};
    EXPECT_FALSE(receipt::readHeader(silent.link, silent.ui));
    EXPECT_EQ(silent.ui.messages, QStringList{QStringLiteral("Brak komunikacji.")});
}

// ---- NIP, clock, password ------------------------------------------------------------------

TEST(Nip, PaddingAndFrame)
{
    EXPECT_EQ(nip::padded(QStringLiteral("12345678")), QStringLiteral("1234567800"));
    EXPECT_EQ(nip::padded(QString()), QStringLiteral("0000000000"));
    EXPECT_EQ(nip::padded(QStringLiteral("1234567890123")), QStringLiteral("1234567890123"));

    Wire w;
    w.script.reads = {{}, registerAck(0)};
    EXPECT_EQ(nip::program(w.link, w.ui, QStringLiteral("12345678")), nip::Result::Accepted);
    EXPECT_EQ(w.script.written,
              wireFrame(1, 0x8001, 'I', QByteArray("1234567800") + QByteArray(6, '\0')));
    EXPECT_EQ(w.ui.waits, QList<int>{1000});
}

TEST(Nip, SixteenSentSeventeenRefusedSilenceReported)
{
    Wire w;
    w.script.reads = {{}, registerAck(0)};
    EXPECT_EQ(nip::program(w.link, w.ui, QString(16, u'7')), nip::Result::Accepted);
    EXPECT_EQ(w.script.written, wireFrame(1, 0x8001, 'I', QByteArray(16, '7')));

    Wire r;
    EXPECT_EQ(nip::program(r.link, r.ui, QString(17, u'7')), nip::Result::Refused);
    EXPECT_EQ(r.ui.messages, QStringList{QStringLiteral("Zbyt długi NIP!")});
    EXPECT_TRUE(r.script.written.isEmpty());

    Wire s;
    s.script.reads = {{}};
    EXPECT_EQ(nip::program(s.link, s.ui, QStringLiteral("1")), nip::Result::NoAnswer);
    EXPECT_EQ(s.ui.messages, QStringList{QStringLiteral("Brak komunikacji")});

    Wire n;
    n.script.reads = {{}, registerAck(1)};
    EXPECT_EQ(nip::program(n.link, n.ui, QStringLiteral("1")), nip::Result::Rejected);
    EXPECT_TRUE(n.ui.messages.isEmpty());
}

TEST(Clock, FrameFor20050307At140509)
{
    const QDateTime when(QDate(2005, 3, 7), QTime(14, 5, 9));
    const QByteArray expected =
        wireFrame(1, 0x8001, 'C', wireBytes({0xD5, 0x07, 3, 7, 14, 5, 9, 0}));
    EXPECT_EQ(expected.size(), 17);
    EXPECT_EQ(regclock::frame(1, when), expected);

    Wire w;
    w.script.reads = {{}, registerAck(0)};
    EXPECT_EQ(regclock::set(w.link, w.ui, when), answers::Accepted);
    EXPECT_EQ(w.script.written, expected);
    EXPECT_TRUE(w.ui.messages.isEmpty());

    Wire s;
    s.script.reads = {{}};
    EXPECT_EQ(regclock::set(s.link, s.ui, when), answers::NoAnswer);
    EXPECT_EQ(s.ui.messages, QStringList{QStringLiteral("Błąd transmisji!")});
}

TEST(ManagerPassword, PaddingBeforeTheLastCharacter)
{
    struct Case {
        const char16_t* typed;
        const char16_t* padded;
    };
    const Case cases[] = {{u"", u"          "},           {u"a", u"         a"},
                          {u"abc", u"ab       c"},        {u"123456789", u"12345678 9"},
                          {u"1234567890", u"1234567890"}, {u"12345678901", u"1234567890"}};
    for (const Case& c : cases)
        EXPECT_EQ(managerpassword::padded(QString::fromUtf16(c.typed)),
                  QString::fromUtf16(c.padded))
            << QString::fromUtf16(c.typed).toStdString();

    Wire w;
    w.script.reads = {{}};
    EXPECT_EQ(managerpassword::send(w.link, w.ui, QStringLiteral("abc"), QStringLiteral("7"), true),
              0);
    // The whole 30 bytes go out; no answer is read after them.
    EXPECT_EQ(w.script.written,
              wireFrame(1, 0x8001, 'H', QByteArray("ab       c         7") + '\x01'));
    EXPECT_EQ(w.script.written.size(), 30);
    EXPECT_EQ(w.script.readsDone, 1);
}

// ---- report set, halo, units ---------------------------------------------------------------

TEST(ReportSetBlock, AllFullWritesNineteenOnes)
{
    Db d;
    EXPECT_EQ(loadReportSet(d.db()), ReportSet{});
    const QByteArray before = d.db().readBytes(145000, 60);
    ReportSet all;
    all.choices.fill(1);
    ASSERT_TRUE(storeReportSet(d.db(), all));
    EXPECT_EQ(d.db().readBytes(145013, 19), QByteArray(19, '\x01'));
    // Nothing around the block changes.
    EXPECT_EQ(d.db().readBytes(145000, 13), before.left(13));
    EXPECT_EQ(d.db().readBytes(145032, 28), before.mid(32));
}

TEST(HaloTable, TwelveAndAHalfStoredAndSent)
{
    Db d;
    const HaloTable stored = halo::load(d.db());
    EXPECT_EQ(stored.amounts,
              (std::array<qint32, 10>{0, 100, 200, 500, 1000, 2000, 3000, 5000, 10000, 50000}));
    std::array<QString, 9> fields;
    fields.fill(QStringLiteral("1"));
    fields[0] = QStringLiteral("12,5");
    fields[1] = QStringLiteral("0.29");
    const auto v = validateHalo(fields, stored);
    ASSERT_TRUE(v.ok());
    ASSERT_TRUE(halo::store(d.db(), *v.record));
    EXPECT_EQ(d.db().readBytes(149064, 8), wireBytes({0xE2, 0x04, 0, 0, 29, 0, 0, 0}));

    Wire w;
    // The line is drained before the frame goes out; the answer comes after it.
    w.script.reads = {QByteArray(), registerAck(0)};
    EXPECT_EQ(halo::send(w.link, w.ui, *v.record), answers::Accepted);
    QByteArray entries = wireBytes({0xE2, 0x04, 0, 0, 29, 0, 0, 0});
    for (int k = 3; k <= 9; ++k)
        entries += wireBytes({100, 0, 0, 0});
    EXPECT_EQ(w.script.written, wireFrame(1, 0x8001, 'L', entries));
    EXPECT_EQ(w.script.written.size(), 45);
}

TEST(HaloTable, EmptyFieldRefusesTheWholeSave)
{
    std::array<QString, 9> fields;
    fields.fill(QStringLiteral("1"));
    fields[4] = QString();
    const auto v = validateHalo(fields, HaloTable{});
    ASSERT_FALSE(v.ok());
    EXPECT_EQ(v.failure->message, QStringLiteral("Błędnie wypełnione pola!"));
}

TEST(Units, PaddedWithSpacesAndReadBack)
{
    Wire w;
    w.script.reads = {{}};
    EXPECT_EQ(units::send(w.link, w.ui,
                          {QStringLiteral("kg"), QStringLiteral("l"), QStringLiteral("szt")}),
              0);
    EXPECT_EQ(w.script.written, wireFrame(1, 0x8001, 'q', QByteArray("kg l  szt")));
    EXPECT_EQ(w.script.written.size(), 18);

    Wire r;
    r.script.reads = {{}, wireFrame(1, 0x8001, 'J', QByteArray("m2 op \xB3  "))};
    const auto names = units::read(r.link, r.ui);
    ASSERT_TRUE(names);
    EXPECT_EQ(*names,
              (QStringList{QStringLiteral("m2 "), QStringLiteral("op "), QStringLiteral("ł  ")}));
    EXPECT_TRUE(r.script.written.startsWith(wireFrame(1, 0x8001, 'J', QByteArray(2, '\0'))));

    Wire s;
    s.script.reads = {{}};
    EXPECT_FALSE(units::read(s.link, s.ui));
}

// ---- quick keys ----------------------------------------------------------------------------

TEST(QuickKeyTable, RepairOnArticle2001)
{
    Db d;
    QuickKeyRecord good;
    good.addArticle(1, 1, 5, 10000, false);
    quickkeys::store(d.db(), 1, 1, good);
    EXPECT_FALSE(quickkeys::repairIfDamaged(d.db(), 1));
    QuickKeyRecord bad;
    bad.addArticle(3, 10, 2001, 10000, true);
    quickkeys::store(d.db(), 3, 10, bad);
    EXPECT_FALSE(quickkeys::repairIfDamaged(d.db(), 1)); // cashier 1's keys are sound
    EXPECT_TRUE(quickkeys::repairIfDamaged(d.db(), 3));
    EXPECT_EQ(d.db().readBytes(145060, 3400), QByteArray(3400, '\0'));
    EXPECT_EQ(quickkeys::RepairMessage,
              QStringLiteral("Wykryto błąd bazy klawiszy szybkich! Klawisze szybkie zostały "
                             "skasowane, a baza danych naprawiona."));
}

TEST(QuickKeyTable, OneKeyFrameAndBusyRetry)
{
    Db d;
    QuickKeyRecord r;
    r.addArticle(10, 10, 0x0102, 5000, true);
    quickkeys::store(d.db(), 10, 10, r);
    EXPECT_EQ(d.db().readBytes(148426, 3), wireBytes({10, 10, 1}));

    Wire w;
    w.script.reads = {{}, registerStatus(0x08), registerAck(0)};
    EXPECT_EQ(quickkeys::sendOneKey(w.link, w.ui, d.db(), 10, 10), answers::Accepted);
    // Record bytes 2..33: next entry 1, article 0x0102, quantity 5000, the rest 0, end 1.
    QByteArray data = wireBytes({10, 10, 1, 0x02, 0x01, 0x88, 0x13, 0, 0});
    data += QByteArray(24, '\0');
    data += wireBytes({1, 0});
    EXPECT_EQ(w.script.written, wireFrame(1, 0x8001, 'S', data));
    EXPECT_EQ(w.script.written.size(), 44);
    EXPECT_EQ(w.ui.waits, QList<int>{4400});
}

TEST(QuickKeyTable, AllKeysNumberedAndStopOnRefusal)
{
    Db d;
    Wire w;
    w.script.reads = {{}};
    for (int k = 1; k <= 9; ++k)
        w.script.reads << registerAck(0);
    w.script.reads << registerAck(3);
    EXPECT_EQ(quickkeys::sendAllKeys(w.link, w.ui, d.db(), 2), 10);
    ASSERT_EQ(w.script.written.size(), 440);
    for (int k = 1; k <= 10; ++k) {
        const QByteArray f = w.script.written.mid((k - 1) * 44, 44);
        const int seq = k | (k == 10 ? 0x8000 : 0);
        EXPECT_EQ(quint8(f[4]) | (quint8(f[5]) << 8), seq) << k;
        EXPECT_EQ(f[7], 2);
        EXPECT_EQ(f[8], k);
    }
    EXPECT_EQ(w.ui.waits.count(300), 10);
    EXPECT_EQ(w.ui.eventsRun, 10);

    Wire s;
    s.script.reads = {{}, registerAck(0), registerAck(1)};
    EXPECT_EQ(quickkeys::sendAllKeys(s.link, s.ui, d.db(), 1), 1);
    EXPECT_EQ(s.script.written.size(), 88);
}

// ---- function keys -------------------------------------------------------------------------

TEST(FunctionKeys, Codes)
{
    ASSERT_EQ(functionkeys::functionNames().size(), 23);
    EXPECT_EQ(functionkeys::functionNames()[16], QStringLiteral("Raport sprzedaży (zerujący)"));
    EXPECT_EQ(functionkeys::functionCode(16), 25);
    EXPECT_EQ(functionkeys::functionCode(0), 16);
    for (int p = 1; p <= 15; ++p)
        EXPECT_EQ(functionkeys::functionCode(p), p);
    EXPECT_EQ(functionkeys::functionCode(22), 31);
    EXPECT_EQ(functionkeys::functionCode(23), -1);
    EXPECT_EQ(functionkeys::functionCode(-1), -1);

    ASSERT_EQ(functionkeys::salesFunctionNames().size(), 8);
    EXPECT_EQ(functionkeys::salesFunctionNames()[2], QStringLiteral("Szybkie storno"));
    const int codes[] = {0, 1, 3, 4, 5, 6, 7, 8};
    for (int p = 0; p < 8; ++p)
        EXPECT_EQ(functionkeys::salesFunctionCode(p), codes[p]);
    EXPECT_EQ(functionkeys::salesFunctionCode(8), -1);
}

TEST(FunctionKeys, OneKeyFrameBusyAndPauses)
{
    Wire w;
    w.link.address = 5; // the function key frame always goes to address 1
    w.script.reads = {{}, registerStatus(0x08, 5), registerAck(3, 5)};
    EXPECT_TRUE(functionkeys::sendKey(w.link, w.ui, 4, 7, 16));
    EXPECT_EQ(w.script.written, wireFrame(1, 0x8001, 'O', wireBytes({4, 7, 25, 0})));
    EXPECT_EQ(w.ui.waits, (QList<int>{650, 650}));

    Wire f;
    f.script.reads = {{}, registerAck(1)};
    EXPECT_FALSE(functionkeys::sendKey(f.link, f.ui, 1, 1, 0));
    EXPECT_EQ(f.script.written, wireFrame(1, 0x8001, 'O', wireBytes({1, 1, 16, 0})));
    EXPECT_TRUE(f.ui.waits.isEmpty());
}

TEST(FunctionKeys, AllKeysStopAtTheFirstFailure)
{
    Wire w;
    w.script.reads = {{}, registerAck(0), {}, registerAck(0), {}};
    std::array<int, 10> positions{};
    EXPECT_EQ(functionkeys::sendAllKeys(w.link, w.ui, 3, positions), 2);
    EXPECT_EQ(w.script.written.size(), 3 * 13);
}

TEST(FunctionKeys, SalesFunctionFrame)
{
    Wire w;
    w.script.reads = {{}};
    EXPECT_EQ(functionkeys::sendSalesFunction(w.link, w.ui, 6, 2, 1, 20), 0);
    EXPECT_EQ(w.script.written, wireFrame(1, 0x8001, 'X', wireBytes({6, 1, 3, 1, 20})));
    EXPECT_EQ(w.script.readsDone, 1); // the answer is not read
    Wire e;
    e.script.reads = {{}};
    EXPECT_EQ(functionkeys::sendSalesFunction(e.link, e.ui, 1, 7, 0, 1), 0);
    EXPECT_EQ(e.script.written, wireFrame(1, 0x8001, 'X', wireBytes({1, 1, 8, 0, 1})));
}

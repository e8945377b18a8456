#include "transfer/information.h"

#include "../link/fakeline.h"
#include "fakeui.h"
#include "testframes.h"

#include <gtest/gtest.h>

using transfer::InfoField;

namespace {

// A DUNO BIS data block (115 bytes) with every field set; `shift` 7 builds the DUNO block
// (NIP of 10 bytes, 106 bytes, no card size).
QByteArray infoData(bool bis)
{
    const int s = bis ? 0 : 7;
    QByteArray d(bis ? 115 : 106, '\0');
    putLe(d, 0, 123, 2);
    d.replace(2, 10, QByteArray("PROG-V1.23"));
    d.replace(12, 12, QByteArray("ABC123456789"));
    d.replace(24, 10, QByteArray("5260250274"));
    putLe(d, 41 - s, 4711, 2);
    d[43 - s] = 1;
    d[44 - s] = 1;
    // last fiscal memory write 7-3-2015
    d[45 - s] = 20, d[46 - s] = 15, d[47 - s] = 3, d[48 - s] = 7;
    // last daily report 09:05 7-3-2015
    d[49 - s] = 20, d[50 - s] = 15, d[51 - s] = 3, d[52 - s] = 7, d[53 - s] = 9, d[54 - s] = 5;
    putLe(d, 55 - s, 312, 2);
    d[57 - s] = 2;
    d[58 - s] = 3;
    putLe(d, 59 - s, 17, 2);
    putLe(d, 61 - s, 70000, 4);
    d[65 - s] = 1;
    d[66 - s] = 0;
    d[67 - s] = 5;
    d[68 - s] = 7;
    d[69 - s] = 4;
    d.replace(70 - s, 9, QByteArray("Kierownik"));
    d.replace(91 - s, 3, QByteArray("PLN"));
    d[94 - s] = 20, d[95 - s] = 14, d[96 - s] = 12, d[97 - s] = 31, d[98 - s] = 23, d[99 - s] = 59;
    d[100 - s] = 1;
    d.replace(101 - s, 3, QByteArray("EUR"));
    d[104 - s] = 20, d[105 - s] = 27, d[106 - s] = 1, d[107 - s] = 1, d[108 - s] = 0,
            d[109 - s] = 0;
    d[110 - s] = 1;
    d[111 - s] = 2;
    d[112 - s] = 1;
    if (bis)
        putLe(d, 113, 4096, 2);
    return d;
}

struct Expect {
    InfoField field;
    const char16_t* text;
};

const Expect kEveryField[] = {
    {InfoField::Version, u"1,23"},
    {InfoField::ProgramMemory, u"PROG-V1.23"},
    {InfoField::UniqueNumber, u"ABC123456789"},
    {InfoField::Nip, u"5260250274"},
    {InfoField::FiscalSignature, u"4711"},
    {InfoField::WorkingMode, u"FISKALNY"},
    {InfoField::MemoryState, u"ZAMKNIĘTA. TYLKO DO ODCZYTU"},
    {InfoField::LastFiscalWrite, u"7-3-2015"},
    {InfoField::LastDailyReport, u"09:05   7-3-2015"},
    {InfoField::LastReportNumber, u"312"},
    {InfoField::CopyMedium, u"2"},
    {InfoField::RamResets, u"3"},
    {InfoField::ReceiptsSinceDaily, u"17"},
    {InfoField::ReceiptsSinceFiscal, u"70000"},
    {InfoField::SaleStarted, u"TAK"},
    {InfoField::ServiceMode, u"NIE"},
    {InfoField::HeaderProgrammed, u"TAK"},
    {InfoField::VatRecords, u"7"},
    {InfoField::RegisterNumber, u"4"},
    {InfoField::CashierName, u"Kierownik"},
    {InfoField::CurrencySymbol, u"PLN"},
    {InfoField::CurrencyProgrammed, u"23:59   31-12-2014"},
    {InfoField::CurrencyChange, u"TAK"},
    {InfoField::NewCurrencySymbol, u"EUR"},
    {InfoField::CurrencyChangeDate, u"00:00   1-1-2027"},
    {InfoField::PortA, u"Waga"},
    {InfoField::PortB, u"Skaner"},
    {InfoField::Usb, u"Komputer PC"},
};

void expectEveryField(const transfer::Information& info)
{
    for (const Expect& e : kEveryField) {
        ASSERT_TRUE(info.value(e.field).has_value())
            << transfer::infoCaption(e.field).toStdString();
        EXPECT_EQ(*info.value(e.field), QString::fromUtf16(e.text))
            << transfer::infoCaption(e.field).toStdString();
    }
    EXPECT_TRUE(info.currencyChangeProgrammed);
}

} // namespace

TEST(Information, DunoBisAnswerEveryField)
{
    const QByteArray f = answerFrame(0x8001, 'I', infoData(true));
    ASSERT_EQ(f.size(), 124);
    const auto info = transfer::decodeInformation(f);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->registerType, 2);
    expectEveryField(*info);
    EXPECT_EQ(info->value(InfoField::CardSize), QStringLiteral("4096"));
}

TEST(Information, DunoAnswerEveryFieldSevenBytesEarlier)
{
    const QByteArray f = answerFrame(0x8001, 'I', infoData(false));
    ASSERT_EQ(f.size(), 115);
    const auto info = transfer::decodeInformation(f);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->registerType, 1);
    expectEveryField(*info);
    // A DUNO does not report the card size: the value is left alone.
    EXPECT_FALSE(info->value(InfoField::CardSize).has_value());
}

TEST(Information, DunoWorkingModeAt36AndPortAAt103)
{
    QByteArray d(106, '\0');
    d[36] = 1;
    d[103] = 1;
    const auto info = transfer::decodeInformation(answerFrame(0x8001, 'I', d));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->value(InfoField::WorkingMode), QStringLiteral("FISKALNY"));
    EXPECT_EQ(info->value(InfoField::PortA), QStringLiteral("Waga"));
}

TEST(Information, EdgeCases)
{
    QByteArray d(115, '\0');
    d[0] = 0x05; // version 5
    d[43] = 2;   // anything but 1 is not fiscal
    d[110] = 4;  // unknown port uses leave the text alone
    d[111] = 3;
    d[112] = 2;
    const auto info = transfer::decodeInformation(answerFrame(0x8001, 'I', d));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->value(InfoField::Version), QStringLiteral("0,05"));
    EXPECT_EQ(info->value(InfoField::WorkingMode), QStringLiteral("NIEFISKALNY"));
    EXPECT_EQ(info->value(InfoField::MemoryState), QStringLiteral("OTWARTA"));
    EXPECT_EQ(info->value(InfoField::LastFiscalWrite), QStringLiteral("brak"));
    EXPECT_EQ(info->value(InfoField::LastDailyReport), QStringLiteral("brak"));
    EXPECT_EQ(info->value(InfoField::CurrencyChangeDate), QStringLiteral("brak"));
    EXPECT_EQ(info->value(InfoField::CopyMedium), QStringLiteral("Niezainicjowany"));
    EXPECT_EQ(info->value(InfoField::CurrencyChange), QStringLiteral("NIE"));
    EXPECT_FALSE(info->currencyChangeProgrammed);
    EXPECT_FALSE(info->value(InfoField::PortA).has_value());
    EXPECT_EQ(info->value(InfoField::PortB), QStringLiteral("Brak"));
    EXPECT_FALSE(info->value(InfoField::Usb).has_value());
    EXPECT_EQ(info->value(InfoField::CashierName), QString());
}

TEST(Information, NegativeCountersAreSigned)
{
    QByteArray d(115, '\0');
    putLe(d, 55, 0xFFFF, 2);
    const auto info = transfer::decodeInformation(answerFrame(0x8001, 'I', d));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->value(InfoField::LastReportNumber), QStringLiteral("-1"));
}

TEST(Information, DateTexts)
{
    EXPECT_EQ(transfer::dateText(20, 15, 3, 7), QStringLiteral("7-3-2015"));
    EXPECT_EQ(transfer::timeDateText(20, 15, 3, 7, 9, 5), QStringLiteral("09:05   7-3-2015"));
}

namespace {

struct Fetch {
    FakeLineScript script;
    Link link{fakeFactory(script)};
    FakeUi ui;
    Fetch()
    {
        link.port = 5;
        link.openPort(ui, false);
    }
};

} // namespace

TEST(Information, FetchSendsTheRequestAndReadsHeadThenRest)
{
    Fetch t;
    const QByteArray f = answerFrame(0x8001, 'I', infoData(true));
    t.script.reads = {QByteArray(), f.left(4), f.mid(4)}; // drain, head, rest
    const auto info = transfer::fetchInformation(t.link, t.ui);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->registerType, 2);
    EXPECT_EQ(info->value(InfoField::CardSize), QStringLiteral("4096"));
    // 02 01 0B 00 01 80 'I' 00 00, check 01^0B^01^80^49 = C2, 03; no acknowledgement follows
    EXPECT_EQ(t.script.written,
              bytes({0x02, 0x01, 0x0B, 0x00, 0x01, 0x80, 0x49, 0x00, 0x00, 0xC2, 0x03}));
    EXPECT_TRUE(t.ui.messages.isEmpty());
}

TEST(Information, FetchDunoAnswer)
{
    Fetch t;
    const QByteArray f = answerFrame(0x8001, 'I', infoData(false));
    t.script.reads = {QByteArray(), f.left(4), f.mid(4)};
    const auto info = transfer::fetchInformation(t.link, t.ui);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->registerType, 1);
    EXPECT_EQ(info->value(InfoField::PortA), QStringLiteral("Waga"));
}

TEST(Information, ShortStatusOrCutAnswersGiveBrakKomunikacji)
{
    const QByteArray good = answerFrame(0x8001, 'I', infoData(true));
    const QByteArray status = answerFrame(0x8001, 0x41, QByteArray(1, char(0x08)));
    const QByteArray error = answerFrame(0x8001, 0x41, QByteArray("\x00\x5A", 2));
    const QList<QList<QByteArray>> cases = {
        {QByteArray(), QByteArray()},                   // nothing at all
        {QByteArray(), good.left(3)},                   // fewer than 4 bytes
        {QByteArray(), status.left(4), status.mid(4)},  // a status frame (10 bytes)
        {QByteArray(), error.left(4), error.mid(4)},    // an error frame (11 bytes)
        {QByteArray(), good.left(4), good.mid(4, 100)}, // a DUNO BIS answer cut short
        {QByteArray(), good.left(4), good.mid(4, 111)}, // cut to the length of a DUNO's
    };
    for (const auto& reads : cases) {
        Fetch t;
        t.script.reads = reads;
        EXPECT_FALSE(transfer::fetchInformation(t.link, t.ui));
        EXPECT_EQ(t.ui.messages, QStringList{QStringLiteral("Brak komunikacji")});
    }
}

TEST(Information, FetchRefusesAFrameThatFailsItsCheck)
{
    Fetch t;
    QByteArray f = answerFrame(0x8001, 'I', infoData(true));
    const quint8 good = quint8(f[122]);
    f[122] = char(good ^ 0xFF);
    t.script.reads = {QByteArray(), f.left(4), f.mid(4)};
    EXPECT_FALSE(transfer::fetchInformation(t.link, t.ui));
    EXPECT_EQ(t.ui.messages,
              (QStringList{QStringLiteral("CRC kasy: %1 CRC PC: %2").arg(good ^ 0xFF).arg(good),
                           QStringLiteral("Błąd CRC!")}));
}

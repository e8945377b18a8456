#include "service/settings.h"

#include "../link/fakeline.h"
#include "fakeui.h"

#include <gtest/gtest.h>

using namespace service;

namespace {

// Every number field filled, every drop-down at its first item.
SettingsValues filled()
{
    SettingsValues v;
    v.number[size_t(settingIndex(QStringLiteral("czas_wylaczenia")))] = QStringLiteral("30");
    v.number[size_t(settingIndex(QStringLiteral("impuls_szuflady")))] = QStringLiteral("100");
    v.number[size_t(settingIndex(QStringLiteral("max_paragon")))] = QStringLiteral("0");
    v.number[size_t(settingIndex(QStringLiteral("podswietlenie_operatora")))] =
        QStringLiteral("80");
    v.number[size_t(settingIndex(QStringLiteral("podswietlenie_klienta")))] = QStringLiteral("50");
    return v;
}

QByteArray frameWith(const QByteArray& block)
{
    QByteArray f = bytes({0x02, 0x01, 31, 0x00, 0x01, 0x80, 0x03});
    f += block;
    quint8 x = 0;
    for (int i = 1; i < f.size(); ++i)
        x ^= quint8(f[i]);
    f += char(x);
    f += char(0x03);
    return f;
}

struct Bench {
    FakeLineScript script;
    Link link{fakeFactory(script)};
    FakeUi ui;
    Bench()
    {
        link.port = 5;
        link.openPort(ui, false);
    }
};

} // namespace

TEST(Settings, FieldTableInFrameOrder)
{
    const auto& f = settingFields();
    EXPECT_EQ(f[0].caption, QStringLiteral("Numer kasy"));
    EXPECT_EQ(f[0].items.size(), 9);
    EXPECT_EQ(f[7].caption, QStringLiteral("Maksymalna wartość paragonu (0-brak ograniczenia)"));
    EXPECT_EQ(f[7].offset, 7);
    EXPECT_EQ(f[8].offset, 11);
    EXPECT_EQ(f[18].caption, QStringLiteral("Przypominanie o raporcie dobowym"));
    EXPECT_EQ(f[18].offset, 21);
    EXPECT_EQ(f[14].items,
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                           QStringLiteral("4"), QStringLiteral("5")}));
}

TEST(Settings, BlockBytes)
{
    SettingsValues v = filled();
    const auto first = settingsBytes(v);
    ASSERT_TRUE(first);
    // register number 1 is sent as 0, the receipt limit 0 as four zero bytes
    EXPECT_EQ(*first,
              bytes({0, 0, 0, 30, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 80, 50, 0, 0}));
    ASSERT_TRUE(
        setSettingValue(v, settingIndex(QStringLiteral("numer_kasy")), QStringLiteral("9")));
    ASSERT_TRUE(setSettingValue(v, settingIndex(QStringLiteral("szybkosc_druku")),
                                QStringLiteral("normalna")));
    ASSERT_TRUE(setSettingValue(v, settingIndex(QStringLiteral("przypominanie_raport")),
                                QStringLiteral("włączone")));
    v.number[size_t(settingIndex(QStringLiteral("impuls_szuflady")))] = QStringLiteral("255");
    v.number[size_t(settingIndex(QStringLiteral("max_paragon")))] = QStringLiteral("123456789");
    const auto second = settingsBytes(v);
    ASSERT_TRUE(second);
    // 9 as 8; 255 as it is; 123456789 = 0x075BCD15 low byte first
    EXPECT_EQ(*second, bytes({8, 0, 0, 30, 255, 0, 0, 0x15, 0xCD, 0x5B, 0x07,
                              2, 0, 0, 0,  0,   0, 0, 80,   50,   0,    1}));
}

TEST(Settings, NumberFieldsMustConvert)
{
    for (const char* bad : {"", "12a", "  ", "1.5", "99999999999999"}) {
        SettingsValues v = filled();
        v.number[size_t(settingIndex(QStringLiteral("max_paragon")))] = QString::fromLatin1(bad);
        QString error;
        EXPECT_FALSE(settingsBytes(v, &error)) << bad;
        EXPECT_EQ(error, QStringLiteral("'") + QString::fromLatin1(bad) +
                             QStringLiteral("' nie jest poprawną liczbą całkowitą."));
    }
    Bench t;
    SettingsValues v; // a new form: the number fields are empty
    EXPECT_FALSE(sendSettings(t.link, t.ui, v));
    EXPECT_TRUE(t.script.written.isEmpty());
    EXPECT_EQ(t.ui.messages, QStringList{QStringLiteral("'' nie jest poprawną liczbą całkowitą.")});
}

TEST(Settings, SendFrameToAddressOne)
{
    Bench t;
    t.link.address = 5;
    t.script.reads = {QByteArray(),
                      bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x06, 0x03, 0x0F, 0x03})};
    SettingsValues v = filled();
    ASSERT_TRUE(sendSettings(t.link, t.ui, v));
    EXPECT_EQ(t.script.written, frameWith(*settingsBytes(v)));
    EXPECT_EQ(t.script.written.size(), 31);
    EXPECT_TRUE(t.ui.messages.isEmpty());
}

TEST(Settings, RefusalIsShown)
{
    {
        Bench t;
        // error frame with device error 110
        QByteArray err = bytes({0x02, 0x01, 0x0B, 0x00, 0x01, 0x80, 0x41, 0x00, 110});
        quint8 x = 0;
        for (int i = 1; i < err.size(); ++i)
            x ^= quint8(err[i]);
        err += char(x);
        err += char(0x03);
        t.script.reads = {QByteArray(), err.left(10), err.mid(10)};
        EXPECT_FALSE(sendSettings(t.link, t.ui, filled()));
        EXPECT_EQ(t.ui.messages,
                  QStringList{QStringLiteral("Błąd 110: Błąd zapisu ustawień kasy")});
    }
    {
        Bench t;
        t.script.reads = {QByteArray(), QByteArray()};
        EXPECT_FALSE(sendSettings(t.link, t.ui, filled()));
        EXPECT_EQ(t.ui.messages, QStringList{QStringLiteral("Brak odpowiedzi kasy.")});
    }
}

TEST(Settings, RefreshFillsTheControls)
{
    Bench t;
    // the 21 reported bytes: register 3, grosze, ..., drawer pulse 200, limit 5000 (0x1388),
    // speed "normalna", sleep 5 minutes, backlights 90 and 10, an out-of-range item for
    // "Automatyczne otwieranie szuflady" that leaves its control alone
    const QByteArray data =
        bytes({2, 1, 1, 45, 200, 1, 1, 0x88, 0x13, 0, 0, 2, 1, 1, 1, 1, 1, 4, 90, 10, 7});
    QByteArray f = bytes({0x02, 0x01, 30, 0x00, 0x01, 0x80, 0x03});
    f += data;
    quint8 x = 0;
    for (int i = 1; i < f.size(); ++i)
        x ^= quint8(f[i]);
    f += char(x);
    f += char(0x03);
    t.script.reads = {QByteArray(), f};
    SettingsValues v;
    v.choice[17] = 1;
    ASSERT_TRUE(readSettings(t.link, t.ui, v));
    // request: 02 01 0B 00 01 80 03 01 00, check 01^0B^01^80^03^01 = 0x89
    EXPECT_EQ(t.script.written.left(11),
              bytes({0x02, 0x01, 0x0B, 0x00, 0x01, 0x80, 0x03, 0x01, 0x00, 0x89, 0x03}));
    EXPECT_EQ(settingText(v, 0), QStringLiteral("3"));
    EXPECT_EQ(settingText(v, 1), QStringLiteral("grosze"));
    EXPECT_EQ(settingText(v, 3), QStringLiteral("45"));
    EXPECT_EQ(settingText(v, 4), QStringLiteral("200"));
    EXPECT_EQ(settingText(v, 7), QStringLiteral("5000"));
    EXPECT_EQ(settingText(v, 8), QStringLiteral("normalna"));
    EXPECT_EQ(settingText(v, 11), QStringLiteral("DUNO 8k"));
    EXPECT_EQ(settingText(v, 14), QStringLiteral("5"));
    EXPECT_EQ(settingText(v, 15), QStringLiteral("90"));
    EXPECT_EQ(settingText(v, 16), QStringLiteral("10"));
    EXPECT_EQ(v.choice[17], 1);
    EXPECT_EQ(v.choice[18], 0); // not reported
}

// The read goes to the register's own address, unlike the settings frame itself.
TEST(Settings, RefreshAsksTheRegistersAddress)
{
    Bench t;
    t.link.address = 4;
    t.script.reads = {QByteArray()};
    SettingsValues v;
    readSettings(t.link, t.ui, v);
    // request: 02 04 0B 00 01 80 03 01 00, check 04^0B^01^80^03^01 = 0x8C
    EXPECT_EQ(t.script.written.left(11),
              bytes({0x02, 0x04, 0x0B, 0x00, 0x01, 0x80, 0x03, 0x01, 0x00, 0x8C, 0x03}));
}

TEST(Settings, UnknownItemIsRefused)
{
    SettingsValues v;
    EXPECT_FALSE(
        setSettingValue(v, settingIndex(QStringLiteral("numer_kasy")), QStringLiteral("10")));
    EXPECT_FALSE(setSettingValue(v, -1, QStringLiteral("1")));
    EXPECT_EQ(settingIndex(QStringLiteral("nie_ma")), -1);
}

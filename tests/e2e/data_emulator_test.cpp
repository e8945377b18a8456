// The register data transfers and the settings block through the real link against the
// register emulator on a pseudo-terminal.
#include "emulator/emulatorhost.h"
#include "fakeui.h"
#include "link/commands.h"
#include "link/link.h"
#include "link/portmap.h"
#include "service/settings.h"
#include "transfer/cachedump.h"
#include "transfer/copyread.h"
#include "transfer/information.h"
#include "transfer/sales.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using transfer::InfoField;

namespace {

struct Bench {
    explicit Bench(emu::Model model = emu::Model::DunoBis, int comeBackMs = -1)
        : reg(model), host(reg)
    {
        if (comeBackMs >= 0)
            host.setComeBack(comeBackMs);
        started = host.start();
        portmap::setPortOverride(45, host.devicePath());
        link.port = 45;
        // The register's pauses pass in real time, as before a real register: the emulator
        // answers from its own thread, and a pause skipped on a busy machine would leave the
        // read alone to wait for it.
        ui.sleeps = true;
        opened = started && link.openPort(ui, true) == 0;
    }
    ~Bench()
    {
        link.closePort();
        portmap::clearPortOverrides();
    }
    emu::RegisterModel reg;
    emu::EmulatorHost host;
    Link link;
    FakeUi ui;
    bool started = false;
    bool opened = false;
};

} // namespace

TEST(DataAgainstEmulator, InformationOfBothModels)
{
    for (emu::Model m : {emu::Model::DunoBis, emu::Model::Duno}) {
        Bench b(m);
        ASSERT_TRUE(b.opened);
        b.reg.fillDemo(5);
        const auto info = transfer::fetchInformation(b.link, b.ui);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->registerType, m == emu::Model::DunoBis ? 2 : 1);
        EXPECT_EQ(info->value(InfoField::Version),
                  m == emu::Model::DunoBis ? QStringLiteral("2,00") : QStringLiteral("1,00"));
        EXPECT_EQ(info->value(InfoField::Nip), QStringLiteral("1234567890"));
        EXPECT_EQ(info->value(InfoField::LastDailyReport), QStringLiteral("21:05   7-12-2026"));
        EXPECT_EQ(info->value(InfoField::CashierName), QStringLiteral("Kierownik"));
        EXPECT_EQ(info->value(InfoField::Usb), QStringLiteral("Komputer PC"));
        EXPECT_EQ(info->value(InfoField::CardSize).has_value(), m == emu::Model::DunoBis);
        EXPECT_TRUE(b.ui.messages.isEmpty());
    }
}

TEST(DataAgainstEmulator, CurrencyChangeShowsInTheInformation)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    const QByteArray e = commands::changeAccountingCurrency(1, 0x8001, 43012, 4,
                                                            QStringLiteral("EUR"), 1, 2027, 1, 1);
    ASSERT_EQ(commands::send(b.link, b.ui, e), 0);
    QThread::msleep(50);
    const auto info = transfer::fetchInformation(b.link, b.ui);
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->currencyChangeProgrammed);
    EXPECT_EQ(info->value(InfoField::NewCurrencySymbol), QStringLiteral("EUR"));
    EXPECT_EQ(info->value(InfoField::CurrencyChangeDate), QStringLiteral("00:00   1-1-2027"));
}

TEST(DataAgainstEmulator, SilentRegisterGivesBrakKomunikacji)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    emu::FaultPlan plan;
    plan.silent = {1};
    {
        auto lock = b.host.lock();
        b.reg.setFaults(plan);
    }
    EXPECT_FALSE(transfer::fetchInformation(b.link, b.ui));
    EXPECT_EQ(b.ui.messages, QStringList{QStringLiteral("Brak komunikacji")});
}

TEST(DataAgainstEmulator, SalesDownloadWithAStop)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    b.reg.fillDemo(300); // every third article has no sales
    transfer::SalesBuffer all;
    const auto full = transfer::downloadSales(b.link, b.ui, all, false);
    EXPECT_TRUE(full.complete);
    EXPECT_EQ(full.received, 300);
    transfer::SalesBuffer nonZero;
    const auto sold = transfer::downloadSales(b.link, b.ui, nonZero, true);
    EXPECT_TRUE(sold.complete);
    EXPECT_EQ(sold.received, 200);
    EXPECT_EQ(nonZero.records()[2].number, 0); // article 3 sold nothing

    b.ui.stopAfterEvents = b.ui.eventsRun + 50;
    transfer::SalesBuffer part;
    const auto stopped = transfer::downloadSales(b.link, b.ui, part, true);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.received, 50);
    // the register ended its run: the next request is answered from the start
    b.ui.stop = false;
    b.ui.stopAfterEvents = -1;
    transfer::SalesBuffer again;
    EXPECT_EQ(transfer::downloadSales(b.link, b.ui, again, true).received, 200);
}

TEST(DataAgainstEmulator, ClearSalesThenZeroSales)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    b.reg.fillDemo(20);
    b.ui.answers = {TransferUi::Answer::Yes};
    ASSERT_TRUE(transfer::clearRegisterSales(b.link, b.ui));
    transfer::SalesBuffer buffer;
    EXPECT_EQ(transfer::downloadSales(b.link, b.ui, buffer, true).received, 0);
    EXPECT_EQ(b.ui.messages, (QStringList{QStringLiteral("Sprzedaż skasowana"),
                                          QStringLiteral("Zerowa wartość sprzedaży.")}));
}

TEST(DataAgainstEmulator, GroupTurnover)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    b.reg.fillDemo(5);
    const auto r = transfer::readGroupTurnover(b.link, b.ui);
    EXPECT_TRUE(r.ok);
    ASSERT_EQ(r.lines.size(), 12 * 22);
    EXPECT_EQ(r.lines[0], QStringLiteral("Obrót w miesiącu 1-2026"));
    EXPECT_EQ(r.lines[1], QStringLiteral("Grupa towarowa nr. 1: 100,00"));
}

TEST(DataAgainstEmulator, CopyTextStream)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    QByteArray text;
    for (int i = 1; i <= 30; ++i)
        text += "PARAGON FISKALNY nr " + QByteArray::number(i) + "\nSUMA PLN 3,50\n";
    b.reg.setCopyText(text);
    transfer::CopyReception r;
    ASSERT_TRUE(transfer::runCopyRead(b.link, b.ui,
                                      transfer::copySimple(transfer::CopyKind::LastDocument,
                                                           transfer::CopyHandling::SendToComputer),
                                      &r));
    EXPECT_EQ(r.end, transfer::CopyEnd::Complete);
    EXPECT_EQ(r.text, QString::fromLatin1(text));
}

TEST(DataAgainstEmulator, CopyStreamEndsAfterSilence)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    // the register takes the query but sends none of its text
    emu::FaultPlan plan;
    plan.silent = {1};
    b.reg.setCopyText(QByteArray(200, 'x'));
    {
        auto lock = b.host.lock();
        b.reg.setFaults(plan);
    }
    transfer::CopyReception r;
    transfer::runCopyRead(b.link, b.ui,
                          transfer::copySimple(transfer::CopyKind::LastDocument,
                                               transfer::CopyHandling::SendToComputer),
                          &r);
    EXPECT_EQ(r.end, transfer::CopyEnd::Silence);
    EXPECT_EQ(b.ui.messages, QStringList{QStringLiteral(
                                 "Kasa przestała przesyłać dane. Odczyt kopii przerwany.")});
}

TEST(DataAgainstEmulator, CacheDump)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    QByteArray cache;
    for (int i = 0; i < 100 * 256; ++i)
        cache += char(i * 31 + i / 256);
    b.reg.setCacheMemory(cache);
    QTemporaryDir dir;
    const QString path = dir.filePath(transfer::defaultCacheDumpName());
    const QDateTime when(QDate(2026, 12, 8), QTime(22, 0));
    const auto d = transfer::dumpCacheMemory(b.link, b.ui, path, when);
    EXPECT_TRUE(d.complete);
    EXPECT_EQ(d.frames, 100);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), cache + transfer::cacheDumpTrailer(when));
}

// A dump frame that comes damaged, or a frame that goes missing so that the next one comes
// in its place: the frame is refused (acknowledgement 1 ends the register's transfer), the
// dump ends at that frame and an earlier dump file stays as it was.
TEST(DataAgainstEmulator, CacheDumpWithAHoleFails)
{
    struct Case {
        const char* name;
        emu::FaultPlan plan;
        QStringList messages;
    };
    emu::FaultPlan damaged, lost;
    damaged.corrupt = {3}; // the answer to the second acknowledgement: frame 3
    lost.lose = {3};       // frame 3 is lost, frame 4 comes after the second acknowledgement
    const QString failed = QStringLiteral("Błąd transmisji: zrzut przerwany na ramce 3.");
    const Case cases[] = {
        {"damaged", damaged, {}},
        {"lost", lost, {QStringLiteral("Kasa przysłała ramkę 4 zamiast ramki 3."), failed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench b;
        ASSERT_TRUE(b.opened);
        b.reg.setCacheMemory(QByteArray(10 * 256, 'c'));
        {
            auto lock = b.host.lock();
            b.reg.setFaults(c.plan);
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(transfer::defaultCacheDumpName());
        {
            QFile earlier(path);
            ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier dump");
        }
        const auto d = transfer::dumpCacheMemory(b.link, b.ui, path);
        EXPECT_FALSE(d.complete);
        EXPECT_EQ(d.failedFrame, 3);
        EXPECT_EQ(d.data, QByteArray(2 * 256, 'c'));
        EXPECT_EQ(b.ui.messages.last(), failed);
        if (!c.messages.isEmpty()) {
            EXPECT_EQ(b.ui.messages, c.messages);
        }
        // the request, two acknowledgements and the refusal
        const auto received = [&b] {
            auto lock = b.host.lock();
            return b.reg.framesReceived();
        };
        for (int i = 0; i < 200 && received() < 4; ++i)
            QThread::msleep(10);
        EXPECT_EQ(received(), 4);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("earlier dump"));
    }
}

TEST(DataAgainstEmulator, SettingsRoundTrip)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    service::SettingsValues v;
    ASSERT_TRUE(service::readSettings(b.link, b.ui, v));
    const QStringList set = {QStringLiteral("numer_kasy=4"),
                             QStringLiteral("format_wplat=grosze"),
                             QStringLiteral("czas_wylaczenia=30"),
                             QStringLiteral("impuls_szuflady=255"),
                             QStringLiteral("max_paragon=100000"),
                             QStringLiteral("czas_uspienia=3"),
                             QStringLiteral("podswietlenie_operatora=80"),
                             QStringLiteral("podswietlenie_klienta=60")};
    for (const QString& s : set) {
        const QStringList kv = s.split(u'=');
        ASSERT_TRUE(service::setSettingValue(v, service::settingIndex(kv[0]), kv[1]))
            << s.toStdString();
    }
    ASSERT_TRUE(service::sendSettings(b.link, b.ui, v));
    service::SettingsValues back;
    ASSERT_TRUE(service::readSettings(b.link, b.ui, back));
    EXPECT_EQ(service::settingText(back, 0), QStringLiteral("4"));
    EXPECT_EQ(service::settingText(back, 1), QStringLiteral("grosze"));
    EXPECT_EQ(service::settingText(back, 4), QStringLiteral("255"));
    EXPECT_EQ(service::settingText(back, 7), QStringLiteral("100000"));
    EXPECT_EQ(service::settingText(back, 14), QStringLiteral("3"));
    EXPECT_TRUE(b.ui.messages.isEmpty());
}

TEST(DataAgainstEmulator, VanishedDeviceComesBack)
{
    Bench b(emu::Model::DunoBis, 200);
    ASSERT_TRUE(b.opened);
    b.ui.sleeps = true; // the device comes back after 200 ms of real time
    b.reg.fillDemo(30);
    emu::FaultPlan plan;
    plan.vanish = {5}; // the request and three acknowledgements, then the device is gone
    {
        auto lock = b.host.lock();
        b.reg.setFaults(plan);
    }
    transfer::SalesBuffer buffer;
    // The records come on: the read ends at once on the hung-up line, and its next
    // acknowledgement opens the same port number again once the device is back (the send
    // waits a moment for it), and the register goes on with its transfer.
    const auto cut = transfer::downloadSales(b.link, b.ui, buffer, false);
    EXPECT_TRUE(cut.complete);
    EXPECT_EQ(cut.received, 30);
    // plugged in again: the same port number opens and the download goes through
    for (int i = 0; i < 100 && b.host.comebacks() == 0; ++i)
        QThread::msleep(20);
    ASSERT_EQ(b.host.comebacks(), 1);
    b.link.closePort();
    b.link.port = 45;
    ASSERT_EQ(b.link.openPort(b.ui, true), 0);
    const auto whole = transfer::downloadSales(b.link, b.ui, buffer, false);
    EXPECT_TRUE(whole.complete);
    EXPECT_EQ(whole.received, 30);
}

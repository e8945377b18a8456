#include "link/portscan.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "fakeui.h"
#include "scanworld.h"

namespace {

// The probe as the register expects it: start, address, length 10, the sequence low byte
// first, "Q", data byte 0, check byte (XOR of bytes 1..7), end.
QByteArray probeFrame(int address, quint16 sequence)
{
    QByteArray f;
    f += char(0x02);
    f += char(address);
    f += char(10);
    f += char(0);
    f += char(sequence & 0xFF);
    f += char(sequence >> 8);
    f += 'Q';
    f += char(0);
    f += char(0);
    f += char(0x03);
    sealByHand(f);
    return f;
}

struct Scan : ::testing::Test {
    ScanWorld world;
    Link link{world.factory()};
    FakeUi ui;
};

} // namespace

TEST(PortEntries, NumberFromEntryText)
{
    const struct {
        const char16_t* text;
        int port;
    } rows[] = {{u"COM 7", 7}, {u"COM 12 (/dev/ttyUSB0)", 12}, {u"COM99", 99}, {u"Brak", 0},
                {u"COM ", 0},  {u"COM 3 (/dev/ttyS2)", 3}};
    for (const auto& r : rows)
        EXPECT_EQ(portscan::portFromEntry(QString::fromUtf16(r.text)), r.port)
            << QString::fromUtf16(r.text).toStdString();
    EXPECT_EQ(portscan::portEntry(5), QStringLiteral("COM 5"));
    portmap::setPortOverride(5, QStringLiteral("/dev/pts/4"));
    EXPECT_EQ(portscan::portLabel(5), QStringLiteral("COM 5 (/dev/pts/4)"));
    EXPECT_EQ(portscan::portFromEntry(portscan::portLabel(5)), 5);
    portmap::clearPortOverrides();
    EXPECT_EQ(portscan::portLabel(98), QStringLiteral("COM 98"));
}

// USB adapters and USB CDC devices are tried and listed before the on-board ports, judged by
// the device behind the number, not by the number alone.
TEST(PortOrder, UsbDevicesFirst)
{
    portmap::setPortOverride(2, QStringLiteral("/dev/ttyUSB5"));
    portmap::setPortOverride(40, QStringLiteral("/dev/ttyS9"));
    portmap::setPortOverride(97, QStringLiteral("/dev/serial/by-id/usb-Vorn_Duno-if00"));
    const QList<int> order = portscan::probeOrder();
    portmap::clearPortOverrides();
    ASSERT_EQ(order.size(), 99);
    QList<int> usb{2};
    for (int p = 33; p <= 96; ++p)
        if (p != 40)
            usb << p;
    usb << 97;
    EXPECT_EQ(order.mid(0, usb.size()), usb);
    QList<int> onBoard{1};
    for (int p = 3; p <= 32; ++p)
        onBoard << p;
    onBoard << 40 << 98 << 99;
    EXPECT_EQ(order.mid(usb.size()), onBoard);
}

TEST(PortEntries, ByIdNameAndAddress)
{
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("ttyUSB0"));
    QFile f(device);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("by-id"))));
    const QString name = QStringLiteral("usb-FTDI_FT232R_USB_UART_A1B2-if00-port0");
    ASSERT_TRUE(QFile::link(device, dir.filePath(QStringLiteral("by-id/")) + name));
    portmap::setPortOverride(33, device);
    EXPECT_EQ(portmap::byIdName(33, dir.filePath(QStringLiteral("by-id"))), name);
    EXPECT_EQ(portmap::byIdName(33, dir.filePath(QStringLiteral("none"))), QString());
    EXPECT_TRUE(portmap::isUsb(33));
    portmap::setPortOverride(4, QStringLiteral("/dev/ttyS3"));
    EXPECT_FALSE(portmap::isUsb(4));
    EXPECT_EQ(portscan::foundEntry({4, 2}), QStringLiteral("COM 4 (/dev/ttyS3), adres 2"));
    EXPECT_EQ(portscan::portFromEntry(portscan::foundEntry({4, 2})), 4);
    portmap::clearPortOverrides();
}

TEST_F(Scan, AvailablePortsLeaveThePortNumberAndCloseEveryPort)
{
    world.open = {3, 7, 99};
    link.port = 12;
    EXPECT_EQ(portscan::availablePorts(link, ui), (QList<int>{3, 7, 99}));
    EXPECT_EQ(link.port, 12);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(world.closes, 3);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(Scan, QuickSearchKeepsTheFirstAnsweringPortOpenAt115200)
{
    world.open = {2, 5, 9};
    world.registers[5] = {1};
    world.registers[9] = {1};
    link.line.baud = 9600;
    link.line.dataBits = 7;
    std::vector<int> tried;
    EXPECT_EQ(portscan::quickSearch(link, ui, [&](int p) { tried.push_back(p); }), 5);
    EXPECT_EQ(link.port, 5);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.line.baud, 115200u);
    EXPECT_EQ(link.line.dataBits, 7); // the other settings stay
    EXPECT_EQ(tried, (std::vector<int>{1, 2, 3, 4, 5}));
    // One probe on port 2 (silent) and one on port 5, both with sequence 0x8001.
    ASSERT_EQ(world.written.size(), 2);
    EXPECT_EQ(world.written[0], probeFrame(1, 0x8001));
    EXPECT_EQ(world.written[1], probeFrame(1, 0x8001));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(Scan, QuickSearchUsesTheCurrentAddress)
{
    world.open = {4};
    world.registers[4] = {3};
    link.address = 3;
    EXPECT_EQ(portscan::quickSearch(link, ui), 4);
    EXPECT_EQ(world.written.value(0), probeFrame(3, 0x8001));
}

TEST_F(Scan, QuickSearchWithoutRegisterEndsWithNoPort)
{
    world.open = {1, 2};
    link.port = 2;
    EXPECT_EQ(portscan::quickSearch(link, ui), 0);
    EXPECT_EQ(link.port, Link::NoPort);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(world.written.size(), 2);
    EXPECT_TRUE(ui.messages.isEmpty()); // the caller says "Nie wykryto ..."
}

TEST_F(Scan, RegisterScanListsEveryAddressAndPutsTheLinkBack)
{
    world.open = {4, 6, 8};
    world.registers[4] = {1, 2};
    world.registers[8] = {9};
    link.port = 6;
    link.line.baud = 9600;
    link.address = 5;
    std::vector<std::pair<int, int>> progress;
    const portscan::ScanResult r = portscan::registerScan(
        link, ui, [&](int, int, int done, int total) { progress.emplace_back(done, total); });
    EXPECT_EQ(r.portsOpened, 3);
    EXPECT_EQ(r.found, (QList<portscan::FoundRegister>{{4, 1}, {4, 2}, {8, 9}}));
    EXPECT_EQ(progress.back(), std::make_pair(27, 27)); // 3 ports x 9 addresses
    // The probes of the scan carry sequence 0 and every address in turn.
    EXPECT_EQ(world.written.value(0), probeFrame(1, 0));
    EXPECT_EQ(world.written.size(), 27);
    EXPECT_EQ(world.written.value(26), probeFrame(9, 0));
    for (int i = 0; i < 27; ++i)
        EXPECT_EQ(world.configured.value(3 + i).baud, 115200u) << i; // after the 3 counts
    // The previous link state is back, its port open again at its own rate.
    EXPECT_TRUE(r.previousPortReopened);
    EXPECT_EQ(link.port, 6);
    EXPECT_EQ(link.line.baud, 9600u);
    EXPECT_EQ(link.address, 5);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(world.configured.last().baud, 9600u);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(Scan, RegisterScanWhenThePreviousPortIsGone)
{
    world.open = {4};
    link.port = 11; // does not open
    const portscan::ScanResult r = portscan::registerScan(link, ui);
    EXPECT_TRUE(r.found.isEmpty());
    EXPECT_FALSE(r.previousPortReopened);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.port, 11);
    EXPECT_TRUE(ui.messages.isEmpty()); // silent reopen
}

TEST_F(Scan, ConnectFoundTakesItsAddress)
{
    world.open = {4};
    EXPECT_TRUE(portscan::connectFound(link, ui, {4, 2}));
    EXPECT_EQ(link.port, 4);
    EXPECT_EQ(link.address, 2);
    EXPECT_TRUE(link.isOpen());
    EXPECT_FALSE(portscan::connectFound(link, ui, {5, 3}));
    EXPECT_EQ(link.address, 2);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Nie mogę otworzyć portu COM5 (scan:5).")});
}

TEST_F(Scan, ApplySettingsOutcomes)
{
    world.open = {2, 3};
    // "Brak": the open port closes, no port.
    link.port = 2;
    link.openPort(ui, true);
    portscan::PortChoice none;
    EXPECT_EQ(portscan::applySettings(link, ui, none), portscan::ApplyOutcome::NoPortChosen);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.port, Link::NoPort);

    // A port that opens takes the settings and the address.
    portscan::PortChoice c;
    c.port = 3;
    c.line.baud = 19200;
    c.line.dataBits = 7;
    c.line.parity = 4;
    c.address = 6;
    EXPECT_EQ(portscan::applySettings(link, ui, c), portscan::ApplyOutcome::Opened);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.port, 3);
    EXPECT_EQ(link.line, c.line);
    EXPECT_EQ(link.address, 6);

    // A port that does not open: the saved settings come back and their port reopens.
    link.saveSettings();
    portscan::PortChoice bad = c;
    bad.port = 7;
    bad.line.baud = 600;
    bad.address = 9;
    EXPECT_EQ(portscan::applySettings(link, ui, bad), portscan::ApplyOutcome::Failed);
    EXPECT_EQ(ui.messages.last(), QStringLiteral("Nie mogę otworzyć portu COM7 (scan:7)."));
    EXPECT_EQ(link.port, 3);
    EXPECT_EQ(link.line.baud, 19200u);
    EXPECT_EQ(link.address, 6);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(world.opened.last(), 3);
}

TEST(BufferText, EachViewStopsAtTheFirstZero)
{
    const QByteArray bytes("\x02\x41\x0a\xff\x00\x33", 6);
    EXPECT_EQ(portscan::bufferText(bytes, portscan::BufferView::Hex),
              QStringLiteral("02 41 0A FF "));
    EXPECT_EQ(portscan::bufferText(bytes, portscan::BufferView::Decimal),
              QStringLiteral("2 65 10 255 "));
    EXPECT_EQ(portscan::bufferText(QByteArray("Kasa\xb9\0x", 7), portscan::BufferView::Char),
              QStringLiteral("Kasaą"));
    EXPECT_EQ(portscan::bufferText(QByteArray(), portscan::BufferView::Hex), QString());
}

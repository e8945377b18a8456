#include "app/portsettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}
} // namespace

TEST(SettingsFile, DefaultsGiveFourteenBytes)
{
    // port none, 115200 = 0x0001C200, 8 data bits, parity 0, stop 0, no flow control.
    EXPECT_EQ(settingsfile::encode(PortSettings{}),
              bytes({0, 255, 0x00, 0xC2, 0x01, 0x00, 8, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(SettingsFile, EncodesEveryField)
{
    PortSettings s;
    s.port = 4;
    s.baud = 9600; // 0x2580
    s.dataBits = 7;
    s.parity = 4;
    s.stopBits = 2;
    s.xonXoff = 1;
    s.rtsCts = 1;
    s.spare = {0xAA, 0xBB, 0xCC};
    const QByteArray expected = bytes({0, 4, 0x80, 0x25, 0, 0, 7, 4, 2, 1, 1, 0xAA, 0xBB, 0xCC});
    EXPECT_EQ(settingsfile::encode(s), expected);
    EXPECT_EQ(settingsfile::decode(expected), s);
}

TEST(SettingsFile, ByteZeroIsIgnoredOnRead)
{
    const PortSettings s =
        settingsfile::decode(bytes({0x7F, 12, 0x00, 0xC2, 0x01, 0, 8, 2, 1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(s.port, 12);
    EXPECT_EQ(s.baud, 115200u);
    EXPECT_EQ(s.parity, 2);
    EXPECT_EQ(s.stopBits, 1);
    EXPECT_EQ(s.rtsCts, 1);
}

TEST(SettingsFile, ShortFileKeepsDefaultsForMissingFields)
{
    const PortSettings s = settingsfile::decode(bytes({0, 3}));
    PortSettings expected;
    expected.port = 3;
    EXPECT_EQ(s, expected);
    EXPECT_EQ(settingsfile::decode(QByteArray()), PortSettings{});
}

TEST(SettingsFile, UnusableValuesFallBack)
{
    struct Row {
        QByteArray file;
        PortSettings expected;
    };
    PortSettings none;
    const QByteArray base = bytes({0, 5, 0x80, 0x25, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0});
    auto with = [&](int offset, int value) {
        QByteArray b = base;
        b[offset] = char(value);
        return b;
    };
    PortSettings p5;
    p5.port = 5;
    p5.baud = 9600;
    PortSettings portNone = p5;
    portNone.port = PortSettings::NoPort;
    PortSettings baudDefault = p5;
    baudDefault.baud = 115200;
    PortSettings flag = p5;
    flag.xonXoff = 1;
    const Row rows[] = {
        {with(1, 0), portNone}, {with(1, 100), portNone}, {with(6, 4), p5},   {with(6, 9), p5},
        {with(7, 5), p5},       {with(8, 3), p5},         {with(9, 7), flag},
    };
    for (const Row& r : rows)
        EXPECT_EQ(settingsfile::decode(r.file), r.expected) << r.file.toHex().constData();
    QByteArray zeroBaud = base;
    zeroBaud[2] = zeroBaud[3] = 0;
    EXPECT_EQ(settingsfile::decode(zeroBaud), baudDefault);
    (void)none;
}

TEST(SettingsFile, ReadAndWriteInDirectory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(settingsfile::read(dir.path()), PortSettings{}); // missing file
    PortSettings s;
    s.port = 7;
    s.baud = 19200;
    ASSERT_TRUE(settingsfile::write(dir.path(), s));
    QFile f(QDir(dir.path()).filePath(QStringLiteral("ustaw.cfg")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    EXPECT_EQ(written.size(), 14);
    EXPECT_EQ(written.at(0), 0);
    EXPECT_EQ(settingsfile::read(dir.path()), s);
}

TEST(SettingsFile, WriteFailsIntoMissingDirectory)
{
    EXPECT_FALSE(settingsfile::write(QStringLiteral("/nonexistent/vduno/dir"), PortSettings{}));
}

// A register behind a serial device server: the 14 bytes stay as they are (the network port
// number in byte 1) and the address lives in its side file, which goes when there is none.
TEST(SettingsFile, NetworkAddressInItsSideFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir d(dir.path());
    PortSettings s;
    s.port = 99;
    s.networkAddress = QStringLiteral("rfc2217://192.168.1.20:4001");
    ASSERT_TRUE(settingsfile::write(dir.path(), s));
    QFile cfg(d.filePath(QStringLiteral("ustaw.cfg")));
    ASSERT_TRUE(cfg.open(QIODevice::ReadOnly));
    EXPECT_EQ(cfg.readAll(), settingsfile::encode(s));
    EXPECT_EQ(settingsfile::read(dir.path()), s);

    s.networkAddress.clear();
    ASSERT_TRUE(settingsfile::write(dir.path(), s));
    EXPECT_FALSE(QFile::exists(d.filePath(QStringLiteral("ustaw.net"))));

    for (const char* junk : {"COM3", "tcp://kasa", "http://kasa:80", "tcp://:4001", ""}) {
        QFile side(d.filePath(QStringLiteral("ustaw.net")));
        ASSERT_TRUE(side.open(QIODevice::WriteOnly));
        side.write(junk);
        side.close();
        EXPECT_EQ(settingsfile::read(dir.path()).networkAddress, QString()) << junk;
    }
}

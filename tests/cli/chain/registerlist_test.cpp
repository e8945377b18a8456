// The register list as an owner writes it by hand: what it names, and every kind of line it
// refuses with the file, the line and what is wrong.
#include "transfer/chain/chainrun.h"
#include "transfer/chain/registerlist.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace {

using chain::ChainRegister;

TEST(RegisterList, TakesNamesPortsAddressesAndDatabases)
{
    const QByteArray text = "\xEF\xBB\xBF# sklepy\r\n"
                            "rynek-1  tcp://10.0.0.5:4001  1  rynek.vkf   # kasa przy wejściu\r\n"
                            "\r\n"
                            "\"Sklep Dworcowa\"\trfc2217://[::1]:2217\t2\t\"bazy/dworcowa 2.vkf\"\n"
                            "   # wcięty komentarz\n"
                            "zaplecze /dev/ttyUSB0 9\n"
                            "biuro COM3 4 /srv/bazy/biuro.vkf\n";
    const chain::RegisterList list =
        chain::parseRegisterList(text, QStringLiteral("sklepy.txt"), QStringLiteral("/home/k"));
    ASSERT_TRUE(list.ok()) << list.errors.join(u'\n').toStdString();
    ASSERT_EQ(list.registers.size(), 4);
    const ChainRegister& rynek = list.registers.at(0);
    EXPECT_EQ(rynek.name, QStringLiteral("rynek-1"));
    EXPECT_EQ(rynek.device, QStringLiteral("tcp://10.0.0.5:4001"));
    EXPECT_EQ(rynek.address, 1);
    EXPECT_EQ(rynek.database, QStringLiteral("/home/k/rynek.vkf"));
    EXPECT_EQ(rynek.lineNumber, 2);
    const ChainRegister& dworcowa = list.registers.at(1);
    EXPECT_EQ(dworcowa.name, QStringLiteral("Sklep Dworcowa"));
    EXPECT_EQ(dworcowa.address, 2);
    EXPECT_EQ(dworcowa.database, QStringLiteral("/home/k/bazy/dworcowa 2.vkf"));
    EXPECT_EQ(list.registers.at(2).device, QStringLiteral("/dev/ttyUSB0"));
    // Without a database in the list, the register's is NAME.vkf beside the list.
    EXPECT_EQ(list.registers.at(2).database, QStringLiteral("/home/k/zaplecze.vkf"));
    EXPECT_FALSE(list.registers.at(2).databaseListed);
    EXPECT_EQ(list.registers.at(3).device, QStringLiteral("/dev/ttyS2")); // COM3
    EXPECT_EQ(list.registers.at(3).database, QStringLiteral("/srv/bazy/biuro.vkf"));
}

struct BadLine {
    const char* text;
    const char* error;
};

void PrintTo(const BadLine& c, std::ostream* os)
{
    *os << c.text;
}

class RegisterListRefuses : public ::testing::TestWithParam<BadLine> {};

TEST_P(RegisterListRefuses, NamesFileLineAndWhatIsWrong)
{
    const QByteArray text = QByteArray("dobra tcp://127.0.0.1:4001 1\n") + GetParam().text + '\n';
    const chain::RegisterList list =
        chain::parseRegisterList(text, QStringLiteral("sklepy.txt"), QStringLiteral("/tmp"));
    ASSERT_FALSE(list.ok());
    EXPECT_EQ(list.errors.first(), QString::fromUtf8(GetParam().error));
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, RegisterListRefuses,
    ::testing::Values(
        BadLine{"kasa2 COM4", "sklepy.txt:2: za mało pól (potrzebne: NAZWA PORT ADRES)"},
        BadLine{"kasa2 COM4 1 a.vkf b.vkf", "sklepy.txt:2: za dużo pól (NAZWA PORT ADRES [BAZA])"},
        BadLine{"kasa2 COM4 0", "sklepy.txt:2: zły adres kasy „0” (1..9)"},
        BadLine{"kasa2 COM4 dwa", "sklepy.txt:2: zły adres kasy „dwa” (1..9)"},
        BadLine{"kasa2 COM0 1", "sklepy.txt:2: zły numer portu „COM0” (1..99)"},
        BadLine{"kasa2 LPT1 1", "sklepy.txt:2: nieznany port „LPT1” (COM3, /dev/ttyUSB0, "
                                "tcp://HOST:PORT, rfc2217://HOST:PORT, tls://HOST:PORT, "
                                "rfc2217+tls://HOST:PORT)"},
        BadLine{"kasa2 tcp://10.0.0.5 1",
                "sklepy.txt:2: zły adres sieciowy „tcp://10.0.0.5” (tcp://HOST:PORT, "
                "rfc2217://HOST:PORT, tls://HOST:PORT albo rfc2217+tls://HOST:PORT)"},
        BadLine{"kasa2 tcp://10.0.0.5:4001 1 ca=/etc/hostname",
                "sklepy.txt:2: plik certyfikatu (ca=) i odcisk (pin=) podaje się tylko przy "
                "porcie tls:// albo rfc2217+tls://"},
        BadLine{"kasa2 tls://10.0.0.5:4443 1 ca=brak.pem",
                "sklepy.txt:2: nie ma pliku certyfikatów „brak.pem”"},
        BadLine{"kasa2 tls://10.0.0.5:4443 1 pin=AB:CD",
                "sklepy.txt:2: zły odcisk certyfikatu „AB:CD” (64 cyfry szesnastkowe SHA-256, "
                "pary rozdzielone dwukropkiem albo nie)"},
        BadLine{"dobra COM4 2", "sklepy.txt:2: nazwa „dobra” już była w wierszu 1"},
        BadLine{"\"kasa 2 COM4 2", "sklepy.txt:2: niezamknięty cudzysłów"},
        // Nothing the list could not write back as it was, nor show in a message.
        BadLine{"ka\"sa COM4 2", "sklepy.txt:2: niedozwolony znak w polu „ka\"sa” (cudzysłów "
                                 "w środku pola albo znak sterujący)"},
        BadLine{"ka\x1bsa COM4 2", "sklepy.txt:2: niedozwolony znak w polu „ka\xEF\xBF\xBDsa” "
                                   "(cudzysłów w środku pola albo znak sterujący)"},
        BadLine{"kasa\xB3 COM4 2", "sklepy.txt: plik nie jest zapisany w UTF-8"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(RegisterList, WithoutRegistersIsRefused)
{
    const chain::RegisterList list = chain::parseRegisterList(
        "# jeszcze nic\n", QStringLiteral("sklepy.txt"), QStringLiteral("/tmp"));
    ASSERT_EQ(list.errors,
              QStringList{QStringLiteral("sklepy.txt: lista nie zawiera żadnej kasy")});
}

// What the window saves is read back the same, databases beside the list kept relative.
TEST(RegisterList, SavedListReadsBackTheSame)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("sklepy.txt"));
    const chain::RegisterList written = chain::parseRegisterList(
        "\"Sklep #1\" tcp://127.0.0.1:4001 3 \"bazy/sklep 1.vkf\"\nbiuro /dev/ttyACM0 1\n",
        QStringLiteral("x"), dir.path());
    ASSERT_TRUE(written.ok());
    QString error;
    ASSERT_TRUE(chain::saveRegisterList(path, written.registers, &error));
    const chain::RegisterList read = chain::loadRegisterList(path);
    ASSERT_TRUE(read.ok()) << read.errors.join(u'\n').toStdString();
    ASSERT_EQ(read.registers.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(read.registers.at(i).name, written.registers.at(i).name);
        EXPECT_EQ(read.registers.at(i).device, written.registers.at(i).device);
        EXPECT_EQ(read.registers.at(i).address, written.registers.at(i).address);
        EXPECT_EQ(read.registers.at(i).database, written.registers.at(i).database);
    }
    EXPECT_TRUE(chain::formatRegisterList(read.registers, dir.path())
                    .contains("\"Sklep #1\" tcp://127.0.0.1:4001 3 \"bazy/sklep 1.vkf\"\n"));
}

// A TLS port with the trust of its server's certificate, a file beside the list and a pinned
// fingerprint, in any order after the address: read, saved and read back the same.
TEST(RegisterList, TlsPortsKeepTheirCertificateFileAndFingerprint)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        QFile ca(dir.filePath(QStringLiteral("sklep 3.pem")));
        ASSERT_TRUE(ca.open(QIODevice::WriteOnly));
    }
    const QString pin = QStringLiteral(
        "7F:23:8A:CE:F5:72:C4:AF:B3:E6:82:2C:3C:C8:79:82:63:8A:1B:5B:93:FE:B0:B3:21:C7:B8:22:A4:AA:"
        "8A:3F");
    const QByteArray text = "zdroj tls://sklep3.example.pl:4443 1 \"ca=sklep 3.pem\" zdroj.vkf\n"
                            "rynek rfc2217+tls://10.0.0.9:4444 2 pin=" +
                            pin.toLower().remove(u':').toLatin1() +
                            " \"ca=sklep 3.pem\"\n"
                            "biuro tls://10.0.0.10:4443 1\n";
    const chain::RegisterList list =
        chain::parseRegisterList(text, QStringLiteral("sklepy.txt"), dir.path());
    ASSERT_TRUE(list.ok()) << list.errors.join(u'\n').toStdString();
    ASSERT_EQ(list.registers.size(), 3);
    const QString ca = dir.filePath(QStringLiteral("sklep 3.pem"));
    EXPECT_EQ(list.registers.at(0).tls, (TlsTrust{ca, {}}));
    EXPECT_EQ(list.registers.at(0).database, dir.filePath(QStringLiteral("zdroj.vkf")));
    EXPECT_EQ(list.registers.at(1).tls, (TlsTrust{ca, parseTlsPin(pin).value()}));
    EXPECT_EQ(list.registers.at(2).tls, TlsTrust{}) << "the system's store";

    const QByteArray saved = chain::formatRegisterList(list.registers, dir.path());
    const QByteArray line =
        "rynek rfc2217+tls://10.0.0.9:4444 2 \"ca=sklep 3.pem\" pin=" + pin.toLatin1() + '\n';
    EXPECT_TRUE(saved.contains(line)) << saved.toStdString();
    const chain::RegisterList again =
        chain::parseRegisterList(saved, QStringLiteral("x"), dir.path());
    ASSERT_TRUE(again.ok()) << again.errors.join(u'\n').toStdString();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(again.registers.at(i).device, list.registers.at(i).device);
        EXPECT_EQ(again.registers.at(i).tls, list.registers.at(i).tls);
    }
}

// Registers on one device server port or one device share a line, whatever the scheme;
// the same port and address twice is the same register.
TEST(RegisterList, RegistersOfOneLineAreGroupedInListOrder)
{
    const chain::RegisterList list =
        chain::parseRegisterList("a tcp://Host:4001 1\n"
                                 "b tcp://host:4002 1\n"
                                 "c rfc2217://host:4001 2\n"
                                 "d /dev/ttyUSB7 1\n"
                                 "e tcp://host:4001 1\n",
                                 QStringLiteral("x"), QStringLiteral("/tmp"));
    ASSERT_TRUE(list.ok());
    const QList<QList<int>> lines = chain::ChainRun::lines(list.registers);
    EXPECT_EQ(lines, (QList<QList<int>>{{0, 2, 4}, {1}, {3}}));
    EXPECT_EQ(chain::sameRegisterAs(list.registers, 4), 0);
    EXPECT_EQ(chain::sameRegisterAs(list.registers, 2), -1);
}

} // namespace

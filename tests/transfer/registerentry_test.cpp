// A register typed into the window's list: what goes in, and the reason for what does not.

#include "transfer/chain/registerentry.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct EntryCase {
    const char* what;
    chain::RegisterEntry entry;
    const char16_t* error; // empty: taken
};

} // namespace

TEST(RegisterEntry, TakenOrRefusedWithItsReason)
{
    QTemporaryDir dir;
    chain::ChainRegister rynek;
    rynek.name = QStringLiteral("rynek");
    rynek.port = rynek.device = QStringLiteral("tcp://10.0.0.5:4001");
    rynek.address = 1;
    const QList<chain::ChainRegister> others{rynek};
    const EntryCase cases[] = {
        {"network port",
         {QStringLiteral(" dworzec "), QStringLiteral("tcp://10.0.0.6:4001"), 1,
          QStringLiteral("dworzec.vkf")},
         u""},
        {"COM port", {QStringLiteral("Sklep Dworcowa"), QStringLiteral("com3"), 2, {}}, u""},
        {"same line, other address",
         {QStringLiteral("druga"), QStringLiteral("tcp://10.0.0.5:4001"), 2, {}},
         u""},
        {"no name", {QStringLiteral("  "), QStringLiteral("COM3"), 1, {}}, u"Wpisz nazwę kasy."},
        {"quote in the name",
         {QStringLiteral("a\"b"), QStringLiteral("COM3"), 1, {}},
         u"Nazwa kasy nie może zawierać cudzysłowu."},
        {"name taken",
         {QStringLiteral("rynek"), QStringLiteral("COM3"), 1, {}},
         u"Kasa o nazwie „rynek” jest już na liście."},
        {"no port",
         {QStringLiteral("x"), QString(), 1, {}},
         u"Wpisz port kasy (COM3, /dev/ttyUSB0, tcp://HOST:PORT, rfc2217://HOST:PORT, "
         u"tls://HOST:PORT albo rfc2217+tls://HOST:PORT)."},
        {"unknown port",
         {QStringLiteral("x"), QStringLiteral("LPT1"), 1, {}},
         u"Nieznany port „LPT1” (COM3, /dev/ttyUSB0, tcp://HOST:PORT, rfc2217://HOST:PORT, "
         u"tls://HOST:PORT, rfc2217+tls://HOST:PORT)."},
        {"COM 0",
         {QStringLiteral("x"), QStringLiteral("COM0"), 1, {}},
         u"Zły numer portu „COM0” (1..99)."},
        {"address 0",
         {QStringLiteral("x"), QStringLiteral("COM3"), 0, {}},
         u"Adres kasy musi być liczbą od 1 do 9."},
        {"same register",
         {QStringLiteral("x"), QStringLiteral("tcp://10.0.0.5:4001"), 1, {}},
         u"Kasa „rynek” ma już ten port i adres."},
        {"database in no directory",
         {QStringLiteral("x"), QStringLiteral("COM3"), 1, QStringLiteral("brak/x.vkf")},
         u"Nie ma katalogu "},
        {"TLS port with a pinned fingerprint",
         {QStringLiteral("x"),
          QStringLiteral("rfc2217+tls://10.0.0.7:4444"),
          1,
          {},
          {},
          QString(64, u'0')},
         u""},
        {"fingerprint too short",
         {QStringLiteral("x"),
          QStringLiteral("tls://10.0.0.7:4443"),
          1,
          {},
          {},
          QStringLiteral("AB:CD")},
         u"Zły odcisk certyfikatu „AB:CD” (64 cyfry szesnastkowe SHA-256"},
        {"certificate file for a plain port",
         {QStringLiteral("x"),
          QStringLiteral("tcp://10.0.0.7:4001"),
          1,
          {},
          QStringLiteral("ca.pem")},
         u"Plik certyfikatu (ca=) i odcisk (pin=) podaje się tylko przy porcie tls:// albo "
         u"rfc2217+tls://."},
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.what);
        QString error;
        const auto reg = chain::checkedRegister(c.entry, others, dir.path(), &error);
        const QString expected = QString::fromUtf16(c.error);
        if (expected.isEmpty()) {
            ASSERT_TRUE(reg.has_value()) << error.toStdString();
            EXPECT_EQ(reg->name, c.entry.name.trimmed());
            EXPECT_FALSE(reg->device.isEmpty());
            if (!c.entry.database.isEmpty()) {
                EXPECT_EQ(reg->database, QDir(dir.path()).absoluteFilePath(c.entry.database));
            }
        } else {
            EXPECT_FALSE(reg.has_value());
            EXPECT_TRUE(error.startsWith(expected)) << error.toStdString();
        }
    }
}

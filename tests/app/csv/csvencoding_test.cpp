#include "csvtestdb.h"
#include "fakeui.h"

#include "app/csv/csvencoding.h"
#include "app/csv/csvexport.h"
#include "app/csv/csvimport.h"
#include "common/cp1250.h"

namespace {

using csv::Encoding;

const QByteArray Bom("\xEF\xBB\xBF");

QByteArray groupFile(const QByteArray& name)
{
    return "Grupy\nNumer;Nazwa\n3;" + name + '\n';
}

// The name bytes of group 3 as the record holds them (up to the padding).
QByteArray groupName(TestDb& t)
{
    const QByteArray rec = t.db().readBytes(layout::Groups.offsetOf(3) + 1, 21);
    return rec.left(rec.indexOf('\0') < 0 ? rec.size() : rec.indexOf('\0'));
}

// A register's name of any bytes, taken in as cp1250, exports to a file that imports back to
// the same bytes. Some cp1250 texts are valid UTF-8 as well: "Î˘" stands for a character the
// register has not got, so the bytes stay cp1250; "Ĺ‚" and "â€ž" are the UTF-8 of "ł" and „,
// so the export writes UTF-8 with the byte order mark rather than bytes that would come back
// as another name.
struct Name {
    QByteArray cp1250;
    bool exportedWithBom;
};

class CsvNameRoundTrip : public ::testing::TestWithParam<Name> {};

TEST_P(CsvNameRoundTrip, ExportImportsBackToTheSameBytes)
{
    TestDb t;
    FakeUi ui;
    ASSERT_TRUE(csv::importBytes(*t.session, groupFile(GetParam().cp1250), ui, Encoding::Cp1250).ok)
        << ui.messages.join(u'\n').toStdString();
    ASSERT_EQ(groupName(t), GetParam().cp1250);

    const QByteArray exported = csv::exportTable(*t.session, csv::Table::Groups);
    EXPECT_EQ(exported.startsWith(Bom), GetParam().exportedWithBom);
    TestDb again;
    ASSERT_TRUE(csv::importBytes(*again.session, exported, ui).ok)
        << ui.messages.join(u'\n').toStdString();
    EXPECT_EQ(groupName(again), GetParam().cp1250);
    EXPECT_EQ(csv::exportTable(*again.session, csv::Table::Groups), exported);
}

INSTANTIATE_TEST_SUITE_P(Cp1250Bytes, CsvNameRoundTrip,
                         ::testing::Values(Name{"Walut\xCE\xA2o", false}, Name{"\xC5\x82", true},
                                           Name{"Ser \xE2\x80\x9E"
                                                "x",
                                                true},
                                           Name{"Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9", false},
                                           Name{"Mleko", false}));

// Which bytes the import stores for a name, automatically and as the user says.
struct Reading {
    QByteArray name; // as the file holds it
    Encoding encoding;
    QByteArray stored;
};

class CsvReading : public ::testing::TestWithParam<Reading> {};

TEST_P(CsvReading, StoresTheNameAsItsEncodingSays)
{
    TestDb t;
    FakeUi ui;
    ASSERT_TRUE(
        csv::importBytes(*t.session, groupFile(GetParam().name), ui, GetParam().encoding).ok)
        << ui.messages.join(u'\n').toStdString();
    EXPECT_EQ(groupName(t).toHex(), GetParam().stored.toHex());
}

INSTANTIATE_TEST_SUITE_P(
    AutomaticAndChosen, CsvReading,
    ::testing::Values(
        // "Łódź" in UTF-8 and in cp1250.
        Reading{"\xC5\x81\xC3\xB3"
                "d\xC5\xBA",
                Encoding::Automatic,
                "\xA3\xF3"
                "d\x9F"},
        Reading{"\xA3\xF3"
                "d\x9F",
                Encoding::Automatic,
                "\xA3\xF3"
                "d\x9F"},
        // Valid UTF-8 for U+03A2, which cp1250 has not got: the bytes are cp1250.
        Reading{"\xCE\xA2", Encoding::Automatic, "\xCE\xA2"},
        Reading{"\xC5\x82", Encoding::Automatic, "\xB3"},
        Reading{"\xC5\x82", Encoding::Cp1250, "\xC5\x82"},
        Reading{"\xA3\xF3"
                "d\x9F",
                Encoding::Cp1250,
                "\xA3\xF3"
                "d\x9F"},
        Reading{"\xC5\x81\xC3\xB3"
                "d\xC5\xBA",
                Encoding::Utf8,
                "\xA3\xF3"
                "d\x9F"},
        // A byte order mark inside the file is the character U+FEFF, which cp1250 has not got.
        Reading{Bom + "Ok", Encoding::Utf8, "?Ok"},
        Reading{Bom + "Ok", Encoding::Automatic, Bom + "Ok"},
        // Chosen UTF-8: a character the register has not got is stored as "?".
        Reading{"\xCE\xA2"
                "a",
                Encoding::Utf8, "?a"}));

struct Refusal {
    QByteArray file;
    Encoding encoding;
    const char* message;
};

class CsvEncodingRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(CsvEncodingRefusal, SaysWhereAndStoresNothing)
{
    TestDb t;
    FakeUi ui;
    const QByteArray before = t.db().contents();
    EXPECT_FALSE(csv::importBytes(*t.session, GetParam().file, ui, GetParam().encoding).ok);
    EXPECT_EQ(ui.messages, QStringList{QString::fromUtf8(GetParam().message) +
                                       QStringLiteral(" Nie zaimportowano żadnych danych.")});
    EXPECT_EQ(t.db().contents(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, CsvEncodingRefusal,
    ::testing::Values(
        Refusal{groupFile("\xA3\xF3"
                          "d\x9F"),
                Encoding::Utf8,
                "Plik nie jest zapisany w UTF-8: w wierszu 3, na pozycji 3 stoi bajt 0xA3, "
                "który nie należy do tekstu UTF-8."},
        Refusal{Bom + groupFile("Ok"), Encoding::Cp1250,
                "Plik zaczyna się znacznikiem kodowania UTF-8 (BOM), a wybrano kodowanie "
                "cp1250."},
        // The byte order mark decides: what follows must be UTF-8.
        Refusal{Bom + groupFile("A\xFF"), Encoding::Automatic,
                "Plik nie jest zapisany w UTF-8: w wierszu 3, na pozycji 4 stoi bajt 0xFF, "
                "który nie należy do tekstu UTF-8."}));

// Polish texts, whatever letters meet, stay plain cp1250 in the export: no pair of them is
// valid UTF-8 for characters cp1250 holds.
TEST(CsvEncoding, PolishLettersInEveryPairExportAsCp1250)
{
    const QString letters = QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ");
    QString text;
    for (QChar a : letters)
        for (QChar b : letters)
            text += QString(a) + b + QStringLiteral(" ") + a + b + b + QStringLiteral("x;");
    EXPECT_EQ(csv::encodeFile(text), cp1250::encode(text));
}

TEST(CsvEncoding, MalformedUtf8IsFoundWhereItStarts)
{
    const struct {
        QByteArray bytes;
        qsizetype at;
    } cases[] = {
        {"ab", -1},
        {"a\xF0\x9F\x98\x80z\xE2\x82\xAC", -1}, // U+1F600, U+20AC
        {"a\xC0\x80", 1},                       // overlong 0
        {"ab\xE0\x9F\xBF", 2},                  // overlong U+07FF
        {"\xED\xA0\x80", 0},                    // a surrogate
        {"\xF4\x90\x80\x80", 0},                // above U+10FFFF
        {"xy\xE2\x82", 2},                      // cut at the end
        {"\xC5x", 0},
        {"\x82", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(csv::firstInvalidUtf8(c.bytes), c.at) << c.bytes.toHex().toStdString();
}

TEST(CsvEncoding, NamesTheCommandLineTakes)
{
    EXPECT_EQ(csv::encodingFromName(QStringLiteral("utf-8")), Encoding::Utf8);
    EXPECT_EQ(csv::encodingFromName(QStringLiteral("UTF8")), Encoding::Utf8);
    EXPECT_EQ(csv::encodingFromName(QStringLiteral("cp1250")), Encoding::Cp1250);
    EXPECT_EQ(csv::encodingFromName(QStringLiteral("Windows-1250")), Encoding::Cp1250);
    EXPECT_EQ(csv::encodingFromName(QStringLiteral("latin2")), std::nullopt);
}

} // namespace

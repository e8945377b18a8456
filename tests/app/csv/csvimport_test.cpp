#include "csvtestdb.h"
#include "fakeui.h"

#include "app/csv/csvexport.h"
#include "app/csv/csvimport.h"
#include "common/cp1250.h"

#include <QLocale>

namespace {

using csv::Table;

QByteArray fileOf(Table table, const char* dataLine)
{
    const csv::TableInfo& info = csv::info(table);
    return cp1250::encode(info.title + u'\n' + info.columns + u'\n' + QString::fromUtf8(dataLine) +
                          u'\n');
}

// The records of the table that take part (cashiers, payment forms and currencies: 1..10).
QByteArray tablePart(TestDb& t, Table table)
{
    const csv::TableInfo& info = csv::info(table);
    return t.db().readBytes(info.layout.base, info.bytes());
}

csv::ImportOutcome import(TestDb& t, const QByteArray& file, FakeUi& ui)
{
    return csv::importBytes(*t.session, file, ui);
}

// The bytes of a literal that holds 0 bytes.
template <size_t N> QByteArray raw(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

QByteArray crlf(QByteArray lf)
{
    return lf.replace("\n", "\r\n");
}

// Records that stress the round trip: separators, quotes, Polish letters, full-width fields.
void fillHard(TestDb& t)
{
    fillKnown(t);
    t.put(layout::Articles, 8,
          article(8, QStringLiteral("Ser; \"Gouda\" źółć"), 'C', 1999,
                  QStringLiteral("0000000000077"), 5, 1, false, true, 2, 0));
    t.put(layout::Packaging, 2,
          PackagingRecord{2, QStringLiteral("Ąą;Ćć;Ęę;Łł;Ńń;Óó;Śś;Źź;Żż;\"x\" 12345678"), 99999999,
                          false});
    t.put(layout::Cashiers, 10,
          CashierRecord{10,
                        QStringLiteral("Łukasz; \"Ś\" Żółtek12"),
                        QStringLiteral("0001"),
                        {false, true, false, true, false, true, false}});
    t.put(layout::Groups, 6, GroupRecord{6, QStringLiteral("\"Cytat\";średnik;")});
    t.put(layout::Discounts, 20,
          DiscountRecord{20, QStringLiteral("Narzut; świąteczny !!"), 1, 0, 9999});
    t.put(layout::PaymentForms, 5, PaymentFormRecord{5, FullShortName, 5});
    t.put(
        layout::Currencies, 10,
        CurrencyRecord{10, QStringLiteral("Złoty; \"stary\""), 99999999, 2, QStringLiteral("ZŁ;")});
}

class CsvRoundTrip : public ::testing::TestWithParam<Table> {};

TEST_P(CsvRoundTrip, ExportThenImportIntoANewDatabaseGivesTheSameRecords)
{
    const Table table = GetParam();
    TestDb from;
    fillHard(from);
    const QByteArray file = csv::exportTable(*from.session, table);

    TestDb to;
    FakeUi ui;
    const csv::ImportOutcome out = import(to, file, ui);
    ASSERT_TRUE(out.ok) << ui.messages.join(u'\n').toStdString();
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(out.table, table);
    EXPECT_EQ(out.skipped, 0);

    QByteArray expected = tablePart(from, table);
    if (table == Table::Articles) {
        // The file has no unit column, and the new database's slots had no unit.
        for (int n = 1; n <= 2000; ++n)
            expected[(n - 1) * 68 + 67] = 0;
    }
    EXPECT_EQ(tablePart(to, table), expected);
    // And the second export is the same file.
    EXPECT_EQ(csv::exportTable(*to.session, table), file);
}

TEST_P(CsvRoundTrip, CrLfLineEndsImportLikeLineFeeds)
{
    const Table table = GetParam();
    TestDb from;
    fillHard(from);
    const QByteArray file = csv::exportTable(*from.session, table);

    TestDb lf, dos;
    FakeUi ui;
    ASSERT_TRUE(import(lf, file, ui).ok);
    const csv::ImportOutcome out = import(dos, crlf(file), ui);
    ASSERT_TRUE(out.ok) << ui.messages.join(u'\n').toStdString();
    EXPECT_EQ(out.table, table);
    EXPECT_EQ(tablePart(dos, table), tablePart(lf, table));
}

INSTANTIATE_TEST_SUITE_P(EveryTable, CsvRoundTrip,
                         ::testing::Values(Table::Articles, Table::Packaging, Table::Cashiers,
                                           Table::Groups, Table::Discounts, Table::PaymentForms,
                                           Table::Currencies));

TEST(CsvImport, ResultTextOfEveryTable)
{
    const char* texts[] = {"Zaimportowano bazę towarów",  "Zaimportowano bazę opakowań",
                           "Zaimportowano bazę kasjerów", "Zaimportowano bazę grup towarowych",
                           "Zaimportowano bazę rabatów",  "Zaimportowano bazę form płatności",
                           "Zaimportowano bazę walut"};
    TestDb t;
    FakeUi ui;
    for (int i = 0; i < 7; ++i) {
        const csv::ImportOutcome out = import(t, csv::exportTable(*t.session, Table(i)), ui);
        EXPECT_TRUE(out.ok);
        EXPECT_EQ(out.label, QString::fromUtf8(texts[i]));
    }
}

TEST(CsvImport, ArticleFieldsByteByByte)
{
    TestDb t;
    FakeUi ui;
    // Slot 4 held an article with unit 6; slot 5 was free.
    t.put(layout::Articles, 4,
          article(4, QStringLiteral("Stary"), 'A', 1, QString(), 1, 0, false, false, 0, 6));
    const QByteArray file = "Towary\n"
                            "Numer;Nazwa;Cena;PTU;Kod;Numer grupy;Numer opakowania;Cena sztywna;"
                            "Sprzedaz na sztuki;Indeks HALO\n"
                            "4;Mas\xb3o;6,99;B;590123;3;2;1;0;4\n"
                            "5;Jaja;0,00;;;1;0;0;1;0\n";
    ASSERT_TRUE(import(t, file, ui).ok);
    QByteArray four(68, '\0');
    four[0] = 4;
    four.replace(2, 5, "Mas\xb3o");
    four[44] = 'B';
    four[45] = char(699 & 0xFF); // 699 = 0x02BB
    four[46] = char(699 >> 8);
    four.replace(49, 13, "0000000590123");
    four[62] = 3;
    four[63] = 2;
    four[64] = 1;
    four[65] = 0;
    four[66] = 4;
    four[67] = 6; // the unit the slot had before
    EXPECT_EQ(t.db().readBytes(layout::Articles.offsetOf(4), 68), four);

    QByteArray five(68, '\0');
    five[0] = 5;
    five.replace(2, 4, "Jaja");
    five[44] = 0; // empty VAT field
    five.replace(49, 13, "0000000000000");
    five[62] = 1;
    five[65] = 1;
    EXPECT_EQ(t.db().readBytes(layout::Articles.offsetOf(5), 68), five);
}

TEST(CsvImport, CurrencyRateWithoutCommaHasNoDecimals)
{
    TestDb t;
    FakeUi ui;
    ASSERT_TRUE(import(t,
                       "Waluty\nNumer;Nazwa;Kurs;Symbol\n"
                       "1;Euro;4,5678000;EUR\n"
                       "2;Jen;000000,05;JPY\n"
                       "3;Korona;12345678;CZ\n",
                       ui)
                    .ok);
    const auto rec = [&](int n) {
        return loadRecord<CurrencyRecord>(t.db(), layout::Currencies, n);
    };
    EXPECT_EQ(rec(1).mantissa, 45678000);
    EXPECT_EQ(rec(1).decimals, 7);
    EXPECT_EQ(rec(2).mantissa, 5);
    EXPECT_EQ(rec(2).decimals, 2);
    EXPECT_EQ(rec(3).mantissa, 12345678);
    EXPECT_EQ(rec(3).decimals, 0);
    // Symbol padded with spaces, as the currency form stores it.
    EXPECT_EQ(t.db().readBytes(layout::Currencies.offsetOf(3) + 27, 3), QByteArray("CZ "));
}

TEST(CsvImport, AmountsWithCommaOrPointWhateverTheLocale)
{
    const QLocale saved;
    for (const QLocale& locale :
         {QLocale(QLocale::Polish), QLocale(QLocale::English), QLocale(QLocale::German)}) {
        QLocale::setDefault(locale);
        TestDb t;
        FakeUi ui;
        ASSERT_TRUE(import(t,
                           "Opakowania\nNumer;Nazwa;Cena;Cena sztywna\n"
                           "1;A;0,29;0\n"
                           "2;B;0.29;0\n"
                           "3;C;12,5;0\n"
                           "4;D;7;0\n"
                           "5;E;1.239;0\n",
                           ui)
                        .ok);
        const auto price = [&](int n) {
            return loadRecord<PackagingRecord>(t.db(), layout::Packaging, n).price;
        };
        EXPECT_EQ(price(1), 29);
        EXPECT_EQ(price(2), 29);
        EXPECT_EQ(price(3), 1250);
        EXPECT_EQ(price(4), 700);
        EXPECT_EQ(price(5), 123); // cut, not rounded
    }
    QLocale::setDefault(saved);
}

TEST(CsvImport, TitleInAnyCaseAndWithSpreadsheetSeparators)
{
    TestDb t;
    FakeUi ui;
    // A spreadsheet saves the title row with the empty cells after it.
    const csv::ImportOutcome out =
        import(t,
               cp1250::encode(QStringLiteral("FORMY płatności;;\r\nNumer;Nazwa;Typ\r\n"
                                             "3;\"Czek; bankowy\";2\r\n;;\r\n")),
               ui);
    ASSERT_TRUE(out.ok) << ui.messages.join(u'\n').toStdString();
    EXPECT_EQ(out.table, Table::PaymentForms);
    EXPECT_EQ(out.written, 1);
    const PaymentFormRecord r = loadRecord<PaymentFormRecord>(t.db(), layout::PaymentForms, 3);
    EXPECT_EQ(r.name, QStringLiteral("Czek; bankowy"));
    EXPECT_EQ(r.type, 2);
}

TEST(CsvImport, NumbersOutsideTheTableAreSkipped)
{
    TestDb t;
    FakeUi ui;
    const QByteArray before = t.table(layout::Groups);
    const csv::ImportOutcome out =
        import(t, "Grupy\nNumer;Nazwa\n0;Zero\n21;Za daleko\n-3;Ujemny\n", ui);
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.written, 0);
    EXPECT_EQ(out.skipped, 3);
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(t.table(layout::Groups), before);
}

TEST(CsvImport, CashierElevenIsSkippedThoughTheTableHasTwentySlots)
{
    TestDb t;
    FakeUi ui;
    const QByteArray before = t.table(layout::Cashiers);
    const csv::ImportOutcome out = import(t, fileOf(Table::Cashiers, "11;Jan;;1;1;1;1;1;1;1"), ui);
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.skipped, 1);
    EXPECT_EQ(t.table(layout::Cashiers), before);
}

TEST(CsvImport, SlotsNotInTheFileStayAndTheLastLineOfANumberWins)
{
    TestDb t;
    FakeUi ui;
    t.put(layout::Groups, 4, GroupRecord{4, QStringLiteral("Zostaje")});
    ASSERT_TRUE(import(t, "Grupy\nNumer;Nazwa\n2;Pierwsza\n\n2;Druga\n", ui).ok);
    EXPECT_EQ(loadRecord<GroupRecord>(t.db(), layout::Groups, 2).name, QStringLiteral("Druga"));
    EXPECT_EQ(loadRecord<GroupRecord>(t.db(), layout::Groups, 4).name, QStringLiteral("Zostaje"));
    EXPECT_EQ(loadRecord<GroupRecord>(t.db(), layout::Groups, 1).name,
              QStringLiteral("Grupa podstawowa"));
}

TEST(CsvImport, LongTextsAreCutToTheFieldWidth)
{
    TestDb t;
    FakeUi ui;
    ASSERT_TRUE(import(t, "Grupy\nNumer;Nazwa\n2;123456789012345678901234567890\n", ui).ok);
    EXPECT_EQ(t.db().readBytes(layout::Groups.offsetOf(2), 22),
              QByteArray("\x02"
                         "123456789012345678901"));
}

// A control character inside a text field (a 0 byte would cut the register's text, a line
// break or a tab cannot be shown) refuses the whole file with its line and column.
struct ControlCharacter {
    QByteArray file;
    const char* message;
};

class CsvControlCharacter : public ::testing::TestWithParam<ControlCharacter> {};

TEST_P(CsvControlCharacter, IsRefusedWithLineAndColumnAndNothingStored)
{
    TestDb t;
    FakeUi ui;
    const QByteArray before = t.db().contents();
    EXPECT_FALSE(import(t, GetParam().file, ui).ok);
    EXPECT_EQ(ui.messages, QStringList{QString::fromUtf8(GetParam().message) +
                                       QStringLiteral(" Nie zaimportowano żadnych danych.")});
    EXPECT_EQ(t.db().contents(), before);
}

INSTANTIATE_TEST_SUITE_P(
    EveryTextField, CsvControlCharacter,
    ::testing::Values(
        ControlCharacter{raw("Grupy\nNumer;Nazwa\n5;Nabiał\n6;Pieczyw\0\x03zz\n"),
                         "Błąd w wierszu 4, w kolumnie 2 (Nazwa): znak sterujący o kodzie 0 na "
                         "pozycji 8 – oczekiwano tekstu bez znaków sterujących."},
        ControlCharacter{"Kasjerzy\nx\n4;Ewa;1\x01\x39;1;1;1;1;1;1;1\n",
                         "Błąd w wierszu 3, w kolumnie 3 (Hasło): znak sterujący o kodzie 1 na "
                         "pozycji 2 – oczekiwano tekstu bez znaków sterujących."},
        ControlCharacter{"Waluty\nx\n4;Funt;5;G\x1A\n",
                         "Błąd w wierszu 3, w kolumnie 4 (Symbol): znak sterujący o kodzie 26 na "
                         "pozycji 2 – oczekiwano tekstu bez znaków sterujących."},
        ControlCharacter{"Towary\nx\n1;Mleko;2,50;A;\t590;1;0;0;1;0\n",
                         "Błąd w wierszu 3, w kolumnie 5 (Kod): znak sterujący o kodzie 9 na "
                         "pozycji 1 – oczekiwano tekstu bez znaków sterujących."},
        ControlCharacter{"Opakowania\nx\n\n2;\"Dwa\nwiersze\";1,00;0\n",
                         "Błąd w wierszu 4, w kolumnie 2 (Nazwa): znak sterujący o kodzie 10 na "
                         "pozycji 4 – oczekiwano tekstu bez znaków sterujących."},
        ControlCharacter{"Grupy\nx\n3;Ser\x7F\n",
                         "Błąd w wierszu 3, w kolumnie 2 (Nazwa): znak sterujący o kodzie 127 "
                         "na pozycji 4 – oczekiwano tekstu bez znaków sterujących."}));

// A control character in another field is shown in the message as "�", so that it cannot
// cut or break the message.
TEST(CsvImport, ControlCharacterInANumberIsShownAsAReplacement)
{
    TestDb t;
    FakeUi ui;
    EXPECT_FALSE(import(t, raw("Grupy\nx\n3\0;A\n"), ui).ok);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral(
                               "Błąd w wierszu 3, w kolumnie 1 (Numer): „3�” – oczekiwano "
                               "numeru rekordu (liczby całkowitej). Nie zaimportowano żadnych "
                               "danych.")});
}

TEST(CsvImport, UnknownTitleIsRefusedWithAMessage)
{
    TestDb t;
    FakeUi ui;
    const QByteArray before = t.db().contents();
    const csv::ImportOutcome out = import(t, "Klienci\nNumer;Nazwa\n1;Jan\n", ui);
    EXPECT_FALSE(out.ok);
    EXPECT_FALSE(out.table.has_value());
    EXPECT_TRUE(out.label.isEmpty());
    EXPECT_EQ(ui.messages,
              QStringList{QStringLiteral(
                  "Nie rozpoznano rodzaju pliku: pierwszy wiersz („Klienci”) nie jest nazwą "
                  "żadnej z baz (Towary, Opakowania, Kasjerzy, Grupy, Rabaty i narzuty, Formy "
                  "płatności, Waluty). Nie zaimportowano żadnych danych.")});
    EXPECT_EQ(t.db().contents(), before);
}

TEST(CsvImport, EmptyFileIsOfUnknownKind)
{
    TestDb t;
    FakeUi ui;
    EXPECT_FALSE(import(t, QByteArray(), ui).ok);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages.first().startsWith(
        QStringLiteral("Nie rozpoznano rodzaju pliku: pierwszy wiersz („”)")));
}

// A file whose third data line (line 5) holds a bad price: nothing at all is written.
TEST(CsvImport, BadNumberMidFileWritesNothing)
{
    TestDb t;
    FakeUi ui;
    const QByteArray before = t.db().contents();
    const csv::ImportOutcome out = import(t,
                                          "Opakowania\nNumer;Nazwa;Cena;Cena sztywna\n"
                                          "1;Butelka;0,50;0\n"
                                          "2;Skrzynka;12,00;0\n"
                                          "3;Beczka;abc;0\n"
                                          "4;Kubek;1,00;0\n",
                                          ui);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.table, Table::Packaging);
    EXPECT_TRUE(out.label.isEmpty());
    EXPECT_EQ(ui.messages,
              QStringList{QStringLiteral("Błąd w wierszu 5, w kolumnie 3 (Cena): „abc” – "
                                         "oczekiwano kwoty od 0,00 do 999999,99. Nie "
                                         "zaimportowano żadnych danych.")});
    EXPECT_EQ(t.db().contents(), before);
}

struct Refusal {
    Table table;
    const char* line; // the third line of the file, after the title and the columns
    const char* message;
};

class CsvRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(CsvRefusal, NamesLineAndColumn)
{
    TestDb t;
    FakeUi ui;
    const QByteArray before = t.db().contents();
    EXPECT_FALSE(import(t, fileOf(GetParam().table, GetParam().line), ui).ok);
    EXPECT_EQ(ui.messages, QStringList{QString::fromUtf8(GetParam().message) +
                                       QStringLiteral(" Nie zaimportowano żadnych danych.")});
    EXPECT_EQ(t.db().contents(), before);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCheck, CsvRefusal,
    ::testing::Values(
        Refusal{Table::Groups, "x1;Nazwa",
                "Błąd w wierszu 3, w kolumnie 1 (Numer): „x1” – oczekiwano numeru rekordu "
                "(liczby całkowitej)."},
        Refusal{Table::Groups, ";Nazwa",
                "Błąd w wierszu 3, w kolumnie 1 (Numer): puste pole – oczekiwano numeru "
                "rekordu (liczby całkowitej)."},
        Refusal{Table::Articles, "1;Mleko;2,50;A;1;x;0;0;1;0",
                "Błąd w wierszu 3, w kolumnie 6 (Numer grupy): „x” – oczekiwano liczby "
                "całkowitej od 1 do 20."},
        Refusal{Table::Articles, "1;Mleko;2,50;A;1;1;256;0;1;0",
                "Błąd w wierszu 3, w kolumnie 7 (Numer opakowania): „256” – oczekiwano "
                "liczby całkowitej od 0 do 20."},
        Refusal{Table::Articles, "1;Mleko;2,50;A;1;1;0;2;1;0",
                "Błąd w wierszu 3, w kolumnie 8 (Cena sztywna): „2” – oczekiwano liczby "
                "całkowitej od 0 do 1."},
        Refusal{Table::Articles, "1;Mleko;2,50;A;1;1;0;0;1",
                "Błąd w wierszu 3, w kolumnie 10 (Indeks HALO): puste pole – oczekiwano "
                "liczby całkowitej od 0 do 9."},
        Refusal{Table::Articles, "1;Mleko;2,50;H;1;1;0;0;1;0",
                "Błąd w wierszu 3, w kolumnie 4 (PTU): „H” – oczekiwano litery stawki PTU od "
                "A do G."},
        Refusal{Table::Articles, "1;Mleko;2,50;A;12345678901234;1;0;0;1;0",
                "Błąd w wierszu 3, w kolumnie 5 (Kod): „12345678901234” – oczekiwano kodu "
                "kreskowego o długości najwyżej 13 znaków."},
        Refusal{Table::Articles, "1;Mleko;1000000,00;A;1;1;0;0;1;0",
                "Błąd w wierszu 3, w kolumnie 3 (Cena): „1000000,00” – oczekiwano kwoty od "
                "0,00 do 999999,99."},
        Refusal{Table::Articles, "1;Mleko;-1,00;A;1;1;0;0;1;0",
                "Błąd w wierszu 3, w kolumnie 3 (Cena): „-1,00” – oczekiwano kwoty od 0,00 "
                "do 999999,99."},
        Refusal{Table::Packaging, "1;Butelka;1,2,3;0",
                "Błąd w wierszu 3, w kolumnie 3 (Cena): „1,2,3” – oczekiwano kwoty od 0,00 do "
                "999999,99."},
        Refusal{Table::Cashiers, "2;Jan;1234;1;1;1;1;1;1;tak",
                "Błąd w wierszu 3, w kolumnie 10 (Wpłaty/wypłaty): „tak” – oczekiwano liczby "
                "całkowitej od 0 do 1."},
        Refusal{Table::Discounts, "2;Rabat;0;0;",
                "Błąd w wierszu 3, w kolumnie 5 (Wartość (x100)): puste pole – oczekiwano "
                "kwoty od 0,00 do 99,99."},
        Refusal{Table::Discounts, "2;Rabat;0;300;5,00",
                "Błąd w wierszu 3, w kolumnie 4 (Typ 0-proc. 1-kwot.): „300” – oczekiwano "
                "liczby całkowitej od 0 do 1."},
        Refusal{Table::PaymentForms, "2;Czek;dwa",
                "Błąd w wierszu 3, w kolumnie 3 (Typ): „dwa” – oczekiwano liczby całkowitej od "
                "1 do 5."},
        Refusal{Table::Currencies, "2;Euro;4,56,7;EUR",
                "Błąd w wierszu 3, w kolumnie 3 (Kurs): „4,56,7” – oczekiwano kursu złożonego "
                "z cyfr i najwyżej jednego przecinka."},
        Refusal{Table::Currencies, "2;Euro;4 zł;EUR",
                "Błąd w wierszu 3, w kolumnie 3 (Kurs): „4 zł” – oczekiwano kursu złożonego z "
                "cyfr i najwyżej jednego przecinka."},
        Refusal{Table::Currencies, "2;Euro;;EUR",
                "Błąd w wierszu 3, w kolumnie 3 (Kurs): puste pole – oczekiwano kursu "
                "złożonego z cyfr i najwyżej jednego przecinka."},
        Refusal{Table::Currencies, "2;Euro;2147483648;EUR",
                "Błąd w wierszu 3, w kolumnie 3 (Kurs): „2147483648” – oczekiwano kursu "
                "złożonego z cyfr i najwyżej jednego przecinka."},
        Refusal{Table::Groups, "2;\"Bez końca",
                "Błąd w wierszu 3: pole otwarte cudzysłowem nie zostało nim zamknięte."}));

TEST(CsvImport, LineNumbersCountLinesInsideQuotedFields)
{
    TestDb t;
    FakeUi ui;
    // A text field cannot hold a line break, but the column line passed over can.
    EXPECT_FALSE(import(t, "Grupy\n\"Numer\nrekordu\";Nazwa\n2;Dwa\nx;Zle\n", ui).ok);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages.first().startsWith(QStringLiteral("Błąd w wierszu 5, w kolumnie 1")));
}

TEST(CsvImport, NoDatabaseLoaded)
{
    QTemporaryDir dir;
    DatabaseSession session(dir.filePath(QStringLiteral("BDTemp.bdt")));
    FakeUi ui;
    EXPECT_FALSE(csv::importBytes(session, "Grupy\nNumer;Nazwa\n2;A\n", ui).ok);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("     Plik zamknięty.     ")});
}

TEST(CsvImport, MissingFile)
{
    TestDb t;
    FakeUi ui;
    const QString path = t.path("nie_ma.csv");
    EXPECT_FALSE(csv::importFromFile(*t.session, path, ui).ok);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Nie można otworzyć pliku ") + path});
}

TEST(CsvImport, FromFileReadsTheFile)
{
    TestDb t;
    FakeUi ui;
    const QString path = t.path("grupy.csv");
    ASSERT_TRUE(writeFile(path, "Grupy\nNumer;Nazwa\n3;Owoce\n"));
    const csv::ImportOutcome out = csv::importFromFile(*t.session, path, ui);
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.written, 1);
    EXPECT_EQ(loadRecord<GroupRecord>(t.db(), layout::Groups, 3).name, QStringLiteral("Owoce"));
    // The logic leaves the modified flag to its caller.
    EXPECT_FALSE(t.session->isModified());
}

// A spreadsheet saves UTF-8, with or without the byte order mark: the Polish letters reach the
// database as the register's cp1250 bytes, and the import says what it wrote and skipped.
TEST(CsvImport, Utf8FileKeepsPolishLettersAndEndsWithItsSummary)
{
    const QByteArray body = QStringLiteral("Grupy\nNumer;Nazwa\n3;Łódź\n25;Za daleko\n").toUtf8();
    for (const QByteArray& file : {body, QByteArray(QByteArray("\xEF\xBB\xBF") + body)}) {
        TestDb t;
        FakeUi ui;
        const csv::ImportOutcome out = import(t, file, ui);
        ASSERT_TRUE(out.ok) << ui.messages.join(u'\n').toStdString();
        EXPECT_TRUE(ui.messages.isEmpty());
        EXPECT_EQ(out.written, 1);
        EXPECT_EQ(out.skipped, 1);
        const QByteArray group3 =
            t.db().readBytes(layout::Groups.offsetOf(3), layout::Groups.recordSize);
        EXPECT_TRUE(group3.contains(QByteArray("\xA3\xF3\x64\x9F")))
            << group3.toHex().toStdString();
        EXPECT_EQ(loadRecord<GroupRecord>(t.db(), layout::Groups, 3).name, QStringLiteral("Łódź"));
        EXPECT_EQ(out.summary, QStringLiteral("Baza „Grupy”: zapisano rekordów: 1, pominięto "
                                              "wierszy: 1.\nPominięte wiersze:\n"
                                              "wiersz 4: numer 25 spoza zakresu 1-20"));
    }
}

} // namespace

#include "csvtestdb.h"
#include "fakeui.h"

#include "app/csv/csvexport.h"

#include <QDir>
#include <QFileInfo>

namespace {

using csv::Table;

// cp1250: ą B9, ć E6, ę EA, ł B3, ó F3, ś 9C, ź 9F, ż BF, Ł A3. A hex escape is closed by
// splitting the literal where a hex digit follows it.
const QByteArray ExpectedArticles =
    "Towary\n"
    "Numer;Nazwa;Cena;PTU;Kod;Numer grupy;Numer opakowania;Cena sztywna;Sprzedaz na sztuki;"
    "Indeks HALO\n"
    "1;Mleko;2,50;A;5900000000001;1;0;0;1;0\n"
    "7;Chleb \xbfytni;0,00;B;0000000000123;2;3;1;0;9\n"
    "2000;ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnop;999999,99;G;0000000000000;20;20;1;1;1\n";

const QByteArray ExpectedPackaging = "Opakowania\n"
                                     "Numer;Nazwa;Cena;Cena sztywna\n"
                                     "1;Butelka 0,5 l;0,50;0\n"
                                     "20;Skrzynka;12,50;1\n";

const QByteArray CashierHead = "Kasjerzy\n"
                               "Numer;Nazwa;Has\xb3o;Rap. niezeruj\xb9"
                               "ce;Rap. zeruj\xb9"
                               "ce;Rab. z r\xea"
                               "ki;Rab. z bazy;Anul. parag.;Storno;Wp\xb3"
                               "aty/wyp\xb3"
                               "aty\n";
const QByteArray ExpectedCashiers = CashierHead + "1;Kierownik;7395;1;1;1;1;1;1;1\n"
                                                  "3;Anna \xa3\xb9ka;12;1;0;1;0;1;0;1\n";

const QByteArray ExpectedGroups = "Grupy\n"
                                  "Numer;Nazwa\n"
                                  "1;Grupa podstawowa\n"
                                  "5;Nabia\xb3\n"
                                  "20;Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1 123\n";

const QByteArray ExpectedDiscounts = "Rabaty i narzuty\n"
                                     "Numer;Nazwa;Rodzaj 0-R 1-N;Typ 0-proc. 1-kwot.;"
                                     "Warto\x9c\xe6 (x100)\n"
                                     "1;Rabat sta\xb3y;0;0;5,00\n"
                                     "2;Op\xb3"
                                     "ata;1;1;0,05\n";

const QByteArray ExpectedPayments = "Formy p\xb3"
                                    "atno\x9c"
                                    "ci\n"
                                    "Numer;Nazwa;Typ\n"
                                    "1;Karta;1\n"
                                    "10;Bon towarowy;3\n";

struct ExportCase {
    Table table;
    const QByteArray* expected;
};

class CsvExport : public ::testing::TestWithParam<ExportCase> {};

TEST_P(CsvExport, KnownRecordsGiveExactBytes)
{
    TestDb t;
    fillKnown(t);
    EXPECT_EQ(csv::exportTable(*t.session, GetParam().table), *GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(EveryTable, CsvExport,
                         ::testing::Values(ExportCase{Table::Articles, &ExpectedArticles},
                                           ExportCase{Table::Packaging, &ExpectedPackaging},
                                           ExportCase{Table::Cashiers, &ExpectedCashiers},
                                           ExportCase{Table::Groups, &ExpectedGroups},
                                           ExportCase{Table::Discounts, &ExpectedDiscounts},
                                           ExportCase{Table::PaymentForms, &ExpectedPayments}));

TEST(CsvExportCurrencies, RateTextsAndSymbols)
{
    TestDb t;
    fillKnown(t);
    EXPECT_EQ(csv::exportTable(*t.session, Table::Currencies),
              QByteArray("Waluty\n"
                         "Numer;Nazwa;Kurs;Symbol\n"
                         "1;Euro;4,5678000;EUR\n"
                         "2;Jen;000000,05;JPY\n"
                         "3;Korona;12345678;CZ \n"));
}

TEST(CsvExportNew, NewDatabaseCashiersAreThreeLines)
{
    TestDb t;
    const QByteArray bytes = csv::exportTable(*t.session, Table::Cashiers);
    EXPECT_EQ(bytes, CashierHead + "1;Kierownik;7395;1;1;1;1;1;1;1\n");
    EXPECT_EQ(bytes.count('\n'), 3);
    EXPECT_FALSE(bytes.contains('\r'));
}

TEST(CsvExportNew, EmptyTableIsTitleAndColumns)
{
    TestDb t;
    EXPECT_EQ(csv::exportTable(*t.session, Table::Packaging),
              QByteArray("Opakowania\nNumer;Nazwa;Cena;Cena sztywna\n"));
}

TEST(CsvExportQuoting, OnlyFieldsWithSeparatorOrQuoteAreQuoted)
{
    TestDb t;
    t.put(layout::Groups, 2, GroupRecord{2, QStringLiteral("Sery; twarde")});
    t.put(layout::Groups, 3, GroupRecord{3, QStringLiteral("Lody \"Bambino\"")});
    t.put(layout::Groups, 4, GroupRecord{4, QStringLiteral("Napoje, soki")});
    EXPECT_EQ(csv::exportTable(*t.session, Table::Groups), QByteArray("Grupy\nNumer;Nazwa\n"
                                                                      "1;Grupa podstawowa\n"
                                                                      "2;\"Sery; twarde\"\n"
                                                                      "3;\"Lody \"\"Bambino\"\"\"\n"
                                                                      "4;Napoje, soki\n"));
}

TEST(CsvExportArticles, FreeSlotsAndAnEmptyVatLetter)
{
    TestDb t;
    ArticleRecord a =
        article(12, QStringLiteral("Bez PTU"), 0, 5, QStringLiteral("1"), 1, 0, false, false, 0, 0);
    t.put(layout::Articles, 12, a);
    EXPECT_EQ(csv::exportTable(*t.session, Table::Articles),
              ExpectedArticles.left(ExpectedArticles.indexOf("1;Mleko")) +
                  "12;Bez PTU;0,05;;0000000000001;1;0;0;0;0\n");
}

struct RateCase {
    qint32 mantissa;
    int decimals;
    const char* text;
};

class CsvExportRate : public ::testing::TestWithParam<RateCase> {};

TEST_P(CsvExportRate, Text)
{
    EXPECT_EQ(csv::exportRate(GetParam().mantissa, GetParam().decimals),
              QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Rates, CsvExportRate,
    ::testing::Values(RateCase{45678000, 7, "4,5678000"}, RateCase{5, 2, "000000,05"},
                      RateCase{12345678, 0, "12345678"}, RateCase{7, 0, "00000007"},
                      RateCase{99999999, 2, "999999,99"}, RateCase{10000000, 7, "1,0000000"},
                      RateCase{1, 9, "0,000000001"}));

struct NameCase {
    const char* display;
    Table table;
    const char* proposed;
};

class CsvProposedName : public ::testing::TestWithParam<NameCase> {};

TEST_P(CsvProposedName, FromDisplayName)
{
    EXPECT_EQ(csv::proposedFileName(QString::fromUtf8(GetParam().display), GetParam().table),
              QString::fromUtf8(GetParam().proposed));
}

INSTANTIATE_TEST_SUITE_P(
    Names, CsvProposedName,
    ::testing::Values(NameCase{"sklep.vkf", Table::Articles, "sklep_towary.csv"},
                      NameCase{"sklep.vkf", Table::Packaging, "sklep_opakowania.csv"},
                      NameCase{"sklep.vkf", Table::Cashiers, "sklep_kasjerzy.csv"},
                      NameCase{"sklep.vkf", Table::Groups, "sklep_grupy.csv"},
                      NameCase{"sklep.vkf", Table::Discounts, "sklep_rabaty.csv"},
                      NameCase{"sklep.vkf", Table::PaymentForms, "sklep_formy_plat.csv"},
                      NameCase{"sklep.vkf", Table::Currencies, "sklep_waluty.csv"},
                      NameCase{"Bez nazwy", Table::Articles, "Bez nazwy_towary.csv"},
                      NameCase{"a.vkf.vkf", Table::Groups, "a_grupy.csv"},
                      NameCase{"vkfbaza", Table::Groups, "vkfbaza_grupy.csv"}));

TEST(CsvExportFile, WritesTheFileAndGivesTheResultText)
{
    TestDb t;
    FakeUi ui;
    const QString path = t.path("kasjerzy.csv");
    const csv::ExportOutcome out = csv::exportToFile(*t.session, Table::Cashiers, path, ui);
    EXPECT_EQ(out.result, csv::ExportResult::Written);
    EXPECT_EQ(out.label, QStringLiteral("Wyeksportowano bazę kasjerów"));
    EXPECT_EQ(fileBytes(path), CashierHead + "1;Kierownik;7395;1;1;1;1;1;1;1\n");
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(ui.questions.isEmpty());
}

TEST(CsvExportFile, ResultTextOfEveryTable)
{
    const char* texts[] = {"Wyeksportowano bazę towarów",
                           "Wyeksportowano bazę opakowań",
                           "Wyeksportowano bazę kasjerów",
                           "Wyeksportowano bazę grup towarowych",
                           "Wyeksportowano bazę rabatów/narzutów",
                           "Wyeksportowano bazę form płatności",
                           "Wyeksportowano bazę walut"};
    TestDb t;
    FakeUi ui;
    for (int i = 0; i < 7; ++i) {
        const QString path = t.path("x.csv");
        QFile::remove(path);
        EXPECT_EQ(csv::exportToFile(*t.session, Table(i), path, ui).label,
                  QString::fromUtf8(texts[i]));
    }
}

TEST(CsvExportFile, ExistingFileKeptOnNo)
{
    TestDb t;
    FakeUi ui;
    const QString path = t.path("stary.csv");
    ASSERT_TRUE(writeFile(path, "stara zawartość"));
    ui.answers = {TransferUi::Answer::No};
    const csv::ExportOutcome out = csv::exportToFile(*t.session, Table::Groups, path, ui);
    EXPECT_EQ(out.result, csv::ExportResult::Declined);
    EXPECT_TRUE(out.label.isEmpty());
    ASSERT_EQ(ui.questions.size(), 1);
    EXPECT_EQ(ui.questions.first(), QStringLiteral("Plik ") + QDir::toNativeSeparators(path) +
                                        QStringLiteral(" już istnieje. Kontynuować? "));
    EXPECT_EQ(fileBytes(path), QByteArray("stara zawartość"));
}

TEST(CsvExportFile, ExistingFileReplacedOnYes)
{
    TestDb t;
    FakeUi ui;
    const QString path = t.path("stary.csv");
    ASSERT_TRUE(writeFile(path, "stara zawartość, dłuższa niż nowa, która ją zastąpi w całości"));
    ui.answers = {TransferUi::Answer::Yes};
    const csv::ExportOutcome out = csv::exportToFile(*t.session, Table::Groups, path, ui);
    EXPECT_EQ(out.result, csv::ExportResult::Written);
    EXPECT_EQ(out.label, QStringLiteral("Wyeksportowano bazę grup towarowych"));
    EXPECT_EQ(fileBytes(path), QByteArray("Grupy\nNumer;Nazwa\n1;Grupa podstawowa\n"));
}

TEST(CsvExportFile, WriteFailureShowsTheMessage)
{
    TestDb t;
    FakeUi ui;
    const QString path = t.path("brak/katalogu/x.csv");
    const csv::ExportOutcome out = csv::exportToFile(*t.session, Table::Groups, path, ui);
    EXPECT_EQ(out.result, csv::ExportResult::Failed);
    EXPECT_TRUE(out.label.isEmpty());
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Wystąpił błąd zapisu")});
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(CsvExportFile, NoDatabaseLoaded)
{
    QTemporaryDir dir;
    DatabaseSession session(dir.filePath(QStringLiteral("BDTemp.bdt")));
    FakeUi ui;
    const QString path = dir.filePath(QStringLiteral("x.csv"));
    EXPECT_EQ(csv::exportToFile(session, Table::Groups, path, ui).result,
              csv::ExportResult::Failed);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("     Plik zamknięty.     ")});
    EXPECT_FALSE(QFileInfo::exists(path));
}

} // namespace

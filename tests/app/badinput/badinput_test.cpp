// Bad input in the application's own forms: a CSV file with over-long fields, prices that are
// not numbers, negative and overflowing numbers and values the register cannot take, imported
// through the form; the new-database dialog and the article editor given texts the register
// cannot hold. A refusal leaves every database byte as it was.
#include "app/appsession.h"
#include "app/articlelist/tedycjatowaru.h"
#include "app/csv/forms/teksportbazy.h"
#include "app/forms/tnowabaza.h"
#include "common/cp1250.h"
#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "fakeui.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

struct Bench {
    Bench()
    {
        session = std::make_unique<DatabaseSession>(dir.filePath(DatabaseSession::WorkingCopyName));
        ok = session->startUp().ok;
        session->setModified(false);
        app = std::make_unique<AppSession>(*session, ui);
        app->setState(OperatingState::OfflineWithDatabase);
    }
    RegisterDatabase& db() { return session->database(); }
    QTemporaryDir dir;
    std::unique_ptr<DatabaseSession> session;
    FakeUi ui;
    std::unique_ptr<AppSession> app;
    bool ok = false;
};

// ---- CSV import

const char* const ArticleColumns = "Numer;Nazwa;Cena;PTU;Kod;Numer grupy;Numer opakowania;"
                                   "Cena sztywna;Sprzedaz na sztuki;Indeks HALO";

struct CsvCase {
    const char* head;      // title and column line
    QByteArray line;       // the data line, cp1250 bytes
    const char* refusal;   // the message before " Nie zaimportowano żadnych danych."
    qint64 at = 0;         // accepted: where the expected bytes lie in the database
    QByteArray bytes = {}; // accepted: the bytes found there
};

QByteArray head(const char* title, const char* columns)
{
    return QByteArray(title) + '\n' + columns + '\n';
}

const QByteArray Towary = head("Towary", ArticleColumns);
const QByteArray Kasjerzy =
    head("Kasjerzy", "Numer;Nazwa;Hasło;Rap. niezerujące;Rap. zerujące;Rab. z ręki;Rab. z "
                     "bazy;Anul. parag.;Storno;Wpłaty/wypłaty");
const QByteArray Rabaty = head("Rabaty i narzuty", "Numer;Nazwa;Rodzaj 0-R 1-N;Typ 0-proc. "
                                                   "1-kwot.;Wartość (x100)");
const QByteArray Formy = head("Formy p\xB3"
                              "atno\x9C"
                              "ci",
                              "Numer;Nazwa;Typ"); // cp1250 "Formy płatności"
const QByteArray Waluty = head("Waluty", "Numer;Nazwa;Kurs;Symbol");
const QByteArray Opakowania = head("Opakowania", "Numer;Nazwa;Cena;Cena sztywna");

const qint64 Article7 = layout::Articles.offsetOf(7);

std::vector<CsvCase> csvCases()
{
    const QByteArray name60(60, 'N');
    return {
        // Prices that are not numbers, negative, overflowing.
        {Towary, "7;Mleko;abc;A;1;1;0;0;1;0",
         "Błąd w wierszu 3, w kolumnie 3 (Cena): „abc” – oczekiwano kwoty od 0,00 do 999999,99."},
        {Towary, "7;Mleko;-0,01;A;1;1;0;0;1;0",
         "Błąd w wierszu 3, w kolumnie 3 (Cena): „-0,01” – oczekiwano kwoty od 0,00 do "
         "999999,99."},
        {Towary, "7;Mleko;99999999999999999999;A;1;1;0;0;1;0",
         "Błąd w wierszu 3, w kolumnie 3 (Cena): „99999999999999999999” – oczekiwano kwoty od "
         "0,00 do 999999,99."},
        {Towary, "7;Mleko;;A;1;1;0;0;1;0",
         "Błąd w wierszu 3, w kolumnie 3 (Cena): puste pole – oczekiwano kwoty od 0,00 do "
         "999999,99."},
        // Numbers of groups, packaging and halo entries the register does not have.
        {Towary, "7;Mleko;1,00;A;1;0;0;0;1;0",
         "Błąd w wierszu 3, w kolumnie 6 (Numer grupy): „0” – oczekiwano liczby całkowitej od 1 "
         "do 20."},
        {Towary, "7;Mleko;1,00;A;1;21;0;0;1;0",
         "Błąd w wierszu 3, w kolumnie 6 (Numer grupy): „21” – oczekiwano liczby całkowitej od "
         "1 do 20."},
        {Towary, "7;Mleko;1,00;A;1;1;-1;0;1;0",
         "Błąd w wierszu 3, w kolumnie 7 (Numer opakowania): „-1” – oczekiwano liczby "
         "całkowitej od 0 do 20."},
        {Towary, "7;Mleko;1,00;A;1;1;21;0;1;0",
         "Błąd w wierszu 3, w kolumnie 7 (Numer opakowania): „21” – oczekiwano liczby "
         "całkowitej od 0 do 20."},
        {Towary, "7;Mleko;1,00;A;1;1;0;0;1;10",
         "Błąd w wierszu 3, w kolumnie 10 (Indeks HALO): „10” – oczekiwano liczby całkowitej od "
         "0 do 9."},
        {Towary, "7;Mleko;1,00;A;1;1;0;0;1;99999999999999999999",
         "Błąd w wierszu 3, w kolumnie 10 (Indeks HALO): „99999999999999999999” – oczekiwano "
         "liczby całkowitej od 0 do 9."},
        {Towary, "99999999999999999999;Mleko;1,00;A;1;1;0;0;1;0",
         "Błąd w wierszu 3, w kolumnie 1 (Numer): „99999999999999999999” – oczekiwano numeru "
         "rekordu (liczby całkowitej)."},
        // The bytes cp1250 leaves undefined come back as they were read, never as "?".
        {Towary, "7;Mleko \x81\x83\x88\x90\x98;1,00;A;1;1;0;0;1;0", nullptr, Article7 + 2,
         QByteArray("Mleko \x81\x83\x88\x90\x98\0", 12)},
        // Over-long texts are cut to the field's width (42 for the name).
        {Towary, "7;" + name60 + ";1,00;A;1;1;0;0;1;0", nullptr, Article7 + 2, QByteArray(42, 'N')},
        // Cashier passwords: up to four digits.
        {Kasjerzy, "2;Jan;12ab;1;1;1;1;1;1;1",
         "Błąd w wierszu 3, w kolumnie 3 (Hasło): „12ab” – oczekiwano hasła złożonego z "
         "najwyżej 4 cyfr."},
        {Kasjerzy, "2;Jan;123456;1;1;1;1;1;1;1",
         "Błąd w wierszu 3, w kolumnie 3 (Hasło): „123456” – oczekiwano hasła złożonego z "
         "najwyżej 4 cyfr."},
        {Kasjerzy, "2;Jan;-123;1;1;1;1;1;1;1",
         "Błąd w wierszu 3, w kolumnie 3 (Hasło): „-123” – oczekiwano hasła złożonego z "
         "najwyżej 4 cyfr."},
        {Kasjerzy, "2;" + name60 + ";0042;1;0;1;0;1;0;1", nullptr, layout::Cashiers.offsetOf(2),
         QByteArray("\x02") + QByteArray(21, 'N') + "0042" +
             QByteArray("\x01\x00\x01\x00\x01\x00\x01", 7)},
        {Kasjerzy, "2;Jan;;1;1;1;1;1;1;-1",
         "Błąd w wierszu 3, w kolumnie 10 (Wpłaty/wypłaty): „-1” – oczekiwano liczby całkowitej "
         "od 0 do 1."},
        // Discounts: kind and type 0 or 1, a percentage up to 99,99.
        {Rabaty, "2;Rabat;2;0;5,00",
         "Błąd w wierszu 3, w kolumnie 3 (Rodzaj 0-R 1-N): „2” – oczekiwano liczby całkowitej "
         "od 0 do 1."},
        {Rabaty, "2;Rabat;0;2;5,00",
         "Błąd w wierszu 3, w kolumnie 4 (Typ 0-proc. 1-kwot.): „2” – oczekiwano liczby "
         "całkowitej od 0 do 1."},
        {Rabaty, "2;Rabat;0;0;100,00",
         "Błąd w wierszu 3, w kolumnie 5 (Wartość (x100)): „100,00” – oczekiwano kwoty od 0,00 "
         "do 99,99."},
        {Rabaty, "2;Rabat;0;1;-5,00",
         "Błąd w wierszu 3, w kolumnie 5 (Wartość (x100)): „-5,00” – oczekiwano kwoty od 0,00 "
         "do 999999,99."},
        {Rabaty, "2;Rabat;0;1;1000,00", nullptr, layout::Discounts.offsetOf(2) + 22,
         QByteArray("\x00\x01\xA0\x86\x01\x00", 6)}, // 100000 = 0x000186A0
        // Payment form types 1..5.
        {Formy, "2;Czek;0",
         "Błąd w wierszu 3, w kolumnie 3 (Typ): „0” – oczekiwano liczby całkowitej od 1 do 5."},
        {Formy, "2;Czek;6",
         "Błąd w wierszu 3, w kolumnie 3 (Typ): „6” – oczekiwano liczby całkowitej od 1 do 5."},
        // Currencies: a rate that is not a number, negative, overflowing; a long symbol is cut.
        {Waluty, "2;Euro;-4,5;EUR",
         "Błąd w wierszu 3, w kolumnie 3 (Kurs): „-4,5” – oczekiwano kursu złożonego z cyfr i "
         "najwyżej jednego przecinka."},
        {Waluty, "2;Euro;99999999999999999999;EUR",
         "Błąd w wierszu 3, w kolumnie 3 (Kurs): „99999999999999999999” – oczekiwano kursu "
         "złożonego z cyfr i najwyżej jednego przecinka."},
        {Waluty, "2;Euro;4,5;EURO", nullptr, layout::Currencies.offsetOf(2) + 27, "EUR"},
        // Packaging prices.
        {Opakowania, "2;Butelka;x;0",
         "Błąd w wierszu 3, w kolumnie 3 (Cena): „x” – oczekiwano kwoty od 0,00 do 999999,99."},
        {Opakowania, "2;Butelka;1,00;5",
         "Błąd w wierszu 3, w kolumnie 4 (Cena sztywna): „5” – oczekiwano liczby całkowitej od "
         "0 do 1."},
    };
}

QStringList changed(const QByteArray& before, const QByteArray& after)
{
    QStringList out;
    const qsizetype n = std::max(before.size(), after.size());
    for (qsizetype i = 0; i < n;) {
        if (i < before.size() && i < after.size() && before[i] == after[i]) {
            ++i;
            continue;
        }
        const qsizetype from = i;
        while (i < n && !(i < before.size() && i < after.size() && before[i] == after[i]))
            ++i;
        out.append(QString::number(from) + u'-' + QString::number(i));
    }
    return out;
}

TEST(BadInputCsvImport, EveryBadFieldIsRefusedOrCleanlyConverted)
{
    int index = 0;
    for (const CsvCase& c : csvCases()) {
        SCOPED_TRACE(std::to_string(index++) + ": " + c.line.toStdString());
        Bench b;
        ASSERT_TRUE(b.ok);
        TEksportBazy form(*b.app);
        const QString path = b.dir.filePath(QStringLiteral("import.csv"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.head + c.line + '\n');
        file.close();
        form.chooseOpenPath = [&path] { return path; };
        form.show();
        const QByteArray before = b.db().contents();
        QTest::mouseClick(form.importButton(), Qt::LeftButton);
        const QByteArray after = b.db().contents();
        if (c.bytes.isEmpty()) {
            // Refused: the message names line and column, nothing is written.
            ASSERT_EQ(b.ui.messages.size(), 1);
            EXPECT_EQ(b.ui.messages[0], u8(c.refusal) + u8(" Nie zaimportowano żadnych danych."));
            EXPECT_EQ(changed(before, after), QStringList());
            EXPECT_TRUE(form.importResult()->text().isEmpty());
            EXPECT_FALSE(b.session->isModified());
        } else {
            // Taken: the import's summary alone.
            ASSERT_EQ(b.ui.messages.size(), 1) << b.ui.messages.join(u'|').toStdString();
            EXPECT_TRUE(b.ui.messages[0].startsWith(u8("Baza „")))
                << b.ui.messages[0].toStdString();
            EXPECT_EQ(after.mid(c.at, c.bytes.size()), c.bytes);
            EXPECT_TRUE(b.session->isModified());
        }
    }
}

TEST(BadInputCsvImport, DefinedBytesImportExactly)
{
    // Every byte cp1250 defines, letters and signs, is stored as it stood in the file.
    Bench b;
    ASSERT_TRUE(b.ok);
    TEksportBazy form(*b.app);
    const QString path = b.dir.filePath(QStringLiteral("grupy.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Grupy\nNumer;Nazwa\n3;\xA5\xB9\xC6\xE6\xCA\xEA\xA3\xB3\xD1\xF1\x80\x8C\x9C\n");
    file.close();
    form.chooseOpenPath = [&path] { return path; };
    form.show();
    QTest::mouseClick(form.importButton(), Qt::LeftButton);
    EXPECT_EQ(b.ui.messages,
              QStringList{u8("Baza „Grupy”: zapisano rekordów: 1, pominięto wierszy: 0.")});
    EXPECT_EQ(b.db().readBytes(layout::Groups.offsetOf(3) + 1, 14),
              QByteArray("\xA5\xB9\xC6\xE6\xCA\xEA\xA3\xB3\xD1\xF1\x80\x8C\x9C\0", 14));
}

// ---- new database

TEST(BadInputNewDatabase, ForeignSymbolIsRefusedAndTheDatabaseStays)
{
    for (const char* symbol : {"😀", "Руб", "円"}) {
        Bench b;
        ASSERT_TRUE(b.ok);
        const QByteArray before = b.db().contents();
        QStringList shown;
        TNowaBaza dialog(
            u8("PLN"),
            [&b](const QString& n, const QString& s) { return b.session->newDatabase(n, s); },
            [&shown](const QString& m) { shown.append(m); });
        dialog.show();
        dialog.nameEdit()->setText(u8("sklep"));
        dialog.symbolEdit()->setText(u8(symbol));
        dialog.okButton()->click();
        EXPECT_EQ(shown, QStringList{u8("Pole „Symbol waluty ewidencyjnej” zawiera znaki, "
                                        "których kasa nie obsługuje.")})
            << symbol;
        EXPECT_EQ(dialog.result(), 0); // still open
        EXPECT_EQ(b.session->currencySymbol().trimmed(), u8("PLN"));
        EXPECT_EQ(changed(before, b.db().contents()), QStringList());
        EXPECT_FALSE(b.session->isModified());
    }
    // A Polish name and a symbol that fits go through.
    Bench b;
    QStringList shown;
    TNowaBaza dialog(
        u8("PLN"),
        [&b](const QString& n, const QString& s) { return b.session->newDatabase(n, s); },
        [&shown](const QString& m) { shown.append(m); });
    dialog.nameEdit()->setText(u8("Żabka😀"));
    dialog.symbolEdit()->setText(u8("EURO"));
    EXPECT_EQ(dialog.symbolEdit()->text(), u8("EUR"));
    dialog.okButton()->click();
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(b.db().readBytes(145032, 3), QByteArray("EUR"));
}

// ---- article editor

TEST(BadInputArticleEditor, ForeignTextAndBadPricesLeaveTheArticleAsItWas)
{
    const struct {
        const char *name, *price, *barcode, *message;
    } cases[] = {
        {"Mleko 😀", "2,50", "123", "Pole „Nazwa” zawiera znaki, których kasa nie obsługuje."},
        {"Молоко", "2,50", "123", "Pole „Nazwa” zawiera znaki, których kasa nie obsługuje."},
        {"牛奶", "2,50", "123", "Pole „Nazwa” zawiera znaki, których kasa nie obsługuje."},
        {"Mleko", "2,50", "１２３",
         "Pole „Kod kreskowy” zawiera znaki, których kasa nie obsługuje."},
        {"Mleko", "abc", "123", "     Błędna wartość w polu Cena     "},
        {"Mleko", "-2,50", "123", "Błąd! Cena musi zawierać się w przedziale 0,00 - 999999,99"},
        {"Mleko", "99999999999999999999", "123",
         "Błąd! Cena musi zawierać się w przedziale 0,00 - 999999,99"},
        {"   ", "2,50", "123", "Nazwa towaru nie może składać się z samych znaków spacji!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench b;
        ASSERT_TRUE(b.ok);
        ArticleRecord a;
        a.number = 9;
        a.name = u8("Chleb");
        a.price = 350;
        a.barcode = u8("0000000000042");
        ASSERT_TRUE(storeRecord(b.db(), layout::Articles, 9, a));
        b.session->setModified(false);
        const QByteArray before = b.db().contents();
        TEdycjaTowaru editor(*b.app);
        editor.setArticleNumber(9);
        editor.show();
        editor.Edit1->setText(u8(c.name));
        editor.Edit2->setText(u8(c.price));
        editor.Edit3->setText(u8(c.barcode));
        editor.Button1->click();
        EXPECT_EQ(b.ui.messages, QStringList{u8(c.message)});
        EXPECT_EQ(changed(before, b.db().contents()), QStringList());
        EXPECT_FALSE(b.session->isModified());
    }
}

} // namespace

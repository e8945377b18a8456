#include "articletestdb.h"

#include "tables/articlebase.h"
#include "tables/grouprecord.h"
#include "tables/packagingrecord.h"

#include <gtest/gtest.h>

namespace {

ArticleInput typed(const QString& number, const QString& name, const QString& price)
{
    ArticleInput in;
    in.number = number;
    in.name = name;
    in.price = price;
    return in;
}

} // namespace

TEST(ArticleBase, WritesTheWholeRecordAsLaidOut)
{
    TestDb t;
    ArticleBase base(t.db());
    ArticleInput in = typed(QStringLiteral("7"), QStringLiteral("Mleko"), QStringLiteral("12.5"));
    in.barcode = QStringLiteral("123");
    in.vatIndex = 1;
    in.groupIndex = 1;
    in.tandemIndex = 4;
    in.haloIndex = 2;
    in.unitIndex = 3;
    in.fixedPrice = true;
    in.wholeQuantity = false;
    const auto r = base.add(in);
    ASSERT_EQ(r.status, ArticleBase::Status::Written);
    EXPECT_TRUE(r.message().isEmpty());

    QByteArray expected(68, '\0');
    expected[0] = 7;                 // number, little-endian
    expected.replace(2, 5, "Mleko"); // name padded with 0
    expected[44] = 'B';              // "A" + list index 1
    expected[45] = char(0xE2);       // 1250 = 0x04E2
    expected[46] = 0x04;
    expected.replace(49, 13, "0000000000123"); // barcode padded with "0" on the left
    expected[62] = 2;                          // group = index + 1
    expected[63] = 4;                          // tandem = index
    expected[64] = 1;                          // fixed price
    expected[65] = 0;                          // whole quantity
    expected[66] = 2;                          // halo
    expected[67] = 3;                          // unit
    EXPECT_EQ(t.articleBytes(7), expected);
    EXPECT_EQ(t.db().readBytes(layout::Articles.offsetOf(7) - 68, 68), QByteArray(68, '\0'));
}

TEST(ArticleBase, EveryRefusalInItsOrderLeavesTheFileUnchanged)
{
    struct Case {
        const char16_t* number;
        const char16_t* name;
        const char16_t* price;
        bool fixed;
        const char16_t* message;
        const char* field;
    };
    const Case cases[] = {
        {u"", u"X", u"1", false, u"Wprowadź numer!", "Edit4"},
        {u"1", u"", u"1", false, u"Wprowadź nazwę!", "Edit5"},
        {u"1", u"X", u"", false, u"Wprowadź cenę!", "Edit1"},
        {u"0", u"X", u"1", false,
         u"     Błędna wartość : Numer towaru w kasie \n Pole musi zawierać liczbę z przedziału "
         u"1-2000.     ",
         "Edit4"},
        {u"2001", u"   ", u"x", false,
         u"     Błędna wartość : Numer towaru w kasie \n Pole musi zawierać liczbę z przedziału "
         u"1-2000.     ",
         "Edit4"},
        {u"1a", u"X", u"1", false,
         u"     Błędna wartość : Numer towaru w kasie \n Pole musi zawierać liczbę z przedziału "
         u"1-2000.     ",
         "Edit4"},
        {u"5", u"   ", u"x", false, u"Nazwa towaru nie może składać się z samych znaków spacji!",
         "Edit5"},
        {u"5", u"cukier", u"x", false, u"Towar CUKIER jest już zapisany w bazie pod numerem 3",
         "Edit5"},
        {u"5", u"Sól", u"1,2,3", false, u"     Błędna wartość w polu Cena     ", "Edit1"},
        {u"5", u"Sól", u"abc", false, u"     Błędna wartość w polu Cena     ", "Edit1"},
        {u"5", u"Sól", u"1000000", false,
         u"Błąd! Cena musi zawierać się w przedziale 0,00 - 999999,99", "Edit1"},
        {u"5", u"Sól", u"-1", false, u"Błąd! Cena musi zawierać się w przedziale 0,00 - 999999,99",
         "Edit1"},
        {u"5", u"Sól", u"0,00", true,
         u"Cena sztywna musi mieć wartość większą od 0,00. Wprowadz inną wartość, lub odznacz "
         u"pole \"Cena sztywna\"",
         "Edit1"},
    };
    TestDb t;
    t.put(TestDb::article(3, QStringLiteral("Cukier")));
    const QByteArray before = t.db().contents();
    ArticleBase base(t.db());
    for (const Case& c : cases) {
        ArticleInput in = typed(QString::fromUtf16(c.number), QString::fromUtf16(c.name),
                                QString::fromUtf16(c.price));
        in.fixedPrice = c.fixed;
        const auto r = base.add(in);
        const QString expected = QString::fromUtf16(c.message);
        SCOPED_TRACE(expected.toStdString());
        EXPECT_EQ(r.status, ArticleBase::Status::Refused);
        ASSERT_TRUE(r.validation.failure);
        EXPECT_EQ(r.validation.failure->message, expected);
        EXPECT_EQ(r.validation.failure->field, QLatin1String(c.field));
        // Hints are red labels, not message boxes.
        EXPECT_EQ(r.message().isEmpty(), r.validation.failure->hint);
        EXPECT_EQ(t.db().contents(), before);
    }
}

TEST(ArticleBase, AllEmptyRequiredFieldsShowEveryHint)
{
    TestDb t;
    ArticleBase base(t.db());
    const auto r = base.add(typed(QString(), QString(), QString()));
    ASSERT_EQ(r.validation.hints.size(), 3);
    EXPECT_EQ(r.validation.hints[0].message, QStringLiteral("Wprowadź numer!"));
    EXPECT_EQ(r.validation.hints[1].message, QStringLiteral("Wprowadź nazwę!"));
    EXPECT_EQ(r.validation.hints[2].message, QStringLiteral("Wprowadź cenę!"));
}

TEST(ArticleBase, DuplicateKeysIgnoreSpacesPunctuationAndPolishCase)
{
    struct Case {
        const char16_t* stored;
        const char16_t* typed;
        const char16_t* key; // empty: not a duplicate
    };
    const Case cases[] = {
        {u"Masło extra", u"MASŁO  EXTRA", u"MASŁOEXTRA"},
        {u"Masło extra", u"masło-extra!", u"MASŁOEXTRA"},
        {u"żółć", u"ŻÓŁĆ", u"ŻÓŁĆ"},
        {u"Ąę ńś ź", u"ąĘŃŚŹ", u"ĄĘŃŚŹ"},
        {u"Cola 0,5l", u"cola 0,5 L", u"COLA0,5L"},
        {u"Cola 0,5l", u"Cola 0.5l", u""}, // "." and "," are kept, so these differ
        {u"A/B", u"A\\B", u""},            // so are "/" and "\"
        {u"Piwo (jasne)", u"piwo jasne", u"PIWOJASNE"},
    };
    for (const Case& c : cases) {
        TestDb t;
        t.put(TestDb::article(10, QString::fromUtf16(c.stored)));
        ArticleBase base(t.db());
        const auto r =
            base.add(typed(QStringLiteral("11"), QString::fromUtf16(c.typed), QStringLiteral("1")));
        const QString key = QString::fromUtf16(c.key);
        SCOPED_TRACE(QString::fromUtf16(c.typed).toStdString());
        if (key.isEmpty()) {
            EXPECT_EQ(r.status, ArticleBase::Status::Written);
        } else {
            EXPECT_EQ(r.status, ArticleBase::Status::Refused);
            EXPECT_EQ(r.message(), QStringLiteral("Towar ") + key +
                                       QStringLiteral(" jest już zapisany w bazie pod numerem 10"));
        }
    }
}

TEST(ArticleBase, SavingAgainUnderItsOwnNumberIsAllowedAndTheIndexFollowsWrites)
{
    TestDb t;
    ArticleBase base(t.db());
    ASSERT_EQ(
        base.add(typed(QStringLiteral("4"), QStringLiteral("Chleb"), QStringLiteral("3"))).status,
        ArticleBase::Status::Written);
    EXPECT_EQ(
        base.add(typed(QStringLiteral("4"), QStringLiteral("chleb"), QStringLiteral("4"))).status,
        ArticleBase::Status::Written);
    // Another number with the same key is refused until article 4 is deleted.
    EXPECT_EQ(
        base.add(typed(QStringLiteral("5"), QStringLiteral("CHLEB"), QStringLiteral("4"))).status,
        ArticleBase::Status::Refused);
    ASSERT_TRUE(base.remove(4));
    EXPECT_EQ(t.articleBytes(4), QByteArray(68, '\0'));
    EXPECT_EQ(
        base.add(typed(QStringLiteral("5"), QStringLiteral("CHLEB"), QStringLiteral("4"))).status,
        ArticleBase::Status::Written);
    EXPECT_FALSE(base.remove(0));
    EXPECT_FALSE(base.remove(2001));
}

TEST(ArticleBase, PricesAndBarcodes)
{
    struct Case {
        const char16_t* price;
        qint32 stored;
    };
    const Case cases[] = {{u"12.5", 1250}, {u"999999,99", 99999999},
                          {u"0,05", 5},    {u"0", 0},
                          {u"2", 200},     {u"0.29", 29}};
    TestDb t;
    ArticleBase base(t.db());
    int n = 1;
    for (const Case& c : cases) {
        ArticleInput in = typed(QString::number(n), QStringLiteral("T") + QString::number(n),
                                QString::fromUtf16(c.price));
        in.barcode = QStringLiteral("123");
        ASSERT_EQ(base.add(in).status, ArticleBase::Status::Written);
        const ArticleRecord r = base.load(n);
        EXPECT_EQ(r.price, c.stored) << QString::fromUtf16(c.price).toStdString();
        EXPECT_EQ(t.articleBytes(n).mid(49, 13), QByteArray("0000000000123"));
        ++n;
    }
}

TEST(ArticleBase, ClosedFileIsReportedAndNothingIsWritten)
{
    TestDb t;
    ArticleBase base(t.db());
    t.db().close();
    const auto r = base.add(typed(QStringLiteral("1"), QStringLiteral("A"), QStringLiteral("1")));
    EXPECT_EQ(r.status, ArticleBase::Status::FileClosed);
    EXPECT_EQ(r.message(), QStringLiteral("     Plik zamknięty.     "));
    ArticleBase::AddResult failed;
    failed.status = ArticleBase::Status::WriteFailed;
    EXPECT_EQ(failed.message(), QStringLiteral("     Błąd! Nie dodano towaru     "));
}

TEST(ArticleBase, InputFromRecordKeepsWhatTheBytesCannotName)
{
    ArticleRecord r = TestDb::article(12, QStringLiteral("Kawa"), 5);
    r.vat = 'C';
    r.group = 3;
    r.tandem = 2;
    r.halo = 4;
    r.unit = 5;
    r.fixedPrice = true;
    r.wholeQuantity = false;
    ArticleInput current;
    current.vatIndex = 6;
    ArticleInput in = inputFromRecord(r, current);
    EXPECT_EQ(in.number, QStringLiteral("12"));
    EXPECT_EQ(in.price, QStringLiteral("0,05"));
    EXPECT_EQ(in.vatIndex, 2); // "C" is the third item
    EXPECT_EQ(in.groupIndex, 2);
    EXPECT_EQ(in.tandemIndex, 2);
    EXPECT_EQ(in.haloIndex, 4);
    EXPECT_EQ(in.unitIndex, 5);
    EXPECT_TRUE(in.fixedPrice);
    EXPECT_FALSE(in.wholeQuantity);
    r.vat = 'X';
    r.group = 0;
    EXPECT_EQ(inputFromRecord(r, current).vatIndex, 6);
    EXPECT_EQ(inputFromRecord(r, current).groupIndex, 0);
}

TEST(ArticleBase, ChoiceLists)
{
    TestDb t;
    GroupRecord g;
    g.number = 2;
    g.name = QStringLiteral("Napoje");
    ASSERT_TRUE(storeRecord(t.db(), layout::Groups, 2, g));
    PackagingRecord p;
    p.number = 3;
    p.name = QStringLiteral("Butelka");
    p.price = 50;
    ASSERT_TRUE(storeRecord(t.db(), layout::Packaging, 3, p));
    t.db().writeRecord(layout::Halo.offsetOf(2), QByteArray("\x39\x30\x00\x00", 4)); // 12345

    const ArticleChoices c = articleChoices(t.db());
    ASSERT_EQ(c.groups.size(), 20);
    EXPECT_EQ(c.groups[1], QStringLiteral("2. Napoje"));
    EXPECT_EQ(c.groups[4], QStringLiteral("5"));
    ASSERT_EQ(c.tandems.size(), 21);
    EXPECT_EQ(c.tandems[0], QStringLiteral("Brak"));
    EXPECT_EQ(c.tandems[3], QStringLiteral("3. Butelka"));
    EXPECT_EQ(c.tandems[4], QStringLiteral("4"));
    ASSERT_EQ(c.halos.size(), 10);
    EXPECT_EQ(c.halos[0], QStringLiteral("Brak"));
    EXPECT_EQ(c.halos[1], QStringLiteral("1. 123,45"));

    const QStringList eg = editorGroupItems(t.db());
    ASSERT_EQ(eg.size(), 20);
    EXPECT_EQ(eg[1], QStringLiteral("2 Napoje"));
    EXPECT_EQ(eg[2], QStringLiteral("3"));
    const QStringList et = editorTandemItems(t.db());
    ASSERT_EQ(et.size(), 21);
    EXPECT_EQ(et[0], QStringLiteral("brak"));
    EXPECT_EQ(et[3], QStringLiteral("3 Butelka"));
}

TEST(ArticleBase, NextFreeNumberFromTheTypedOne)
{
    TestDb t;
    for (int n : {1, 2, 4})
        t.put(TestDb::article(n, QStringLiteral("A") + QString::number(n)));
    const QByteArray table = t.table();
    EXPECT_EQ(nextFreeArticle(table, 0), 3);
    EXPECT_EQ(nextFreeArticle(table, 3), 5); // after article 3 the search starts at slot 4
    EXPECT_EQ(nextFreeArticle(table, 2000), 0);
}

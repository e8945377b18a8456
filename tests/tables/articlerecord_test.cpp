#include "bytes.h"
#include "tables/articlerecord.h"
#include "tables/grouprecord.h"
#include "tables/packagingrecord.h"

#include <gtest/gtest.h>

namespace {

QByteArray tableWith(const QList<ArticleRecord>& records)
{
    QByteArray t(layout::Articles.bytes(), '\0');
    for (const auto& r : records)
        t.replace((r.number - 1) * 68, 68, r.encode());
    return t;
}

ArticleRecord article(int number, const QString& name)
{
    ArticleRecord r;
    r.number = number;
    r.name = name;
    r.price = 100;
    return r;
}

ArticleInput good()
{
    ArticleInput in;
    in.number = QStringLiteral("7");
    in.name = QStringLiteral("Chleb");
    in.price = QStringLiteral("3,50");
    return in;
}

TEST(ArticleRecord, UsedWhenEitherNumberByteIsSet)
{
    QByteArray rec(68, '\0');
    rec[10] = 'x';
    EXPECT_FALSE(ArticleRecord::used(rec));
    rec[1] = 1;
    EXPECT_TRUE(ArticleRecord::used(rec));
}

TEST(ArticleRecord, NameKey)
{
    EXPECT_EQ(articleNameKey(QStringLiteral("Żółć łódź 1,5l/kg.")),
              QStringLiteral("ŻÓŁĆŁÓDŹ1,5L/KG."));
    EXPECT_EQ(articleNameKey(QStringLiteral("a-b_c!d\\e")), QStringLiteral("ABCD\\E"));
    EXPECT_EQ(articleNameKey(QStringLiteral("éü")), QString());
}

TEST(ArticleRecord, EmptyFieldsGiveAllHints)
{
    const ArticleIndex index;
    ArticleInput in;
    in.price = QStringLiteral("1");
    const auto v = validateArticle(in, index);
    ASSERT_FALSE(v.ok());
    ASSERT_EQ(v.hints.size(), 2);
    EXPECT_EQ(v.hints[0],
              (Failure{QStringLiteral("Edit4"), QStringLiteral("Wprowadź numer!"), true}));
    EXPECT_EQ(v.hints[1],
              (Failure{QStringLiteral("Edit5"), QStringLiteral("Wprowadź nazwę!"), true}));
    in = ArticleInput{};
    in.number = QStringLiteral("1");
    in.name = QStringLiteral("x");
    EXPECT_EQ(validateArticle(in, index).failure->message, QStringLiteral("Wprowadź cenę!"));
}

struct Case {
    const char* number;
    const char* name;
    const char* price;
    bool fixed;
    const char* message; // UTF-8
};

TEST(ArticleRecord, EveryRefusalInOrder)
{
    const Case cases[] = {
        {"0", "   ", "x", false,
         "     Błędna wartość : Numer towaru w kasie \n Pole musi zawierać liczbę z przedziału "
         "1-2000.     "},
        {"2001", "a", "1", false,
         "     Błędna wartość : Numer towaru w kasie \n Pole musi zawierać liczbę z przedziału "
         "1-2000.     "},
        {"1x", "a", "1", false,
         "     Błędna wartość : Numer towaru w kasie \n Pole musi zawierać liczbę z przedziału "
         "1-2000.     "},
        {"5", "   ", "x", false, "Nazwa towaru nie może składać się z samych znaków spacji!"},
        {"5", "a", "1,2,3", false, "     Błędna wartość w polu Cena     "},
        {"5", "a", "abc", false, "     Błędna wartość w polu Cena     "},
        {"5", "a", "1000000", false, "Błąd! Cena musi zawierać się w przedziale 0,00 - 999999,99"},
        {"5", "a", "-1", false, "Błąd! Cena musi zawierać się w przedziale 0,00 - 999999,99"},
        {"5", "a", "0", true,
         "Cena sztywna musi mieć wartość większą od 0,00. Wprowadz inną wartość, lub odznacz pole "
         "\"Cena sztywna\""},
    };
    const ArticleIndex index;
    for (const Case& c : cases) {
        ArticleInput in;
        in.number = QString::fromUtf8(c.number);
        in.name = QString::fromUtf8(c.name);
        in.price = QString::fromUtf8(c.price);
        in.fixedPrice = c.fixed;
        const auto v = validateArticle(in, index);
        ASSERT_FALSE(v.ok()) << c.number << c.price;
        EXPECT_EQ(v.failure->message, QString::fromUtf8(c.message)) << c.number << c.price;
        EXPECT_FALSE(v.failure->hint);
    }
}

TEST(ArticleRecord, DuplicateKeys)
{
    const QByteArray table = tableWith(
        {article(3, QStringLiteral("Masło ekstra 200g")), article(9, QStringLiteral("Żurek"))});
    const ArticleIndex index(table);
    const struct {
        const char* number;
        const char* name;
        const char* message;
    } cases[] = {
        {"5", "masło  ekstra-200G",
         "Towar MASŁOEKSTRA200G jest już zapisany w bazie pod numerem 3"},
        {"5", "MASŁO!EKSTRA 200g", "Towar MASŁOEKSTRA200G jest już zapisany w bazie pod numerem 3"},
        {"5", "żUREK", "Towar ŻUREK jest już zapisany w bazie pod numerem 9"},
        {"5", " ż u r e k ", "Towar ŻUREK jest już zapisany w bazie pod numerem 9"},
    };
    for (const auto& c : cases) {
        ArticleInput in = good();
        in.number = QString::fromUtf8(c.number);
        in.name = QString::fromUtf8(c.name);
        const auto v = validateArticle(in, index);
        ASSERT_FALSE(v.ok()) << c.name;
        EXPECT_EQ(v.failure->message, QString::fromUtf8(c.message));
        EXPECT_EQ(v.failure->field, QStringLiteral("Edit5"));
    }
    // Punctuation that the key keeps makes names different; its own number may be reused.
    ArticleInput in = good();
    in.name = QStringLiteral("Masło ekstra 200g.");
    EXPECT_TRUE(validateArticle(in, index).ok());
    in.name = QStringLiteral("Masło ekstra 200g");
    in.number = QStringLiteral("3");
    EXPECT_TRUE(validateArticle(in, index).ok());
}

TEST(ArticleRecord, IndexFollowsWrites)
{
    ArticleIndex index(tableWith({article(1, QStringLiteral("Cukier"))}));
    EXPECT_EQ(index.otherWithKey(QStringLiteral("CUKIER"), 5), 1);
    index.set(1, QStringLiteral("Sól"));
    EXPECT_EQ(index.otherWithKey(QStringLiteral("CUKIER"), 5), 0);
    EXPECT_EQ(index.otherWithKey(QStringLiteral("SÓL"), 5), 1);
    index.set(7, QStringLiteral("sól"));
    EXPECT_EQ(index.otherWithKey(QStringLiteral("SÓL"), 1), 7);
    index.remove(1);
    index.remove(7);
    EXPECT_EQ(index.otherWithKey(QStringLiteral("SÓL"), 5), 0);
}

TEST(ArticleRecord, PricesAndBarcode)
{
    const ArticleIndex index;
    const struct {
        const char* typed;
        qint32 hundredths;
    } prices[] = {{"12.5", 1250}, {"999999,99", 99999999}, {"0,01", 1}, {"3,50", 350}};
    for (const auto& p : prices) {
        ArticleInput in = good();
        in.price = QString::fromLatin1(p.typed);
        const auto v = validateArticle(in, index);
        ASSERT_TRUE(v.ok()) << p.typed;
        EXPECT_EQ(v.record->price, p.hundredths) << p.typed;
    }
    ArticleInput in = good();
    in.barcode = QStringLiteral("123");
    in.vatIndex = 2;
    in.groupIndex = 4;
    in.tandemIndex = 6;
    in.haloIndex = 1;
    in.unitIndex = 3;
    const auto v = validateArticle(in, index);
    ASSERT_TRUE(v.ok());
    const QByteArray bytes = v.record->encode();
    EXPECT_EQ(bytes.mid(49, 13), QByteArray("0000000000123"));
    EXPECT_EQ(bytes, QByteArray(Bytes()
                                    .u16(7)
                                    .text("Chleb")
                                    .fill(37)
                                    .text("C")
                                    .u32(350)
                                    .text("0000000000123")
                                    .u8(5)
                                    .u8(6)
                                    .u8(0)
                                    .u8(1)
                                    .u8(1)
                                    .u8(3)));
    in.barcode.clear();
    EXPECT_EQ(validateArticle(in, index).record->encode().mid(49, 13), QByteArray(13, '0'));
}

TEST(ArticleRecord, NextFree)
{
    const QByteArray table =
        tableWith({article(1, QStringLiteral("a")), article(2, QStringLiteral("b")),
                   article(4, QStringLiteral("c"))});
    EXPECT_EQ(nextFreeArticle(table, 0), 3);
    EXPECT_EQ(nextFreeArticle(table, 3), 5);
    QByteArray full(layout::Articles.bytes(), '\1');
    EXPECT_EQ(nextFreeArticle(full, 0), 0);
}

TEST(ArticleRecord, FromRegisterImage)
{
    // 82-byte image: record bytes 0..48, sales 49..56, barcode 57..69, 70..74, last sale, unit.
    const QByteArray image = Bytes()
                                 .u16(12)
                                 .text("Kawa")
                                 .fill(38)
                                 .text("A")
                                 .u32(999)
                                 .u32(5)
                                 .u32(7)
                                 .text("   1234567890")
                                 .u8(3)
                                 .u8(0)
                                 .u8(1)
                                 .u8(1)
                                 .u8(2)
                                 .u16(2024)
                                 .u8(1)
                                 .u8(2)
                                 .u8(3)
                                 .u8(4)
                                 .u8(5);
    ASSERT_EQ(image.size(), 82);
    const QByteArray rec = articleFromImage(image);
    EXPECT_EQ(rec, QByteArray(Bytes()
                                  .u16(12)
                                  .text("Kawa")
                                  .fill(38)
                                  .text("A")
                                  .u32(999)
                                  .text("0001234567890")
                                  .u8(3)
                                  .u8(0)
                                  .u8(1)
                                  .u8(1)
                                  .u8(2)
                                  .u8(5)));
    EXPECT_EQ(articleFromImage(image.left(81))[67], 0);
}

TEST(ArticleRecord, GridRow)
{
    QByteArray groups(layout::Groups.bytes(), '\0');
    groups.replace(22, 22, GroupRecord{2, QStringLiteral("Napoje")}.encode());
    QByteArray pack(layout::Packaging.bytes(), '\0');
    pack.replace(0, 48, PackagingRecord{1, QStringLiteral("Butelka"), 50, false}.encode());
    ArticleRecord r = article(8, QStringLiteral("Piwo"));
    r.group = 2;
    r.tandem = 1;
    r.price = 5;
    r.barcode = QStringLiteral("0000000000008");
    EXPECT_EQ(
        articleGridRow(r, groups, pack),
        (QStringList{QStringLiteral("8"), QStringLiteral("Piwo"), QStringLiteral("A"),
                     QStringLiteral("0,05"), QStringLiteral("0000000000008"),
                     QStringLiteral("2 Napoje"), QStringLiteral("Butelka"), QStringLiteral("Nie"),
                     QStringLiteral("Tak"), QStringLiteral("Brak"), QStringLiteral("Brak")}));
}

} // namespace

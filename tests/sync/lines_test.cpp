#include "syncbench.h"

#include "sync/articlesync.h"
#include "sync/tablemembers.h"
#include "sync/tablesync.h"
#include "tables/articlerecord.h"

#include <gtest/gtest.h>

using namespace basesync;

namespace {

QString spaces(int n)
{
    return QString(n, u' ');
}

// Article 7 "Mleko" as the register sends it back, every byte placed by hand.
QByteArray milkImage()
{
    QByteArray img(82, '\0');
    put16(img, 0, 7);
    putText(img, 2, "Mleko");
    img[44] = 'B';
    put32(img, 45, 1250);
    put32(img, 49, 25000); // 2.5 units sold
    put32(img, 53, 3125);
    putText(img, 57, " 590123412345"); // the register pads its barcode with a space
    img[70] = 3;                       // group
    img[71] = 0;                       // tandem
    img[72] = 1;                       // fixed price
    img[73] = 0;                       // fractions allowed
    img[74] = 2;                       // halo
    put16(img, 75, 2025);
    img[77] = 3;
    img[78] = 5;
    img[79] = 9;
    img[80] = 7;
    img[81] = 4; // unit
    return img;
}

} // namespace

TEST(ArticleLines, RegisterAndPcLines)
{
    EXPECT_EQ(ArticleSync::registerLine(milkImage()),
              QStringLiteral("7.    Mleko") + spaces(17) + QStringLiteral("      12,50 B"));
    ArticleRecord r;
    r.number = 1234;
    r.name = QStringLiteral("Bardzo długa nazwa towaru");
    r.vat = 'A';
    r.price = 5;
    EXPECT_EQ(ArticleSync::pcLine(r), QStringLiteral("1234. Bardzo długa nazwa t       0,05 A"));
    r.number = 2000;
    r.price = 99999999;
    r.name = QStringLiteral("Ser");
    EXPECT_EQ(ArticleSync::pcLine(r),
              QStringLiteral("2000. Ser") + spaces(17) + QStringLiteral("  999999,99 A"));
}

TEST(ArticleLines, RegisterDetailsWithSalesFigures)
{
    const Details d = ArticleSync::registerDetails(milkImage());
    EXPECT_EQ(d.title, QStringLiteral("Mleko"));
    const QList<DetailField> expected{
        {QStringLiteral("PTU:"), QStringLiteral("B")},
        {QStringLiteral("Numer grupy towarowej:"), QStringLiteral("3")},
        {QStringLiteral("Kod:"), QStringLiteral("0590123412345")},
        {QStringLiteral("Numer opakowania:"), QStringLiteral("Brak")},
        {QStringLiteral("Cena stała:"), QStringLiteral("TAK")},
        {QStringLiteral("Sprzedaż na sztuki:"), QStringLiteral("NIE")},
        {QStringLiteral("Indeks tablicy HALO"), QStringLiteral("2")},
        {QStringLiteral("Numer jednostki towarowej"), QStringLiteral("4")},
        {QStringLiteral("Ilość sprzedanych sztuk:"), QStringLiteral("2")},
        {QStringLiteral("Wartość sprzedaży:"), QStringLiteral("31,25")},
        {QStringLiteral("Data ostatniej sprzedaży:"), QStringLiteral("2025-3-5  09:07")},
    };
    EXPECT_EQ(d.fields, expected);

    QByteArray never = milkImage();
    never[79] = 24;
    never[74] = 0;
    never[81] = 0;
    never[71] = 6;
    const Details n = ArticleSync::registerDetails(never);
    EXPECT_EQ(n.value(QStringLiteral("Data ostatniej sprzedaży:")), QStringLiteral("Brak"));
    EXPECT_EQ(n.value(QStringLiteral("Indeks tablicy HALO")), QStringLiteral("Brak"));
    EXPECT_EQ(n.value(QStringLiteral("Numer jednostki towarowej")), QStringLiteral("Brak"));
    EXPECT_EQ(n.value(QStringLiteral("Numer opakowania:")), QStringLiteral("6"));
}

TEST(ArticleLines, PcDetailsHaveNoSalesFigures)
{
    const QByteArray record = articleFromImage(milkImage());
    const Details d = ArticleSync::pcDetails(record);
    EXPECT_EQ(d.fields.size(), 8);
    EXPECT_EQ(d.value(QStringLiteral("Kod:")), QStringLiteral("0590123412345"));
    EXPECT_TRUE(d.value(QStringLiteral("Wartość sprzedaży:")).isNull());
}

TEST(MemberLines, DiscountOfKindOneAndTypeZeroListsAsNAndPercent)
{
    TableSync sync(discountsMember());
    QByteArray img(36, '\0');
    img[0] = 4;
    putText(img, 1, "Happy hour");
    img[22] = 1; // kind
    img[23] = 0; // type
    put32(img, 24, 1500);
    put32(img, 28, 12345);
    put32(img, 32, 17);
    EXPECT_EQ(sync.registerLine(img),
              QStringLiteral("4.  Happy hour") + spaces(11) + QStringLiteral("[N]     15,00 %"));
    sync.setImage(4, img);
    const Details d = sync.registerDetails(4);
    EXPECT_EQ(d.title, QStringLiteral("Happy hour"));
    EXPECT_EQ(d.fields, (QList<DetailField>{
                            {QStringLiteral("Obrót rabatu/narzutu:"), QStringLiteral("123,45")},
                            {QStringLiteral("Ilość użyć rabatu/narzutu:"), QStringLiteral("17")}}));
    img[22] = 0;
    img[23] = 1;
    EXPECT_EQ(sync.registerLine(img), QStringLiteral("4.  Happy hour") + spaces(11) +
                                          QStringLiteral("[R]     15,00 kwotowy"));
    // The PC record (28 bytes, same positions) lists the same way.
    QByteArray record(28, '\0');
    record[0] = 12;
    putText(record, 1, "Rabat stały dla klien"); // the full 21 bytes, no terminator
    record[22] = 1;
    put32(record, 24, 5);
    EXPECT_EQ(sync.pcLine(record), QStringLiteral("12. Rabat stały dla klien[N]      0,05 %"));
}

TEST(MemberLines, PackagingLineAndStatistics)
{
    TableSync sync(packagingMember());
    QByteArray img(66, '\0');
    img[0] = 2;
    putText(img, 1, "Butelka");
    put32(img, 43, 50);
    put32(img, 47, 1250);
    put32(img, 51, 400);
    img[59] = 24; // never sold
    put16(img, 61, 25);
    put16(img, 63, 8);
    img[65] = 1;
    EXPECT_EQ(sync.registerLine(img),
              QStringLiteral("2.  Butelka") + spaces(15) + QStringLiteral("       0,50 sztywna"));
    img[65] = 0;
    EXPECT_EQ(sync.registerLine(img),
              QStringLiteral("2.  Butelka") + spaces(15) + QStringLiteral("       0,50 ruchoma"));
    sync.setImage(2, img);
    const QList<DetailField> expected{
        {QStringLiteral("Wartość przyjęć:"), QStringLiteral("12,50")},
        {QStringLiteral("Wartość zwrotów:"), QStringLiteral("4,00")},
        {QStringLiteral("Data ostatniej sprzedaży:"), QStringLiteral("Brak")},
        {QStringLiteral("Liczba przyjęć opakowań zwrotnych:"), QStringLiteral("25")},
        {QStringLiteral("Liczba zwrotów opakowań zwrotnych:"), QStringLiteral("8")},
    };
    EXPECT_EQ(sync.registerDetails(2).fields, expected);
    // The PC record keeps the fixed-price byte at 47.
    QByteArray record(48, '\0');
    record[0] = 3;
    putText(record, 1, "Skrzynka na butelki piwa bezzwrotne");
    put32(record, 43, 1999);
    record[47] = 1;
    EXPECT_EQ(sync.pcLine(record), QStringLiteral("3.  Skrzynka na butelki pi      19,99 sztywna"));
}

TEST(MemberLines, PaymentFormKinds)
{
    TableSync sync(paymentFormsMember());
    QByteArray img(31, '\0');
    img[0] = 3;
    putText(img, 1, "Visa");
    put32(img, 22, 99999);
    put32(img, 27, 42);
    const struct {
        int kind;
        const char16_t* text;
    } kinds[] = {{1, u" Karta płatnicza"},
                 {2, u" Czek"},
                 {3, u" Bon"},
                 {4, u" Kredyt"},
                 {5, u" Inna"},
                 {0, u""},
                 {9, u""}};
    for (const auto& k : kinds) {
        img[26] = char(k.kind);
        EXPECT_EQ(sync.registerLine(img),
                  QStringLiteral("3.  Visa") + spaces(17) + QString::fromUtf16(k.text));
    }
    sync.setImage(3, img);
    EXPECT_EQ(
        sync.registerDetails(3).fields,
        (QList<DetailField>{{QStringLiteral("Obrót formy płatności:"), QStringLiteral("999,99")},
                            {QStringLiteral("Ilość użyć formy płatności"), QStringLiteral("42")}}));
    QByteArray record(23, '\0');
    record[0] = 10;
    putText(record, 1, "Bon towarowy");
    record[22] = 3;
    EXPECT_EQ(sync.pcLine(record),
              QStringLiteral("10. Bon towarowy") + spaces(9) + QStringLiteral(" Bon"));
}

TEST(MemberLines, CurrencyRateAndSymbol)
{
    TableSync sync(currenciesMember());
    QByteArray img(42, '\0');
    img[0] = 1;
    putText(img, 1, "Euro");
    put32(img, 22, 35000);
    put32(img, 26, 43012345);
    img[30] = 4;
    putText(img, 31, "EUR");
    put32(img, 34, 12);
    EXPECT_EQ(sync.registerLine(img),
              QStringLiteral("1.  Euro") + spaces(17) + QStringLiteral(" 4301,2345 EUR"));
    sync.setImage(1, img);
    EXPECT_EQ(sync.registerDetails(1).fields,
              (QList<DetailField>{{QStringLiteral("Obrót:"), QStringLiteral("350,00")},
                                  {QStringLiteral("Ilość użyć:"), QStringLiteral("12")}}));
    // Fewer digits than decimals get zeros in front; a short symbol is padded.
    put32(img, 26, 5);
    img[30] = 3;
    putBytes(img, 31, QByteArray("US\0", 3));
    EXPECT_EQ(sync.registerLine(img),
              QStringLiteral("1.  Euro") + spaces(17) + QStringLiteral(" 0,005 US "));
    // PC record: rate 22..25, decimals 26, symbol 27..29.
    QByteArray record(30, '\0');
    record[0] = 2;
    putText(record, 1, "Dolar");
    put32(record, 22, 39876543);
    record[26] = 7;
    putText(record, 27, "USD");
    EXPECT_EQ(sync.pcLine(record),
              QStringLiteral("2.  Dolar") + spaces(16) + QStringLiteral(" 3,9876543 USD"));
}

TEST(MemberLines, GroupLineAndTakings)
{
    TableSync sync(groupsMember());
    QByteArray img(26, '\0');
    img[0] = 5;
    putText(img, 1, "Napoje");
    put32(img, 22, 150000);
    EXPECT_EQ(sync.registerLine(img), QStringLiteral("5.  Napoje") + spaces(15));
    sync.setImage(5, img);
    EXPECT_EQ(sync.registerDetails(5).fields,
              (QList<DetailField>{
                  {QStringLiteral("Utarg wybranej grupy towarowej:"), QStringLiteral("1500,00")}}));
    EXPECT_TRUE(sync.registerDetails(6).isEmpty());
}

TEST(MemberLines, CashierStatisticsRightsAndTimes)
{
    TableSync sync(cashiersMember());
    QByteArray img(324, '\0');
    img[0] = 2;
    putText(img, 1, "Anna");
    putText(img, 22, "1234");
    put32(img, 26, 10000);
    put32(img, 30, 25050);
    put16(img, 34, 12);
    put16(img, 36, 1);
    put32(img, 38, 300);
    put16(img, 42, 2);
    put32(img, 44, 150);
    put32(img, 48, 5000);
    put32(img, 52, 2000);
    put32(img, 56, 50);
    put32(img, 60, 100);
    const char rights[7] = {1, 0, 1, 0, 1, 0, 1};
    for (int i = 0; i < 7; ++i)
        img[224 + i] = rights[i];
    put16(img, 231, 2025);
    img[233] = 11;
    img[234] = 3;
    img[235] = 8;
    img[236] = 5;
    put16(img, 237, 2025);
    img[239] = 11;
    img[240] = 3;
    img[241] = 16;
    img[242] = 30;
    put16(img, 243, 1234);
    img[245] = 45;
    img[246] = 1;
    sync.setImage(2, img);
    const Details d = sync.registerDetails(2);
    const QList<DetailField> expected{
        {QStringLiteral("Utarg gotówkowy"), QStringLiteral("100,00")},
        {QStringLiteral("Utarg całkowity"), QStringLiteral("250,50")},
        {QStringLiteral("Liczba wydanych paragonów"), QStringLiteral("12")},
        {QStringLiteral("Liczba anulowanych paragonów"), QStringLiteral("1")},
        {QStringLiteral("Kwota anulowanych paragonów"), QStringLiteral("3,00")},
        {QStringLiteral("Liczba storno"), QStringLiteral("2")},
        {QStringLiteral("Kwota storno"), QStringLiteral("1,50")},
        {QStringLiteral("Wpłaty do kasy"), QStringLiteral("50,00")},
        {QStringLiteral("Wypłaty z kasy"), QStringLiteral("20,00")},
        {QStringLiteral("Zwroty opakowań zwrotnych"), QStringLiteral("0,50")},
        {QStringLiteral("Wydania opakowań zwrotnych"), QStringLiteral("1,00")},
        {QStringLiteral("Możliwość wykonywania raportów niezerujących"), QStringLiteral("TAK")},
        {QStringLiteral("Możliwość wykonywania raportów zerujących"), QStringLiteral("NIE")},
        {QStringLiteral("Możliwość ręcznego udzielania rabatów"), QStringLiteral("TAK")},
        {QStringLiteral("Możliwość udzielania rabatów z bazy"), QStringLiteral("NIE")},
        {QStringLiteral("Możliwość anulowania paragonu"), QStringLiteral("TAK")},
        {QStringLiteral("Możliwość wykonywania operacji storno"), QStringLiteral("NIE")},
        {QStringLiteral("Możliwość wykonywania wpłat i wypłat z kasy"), QStringLiteral("TAK")},
        {QStringLiteral("Ostatnie logowanie:"), QStringLiteral("2025-11-3  08:05")},
        {QStringLiteral("Ostatnie wylogowanie:"), QStringLiteral("2025-11-3  16:30")},
        {QStringLiteral("Całkowity czas pracy:"), QStringLiteral("1234 godzin 45")},
    };
    EXPECT_EQ(d.fields, expected);
    EXPECT_EQ(d.notice, QStringLiteral("KASJER ZALOGOWANY!"));
    img[246] = 0;
    sync.setImage(2, img);
    EXPECT_TRUE(sync.registerDetails(2).notice.isEmpty());

    // A PC line shows the record's rights and password.
    TestDatabase t;
    ASSERT_TRUE(t.ok);
    const Details pc = sync.pcDetails(t.db(), 1); // the manager of a new database
    ASSERT_EQ(pc.fields.size(), 8);
    EXPECT_EQ(pc.fields[0].value, QStringLiteral("TAK"));
    EXPECT_EQ(pc.value(QStringLiteral("Hasło:")), QStringLiteral("7395"));
    EXPECT_TRUE(TableSync(groupsMember()).pcDetails(t.db(), 1).isEmpty());
}

TEST(Members, TableOfDifferences)
{
    struct Row {
        const TableMember* m;
        const char* id;
        int answer, image, pcLines, registerLines;
        char letter;
        const char16_t* noun;
        const char16_t* caption;
    };
    const Row rows[] = {
        {&groupsMember(), "groups", 35, 26, 20, 20, 'G', u" grup towarowych.",
         u"Podgląd bazy grup towarowych"},
        {&packagingMember(), "packaging", 75, 66, 20, 20, 'Z', u" opakowań.",
         u"Podgląd bazy opakowań"},
        {&cashiersMember(), "cashiers", 333, 324, 10, 20, 'K', u" kasjerów.",
         u"Podgląd bazy kasjerów"},
        {&discountsMember(), "discounts", 45, 36, 20, 20, 'R', u" rabatów.",
         u"Podgląd bazy rabatów"},
        {&paymentFormsMember(), "payments", 40, 31, 10, 10, 'F', u" form płatnosci.",
         u"Podgląd bazy form płatności"},
        {&currenciesMember(), "currencies", 51, 42, 10, 10, 'W', u" walut.",
         u"Podgląd bazy walut obcych"},
    };
    ASSERT_EQ(tableMembers().size(), 6);
    for (const Row& r : rows) {
        EXPECT_EQ(r.m->id, QLatin1String(r.id));
        EXPECT_EQ(tableMember(QLatin1String(r.id)), r.m);
        EXPECT_EQ(r.m->answerLength, r.answer) << r.id;
        EXPECT_EQ(r.m->imageSize, r.image) << r.id;
        EXPECT_EQ(r.m->pcLines, r.pcLines) << r.id;
        EXPECT_EQ(r.m->registerLines, r.registerLines) << r.id;
        EXPECT_EQ(r.m->letter, r.letter) << r.id;
        EXPECT_EQ(r.m->noun, QString::fromUtf16(r.noun)) << r.id;
        EXPECT_EQ(r.m->caption, QString::fromUtf16(r.caption)) << r.id;
    }
    EXPECT_EQ(tableMember(QStringLiteral("articles")), nullptr);
    EXPECT_TRUE(cashiersMember().confirmCaption.isEmpty());
    EXPECT_EQ(discountsMember().confirmCaption,
              QStringLiteral("Potwierdzaj wprowadzanie rabatów z klawiatury kasy"));
}

TEST(Members, BusyWaitsAfterProgrammingFrames)
{
    struct Case {
        const TableMember* m;
        quint16 sequence;
        int ms;
    };
    const Case cases[] = {
        {&groupsMember(), 1, 1000},         {&groupsMember(), 2, 450},
        {&groupsMember(), 0x8101, 1000},    {&packagingMember(), 257, 1000},
        {&cashiersMember(), 256, 2300},     {&cashiersMember(), 1, 1700},
        {&discountsMember(), 0x8100, 1000}, {&discountsMember(), 255, 390},
        {&discountsMember(), 1, 390},       {&paymentFormsMember(), 1, 1000},
        {&paymentFormsMember(), 3, 390},    {&currenciesMember(), 0x8001, 1000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.m->programBusyWaitMs(c.sequence), c.ms) << c.m->id.toStdString() << c.sequence;
}

TEST(Members, CopyToPcMappings)
{
    // Each image byte holds its own position, so the record shows where every byte came from.
    auto positions = [](int size) {
        QByteArray b(size, '\0');
        for (int i = 0; i < size; ++i)
            b[i] = char(i);
        return b;
    };
    const QByteArray cashier = cashiersMember().recordOfImage(positions(324));
    ASSERT_EQ(cashier.size(), 33);
    EXPECT_EQ(quint8(cashier[25]), 25);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(quint8(cashier[26 + i]), 224 + i);
    const QByteArray pack = packagingMember().recordOfImage(positions(66));
    ASSERT_EQ(pack.size(), 48);
    EXPECT_EQ(quint8(pack[46]), 46);
    EXPECT_EQ(quint8(pack[47]), 65);
    const QByteArray pay = paymentFormsMember().recordOfImage(positions(31));
    ASSERT_EQ(pay.size(), 23);
    EXPECT_EQ(quint8(pay[21]), 21);
    EXPECT_EQ(quint8(pay[22]), 26);
    const QByteArray cur = currenciesMember().recordOfImage(positions(42));
    ASSERT_EQ(cur.size(), 30);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(quint8(cur[22 + i]), 26 + i);
    EXPECT_EQ(groupsMember().recordOfImage(positions(26)), positions(22));
    EXPECT_EQ(discountsMember().recordOfImage(positions(36)), positions(28));
}

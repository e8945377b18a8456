#include "tables/discountrecord.h"

#include <gtest/gtest.h>

namespace {

DiscountInput input(const char* number, const char* name, const char* value,
                    int type = DiscountRecord::Percentage)
{
    DiscountInput in;
    in.number = QString::fromUtf8(number);
    in.name = QString::fromUtf8(name);
    in.value = QString::fromUtf8(value);
    in.type = type;
    return in;
}

QByteArray tableWithPromo()
{
    QByteArray t(layout::Discounts.bytes(), '\0');
    t.replace(2 * 28, 28, DiscountRecord{3, QStringLiteral("Promocja"), 0, 0, 500}.encode());
    return t;
}

TEST(DiscountRecord, Refusals)
{
    const QString pct = QStringLiteral("    Wartość rabatu/narzutu procentowego musi zawierać się "
                                       "w przedziale: 0,01 % - 99,99 %      ");
    const struct {
        DiscountInput in;
        const char* message;
    } cases[] = {
        {input("", "a", "1"), " Wprowadź numer!"},
        {input("1", "", "1"), " Wprowadź nazwę!"},
        {input("1", "a", ""), " Wprowadź wartość!"},
        {input("21", "  ", "x"),
         " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 20"},
        {input("2", "  ", "x"),
         "Nazwa rabatu/narzutu nie może składać się z samych znaków spacji!"},
        {input("2", "Promocja  ", "x"),
         "Rabat/narzut o takiej nazwie już istnieje! Wybierz inną nazwę."},
        {input("2", "a", "1.5"), "Błędna wartość w polu Wartosc"},
        {input("2", "a", "1,5,0"), "Błędna wartość w polu Wartosc"},
        {input("2", "a", "-1"), "Błędna wartość w polu Wartosc"},
        {input("2", "a", "1,555"), "Błędna wartość w polu Wartość"},
        {input("2", "a", "100"), nullptr},
        {input("2", "a", "0"), nullptr},
        {input("2", "a", "0", DiscountRecord::Amount),
         "    Wartość rabatu/narzutu kwotowego nie może być mniejsza lub równa 0     "},
        {input("2", "a", "999999,99", DiscountRecord::Amount),
         "    Maksymalna wartość rabatu/narzutu kwotowego to 999999,98     "},
        {input("2", "a", "99999999999999999999", DiscountRecord::Amount),
         "    Maksymalna wartość rabatu/narzutu kwotowego to 999999,98     "},
    };
    const QByteArray table = tableWithPromo();
    for (const auto& c : cases) {
        const auto v = validateDiscount(c.in, table);
        ASSERT_FALSE(v.ok()) << c.in.value.toStdString();
        EXPECT_EQ(v.failure->message, c.message ? QString::fromUtf8(c.message) : pct);
    }
}

TEST(DiscountRecord, Values)
{
    const struct {
        const char* typed;
        int type;
        qint32 stored;
    } cases[] = {{"5", 0, 500},  {"99,99", 0, 9999},         {"0,5", 0, 50},
                 {"0,01", 0, 1}, {"999999,98", 1, 99999998}, {"12,", 1, 1200}};
    for (const auto& c : cases) {
        const auto v = validateDiscount(input("4", "Nowy", c.typed, c.type), tableWithPromo());
        ASSERT_TRUE(v.ok()) << c.typed;
        EXPECT_EQ(v.record->value, c.stored) << c.typed;
    }
}

TEST(DiscountRecord, SavingAgainUnderItsOwnNumber)
{
    EXPECT_TRUE(validateDiscount(input("3", "Promocja", "5"), tableWithPromo()).ok());
    EXPECT_FALSE(validateDiscount(input("4", "Promocja", "5"), tableWithPromo()).ok());
    EXPECT_TRUE(validateDiscount(input("4", "promocja", "5"), tableWithPromo()).ok());
}

TEST(DiscountRecord, GridRowAndFreeNumber)
{
    EXPECT_EQ(
        discountGridRow(DiscountRecord{3, QStringLiteral("Promocja"), 1, 1, 1250},
                        QStringLiteral("PLN")),
        (QStringList{QStringLiteral("3"), QStringLiteral("Promocja"), QStringLiteral("Narzut"),
                     QStringLiteral("     12,50"), QStringLiteral("PLN")}));
    EXPECT_EQ(
        discountGridRow(DiscountRecord{1, QStringLiteral("R"), 0, 0, 5}, QStringLiteral("PLN"))[4],
        QStringLiteral("%"));
    EXPECT_EQ(lowestFree(tableWithPromo(), layout::Discounts, layout::Discounts.count), 1);
}

} // namespace

#include "tables/currencyrecord.h"

#include <gtest/gtest.h>

namespace {

CurrencyInput input(const char* number, const char* name, const char* rate, const char* symbol)
{
    return {QString::fromUtf8(number), QString::fromUtf8(name), QString::fromUtf8(rate),
            QString::fromUtf8(symbol)};
}

QByteArray tableWithEuro()
{
    QByteArray t(layout::Currencies.bytes(), '\0');
    t.replace(
        0, 30,
        CurrencyRecord{1, QStringLiteral("Euro"), 43000000, 7, QStringLiteral("EUR")}.encode());
    return t;
}

TEST(CurrencyRecord, Refusals)
{
    const struct {
        CurrencyInput in;
        const char* field;
        const char* message;
    } cases[] = {
        {input("", "a", "1", "X"), "Edit1", " Wprowadź numer!"},
        {input("1", "", "1", "X"), "Edit2", " Wprowadź nazwę!"},
        {input("1", "a", "", "X"), "Edit3", " Wprowadź kurs!"},
        {input("1", "a", "1", ""), "Edit4", " Wprowadź symbol!"},
        {input("11", "a", "1", "X"), "Edit1",
         " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 10"},
        {input("2", "   ", "1", "X"), "Edit2",
         "Nazwa waluty nie może składać się z samych znaków spacji!"},
        {input("2", "a", "x", "X"), "Edit3", "Błędnie wypełnione pole KURS!"},
        {input("2", "a", "123456789", "X"), "Edit3", "Zbyt duża wartosc w polu KURS!"},
        {input("2", "a", "1000000", "X"), "Edit3", "Zbyt duża wartosc w polu KURS!"},
        {input("2", "Euro", "1", "X"), "Edit2",
         "Waluta o takiej nazwie już istnieje! Wybierz inną nazwę."},
        {input("1", "Euro", "1", "X"), "Edit2",
         "Waluta o takiej nazwie już istnieje! Wybierz inną nazwę."},
        {input("2", "Dolar", "1", "  "), "Edit4",
         "Symbol nie może składać się z samych znaków spacji!"},
        {input("2", "Dolar", "1", "EUR"), "Edit4",
         "Waluta o takim symbolu już istnieje! Wybierz inny symbol."},
        {input("2", "Dolar", "04", "USD"), "Edit3", "Błędna wartość w polu Kurs"},
        {input("2", "Dolar", ",4", "USD"), "Edit3", "Błędna wartość w polu Kurs"},
        {input("2", "Dolar", "-4", "USD"), "Edit3", "Błędna wartość w polu Kurs"},
        {input("2", "Dolar", "9,999999999", "USD"), "Edit3",
         "     Błędna wartość w polu Kurs     "},
    };
    for (const auto& c : cases) {
        const auto v = validateCurrency(c.in, tableWithEuro());
        ASSERT_FALSE(v.ok()) << c.message;
        EXPECT_EQ(v.failure->field, QString::fromUtf8(c.field));
        EXPECT_EQ(v.failure->message, QString::fromUtf8(c.message));
    }
    EXPECT_EQ(validateCurrency(input("", "", "", ""), {}).hints.size(), 4);
}

TEST(CurrencyRecord, RateForms)
{
    const struct {
        const char* typed;
        qint32 mantissa;
        int decimals;
        const char* shown;
    } cases[] = {{"3,8765", 38765000, 7, "3,8765000"},
                 {"1", 10000000, 7, "1,0000000"},
                 {"999999,99", 99999999, 2, "999999,99"},
                 {"4.5", 45000000, 7, "4,5000000"},
                 {"0,5", 5000000, 7, "0,5000000"}};
    for (const auto& c : cases) {
        const auto v = validateCurrency(input("2", "Dolar", c.typed, "USD"), tableWithEuro());
        ASSERT_TRUE(v.ok()) << c.typed;
        EXPECT_EQ(v.record->mantissa, c.mantissa) << c.typed;
        EXPECT_EQ(v.record->decimals, c.decimals) << c.typed;
        EXPECT_EQ(rateText(v.record->mantissa, v.record->decimals), QString::fromUtf8(c.shown));
    }
    EXPECT_EQ(rateText(5, 2), QStringLiteral("0,05"));
    EXPECT_EQ(rateText(12, 0), QStringLiteral("12"));
    EXPECT_EQ(
        validateCurrency(input("2", "Dolar", "4", "US"), tableWithEuro()).record->encode().mid(27),
        QByteArray("US "));
    EXPECT_EQ(lowestFree(tableWithEuro(), layout::Currencies, 10), 2);
}

} // namespace

#include "tables/cashierrecord.h"

#include <gtest/gtest.h>

namespace {

CashierInput input(const char* number, const char* name, const char* password = "")
{
    CashierInput in;
    in.number = QString::fromUtf8(number);
    in.name = QString::fromUtf8(name);
    in.password = QString::fromUtf8(password);
    return in;
}

TEST(CashierRecord, Refusals)
{
    const struct {
        CashierInput in;
        const char* field;
        const char* message;
    } cases[] = {
        {input("", ""), "Edit1", " Wprowadź numer!"},
        {input("3", ""), "Edit2", " Wprowadź nazwę!"},
        {input("x", "  "), "Edit2", "Nazwa kasjera nie może składać się z samych znaków spacji!"},
        {input("0", "Ola"), "Edit1",
         "Wartość pola 'Numer kasjera' powinna zawierać się w przedziale 1-10"},
        {input("11", "Ola"), "Edit1",
         "Wartość pola 'Numer kasjera' powinna zawierać się w przedziale 1-10"},
        {input("2", "Ola", "12a"), "MaskEdit1", "Błędne hasło!"},
        {input("2", "Ola", "+12"), "MaskEdit1", "Błędne hasło!"},
        {input("2", "Ola", "12345"), "MaskEdit1", "Błędne hasło!"},
    };
    for (const auto& c : cases) {
        const auto v = validateCashier(c.in, {});
        ASSERT_FALSE(v.ok()) << c.message;
        EXPECT_EQ(v.failure->field, QString::fromUtf8(c.field));
        EXPECT_EQ(v.failure->message, QString::fromUtf8(c.message));
    }
    EXPECT_EQ(validateCashier(input("", ""), {}).hints.size(), 2);
}

TEST(CashierRecord, PasswordBytes)
{
    auto v = validateCashier(input("2", "Ola", " 12 "), {});
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.record->encode().mid(22, 4), QByteArray("12\0\0", 4));
    v = validateCashier(input("2", "Ola", "    "), {});
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.record->encode().mid(22, 4), QByteArray(4, '\0'));
    EXPECT_EQ(cashierPasswordText(*v.record), QStringLiteral("Brak"));
}

TEST(CashierRecord, ManagerKeepsStoredPassword)
{
    QByteArray table(layout::Cashiers.bytes(), '\0');
    CashierRecord manager;
    manager.number = 1;
    manager.name = QStringLiteral("Kierownik");
    manager.password = QStringLiteral("9876");
    table.replace(0, 33, manager.encode());
    const auto v = validateCashier(input("1", "Szef", "1111"), table);
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.record->password, QStringLiteral("9876"));
    EXPECT_EQ(v.record->name, QStringLiteral("Szef"));
}

TEST(CashierRecord, DeleteAndFreeNumber)
{
    EXPECT_EQ(cashierDeleteRefusal(1), QStringLiteral("Nie można usunąć kasjera nr 1"));
    EXPECT_TRUE(cashierDeleteRefusal(2).isEmpty());
    QByteArray table(layout::Cashiers.bytes(), '\0');
    table[0] = 1;
    table[33] = 2;
    EXPECT_EQ(lowestFree(table, layout::Cashiers, 10), 3);
    for (int n = 0; n < 10; ++n)
        table[n * 33] = char(n + 1);
    EXPECT_EQ(lowestFree(table, layout::Cashiers, 10), 0);
}

} // namespace

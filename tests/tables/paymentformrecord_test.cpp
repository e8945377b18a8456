#include "tables/paymentformrecord.h"

#include <gtest/gtest.h>

namespace {

PaymentFormInput input(const char* number, const char* name, int type = 0)
{
    return {QString::fromUtf8(number), QString::fromUtf8(name), type};
}

QByteArray tableWithCard()
{
    QByteArray t(layout::PaymentForms.bytes(), '\0');
    t.replace(0, 23, PaymentFormRecord{1, QStringLiteral("Karta"), 1}.encode());
    return t;
}

TEST(PaymentFormRecord, Refusals)
{
    const struct {
        PaymentFormInput in;
        const char* message;
    } cases[] = {
        {input("", ""), "Podaj numer!"},
        {input("2", ""), "Podaj nazwę!"},
        {input("11", "a"),
         " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 10"},
        {input("0", "a"),
         " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 10"},
        {input("2", "   "), "Nazwa waluty nie może składać się z samych znaków spacji!"},
        {input("2", "Karta "), "Forma platności o takiej nazwie już istnieje! Wybierz inną nazwę."},
    };
    for (const auto& c : cases) {
        const auto v = validatePaymentForm(c.in, tableWithCard());
        ASSERT_FALSE(v.ok());
        EXPECT_EQ(v.failure->message, QString::fromUtf8(c.message));
    }
    EXPECT_EQ(validatePaymentForm(input("", ""), {}).hints.size(), 2);
}

TEST(PaymentFormRecord, TypeAndOwnNumber)
{
    const auto v = validatePaymentForm(input("1", "Karta", 4), tableWithCard());
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.record->type, 5);
    EXPECT_EQ(v.record->encode()[22], 5);
    EXPECT_EQ(paymentTypeName(5), QStringLiteral("Inna"));
    EXPECT_EQ(paymentTypeName(6), QString());
    EXPECT_EQ(lowestFree(tableWithCard(), layout::PaymentForms, 10), 2);
}

} // namespace

#include "tables/halo.h"
#include "tables/reportset.h"
#include "tables/units.h"

#include <gtest/gtest.h>

namespace {

std::array<QString, 9> fields(const char* first)
{
    std::array<QString, 9> f;
    f.fill(QStringLiteral("1"));
    f[0] = QString::fromUtf8(first);
    return f;
}

TEST(Halo, Fields)
{
    HaloTable stored;
    stored.amounts[0] = 77;
    const struct {
        const char* typed;
        qint32 stored;
        bool ok;
    } cases[] = {{"12,5", 1250, true},     {"12.5", 1250, true}, {"0,29", 29, true},
                 {"3,999", 399, true},     {"", 0, false},       {"abc", 0, false},
                 {"99999999999", 0, false}};
    for (const auto& c : cases) {
        const auto v = validateHalo(fields(c.typed), stored);
        ASSERT_EQ(v.ok(), c.ok) << c.typed;
        if (c.ok) {
            EXPECT_EQ(v.record->amounts[1], c.stored) << c.typed;
            EXPECT_EQ(v.record->amounts[0], 77);
            EXPECT_EQ(v.record->amounts[9], 100);
        } else {
            EXPECT_EQ(v.failure->message, QStringLiteral("Błędnie wypełnione pola!"));
        }
    }
}

TEST(Halo, ChoiceItems)
{
    HaloTable t;
    t.amounts = {0, 100, 200, 500, 1000, 2000, 3000, 5000, 10000, 50000};
    const QStringList items = haloChoiceItems(t);
    ASSERT_EQ(items.size(), 10);
    EXPECT_EQ(items[0], QStringLiteral("Brak"));
    EXPECT_EQ(items[1], QStringLiteral("1. 1,00"));
    EXPECT_EQ(items[9], QStringLiteral("9. 500,00"));
}

TEST(Units, PaddedWithSpaces)
{
    EXPECT_EQ(units::encode({QStringLiteral("kg"), QStringLiteral("l"), QStringLiteral("szt")}),
              QByteArray("kg l  szt"));
    EXPECT_EQ(units::encode({}), QByteArray(9, ' '));
    EXPECT_EQ(units::decode(QByteArray("kg m\0\0szt", 9)),
              (QStringList{QStringLiteral("kg "), QStringLiteral("m"), QStringLiteral("szt")}));
}

TEST(ReportSet, Names)
{
    ASSERT_EQ(reportSetNames().size(), 19);
    EXPECT_EQ(reportSetNames()[10], QStringLiteral("Raport klawiszy szybkich "));
    EXPECT_EQ(reportSetChoices()[2], QStringLiteral("Rekordów niezerowych"));
}

} // namespace

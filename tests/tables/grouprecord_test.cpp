#include "tables/grouprecord.h"

#include <gtest/gtest.h>

namespace {

QByteArray tableWithGroups()
{
    QByteArray t(layout::Groups.bytes(), '\0');
    t.replace(0, 22, GroupRecord{1, QStringLiteral("Grupa podstawowa")}.encode());
    t.replace(22, 22, GroupRecord{2, QStringLiteral("Napoje")}.encode());
    return t;
}

TEST(GroupRecord, Refusals)
{
    const struct {
        const char* name;
        const char* message;
    } cases[] = {
        {"", "Wprowadź nazwę!"},
        {"    ", "Nazwa grupy towarowej nie może składać się z samych znaków spacji!"},
        {"Napoje", "Grupa towarowa o takiej nazwie już istnieje! Wybierz inną nazwę."},
        {"Napoje  ", "Grupa towarowa o takiej nazwie już istnieje! Wybierz inną nazwę."},
    };
    for (const auto& c : cases) {
        // Saving group 2 again under its own name is refused too.
        const auto v = validateGroup({2, QString::fromUtf8(c.name)}, tableWithGroups());
        ASSERT_FALSE(v.ok()) << c.name;
        EXPECT_EQ(v.failure->message, QString::fromUtf8(c.message));
    }
    EXPECT_TRUE(validateGroup({3, QStringLiteral("napoje")}, tableWithGroups()).ok());
}

TEST(GroupRecord, FullWidthName)
{
    const auto v = validateGroup({3, QStringLiteral("Artykuły spożywcze 12")}, tableWithGroups());
    ASSERT_TRUE(v.ok());
    const QByteArray b = v.record->encode();
    EXPECT_EQ(b.size(), 22);
    EXPECT_EQ(b.mid(1), QByteArray("Artyku\xB3y spo\xBFywcze 12"));
}

TEST(GroupRecord, DeleteAndChoices)
{
    EXPECT_EQ(groupDeleteRefusal(1), QStringLiteral(" Nie można usunąć grupy towarowej nr  1"));
    EXPECT_TRUE(groupDeleteRefusal(2).isEmpty());
    EXPECT_EQ(lowestFree(tableWithGroups(), layout::Groups, layout::Groups.count), 3);
    const QStringList items = groupChoiceItems(tableWithGroups());
    ASSERT_EQ(items.size(), 20);
    EXPECT_EQ(items[0], QStringLiteral("1. Grupa podstawowa"));
    EXPECT_EQ(items[2], QStringLiteral("3"));
}

} // namespace

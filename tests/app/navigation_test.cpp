#include "app/navigation.h"

#include <gtest/gtest.h>

using S = OperatingState;

TEST(Navigation, TabsAndItemCounts)
{
    EXPECT_EQ(navigationTabTitle(NavTab::EditDatabase), QStringLiteral("&Edycja bazy"));
    EXPECT_EQ(navigationTabTitle(NavTab::Reports), QStringLiteral("Wykonywanie &raportów"));
    EXPECT_EQ(navigationTabTitle(NavTab::Communication), QStringLiteral("Ko&munikacja z kasą"));
    EXPECT_EQ(navigationItems(NavTab::EditDatabase).size(), 14u);
    EXPECT_EQ(navigationItems(NavTab::Reports).size(), 16u);
    EXPECT_EQ(navigationItems(NavTab::Communication).size(), 23u);
}

TEST(Navigation, SampleTextsAndForms)
{
    const QStringList edit = navigationTexts(NavTab::EditDatabase);
    EXPECT_EQ(edit.at(2), QStringLiteral("Towary"));
    EXPECT_EQ(edit.at(12), QStringLiteral("Eksport/import bazy do pliku CSV"));
    EXPECT_STREQ(navigationItems(NavTab::EditDatabase)[8].formClass,
                 "TProgramowanieKlawiszySzybkich2");
    EXPECT_TRUE(navigationItems(NavTab::EditDatabase)[8].refreshAfter);
    EXPECT_EQ(navigationTexts(NavTab::Reports).at(13),
              QStringLiteral("Wykonywanie raportu informacyjnego kasy"));
    EXPECT_STREQ(navigationItems(NavTab::Reports)[13].formClass, "TWykonywanieRaportuStanuKasy");
    EXPECT_EQ(navigationTexts(NavTab::Communication).at(14), QStringLiteral("Ściąganie sprzedaży"));
    EXPECT_STREQ(navigationItems(NavTab::Communication)[7].formClass, "TProgramowanieStawekPTU");
    EXPECT_EQ(navigationTexts(NavTab::Communication).at(20), QStringLiteral("Kopia kasy do bazy"));
    EXPECT_STREQ(navigationItems(NavTab::Communication)[20].formClass, "TKopiaKasy");
    EXPECT_EQ(navigationTexts(NavTab::Communication).at(21),
              QStringLiteral("Programowanie całej kasy"));
    EXPECT_STREQ(navigationItems(NavTab::Communication)[21].formClass, "TProgramowanieCalejKasy");
    EXPECT_EQ(navigationTexts(NavTab::Communication).at(22),
              QStringLiteral("Kasy w sieci sklepów"));
    EXPECT_STREQ(navigationItems(NavTab::Communication)[22].formClass, "TKasyWSieciSklepow");
}

TEST(Navigation, GatingPerState)
{
    struct Row {
        NavTab tab;
        int index;
        NavAction inState[4];
    };
    using A = NavAction;
    const Row rows[] = {
        {NavTab::EditDatabase, 0, {A::Refuse, A::Open, A::Open, A::Open}},
        {NavTab::EditDatabase, 10, {A::Refuse, A::Open, A::Open, A::Open}},
        {NavTab::EditDatabase, 11, {A::Open, A::Open, A::Open, A::Open}},
        {NavTab::EditDatabase, 13, {A::Refuse, A::Open, A::Open, A::Open}},
        {NavTab::Reports, 0, {A::Ignore, A::Ignore, A::Open, A::Open}},
        {NavTab::Reports, 15, {A::Ignore, A::Ignore, A::Open, A::Open}},
        {NavTab::Communication, 0, {A::Ignore, A::Ignore, A::Ignore, A::Open}},
        {NavTab::Communication, 6, {A::Ignore, A::Ignore, A::Ignore, A::Open}},
        {NavTab::Communication, 7, {A::Ignore, A::Ignore, A::Open, A::Open}},
        {NavTab::Communication, 19, {A::Ignore, A::Ignore, A::Open, A::Open}},
        {NavTab::Communication, 20, {A::Ignore, A::Ignore, A::Open, A::Open}},
        {NavTab::Communication, 21, {A::Ignore, A::Ignore, A::Ignore, A::Open}},
        // The chain's registers have lines of their own: offline too.
        {NavTab::Communication, 22, {A::Open, A::Open, A::Open, A::Open}},
        {NavTab::Communication, 23, {A::Ignore, A::Ignore, A::Ignore, A::Ignore}},
        {NavTab::Reports, -1, {A::Ignore, A::Ignore, A::Ignore, A::Ignore}},
    };
    for (const Row& r : rows)
        for (int s = 0; s < 4; ++s) {
            const NavDecision d = navigationDecision(r.tab, r.index, S(s));
            EXPECT_EQ(d.action, r.inState[s]) << int(r.tab) << "/" << r.index << " state " << s;
            if (d.action == NavAction::Refuse) {
                EXPECT_EQ(d.message,
                          QStringLiteral("Stwórz lub wczytaj z pliku bazę danych którą chcesz "
                                         "edytować, albo połącz się z kasą"));
            }
        }
}

#include "navigation.h"

namespace {

using G = NavGate;

constexpr NavItem EditItems[] = {
    {u"Grupy towarowe", "TProgramowanieGrupTowarowych", G::AnyButNone, false},
    {u"Opakowania zwrotne", "TProgramowanieOpakowan", G::AnyButNone, false},
    {u"Towary", "TProgramowanieTowarow", G::AnyButNone, false},
    {u"Kasjerzy", "TProgramowanieKasjerow", G::AnyButNone, false},
    {u"Rabaty i narzuty", "TProgramowanieRabatow", G::AnyButNone, false},
    {u"Formy płatności", "TProgramowanieFormPlatnosci", G::AnyButNone, false},
    {u"Waluty obce", "TProgramowanieWalutObcych", G::AnyButNone, false},
    {u"Stawki PTU", "TProgramowanieStawekPTU", G::AnyButNone, false},
    {u"Klawisze szybkie", "TProgramowanieKlawiszySzybkich2", G::AnyButNone, true},
    {u"Tablica HALO", "TProgramowanieTablicyHalo", G::AnyButNone, false},
    {u"Zmiana waluty ewidencyjnej", "TProgramowanieWalutyEwidencyjnej", G::AnyButNone, false},
    {u"Wydruk klawiatury", "TWydrukKlawiatury", G::Always, false},
    {u"Eksport/import bazy do pliku CSV", "TEksportBazy", G::AnyButNone, true},
    {u"Wydruk kodów kreskowych", "TDrukowanieKodowKreskowych", G::AnyButNone, true},
};

constexpr NavItem ReportItems[] = {
    {u"Wykonywanie raportu okresowego", "TWykonywanieRaportuOkresowego", G::Online, false},
    {u"Wykonywanie raportu sprzedaży", "TWykonywanieRaportuSprzedazy", G::Online, false},
    {u"Wykonywanie raportu towarów nieaktywnych", "TWykonywanieRaportuTowarowNieaktywnych",
     G::Online, false},
    {u"Wykonywanie raportu bazy z PTU", "TWykonywanieRaportuBazyZPTU", G::Online, false},
    {u"Wykonywanie pełnego raportu bazy PLU", "TWykonywaniePelnegoRaportuBazyPLU", G::Online,
     false},
    {u"Wykonywanie raportu kasjera", "TWykonywanieRaportuKasjera", G::Online, false},
    {u"Wykonywanie raportu zmianowego sprzedaży", "TWykonywanieRaportuZmianowegoSprzedazy",
     G::Online, false},
    {u"Wykonywanie raportu rabatów", "TWykonywanieRaportuRabatow", G::Online, false},
    {u"Wykonywanie raportu opakowań", "TWykonywanieRaportuOpakowan", G::Online, false},
    {u"Wykonywanie raportu form płatności", "TWykonywanieRaportuFormPlatnosci", G::Online, false},
    {u"Wykonywanie raportu grup towarowych", "TWykonywanieRaportuGrupTowarowych", G::Online, false},
    {u"Wykonywanie raportu napisów stałych", "TWykonywanieRaportuNapisowStalych", G::Online, false},
    {u"Wykonywanie raportu stawek PTU", "TWykonywanieRaportuStawekPTU", G::Online, false},
    {u"Wykonywanie raportu informacyjnego kasy", "TWykonywanieRaportuStanuKasy", G::Online, false},
    {u"Wykonywanie raportu klawiszy szybkich", "TWykonywanieRaportuKlawiszySzybkich", G::Online,
     false},
    {u"Wykonywanie raportu obrotu grup towarowych", "TRaportObrotuGrup", G::Online, false},
};

constexpr NavItem CommItems[] = {
    {u"Programowanie bazy grup towarowych", "TSynchronizacjaBazyGrupTowarowych",
     G::OnlineWithDatabase, false},
    {u"Programowanie bazy opakowań", "TSynchronizacjaBazyOpakowan", G::OnlineWithDatabase, false},
    {u"Programowanie bazy towarowej", "TSynchronizacjaBazyTowarowej", G::OnlineWithDatabase, false},
    {u"Programowanie bazy kasjerów", "TSynchronizacjaBazyKasjerow", G::OnlineWithDatabase, false},
    {u"Programowanie bazy rabatów i narzutów", "TSynchronizacjaBazyRabatow", G::OnlineWithDatabase,
     false},
    {u"Programowanie bazy form płatności", "TSynchronizacjaBazyFormPlatnosci",
     G::OnlineWithDatabase, false},
    {u"Programowanie bazy walut", "TSynchronizacjaBazyWalut", G::OnlineWithDatabase, false},
    {u"Programowanie stawek PTU", "TProgramowanieStawekPTU", G::Online, false},
    {u"Dane informacyjne kasy", "TDaneInformacyjne", G::Online, false},
    {u"Programowanie zegara", "TProgramowanieZegara", G::Online, false},
    {u"Programowanie nagłówka", "TProgramowanieNaglowka", G::Online, false},
    {u"Pobieranie nagłówka", "TPobieranieNaglowka", G::Online, false},
    {u"Programowanie stopki", "TProgramowanieStopki", G::Online, false},
    {u"Programowanie NIP (szkoleniowo)", "TProgramowanieNIP", G::Online, false},
    {u"Ściąganie sprzedaży", "TSciaganieSprzedazy", G::Online, false},
    {u"Dane konfiguracyjne kasy", "TDodatkoweUstawienia", G::Online, false},
    {u"Programowanie klawiszy funkcyjnych", "TProgramowanieKlawiszyFunkcyjnych", G::Online, false},
    {u"Programowanie klawiszy szybkich funkcji sprzedaży", "TKlawiszeSzybkieSprzedazy", G::Online,
     false},
    {u"Programowalne jednostki towarowe", "TJednostkiTowarowe", G::Online, false},
    {u"Obrót grup towarowych", "TObrotGrup", G::Online, false},
    {u"Kopia kasy do bazy", "TKopiaKasy", G::Online, false},
    {u"Programowanie całej kasy", "TProgramowanieCalejKasy", G::OnlineWithDatabase, false},
    // Every register on its own line and link: the main window's connection plays no part.
    {u"Kasy w sieci sklepów", "TKasyWSieciSklepow", G::Always, false},
};

} // namespace

std::span<const NavItem> navigationItems(NavTab tab)
{
    switch (tab) {
    case NavTab::EditDatabase:
        return EditItems;
    case NavTab::Reports:
        return ReportItems;
    case NavTab::Communication:
        break;
    }
    return CommItems;
}

QString navigationTabTitle(NavTab tab)
{
    switch (tab) {
    case NavTab::EditDatabase:
        return QStringLiteral("&Edycja bazy");
    case NavTab::Reports:
        return QStringLiteral("Wykonywanie &raportów");
    case NavTab::Communication:
        break;
    }
    return QStringLiteral("Ko&munikacja z kasą");
}

QStringList navigationTexts(NavTab tab)
{
    QStringList out;
    for (const NavItem& item : navigationItems(tab))
        out << QString::fromUtf16(item.text);
    return out;
}

NavDecision navigationDecision(NavTab tab, int index, OperatingState state)
{
    const auto items = navigationItems(tab);
    if (index < 0 || index >= int(items.size()))
        return {};
    switch (items[size_t(index)].gate) {
    case NavGate::Always:
        return {NavAction::Open, {}};
    case NavGate::AnyButNone:
        if (state == OperatingState::None)
            return {NavAction::Refuse, NoDatabaseMessage};
        return {NavAction::Open, {}};
    case NavGate::Online:
        return opstate::isOnline(state) ? NavDecision{NavAction::Open, {}} : NavDecision{};
    case NavGate::OnlineWithDatabase:
        return state == OperatingState::OnlineWithDatabase ? NavDecision{NavAction::Open, {}}
                                                           : NavDecision{};
    }
    return {};
}

#include "reports/reportkinds.h"

#include <array>

namespace reports {

namespace {

constexpr std::array<KindInfo, 16> kKinds{{
    {Kind::Periodic, "periodic", u"Wykonywanie raportu okresowego", "TWykonywanieRaportuOkresowego",
     0x6F, 19, Layout::Periodic, true, false},
    {Kind::Sales, "sales", u"Wykonywanie raportu sprzedaży", "TWykonywanieRaportuSprzedazy", 0x73,
     16, Layout::SalesScope, true, false},
    {Kind::InactiveArticles, "inactive", u"Wykonywanie raportu towarów nieaktywnych",
     "TWykonywanieRaportuTowarowNieaktywnych", 0x6E, 10, Layout::Plain, false, true},
    {Kind::BaseWithVat, "base-vat", u"Wykonywanie raportu bazy z PTU",
     "TWykonywanieRaportuBazyZPTU", 0x70, 15, Layout::Scope, true, false},
    {Kind::FullBase, "full-base", u"Wykonywanie pełnego raportu bazy PLU",
     "TWykonywaniePelnegoRaportuBazyPLU", 0x62, 15, Layout::Scope, true, false},
    {Kind::Cashier, "cashier", u"Wykonywanie raportu kasjera", "TWykonywanieRaportuKasjera", 0x6B,
     12, Layout::Cashier, false, false},
    {Kind::ShiftSales, "shift", u"Wykonywanie raportu zmianowego sprzedaży",
     "TWykonywanieRaportuZmianowegoSprzedazy", 0x7A, 12, Layout::TwoOptions, false, false},
    {Kind::Discounts, "discounts", u"Wykonywanie raportu rabatów", "TWykonywanieRaportuRabatow",
     0x72, 12, Layout::TwoOptions, false, false},
    {Kind::Packaging, "packaging", u"Wykonywanie raportu opakowań", "TWykonywanieRaportuOpakowan",
     0x61, 12, Layout::TwoOptions, false, false},
    {Kind::PaymentForms, "payment-forms", u"Wykonywanie raportu form płatności",
     "TWykonywanieRaportuFormPlatnosci", 0x66, 12, Layout::TwoOptions, false, false},
    {Kind::ProductGroups, "groups", u"Wykonywanie raportu grup towarowych",
     "TWykonywanieRaportuGrupTowarowych", 0x67, 12, Layout::TwoOptions, false, false},
    {Kind::FixedTexts, "fixed-texts", u"Wykonywanie raportu napisów stałych",
     "TWykonywanieRaportuNapisowStalych", 0x77, 10, Layout::Plain, false, false},
    {Kind::VatRates, "vat-rates", u"Wykonywanie raportu stawek PTU", "TWykonywanieRaportuStawekPTU",
     0x76, 10, Layout::Plain, false, false},
    {Kind::RegisterState, "register-state", u"Wykonywanie raportu informacyjnego kasy",
     "TWykonywanieRaportuStanuKasy", 0x74, 10, Layout::Plain, false, false},
    {Kind::QuickKeys, "quick-keys", u"Wykonywanie raportu klawiszy szybkich",
     "TWykonywanieRaportuKlawiszySzybkich", 0x68, 10, Layout::Plain, false, false},
    // The turnover report drains the input before sending but awaits no answer.
    {Kind::GroupTurnover, "turnover", u"Wykonywanie raportu obrotu grup towarowych",
     "TRaportObrotuGrup", 0x05, 17, Layout::Turnover, false, false},
}};

} // namespace

std::span<const KindInfo> allKinds()
{
    return kKinds;
}

const KindInfo& info(Kind kind)
{
    for (const KindInfo& k : kKinds)
        if (k.kind == kind)
            return k;
    return kKinds.front();
}

const KindInfo* findByCliName(const QString& name)
{
    for (const KindInfo& k : kKinds)
        if (name == QLatin1String(k.cliName))
            return &k;
    return nullptr;
}

} // namespace reports

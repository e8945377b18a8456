#include "csvtables.h"

namespace csv {

const std::vector<TableInfo>& tables()
{
    static const std::vector<TableInfo> all{
        {Table::Articles, "articles", QStringLiteral("Baza towarowa"), QStringLiteral("Towary"),
         QStringLiteral("Numer;Nazwa;Cena;PTU;Kod;Numer grupy;Numer opakowania;Cena sztywna;"
                        "Sprzedaz na sztuki;Indeks HALO"),
         QStringLiteral("_towary"), QStringLiteral("Wyeksportowano bazę towarów"),
         QStringLiteral("Zaimportowano bazę towarów"), layout::Articles, 2000},
        {Table::Packaging, "packaging", QStringLiteral("Baza opakowań"),
         QStringLiteral("Opakowania"), QStringLiteral("Numer;Nazwa;Cena;Cena sztywna"),
         QStringLiteral("_opakowania"), QStringLiteral("Wyeksportowano bazę opakowań"),
         QStringLiteral("Zaimportowano bazę opakowań"), layout::Packaging, 20},
        {Table::Cashiers, "cashiers", QStringLiteral("Baza kasjerów"), QStringLiteral("Kasjerzy"),
         QStringLiteral("Numer;Nazwa;Hasło;Rap. niezerujące;Rap. zerujące;Rab. z ręki;"
                        "Rab. z bazy;Anul. parag.;Storno;Wpłaty/wypłaty"),
         QStringLiteral("_kasjerzy"), QStringLiteral("Wyeksportowano bazę kasjerów"),
         QStringLiteral("Zaimportowano bazę kasjerów"), layout::Cashiers, 10},
        {Table::Groups, "groups", QStringLiteral("Baza grup towarowych"), QStringLiteral("Grupy"),
         QStringLiteral("Numer;Nazwa"), QStringLiteral("_grupy"),
         QStringLiteral("Wyeksportowano bazę grup towarowych"),
         QStringLiteral("Zaimportowano bazę grup towarowych"), layout::Groups, 20},
        {Table::Discounts, "discounts", QStringLiteral("Baza rabatów/natzutów"),
         QStringLiteral("Rabaty i narzuty"),
         QStringLiteral("Numer;Nazwa;Rodzaj 0-R 1-N;Typ 0-proc. 1-kwot.;Wartość (x100)"),
         QStringLiteral("_rabaty"), QStringLiteral("Wyeksportowano bazę rabatów/narzutów"),
         QStringLiteral("Zaimportowano bazę rabatów"), layout::Discounts, 20},
        {Table::PaymentForms, "payments", QStringLiteral("Baza form płatności"),
         QStringLiteral("Formy płatności"), QStringLiteral("Numer;Nazwa;Typ"),
         QStringLiteral("_formy_plat"), QStringLiteral("Wyeksportowano bazę form płatności"),
         QStringLiteral("Zaimportowano bazę form płatności"), layout::PaymentForms, 10},
        {Table::Currencies, "currencies", QStringLiteral("Baza walut obcych"),
         QStringLiteral("Waluty"), QStringLiteral("Numer;Nazwa;Kurs;Symbol"),
         QStringLiteral("_waluty"), QStringLiteral("Wyeksportowano bazę walut"),
         QStringLiteral("Zaimportowano bazę walut"), layout::Currencies, 10},
    };
    return all;
}

const TableInfo& info(Table table)
{
    return tables()[size_t(table)];
}

std::optional<Table> fromCliName(const QString& name)
{
    for (const TableInfo& t : tables())
        if (name == QLatin1String(t.cliName))
            return t.table;
    return std::nullopt;
}

std::optional<Table> fromTitle(const QString& title)
{
    const QString upper = title.toUpper();
    for (const TableInfo& t : tables())
        if (upper == t.title.toUpper())
            return t.table;
    return std::nullopt;
}

QString proposedFileName(const QString& displayName, Table table)
{
    QString name = displayName;
    if (name.contains(QLatin1String("vkf")))
        name.remove(QStringLiteral(".vkf"));
    return name + info(table).suffix + QStringLiteral(".csv");
}

} // namespace csv

#pragma once

#include "tables/tablelayout.h"

#include <QString>

#include <optional>
#include <vector>

// The seven tables that go to and come from CSV files, in the order of the form's list.
namespace csv {

enum class Table { Articles, Packaging, Cashiers, Groups, Discounts, PaymentForms, Currencies };

struct TableInfo {
    Table table;
    const char* cliName;     // "articles", ... for vduno export / import
    QString listItem;        // "Baza towarowa", ...
    QString title;           // line 1 of the file: "Towary", ...
    QString columns;         // line 2: "Numer;Nazwa;..."
    QString suffix;          // appended to the proposed file name: "_towary", ...
    QString exportedMessage; // "Wyeksportowano bazę towarów", ...
    QString importedMessage; // "Zaimportowano bazę towarów", ...
    TableLayout layout;
    int lastNumber; // records 1..lastNumber take part (cashiers: 10 of the 20 slots)

    int columnCount() const { return int(columns.count(u';')) + 1; }
    // The byte range of the records that take part: lastNumber records from the table's base.
    int bytes() const { return lastNumber * layout.recordSize; }
};

const std::vector<TableInfo>& tables();
const TableInfo& info(Table table);
std::optional<Table> fromCliName(const QString& name);
// The table whose title the text names, compared upper-cased ("TOWARY", "FORMY PŁATNOŚCI").
std::optional<Table> fromTitle(const QString& title);

// The file name the save dialog proposes: the display name with every ".vkf" removed (when it
// holds "vkf"), the table's suffix and ".csv" ("sklep.vkf" -> "sklep_towary.csv").
QString proposedFileName(const QString& displayName, Table table);

} // namespace csv

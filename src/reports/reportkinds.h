#pragma once

#include <QString>
#include <cstdint>
#include <span>

namespace reports {

// Every report the register prints on order, in the order of the report tab.
enum class Kind {
    Periodic,
    Sales,
    InactiveArticles,
    BaseWithVat,
    FullBase,
    Cashier,
    ShiftSales,
    Discounts,
    Packaging,
    PaymentForms,
    ProductGroups,
    FixedTexts,
    VatRates,
    RegisterState,
    QuickKeys,
    GroupTurnover,
};

// What a report's form asks for; it decides the data bytes after the frame head.
enum class Layout {
    Periodic,   // monthly / period / by report numbers, "Raport pełny"
    SalesScope, // scope, zeroing (Nie/Tak), print zero records (Nie/Tak)
    Scope,      // scope, print zero records (Nie/Tak)
    Cashier,    // cashier 1-10, zeroing, full
    TwoOptions, // print zero records, zeroing
    Plain,      // no parameters: byte 7 = 1
    Turnover,   // start month/year, end month/year, print zero records
};

struct KindInfo {
    Kind kind;
    const char* cliName;   // `vduno report NAME`
    const char16_t* title; // entry of the report tab and the form's caption
    const char* formClass; // the form's class name
    uint8_t command;       // command code at frame byte 6
    int length;            // frame length, start byte to end byte
    Layout layout;
    bool drainAndWait;    // input drain before, report confirmation wait after sending
    bool closesAfterSend; // the form hides itself after a successful send
};

// The sixteen entries of the report tab, in tree order.
std::span<const KindInfo> allKinds();
const KindInfo& info(Kind kind);
// The kind named on the command line, or nullptr.
const KindInfo* findByCliName(const QString& name);

} // namespace reports

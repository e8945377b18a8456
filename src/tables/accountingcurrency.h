#pragma once

#include "tables/currencyrecord.h"
#include "tables/validation.h"

#include <QDate>
#include <QString>

#include <optional>

class DatabaseSession;
class Link;
class TransferUi;

// The change of the accounting currency: in the register (the "E" frame) or in the database,
// where every stored amount is converted by the exchange rate.
namespace accountingcurrency {

// A decimal factor held exactly: mantissa / 10^decimals.
struct Factor {
    qint64 mantissa = 0;
    int decimals = 0;
    // As the confirmation shows it: "," before the decimals, no trailing zeros ("1,5", "4").
    QString text() const;
};

// The typed exchange rate, its first "." made ",". Only digits and one comma; a factor of zero
// would wipe every price and is refused like any malformed text. nullopt on failure.
std::optional<Factor> parseFactor(const QString& typed);

// The fields shared by both changes.
struct Input {
    QString rate;                // "Kurs wymiany na starą walutę ewidencyjną"
    QString symbol;              // "Symbol nowej waluty ewidencyjnej", up to 3 characters
    QDate date;                  // "Data zmiany (rrrr-mm-dd)"
    bool printConverter = false; // "Drukowanie przelicznika walut"
};

// Empty fields: the hints " Wprowadź kurs" ("Edit1") and " Wprowadź symbol" ("Edit2"); then a
// symbol with characters outside cp1250 is refused ("Edit2", a message, not a hint).
std::optional<Failure> checkInput(const Input& in, QList<Failure>* hints = nullptr);

// The symbol with spaces in front to 3 characters ("EU" -> " EU").
QString paddedSymbol(const QString& symbol);
// The label beside the symbol: "(" + new + "/" + current + ")".
QString symbolLabel(const QString& newSymbol, const QString& currentSymbol);

// "Zmiana w kasie": drains the input, sends the "E" frame (0x8001) and waits for the
// confirmation; device errors and communication failures are shown. Returns the confirmation
// wait's result, or -1 when the input was refused (message shown) or the frame could not go.
int changeInRegister(Link& link, TransferUi& ui, const Input& in);

// A stored amount times the factor, truncated towards zero and capped at `cap`.
qint64 convertedAmount(qint64 amount, const Factor& factor, qint64 cap);
// A currency rate times the factor, as the 8-digit mantissa the currency form stores: the
// decimals are 8 less the digits of the whole part (7 below 1), the rest truncated. A rate
// beyond the largest the form accepts is capped at 999999,99.
RateParts convertedRate(qint32 mantissa, int decimals, const Factor& factor);

struct Conversion {
    bool ok = false;
    QString message; // the confirmation, or the refusal
    int articles = 0, discounts = 0, currencies = 0, packaging = 0; // records changed
};

// "Zmiana w bazie": writes the padded symbol at its place in the file, makes it the
// program's symbol, converts article prices, amount discounts, currency rates and packaging
// prices, and sets the modified flag. A refused rate leaves the file as it was.
Conversion changeInDatabase(DatabaseSession& session, const Input& in);

} // namespace accountingcurrency

#pragma once

#include "tables/tablelayout.h"
#include "tables/validation.h"

#include <array>

class Link;
class RegisterDatabase;
class TransferUi;

// The halo table: ten signed 32-bit amounts in hundredths; entries 1..9 are the ones articles
// name, entry 0 is kept as it is.
struct HaloTable {
    static constexpr int Size = layout::Halo.bytes();
    std::array<qint32, 10> amounts{};

    static HaloTable decode(QByteArrayView bytes);
    QByteArray encode() const;
    bool operator==(const HaloTable&) const = default;
};

// The nine fields "1".."9" as typed; each value is cut to whole hundredths. Any bad field
// (empty, not a number, beyond the 32-bit field) refuses the whole save with
// "Błędnie wypełnione pola!". `stored` gives entry 0.
Validated<HaloTable> validateHalo(const std::array<QString, 9>& fields, const HaloTable& stored);

// Halo choice list: "Brak", then "k. amount" for k = 1..9.
QStringList haloChoiceItems(const HaloTable& t);

namespace halo {
HaloTable load(RegisterDatabase& db);
// Writes all ten entries from 149060.
bool store(RegisterDatabase& db, const HaloTable& table);
// The "L" frame (sequence 0x8001) with entries 1..9 of the table (the form passes what it has
// just saved), then the confirmation wait (once more after a busy answer), whose result is
// returned (-1 when the frame did not go out).
int send(Link& link, TransferUi& ui, const HaloTable& table);
} // namespace halo

#pragma once

#include "tables/tablelayout.h"
#include "tables/validation.h"

#include <array>

// The seven VAT rates A..G, 3 bytes each: letter, 16-bit value (0..9999 = percent x 100,
// 0xFFFF exempt, 0xFFFE inactive).
struct VatRates {
    static constexpr int Size = layout::VatRates.bytes();
    static constexpr quint16 Exempt = 0xFFFF;
    static constexpr quint16 Inactive = 0xFFFE;
    enum Choice {
        Taxed,
        ExemptChoice,
        InactiveChoice
    }; // "Opodatkowana", "Zwolniona", "Nieaktywna"

    std::array<quint16, 7> values{Inactive, Inactive, Inactive, Inactive,
                                  Inactive, Inactive, Inactive};

    static VatRates decode(QByteArrayView bytes);
    QByteArray encode() const;
    bool operator==(const VatRates&) const = default;

    // How the form shows an entry: the choice and the rate text ("23.00"; "0.00" unless taxed).
    static Choice choiceOf(quint16 value);
    static QString rateText(quint16 value);
};

struct VatInput {
    std::array<QString, 7> rates;
    std::array<VatRates::Choice, 7> choices{};
};

// One message covers every bad rate: "Błędnie wypełnione pola!" (field "PTU_<letter>_O" of the
// first bad letter).
Validated<VatRates> validateVatRates(const VatInput& in);

// What the form shows after sending the rates: 0 or 3 "Zapisano stawki PTU.", 1 "Ramka
// niepoprawna.", 2 "Błąd kolejnosci ramek.", 4 "Kasa nie potwierdziła zapisu stawek PTU."
// (nothing while the register waits for its operator to confirm), 5 the device error message
// for `deviceError`; nothing for other results.
QString vatSendMessage(int waitResult, int deviceError, bool confirmAtRegister);

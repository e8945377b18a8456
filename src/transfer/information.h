#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>
#include <optional>

class Link;
class TransferUi;

// The register's information record: one answer frame to the "I" request, 124 bytes from a
// DUNO BIS, 115 from a DUNO. Data offsets d below are frame byte 7 + d in the DUNO BIS
// layout; a DUNO has a NIP of 10 bytes instead of 17, so everything behind it lies 7 bytes
// earlier, and its 106 data bytes end before the electronic copy card size.
namespace transfer {

enum class InfoField {
    Version,             // d 0, u16, shown as 1,23
    ProgramMemory,       // d 2, 10 bytes
    UniqueNumber,        // d 12, 12 bytes
    Nip,                 // d 24, 17 bytes (DUNO: 10)
    FiscalSignature,     // d 41, u16
    WorkingMode,         // d 43
    MemoryState,         // d 44
    LastFiscalWrite,     // d 45: century, year, month, day
    LastDailyReport,     // d 49: century, year, month, day, hour, minute
    LastReportNumber,    // d 55, i16
    CopyMedium,          // d 57
    RamResets,           // d 58
    ReceiptsSinceDaily,  // d 59, i16
    ReceiptsSinceFiscal, // d 61, u32
    SaleStarted,         // d 65
    ServiceMode,         // d 66
    HeaderProgrammed,    // d 67
    VatRecords,          // d 68
    RegisterNumber,      // d 69
    CashierName,         // d 70, 21 bytes, zero-terminated
    CurrencySymbol,      // d 91, 3 bytes
    CurrencyProgrammed,  // d 94: century, year, month, day, hour, minute
    CurrencyChange,      // d 100
    NewCurrencySymbol,   // d 101, 3 bytes, zero-terminated
    CurrencyChangeDate,  // d 104: century, year, month, day, hour, minute
    PortA,               // d 110
    PortB,               // d 111
    Usb,                 // d 112
    CardSize,            // d 113, i16 (DUNO BIS only)
};
constexpr int kInfoFieldCount = int(InfoField::CardSize) + 1;

// The caption shown beside a value, on one line ("Zaprogramowana zmiana waluty ewidencyjnej").
QString infoCaption(InfoField field);

struct Information {
    int registerType = 0; // 1 DUNO (115 bytes), 2 DUNO BIS (124 bytes)
    // The text of every value; no value where the record leaves the text as it was (a port
    // byte of an unknown use, the card size a DUNO does not report).
    std::array<std::optional<QString>, kInfoFieldCount> values;
    // The "Zmiana waluty ewidencyjnej" group is enabled only when a change is programmed.
    bool currencyChangeProgrammed = false;

    std::optional<QString> value(InfoField f) const { return values[size_t(f)]; }
};

// "7-3-2015": day, month, year without leading zeros; the year is century * 100 + year.
QString dateText(int century, int yearInCentury, int month, int day);
// "09:05   7-3-2015": hour and minute with two digits, three spaces, the date text.
QString timeDateText(int century, int yearInCentury, int month, int day, int hour, int minute);

// Decodes a whole answer frame (from its start byte); nothing when its length is neither
// 124 nor 115 or fewer bytes are given. The check byte is not looked at here.
std::optional<Information> decodeInformation(QByteArrayView frame);

// Drains the line, sends the "I" request (sequence 0x8001, parameter 0) and reads the answer:
// 4 bytes, then the rest of a 124- or 115-byte frame. A short answer, a frame of another
// length (a status or error frame) or a frame that fails its check shows "Brak komunikacji"
// (the check failure its CRC messages) and gives nothing. No acknowledgement is sent.
std::optional<Information> fetchInformation(Link& link, TransferUi& ui);

} // namespace transfer

#pragma once

#include <QStringList>

#include <array>

class Link;
class TransferUi;

// Keys F1..F10 of a cashier bound to a report ("O" frame, 13 bytes, always to address 1) or
// to a sales function ("X" frame, 14 bytes, key F1 only).
namespace functionkeys {

// The 23 entries of a key's function list: "Brak funkcji", the fifteen reports that keep the
// totals, the seven that zero them.
const QStringList& functionNames();
// The code sent for a list position: "Brak funkcji" 16, positions 1..15 themselves, 16..22
// plus 9 (25..31); -1 for any other position.
int functionCode(int position);

// One key: drain, the "O" frame (0x8001), the report confirmation wait (busy: 650 ms and once
// more); codes 0 and 3 are success and are followed by 650 ms.
bool sendKey(Link& link, TransferUi& ui, int cashier, int key, int position);
// "Wyślij do kasy wszystkie klawisze": F1..F10 one after the other, stopping at the first
// failure or stop request. Returns how many keys were accepted.
int sendAllKeys(Link& link, TransferUi& ui, int cashier, const std::array<int, 10>& positions);

// Sales functions: "Brak", "Szybki rabat/narzut z bazy", "Szybkie storno", "Szybki rabat z
// ręki", "Szybki narzut z ręki", "Szybkie wpłaty form płatności", "Szybki zwrot opakowań",
// "Szybkie wydanie opakowań", sent as 0, 1, 3, 4, 5, 6, 7, 8.
const QStringList& salesFunctionNames();
int salesFunctionCode(int position);
// "Wyslij" of F1: drain and the "X" frame (0x8001) for key 1; the answer is not read (the next
// command's drain removes it). kind 0 "Kwotowy", 1 "Procentowy"; number 1..20.
int sendSalesFunction(Link& link, TransferUi& ui, int cashier, int position, int kind, int number);

} // namespace functionkeys

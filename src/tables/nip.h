#pragma once

#include <QString>

class Link;
class TransferUi;

// The taxpayer number (NIP) of a register in training mode: the "I" frame of 25 bytes with
// the text in 16 bytes.
namespace nip {

inline constexpr int MaxLength = 16;

// Padded at the end with "0" to at least ten characters ("12345678" -> "1234567800").
QString padded(const QString& text);

// Rejected: the register answered with something else than an acceptance (the form shows
// nothing for it).
enum class Result { Refused, NotSent, NoAnswer, Rejected, Accepted };

// "Programuj": a text longer than 16 shows "Zbyt długi NIP!" and sends nothing, as does a text
// with characters outside cp1250 (the field's refusal is shown). Otherwise
// drain, the "I" frame (0x8001) with the padded text, 1000 ms, the confirmation wait; no
// answer (code 4) shows "Brak komunikacji".
Result program(Link& link, TransferUi& ui, const QString& text);

} // namespace nip

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <optional>

class Link;
class TransferUi;

// The register's three programmable units: three names of three bytes, padded with spaces at
// the end. They live in the register only (read with "J", sent with "q").
namespace recordsend {
struct OutcomeTexts;
}

namespace units {
inline constexpr int Count = 3;
inline constexpr int Width = 3;
QStringList decode(QByteArrayView nineBytes);
QByteArray encode(const QStringList& names);

// "Odśwież": drain, the "J" request (0x8001) and one 18-byte answer; the three names, or
// nullopt when no data frame came (the fields then keep their text).
std::optional<QStringList> read(Link& link, TransferUi& ui);
// "Wyślij do kasy": drain and the "q" frame (0x8001) with the names padded with spaces to 3.
// Without awaiting the answer, returns the send result (0 sent); awaiting it, the confirmation
// wait's result (once more after a busy answer) or a recordsend::Status. -1 with the field's
// refusal shown when a name has characters outside cp1250.
int send(Link& link, TransferUi& ui, const QStringList& names, bool awaitAnswer = false);
// What the user is told of the register's answer to the units.
recordsend::OutcomeTexts sendTexts();
} // namespace units

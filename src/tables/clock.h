#pragma once

#include <QByteArray>
#include <QDateTime>

class Link;
class TransferUi;

// Setting the register's clock: the "C" frame of 17 bytes, data year (16-bit), month, day,
// hour, minute, second and one byte 0.
namespace regclock {

QByteArray frame(quint8 address, const QDateTime& when);

// "Wyślij do kasy": drain, the "C" frame with sequence 0x8001 and the report confirmation
// wait; no answer (code 4) shows "Błąd transmisji!". Returns the wait's result (-1 when the
// frame did not go out).
int set(Link& link, TransferUi& ui, const QDateTime& when);

} // namespace regclock

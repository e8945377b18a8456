#pragma once

#include <QDateTime>
#include <QString>

class Link;
class TransferUi;

namespace basesync {

// Where and when the register's side of a synchronisation was read: the port (its number
// and the device or address it stood for), the register address and the time. A list read
// from one register is no list of another, so it is copied to the PC only over the same
// connection it came from.
struct ReadOrigin {
    int port = 0;
    QString device;
    int address = 0;
    QDateTime when; // invalid: the register's side was not read

    bool read() const { return when.isValid(); }
    // The link as it is now, read at `when`.
    static ReadOrigin of(const Link& link, const QDateTime& when = QDateTime::currentDateTime());
    // The register's side was read over the connection `link` has now.
    bool sameConnection(const Link& link) const;
    // True when the register's side may be copied to the PC over `link`; otherwise says why
    // ("Najpierw odczytaj dane z kasy (Odśwież).", or when and where the list was read and
    // that the connection has changed since).
    bool allowsCopy(const Link& link, TransferUi& ui) const;
};

} // namespace basesync

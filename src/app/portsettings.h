#pragma once

#include "link/tlstrust.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// The link settings the program keeps between runs in ustaw.cfg (14 bytes, in the start
// directory):
//   0      not written by the program (0 in a file it wrote)
//   1      port number, 1..99; 255 = no port chosen
//   2..5   baud rate, unsigned 32-bit, low byte first
//   6      data bits 5..8
//   7      parity index 0 none, 1 odd, 2 even, 3 mark, 4 space
//   8      stop-bits index 0 "1", 1 "1.5", 2 "2"
//   9      "Xon / Xoff" 0/1
//   10     "RTS / CTS" 0/1
//   11..13 spare bytes, kept as read; bit 0 of byte 11 is the program's "fast transfers"
//          switch (0 off, the register's prescribed pauses), its other bits and bytes 12..13
//          are kept as read
struct PortSettings {
    static constexpr quint8 NoPort = 255;
    static constexpr int FastByte = 11;
    static constexpr quint8 FastBit = 0x01;

    bool fastTransfers() const { return (spare[0] & FastBit) != 0; }
    void setFastTransfers(bool fast)
    {
        spare[0] = fast ? quint8(spare[0] | FastBit) : quint8(spare[0] & ~FastBit);
    }

    quint8 port = NoPort;
    quint32 baud = 115200;
    quint8 dataBits = 8;
    quint8 parity = 0;
    quint8 stopBits = 0;
    quint8 xonXoff = 0;
    quint8 rtsCts = 0;
    std::array<quint8, 3> spare{0, 0, 0};
    // The address of a register behind a serial device server ("tcp://HOST:PORT" or
    // "rfc2217://HOST:PORT"), which the network port number stands for; empty when none. It
    // has no place in the 14 bytes and is kept in a side file (NetworkFileName).
    QString networkAddress;
    // With a tls:// or rfc2217+tls:// address, how its server's certificate is trusted; kept
    // in the side file's next lines ("ca=PATH", "pin=FINGERPRINT"), which a program that knows
    // only the address does not read.
    TlsTrust tls;

    bool operator==(const PortSettings&) const = default;
};

namespace settingsfile {

inline constexpr int Size = 14;
inline const QString FileName = QStringLiteral("ustaw.cfg");
// One line beside ustaw.cfg: the network address (UTF-8); no file when there is none.
inline const QString NetworkFileName = QStringLiteral("ustaw.net");

// The 14 bytes written at exit.
QByteArray encode(const PortSettings& settings);

// Settings from the bytes of a file. Fields past the end of a short file keep their
// defaults; values the link could never use (a port number 0 or above 99 other than 255,
// data bits outside 5..8, unknown parity or stop-bit codes, a zero baud rate) fall back to
// their defaults rather than reaching the serial port.
PortSettings decode(const QByteArray& bytes);

// The side file's network address: its first line (at most 1023 bytes) trimmed, when it is one;
// empty otherwise. And the bytes written for an address.
QString decodeNetworkFile(const QByteArray& bytes);
QByteArray encodeNetworkFile(const QString& address);
// The trust of the address's certificate in the side file's lines after the first; unknown
// or malformed lines are passed over. And the lines written for it (none for the default).
TlsTrust decodeNetworkTrust(const QByteArray& bytes);
QByteArray encodeNetworkTrust(const TlsTrust& trust);

// Reads `directory`/ustaw.cfg and its side file; a missing or unreadable file gives the
// defaults, and a side file that holds no network address gives none.
PortSettings read(const QString& directory);

// Writes `directory`/ustaw.cfg in one write, and the side file (removed when there is no
// network address); false when either could not be written.
bool write(const QString& directory, const PortSettings& settings);

} // namespace settingsfile

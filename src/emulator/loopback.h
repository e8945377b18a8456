#pragma once

#include <QString>

// The loopback sockets of the emulator's TCP hosts: what a serial device server listens on,
// and what a proxy in front of one connects to.
namespace emu {

// A non-blocking socket listening on 127.0.0.1:`port` (0: a free port, told in `bound`); -1
// with the reason ("bind: Address already in use") in `errorText`.
int listenLoopback(quint16 port, quint16* bound, QString* errorText = nullptr);
// A blocking connection to 127.0.0.1:`port` without Nagle's delay; -1 when refused.
int connectLoopback(quint16 port);

} // namespace emu

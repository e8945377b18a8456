#pragma once

#include <QString>

// The link keeps a COM number 1..99 (the settings file stores one byte). On Linux a number
// resolves to a device path:
//   1..32  -> /dev/ttyS0 .. /dev/ttyS31   (on-board ports, COM1 = /dev/ttyS0)
//   33..64 -> /dev/ttyUSB0 .. /dev/ttyUSB31 (USB serial adapters)
//   65..96 -> /dev/ttyACM0 .. /dev/ttyACM31 (USB CDC devices)
//   97..99 -> no default device
// An override points any number at any path (a pseudo-terminal, a /dev/serial/by-id link)
// or at a serial device server's address, tcp://HOST:PORT or rfc2217://HOST:PORT:
// setPortOverride() in the process, else the environment variable VDUNO_COM<n>=/path.
namespace portmap {

QString devicePath(int port);
QString defaultPath(int port);
void setPortOverride(int port, const QString& path); // empty path removes it
void clearPortOverrides();
// A serial device server's address ("tcp://10.0.0.5:4001", "rfc2217://[::1]:2217") rather
// than a device path.
bool isNetworkAddress(const QString& path);
// "COM3 (/dev/ttyS2)", "COM5 (tcp://10.0.0.5:4001)", or "COM98" when the number has none.
QString displayName(int port);
// A USB serial adapter or USB CDC device: the path or the device behind it (links followed)
// is a ttyUSB or ttyACM, or the path is one of the /dev/serial/by-id names.
bool isUsb(int port);
// The /dev/serial/by-id name of the port's device ("usb-FTDI_FT232R_USB_UART_A1B2-if00-port0"),
// empty when it has none. `byIdDir` is where the names are looked for.
QString byIdName(int port, const QString& byIdDir = QStringLiteral("/dev/serial/by-id"));
// The line added after an open failure for lack of permission.
QString permissionHint(const QString& path);

} // namespace portmap

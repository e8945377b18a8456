#pragma once

#include "link.h"

#include "common/transferui.h"

#include <QList>
#include <QString>
#include <functional>

// Finding a register: the silent probes behind the port dialogs and the main window's quick
// search. The link state (port number, line settings, register address) is changed as each
// search prescribes; what the program's operating state becomes is the caller's business,
// told by the results.
namespace portscan {

inline constexpr int FirstPort = 1;
inline constexpr int LastPort = 99;
// The number that stands for a register behind a serial device server: with a network
// address set for it (an override of its device path) the searches and dialogs list it as
// "Sieć (ADDRESS)"; without one it is a COM number with no device, like 97 and 98.
inline constexpr int NetworkPort = 99;
inline const QString NetworkEntry = QStringLiteral("Sieć");
inline const QString NothingFound =
    QStringLiteral("Nie wykryto żadnej kasy podłączonej do tego komputera.");

// The network address the network port stands for; empty when none.
QString networkAddress();
// Points the network port at `address`; empty removes a network address set before (a device
// the number was pointed at otherwise, such as a test's pseudo-terminal, stays).
void setNetworkAddress(const QString& address);

// The list entry of a port: "COM " + number, or "Sieć" for the network port with an address.
QString portEntry(int port);
// The number after "COM" in a list entry ("COM 7" and "COM 7 (/dev/ttyUSB0)" give 7), the
// network port for an entry that begins with "Sieć"; 0 when the text holds none.
int portFromEntry(const QString& entry);

// The port numbers 1..99 in the order the searches try them: USB adapters and USB CDC
// devices first (where a register is usually attached), then the on-board ports; each group
// in number order.
QList<int> probeOrder();

// A port that another program holds: the searches pass it by, and say so.
struct HeldPort {
    int port = 0;
    QString holder; // "vduno (PID 1234)"; empty when not known
    bool operator==(const HeldPort&) const = default;
};
// "COM 5: zajęty przez vduno (PID 1234)", or "COM 5: zajęty przez inny program".
QString heldEntry(const HeldPort& held);

// The ports 1..99 that open, each opened silently and closed again. The port number is what
// it was before and the port is left closed. Listed in probeOrder(). With `letEventsRun` the user
// interface processes its pending messages before every port. The ports held by other
// programs go into `held`, when given.
QList<int> availablePorts(Link& link, TransferUi& ui, bool letEventsRun = false,
                          QList<HeldPort>* held = nullptr);

// The main window's quick search: 115200 baud, any open port closed and the port number set
// to none, then ports 1..99 in probeOrder(), probed at the current register address with sequence
// 0x8001. The first port that answers is kept open and becomes the port number; its number
// is returned. 0 when none answered (port number none, port closed). `trying` is told each
// port before it is opened (for the search panel). The ports held by other programs on the
// way go into `held`, when given.
int quickSearch(Link& link, TransferUi& ui, const std::function<void(int port)>& trying = {},
                QList<HeldPort>* held = nullptr);

// One register found by the scan dialog.
struct FoundRegister {
    int port = 0;
    quint8 address = 1;
    bool operator==(const FoundRegister&) const = default;
};

struct ScanResult {
    QList<FoundRegister> found; // in the order found: address 1..9, within it probeOrder()
    int portsOpened = 0;        // ports counted before the search (the progress covers 9 x this)
    // The link state held before the scan was put back; false when its port did not open
    // again (the program is then offline).
    bool previousPortReopened = false;
    QList<HeldPort> held; // ports other programs hold, passed by; in the order met
};

// The register scan of "Wyszukaj": counts the ports that open, then probes every address
// 1..9 on every port that opens at 115200 baud (sequence 0), and puts the previous link
// state back afterwards, reopening its port silently when it had one. `showing` is told the
// address and port being tried and the progress, which runs over portsOpened x 9 steps (one
// for each port that opens).
ScanResult
registerScan(Link& link, TransferUi& ui,
             const std::function<void(int address, int port, int done, int total)>& showing = {});

// "Połącz" of the scan dialog: opens the found port with messages; on success the register
// address becomes the found one. True when the port opened.
bool connectFound(Link& link, TransferUi& ui, const FoundRegister& found);

// What the port settings dialog applies.
struct PortChoice {
    int port = Link::NoPort; // NoPort: "Brak"
    LineSettings line;
    quint8 address = 1;
    // With the network port chosen: the address it then stands for, and with a TLS address
    // how its server's certificate is trusted.
    QString networkAddress;
    TlsTrust tls;
};

enum class ApplyOutcome {
    NoPortChosen, // "Brak": port closed, port number none
    Opened,       // the chosen port is open with the chosen settings and address
    Failed,       // its message shown; the saved settings are back, their port reopened if any
};

// "&Zastosuj": closes any open port, then opens the chosen one with messages. A failure
// restores the settings saved when the dialog was shown (Link::saveSettings) and reopens
// their port with messages when they had one. The register address changes only on success.
ApplyOutcome applySettings(Link& link, TransferUi& ui, const PortChoice& choice);

// The entry of a port in the dialogs' lists: "COM 3 (/dev/ttyS2)", the device path beside
// the number ("COM 98" alone when the number has no device); a device with a
// /dev/serial/by-id name shows it after the path:
// "COM 33 (/dev/ttyUSB0, usb-FTDI_FT232R_USB_UART_A1B2-if00-port0)".
QString portLabel(int port);
// The scan dialog's entry of a register found: the port's entry and its address, so that two
// registers on one port are two lines: "COM 4 (/dev/ttyS3), adres 2".
QString foundEntry(const FoundRegister& found);

// The receive-area viewer: how a run of bytes is shown.
enum class BufferView { Hex, Decimal, Char };
// The bytes up to the first zero byte: each as two upper-case hexadecimal digits or in
// decimal, followed by a space; or as cp1250 characters.
QString bufferText(QByteArrayView bytes, BufferView view);

} // namespace portscan

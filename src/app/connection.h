#pragma once

#include "app/appsession.h"
#include "app/portsettings.h"
#include "link/link.h"
#include "link/portscan.h"

#include <functional>

// The connection commands of the main window and the port dialogs, on the program's session:
// each runs the link side (src/link/portscan) and moves the operating state and the register
// type as the command prescribes. Messages go to the session's user interface.
namespace connection {

// Hooks of the main window around the automatic search.
struct SearchHooks {
    std::function<void()> showPanel; // the search panel, painted before the ports are tried
    std::function<void()> hidePanel;
    std::function<void()> refresh;        // refresh status
    std::function<void(int port)> trying; // the port about to be tried
    // Told instead of the "Nie wykryto ..." message box when no register answered, with the
    // message (and a line per port another program holds): the window offers more there.
    std::function<void(const QString& message)> nothingFound;
};

// The connect button: offline while it searches, then online with the first port whose
// register answers the probe, the port left open and the register type detected. When no
// register answers: port none, offline, "Nie wykryto żadnej kasy podłączonej do tego
// komputera." with a line per port another program holds. True when a register was found.
bool automaticSearch(AppSession& app, Link& link, const SearchHooks& hooks = {});
// The same as part of the caller's run: its stop request ends the search between two ports
// (port none, offline, the panel hidden, and no "Nie wykryto ..." for a search cut short).
bool automaticSearch(AppSession& app, Link& link, TransferUi& run, const SearchHooks& hooks);

// Asks the register for its information data and sets the register type from the model
// code; no usable answer makes the type unknown ("----"). Every connection that succeeds asks
// it at once, so that the type shown is the one of the register now behind the port.
void detectRegisterType(AppSession& app, Link& link);

inline const QString UnknownRegisterType = QStringLiteral(
    "Nie można ustalić typu kasy (DUNO czy DUNO BIS). Sprawdź połączenie z kasą i spróbuj "
    "ponownie.");

// Before a transfer whose frames depend on the register type: with the type unknown ("----")
// and the port open the register is asked first; when no type can be had the transfer must
// not run: UnknownRegisterType is shown and Unknown returned.
RegisterType requireRegisterType(AppSession& app, Link& link);

inline const QString NoPortChosen = QStringLiteral("Nie wybrano portu");

// "Połącz z kasą używając ostatnich ustawień". Without a port: "Nie wybrano portu". With the
// port already open: nothing. Otherwise opens it with messages; success puts the program
// online and asks the register type, failure leaves it offline when no port is open.
// True when the port is open afterwards.
bool connectWithStoredSettings(AppSession& app, Link& link);

// "&Zastosuj" of the port settings dialog, with its state changes; an opened port is asked
// the register type.
portscan::ApplyOutcome applyPortSettings(AppSession& app, Link& link,
                                         const portscan::PortChoice& choice);

// Ticking "Pokazuj tylko dostępne porty": the open port is closed (offline) and the ports
// that open are listed.
QList<int> listAvailablePorts(AppSession& app, Link& link);

// "Wyszukaj" of the scan dialog: offline while it runs; afterwards the state held before, or
// offline when the previous port did not open again.
portscan::ScanResult
scanRegisters(AppSession& app, Link& link,
              const std::function<void(int address, int port, int done, int total)>& showing = {});
// The same as part of the caller's run (its stop request ends the scan between two probes).
portscan::ScanResult
scanRegisters(AppSession& app, Link& link, TransferUi& run,
              const std::function<void(int address, int port, int done, int total)>& showing = {});

// "Połącz" of the scan dialog: online with the found port and address, the register type
// asked. False when the port did not open (its message shown; offline).
bool connectFoundRegister(AppSession& app, Link& link, const portscan::FoundRegister& found);

// Fast transfers belong to the link and to the session alike.
void setFastTransfers(AppSession& app, Link& link, bool fast);

// ustaw.cfg into the link (register address 1), the session's fast-transfer switch and the
// network address of its side file.
void loadSettings(const PortSettings& settings, AppSession& app, Link& link);
// The link's settings for ustaw.cfg; the spare bytes come from `kept` (what was read), with
// the fast-transfer bit of byte 11 from the session and the network address in force.
PortSettings currentSettings(const PortSettings& kept, const AppSession& app, const Link& link);

} // namespace connection

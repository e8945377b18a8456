#pragma once

#include "hostfacts.h"
#include "serialdevices.h"

#include <QList>
#include <QString>

// Why no register answers: what on this computer keeps the program from its serial port.
// Reads /sys, /proc, /dev and the group database as an ordinary user and names each problem
// found with what to do about it (in Polish, with the exact commands).
namespace diagnosis {

using hostfacts::Roots;
using hostfacts::User;
using serialdevices::Device;

// The port the program is set to use: its COM number and what the number stands for, a device
// path or a serial device server's address (portmap::devicePath). No port: nothing to check.
struct Configured {
    int port = 255;
    QString path;
};

enum class Problem {
    NotInGroup,   // the user may not open the device nodes
    Brltty,       // the braille daemon takes USB serial adapters
    ModemManager, // it opens ttyACM devices and talks AT to them
    PortHeld,     // another program has the port open
    NoDevice,     // the configured COM number has no device behind it
    NoServer,     // the configured network address does not answer
    NoSerialPort, // there is no serial device at all
};

struct Finding {
    Problem problem = Problem::NoSerialPort;
    QString text;   // what is wrong
    QString remedy; // what to do; lines indented by two spaces are commands to type
};

struct Report {
    QList<Device> devices;
    QList<Finding> findings;
};

// How long a serial device server is given to accept a connection.
inline constexpr int ServerTimeoutMs = 2000;

Report run(const Roots& roots = {}, const User& user = User::ofProcess(),
           const Configured& configured = {}, int serverTimeoutMs = ServerTimeoutMs);

// A short fixed name of the problem ("group", "brltty", ...), for the JSON output.
QString problemName(Problem problem);

// Asked where a search found no register and the diagnosis can be opened.
inline const QString OfferQuestion = QStringLiteral("Uruchomić diagnostykę łącza?");

// Shown when nothing stands in the way.
inline const QString NothingWrong = QStringLiteral("Nie znaleziono problemów z łączem.");

} // namespace diagnosis

#pragma once

#include <QString>
#include <cstdint>

// Whether a register database is loaded (bit 0) and whether the port is open (bit 1).
enum class OperatingState : quint8 {
    None = 0,
    OfflineWithDatabase = 1,
    OnlineWithoutDatabase = 2,
    OnlineWithDatabase = 3,
};

// The register's model as it reports it: 0 unknown, 1 DUNO, 2 DUNO BIS.
enum class RegisterType : quint8 { Unknown = 0, Duno = 1, DunoBis = 2 };

namespace opstate {

inline bool hasDatabase(OperatingState s)
{
    return (quint8(s) & 1) != 0;
}
inline bool isOnline(OperatingState s)
{
    return (quint8(s) & 2) != 0;
}

// A database was created or opened: 0 -> 1, 2 -> 3.
OperatingState databaseLoaded(OperatingState s);
// The database stream failed on a save: 1 -> 0, 3 -> 2.
OperatingState databaseDropped(OperatingState s);
// The port was opened: 1 -> 3, 0 -> 2.
OperatingState portOpened(OperatingState s);
// The port was closed by a search, a probe, "Brak" or a failed connect: offline, 3 -> 1 and
// 2 -> 0. Whether a database is loaded does not change with the port, so a search started
// without a database never pretends to have one (the forms would edit a closed stream).
OperatingState portClosedByScan(OperatingState s);

} // namespace opstate

// What the status panel shows for a state.
struct StatusView {
    bool onlineVisible = false;  // "ONLINE" (green)
    bool offlineVisible = false; // "OFFLINE" (navy); "BRAK" shows when neither is visible
    bool pictureVisible = false; // the online picture
    bool nameVisible = false;    // the display name after "Nazwa pliku bazy:"
    QString typeLabel;           // "DUNO", "DUNO BIS" or "----"
};

StatusView statusView(OperatingState state, RegisterType type);
QString registerTypeLabel(RegisterType type);

// The model code in the first data byte of the information answer: 100 DUNO, 200 DUNO BIS;
// any other code keeps `current`.
RegisterType registerTypeFromModelCode(quint8 code, RegisterType current);

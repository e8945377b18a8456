#include "operatingstate.h"

namespace opstate {

OperatingState databaseLoaded(OperatingState s)
{
    return OperatingState(quint8(s) | 1);
}

OperatingState databaseDropped(OperatingState s)
{
    return OperatingState(quint8(s) & 2);
}

OperatingState portOpened(OperatingState s)
{
    return OperatingState(quint8(s) | 2);
}

OperatingState portClosedByScan(OperatingState s)
{
    return OperatingState(quint8(s) & 1);
}

} // namespace opstate

QString registerTypeLabel(RegisterType type)
{
    switch (type) {
    case RegisterType::Duno:
        return QStringLiteral("DUNO");
    case RegisterType::DunoBis:
        return QStringLiteral("DUNO BIS");
    case RegisterType::Unknown:
        break;
    }
    return QStringLiteral("----");
}

StatusView statusView(OperatingState state, RegisterType type)
{
    StatusView v;
    v.onlineVisible = opstate::isOnline(state);
    v.offlineVisible = state == OperatingState::OfflineWithDatabase;
    v.pictureVisible = state == OperatingState::OnlineWithDatabase;
    v.nameVisible = opstate::hasDatabase(state);
    v.typeLabel = registerTypeLabel(type);
    return v;
}

RegisterType registerTypeFromModelCode(quint8 code, RegisterType current)
{
    if (code == 100)
        return RegisterType::Duno;
    if (code == 200)
        return RegisterType::DunoBis;
    return current;
}

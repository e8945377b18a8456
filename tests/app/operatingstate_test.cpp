#include "app/operatingstate.h"

#include <gtest/gtest.h>

using S = OperatingState;

namespace {
struct Transition {
    const char* event;
    S (*apply)(S);
    S from, to;
};

const Transition Transitions[] = {
    {"database loaded", opstate::databaseLoaded, S::None, S::OfflineWithDatabase},
    {"database loaded", opstate::databaseLoaded, S::OnlineWithoutDatabase, S::OnlineWithDatabase},
    {"database loaded", opstate::databaseLoaded, S::OfflineWithDatabase, S::OfflineWithDatabase},
    {"database dropped", opstate::databaseDropped, S::OfflineWithDatabase, S::None},
    {"database dropped", opstate::databaseDropped, S::OnlineWithDatabase, S::OnlineWithoutDatabase},
    {"port opened", opstate::portOpened, S::OfflineWithDatabase, S::OnlineWithDatabase},
    {"port opened", opstate::portOpened, S::None, S::OnlineWithoutDatabase},
    {"port opened", opstate::portOpened, S::OnlineWithDatabase, S::OnlineWithDatabase},
    {"port opened", opstate::portOpened, S::OnlineWithoutDatabase, S::OnlineWithoutDatabase},
    {"scan closes port", opstate::portClosedByScan, S::OnlineWithDatabase, S::OfflineWithDatabase},
    {"scan closes port", opstate::portClosedByScan, S::OfflineWithDatabase, S::OfflineWithDatabase},
    // Without a database the program stays without one.
    {"scan closes port", opstate::portClosedByScan, S::None, S::None},
    {"scan closes port", opstate::portClosedByScan, S::OnlineWithoutDatabase, S::None},
};
} // namespace

TEST(OperatingState, TransitionTable)
{
    for (const Transition& t : Transitions)
        EXPECT_EQ(int(t.apply(t.from)), int(t.to)) << t.event << " from " << int(t.from);
}

TEST(OperatingState, StatusPanelPerState)
{
    struct Row {
        S state;
        bool online, offline, picture, name;
    };
    const Row rows[] = {
        {S::None, false, false, false, false},
        {S::OfflineWithDatabase, false, true, false, true},
        {S::OnlineWithoutDatabase, true, false, false, false},
        {S::OnlineWithDatabase, true, false, true, true},
    };
    for (const Row& r : rows) {
        const StatusView v = statusView(r.state, RegisterType::Unknown);
        EXPECT_EQ(v.onlineVisible, r.online) << int(r.state);
        EXPECT_EQ(v.offlineVisible, r.offline) << int(r.state);
        EXPECT_EQ(v.pictureVisible, r.picture) << int(r.state);
        EXPECT_EQ(v.nameVisible, r.name) << int(r.state);
    }
}

TEST(OperatingState, RegisterTypeLabels)
{
    EXPECT_EQ(registerTypeLabel(RegisterType::Unknown), QStringLiteral("----"));
    EXPECT_EQ(registerTypeLabel(RegisterType::Duno), QStringLiteral("DUNO"));
    EXPECT_EQ(registerTypeLabel(RegisterType::DunoBis), QStringLiteral("DUNO BIS"));
    EXPECT_EQ(statusView(S::OnlineWithDatabase, RegisterType::DunoBis).typeLabel,
              QStringLiteral("DUNO BIS"));
}

TEST(OperatingState, ModelCodes)
{
    EXPECT_EQ(registerTypeFromModelCode(100, RegisterType::Unknown), RegisterType::Duno);
    EXPECT_EQ(registerTypeFromModelCode(200, RegisterType::Duno), RegisterType::DunoBis);
    EXPECT_EQ(registerTypeFromModelCode(150, RegisterType::DunoBis), RegisterType::DunoBis);
    EXPECT_EQ(registerTypeFromModelCode(0, RegisterType::Unknown), RegisterType::Unknown);
}

#include "app/connection.h"
#include "database/databasesession.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef VDUNO_CONNECTION_EMULATOR
#include "database/registerdatabase.h"
#include "emulator/emulatorhost.h"
#include "emulator/registermodel.h"
#include "tables/articlesend.h"
#endif

#include "../link/scanworld.h"
#include "fakeui.h"

using S = OperatingState;

namespace {

struct Session : ::testing::Test {
    QTemporaryDir dir;
    DatabaseSession db{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    FakeUi ui;
    AppSession app{db, ui};
    ScanWorld world;
    Link link{world.factory()};
};

const QString NothingFound =
    QStringLiteral("Nie wykryto żadnej kasy podłączonej do tego komputera.");

} // namespace

TEST_F(Session, AutomaticSearchFindsTheRegisterAndItsType)
{
    for (auto [code, type] :
         {std::pair{200, RegisterType::DunoBis}, std::pair{100, RegisterType::Duno}}) {
        world.open = {2, 6};
        world.registers[6] = {1};
        world.modelCode[6] = code;
        app.setState(S::OfflineWithDatabase);
        app.setRegisterType(RegisterType::Unknown);
        std::vector<std::string> steps;
        connection::SearchHooks hooks;
        hooks.showPanel = [&] { steps.push_back("show " + std::to_string(int(app.state()))); };
        hooks.hidePanel = [&] { steps.push_back("hide"); };
        hooks.refresh = [&] {
            steps.push_back("refresh " + std::to_string(int(app.state())) + " " +
                            registerTypeLabel(app.registerType()).toStdString());
        };
        EXPECT_TRUE(connection::automaticSearch(app, link, hooks));
        EXPECT_EQ(app.state(), S::OnlineWithDatabase);
        EXPECT_EQ(app.registerType(), type);
        EXPECT_EQ(link.port, 6);
        EXPECT_TRUE(link.isOpen());
        const std::string label = registerTypeLabel(type).toStdString();
        EXPECT_EQ(steps, (std::vector<std::string>{"show 1", "refresh 3 ----", "hide",
                                                   "refresh 3 " + label}));
        EXPECT_TRUE(ui.messages.isEmpty());
    }
}

TEST_F(Session, AutomaticSearchStartsOfflineFromEveryState)
{
    // Online with a database goes offline before the ports are tried.
    world.open = {};
    for (auto [from, to] :
         {std::pair{S::OnlineWithDatabase, S::OfflineWithDatabase},
          std::pair{S::OfflineWithDatabase, S::OfflineWithDatabase},
          // without a database the program does not pretend to have one
          std::pair{S::OnlineWithoutDatabase, S::None}, std::pair{S::None, S::None}}) {
        app.setState(from);
        link.port = 3;
        ui.messages.clear();
        EXPECT_FALSE(connection::automaticSearch(app, link));
        EXPECT_EQ(app.state(), to) << int(from);
        EXPECT_EQ(link.port, Link::NoPort);
        EXPECT_EQ(ui.messages, QStringList{NothingFound});
    }
}

TEST_F(Session, AutomaticSearchFromNoDatabaseGoesOnlineWithoutDatabase)
{
    world.open = {5};
    world.registers[5] = {1};
    app.setState(S::None);
    EXPECT_TRUE(connection::automaticSearch(app, link));
    EXPECT_EQ(app.state(), S::OnlineWithoutDatabase);
}

TEST_F(Session, TypeDetectionWithoutUsableAnswerShowsUnknown)
{
    world.open = {5};
    link.port = 5;
    ASSERT_EQ(link.openPort(ui, true), 0);
    app.setRegisterType(RegisterType::DunoBis);
    connection::detectRegisterType(app, link); // nobody answers "I"
    EXPECT_EQ(app.registerType(), RegisterType::Unknown);
}

TEST_F(Session, ConnectWithStoredSettings)
{
    world.open = {4};
    // No port chosen.
    app.setState(S::OfflineWithDatabase);
    EXPECT_FALSE(connection::connectWithStoredSettings(app, link));
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Nie wybrano portu")});
    EXPECT_EQ(app.state(), S::OfflineWithDatabase);

    // 1 -> 3 and 0 -> 2; the type is asked, and a port without a register behind it leaves
    // the type unknown rather than the one of a register connected before.
    for (auto [from, to] : {std::pair{S::OfflineWithDatabase, S::OnlineWithDatabase},
                            std::pair{S::None, S::OnlineWithoutDatabase}}) {
        link.closePort();
        link.port = 4;
        app.setState(from);
        app.setRegisterType(RegisterType::DunoBis);
        world.written.clear();
        EXPECT_TRUE(connection::connectWithStoredSettings(app, link));
        EXPECT_EQ(app.state(), to);
        EXPECT_EQ(app.registerType(), RegisterType::Unknown);
        ASSERT_FALSE(world.written.isEmpty());
        EXPECT_EQ(world.written.first()[6], 'I');
    }

    // Already open: nothing happens.
    const int opens = int(world.opened.size());
    EXPECT_TRUE(connection::connectWithStoredSettings(app, link));
    EXPECT_EQ(world.opened.size(), opens);

    // Failure with no port left open: offline.
    link.closePort();
    link.port = 8;
    app.setState(S::OnlineWithDatabase);
    ui.messages.clear();
    EXPECT_FALSE(connection::connectWithStoredSettings(app, link));
    EXPECT_EQ(app.state(), S::OfflineWithDatabase);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Nie mogę otworzyć portu COM8 (scan:8).")});
}

// Every way of connecting asks the register its type: the stored settings, "&Zastosuj" of
// the port dialog and "Połącz" of the scan dialog.
TEST_F(Session, EveryConnectionDetectsTheRegisterType)
{
    const struct {
        const char* way;
        std::function<bool(AppSession&, Link&)> connect;
    } ways[] = {
        {"stored settings",
         [](AppSession& a, Link& l) {
             l.port = 4;
             return connection::connectWithStoredSettings(a, l);
         }},
        {"port dialog",
         [](AppSession& a, Link& l) {
             portscan::PortChoice choice;
             choice.port = 4;
             return connection::applyPortSettings(a, l, choice) == portscan::ApplyOutcome::Opened;
         }},
        {"scan dialog",
         [](AppSession& a, Link& l) {
             return connection::connectFoundRegister(a, l, portscan::FoundRegister{4, 1});
         }},
    };
    world.open = {4};
    world.registers[4] = {1};
    for (const auto& way : ways) {
        for (auto [code, type] :
             {std::pair{100, RegisterType::Duno}, std::pair{200, RegisterType::DunoBis}}) {
            world.modelCode[4] = code;
            link.closePort();
            link.port = Link::NoPort;
            link.saveSettings();
            app.setState(S::OfflineWithDatabase);
            app.setRegisterType(RegisterType::Unknown);
            ui.messages.clear();
            EXPECT_TRUE(way.connect(app, link)) << way.way;
            EXPECT_EQ(app.state(), S::OnlineWithDatabase) << way.way;
            EXPECT_EQ(app.registerType(), type) << way.way << " model " << code;
            EXPECT_TRUE(ui.messages.isEmpty()) << way.way;
        }
    }
}

// A transfer that depends on the type asks the register when the type is unknown, and is
// refused with a message when no type can be had.
TEST_F(Session, TypeDependentTransferNeverRunsOnUnknownType)
{
    world.open = {4, 5};
    world.registers[4] = {1};
    world.modelCode[4] = 100;
    link.port = 4;
    ASSERT_EQ(link.openPort(ui, true), 0);
    app.setRegisterType(RegisterType::Unknown);
    EXPECT_EQ(connection::requireRegisterType(app, link), RegisterType::Duno);
    EXPECT_TRUE(ui.messages.isEmpty());

    link.port = 5; // nothing behind it
    ASSERT_EQ(link.openPort(ui, true), 0);
    app.setRegisterType(RegisterType::Unknown);
    EXPECT_EQ(connection::requireRegisterType(app, link), RegisterType::Unknown);
    EXPECT_EQ(ui.messages, QStringList{connection::UnknownRegisterType});

    link.closePort();
    ui.messages.clear();
    EXPECT_EQ(connection::requireRegisterType(app, link), RegisterType::Unknown);
    EXPECT_EQ(ui.messages, QStringList{connection::UnknownRegisterType});
}

#ifdef VDUNO_CONNECTION_EMULATOR
// A DUNO behind the port stored in the settings: after "Połącz z kasą używając ostatnich
// ustawień" an article goes out in the DUNO's 77-byte frame, not the DUNO BIS's 78 bytes.
TEST(ConnectionAgainstEmulator, DunoConnectedWithStoredSettingsGets77ByteArticleFrames)
{
    emu::RegisterModel reg(emu::Model::Duno, 1);
    emu::EmulatorHost host(reg);
    ASSERT_TRUE(host.start());
    portmap::setPortOverride(7, host.devicePath());
    QTemporaryDir dir;
    DatabaseSession db{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    ASSERT_TRUE(db.createWorkingDatabase().ok);
    FakeUi ui;
    AppSession app{db, ui};
    app.setState(S::OfflineWithDatabase);
    Link link;
    PortSettings stored;
    stored.port = 7;
    connection::loadSettings(stored, app, link);

    ASSERT_TRUE(connection::connectWithStoredSettings(app, link))
        << ui.messages.join(u'\n').toStdString();
    EXPECT_EQ(app.registerType(), RegisterType::Duno);

    QByteArray record(68, '\0');
    record[0] = 1; // article number 1
    record[2] = 'A';
    ASSERT_TRUE(db.database().writeRecord(5000, record));
    QList<int> lengths;
    link.trace = [&](char direction, QByteArrayView bytes) {
        if (direction == '>' && bytes.size() > 6 && bytes[6] == 'T')
            lengths << int(bytes.size());
    };
    articlesend::sendArticle(link, ui, db.database(), 1, app.isDuno() ? 1 : 2);
    EXPECT_EQ(lengths, QList<int>{77});
    link.closePort();
    portmap::clearPortOverrides();
}
#endif

TEST_F(Session, PortSettingsApplyMovesTheState)
{
    world.open = {3};
    portscan::PortChoice none;
    portscan::PortChoice com3;
    com3.port = 3;
    portscan::PortChoice com9;
    com9.port = 9;
    const struct {
        S from;
        const portscan::PortChoice* choice;
        S to;
    } rows[] = {
        {S::OnlineWithDatabase, &none, S::OfflineWithDatabase},
        {S::OfflineWithDatabase, &com3, S::OnlineWithDatabase},
        {S::None, &com3, S::OnlineWithoutDatabase},
        {S::OnlineWithDatabase, &com3, S::OnlineWithDatabase},
        {S::OfflineWithDatabase, &com9, S::OfflineWithDatabase}, // fails, nothing open
    };
    for (const auto& r : rows) {
        link.closePort();
        link.port = Link::NoPort;
        link.saveSettings();
        app.setState(r.from);
        connection::applyPortSettings(app, link, *r.choice);
        EXPECT_EQ(app.state(), r.to) << int(r.from) << " port " << r.choice->port;
    }
}

TEST_F(Session, FailedApplyKeepsTheStateWhenTheOldPortReopens)
{
    world.open = {3};
    link.port = 3;
    ASSERT_EQ(link.openPort(ui, true), 0);
    app.setState(S::OnlineWithDatabase);
    link.saveSettings();
    portscan::PortChoice bad;
    bad.port = 9;
    EXPECT_EQ(connection::applyPortSettings(app, link, bad), portscan::ApplyOutcome::Failed);
    EXPECT_EQ(app.state(), S::OnlineWithDatabase);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.port, 3);
}

TEST_F(Session, ListingAvailablePortsGoesOffline)
{
    world.open = {3, 5};
    link.port = 3;
    ASSERT_EQ(link.openPort(ui, true), 0);
    app.setState(S::OnlineWithDatabase);
    EXPECT_EQ(connection::listAvailablePorts(app, link), (QList<int>{3, 5}));
    EXPECT_EQ(app.state(), S::OfflineWithDatabase);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.port, 3);
}

TEST_F(Session, RegisterScanRestoresTheState)
{
    world.open = {4, 6};
    world.registers[4] = {1, 2};
    // The old port opens again: the state is as before.
    link.port = 6;
    ASSERT_EQ(link.openPort(ui, true), 0);
    app.setState(S::OnlineWithDatabase);
    S during = S::None;
    const portscan::ScanResult r =
        connection::scanRegisters(app, link, [&](int, int, int, int) { during = app.state(); });
    EXPECT_EQ(during, S::OfflineWithDatabase);
    EXPECT_EQ(r.found.size(), 2);
    EXPECT_EQ(app.state(), S::OnlineWithDatabase);

    // The old port is gone: offline.
    world.open = {4};
    connection::scanRegisters(app, link);
    EXPECT_EQ(app.state(), S::OfflineWithDatabase);

    // "Połącz" with the second entry: port 4, address 2, online.
    EXPECT_TRUE(connection::connectFoundRegister(app, link, r.found[1]));
    EXPECT_EQ(app.state(), S::OnlineWithDatabase);
    EXPECT_EQ(link.address, 2);
    EXPECT_EQ(link.port, 4);
}

TEST_F(Session, SettingsFileIntoTheLinkAndBack)
{
    PortSettings s;
    s.port = 7;
    s.baud = 9600;
    s.dataBits = 7;
    s.parity = 2;
    s.stopBits = 2;
    s.xonXoff = 1;
    s.rtsCts = 1;
    s.spare = {0x81, 0x22, 0x33}; // bit 0 of byte 11: fast transfers on
    link.address = 4;
    connection::loadSettings(s, app, link);
    EXPECT_EQ(link.port, 7);
    EXPECT_EQ(link.line.baud, 9600u);
    EXPECT_EQ(link.line.dataBits, 7);
    EXPECT_EQ(link.line.parity, 2);
    EXPECT_EQ(link.line.stopBits, 2);
    EXPECT_TRUE(link.line.xonXoff);
    EXPECT_TRUE(link.line.rtsCts);
    EXPECT_EQ(link.address, 1); // the address is not stored
    EXPECT_TRUE(app.fastTransfers());
    EXPECT_TRUE(link.fastTransfers);
    EXPECT_EQ(connection::currentSettings(s, app, link), s);

    // Switching fast transfers off clears only bit 0 of byte 11.
    connection::setFastTransfers(app, link, false);
    EXPECT_FALSE(link.fastTransfers);
    PortSettings out = connection::currentSettings(s, app, link);
    EXPECT_EQ(out.spare, (std::array<quint8, 3>{0x80, 0x22, 0x33}));
    link.port = Link::NoPort;
    EXPECT_EQ(connection::currentSettings(s, app, link).port, 255);
}

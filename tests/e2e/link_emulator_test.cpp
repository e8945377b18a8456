#include "emulator/emulatorhost.h"
#include "fakeui.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/link.h"
#include "link/portmap.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace {

// A register emulator on a pseudo-terminal, reached by the link under COM 42.
struct Bench {
    explicit Bench(emu::Model model, int address = 1) : reg(model, address), host(reg)
    {
        started = host.start();
        portmap::setPortOverride(42, host.devicePath());
        link.port = 42;
        link.address = quint8(address);
        // The register's pauses pass in real time, as before a real register: the emulator
        // answers from its own thread, and a pause skipped on a busy machine would leave the
        // read alone to wait for it.
        ui.sleeps = true;
        opened = started && link.openPort(ui, true) == 0;
    }
    ~Bench()
    {
        link.closePort();
        portmap::clearPortOverrides();
    }
    emu::RegisterModel reg;
    emu::EmulatorHost host;
    Link link;
    FakeUi ui;
    bool started = false;
    bool opened = false;
};

QByteArray groupRecord(int n, const QByteArray& name)
{
    QByteArray r(22, '\0');
    r[0] = char(n);
    r.replace(1, name.size(), name);
    return r;
}

} // namespace

TEST(LinkAgainstEmulator, ProbeAndTypeDetectionOnBothModels)
{
    for (auto [model, type] : {std::pair{emu::Model::DunoBis, 2}, std::pair{emu::Model::Duno, 1}}) {
        Bench b(model, 3);
        ASSERT_TRUE(b.opened) << b.ui.messages.join(u'\n').toStdString();
        EXPECT_TRUE(answers::probe(b.link, b.ui));
        EXPECT_EQ(answers::detectRegisterType(b.link, b.ui), type);
        b.link.address = 4; // nobody answers at another address
        EXPECT_FALSE(answers::probe(b.link, b.ui));
    }
}

TEST(LinkAgainstEmulator, GroupsProgrammedAndReadBack)
{
    Bench b(emu::Model::DunoBis);
    ASSERT_TRUE(b.opened);
    const QByteArray records[] = {groupRecord(2, "Napoje"), groupRecord(3, "Chemia")};
    for (int i = 0; i < 2; ++i) {
        const quint16 seq = quint16(i + 1) | (i == 1 ? 0x8000 : 0);
        ASSERT_TRUE(commands::sendRecord(b.link, b.ui,
                                         commands::productGroupRecord(1, seq, records[i], 0)));
        EXPECT_TRUE(answers::confirmed(answers::confirmationWait(b.link, b.ui)));
    }
    b.link.drainInput(b.ui);
    ASSERT_EQ(commands::send(b.link, b.ui, commands::requestTable(1, 1, 'G')), 0);
    QList<QByteArray> images;
    int r = answers::More;
    while (r == answers::More) {
        r = answers::readAnswer(b.link, b.ui, 35);
        if (r == answers::More || r == answers::Done)
            images.append(b.link.received(35).sliced(7, 26).toByteArray());
    }
    EXPECT_EQ(r, answers::Done);
    ASSERT_EQ(images.size(), 3);
    EXPECT_EQ(images[1].left(21), records[0].left(21));
    EXPECT_EQ(images[2].left(21), records[1].left(21));
    EXPECT_TRUE(b.ui.messages.isEmpty()) << b.ui.messages.join(u'\n').toStdString();
}

TEST(LinkAgainstEmulator, ReadStoppedByTheUser)
{
    Bench b(emu::Model::DunoBis);
    ASSERT_TRUE(b.opened);
    b.reg.fillDemo(20);
    ASSERT_EQ(commands::send(b.link, b.ui, commands::requestTable(1, 1, 'T')), 0);
    EXPECT_EQ(answers::readAnswer(b.link, b.ui, 91), answers::More);
    b.link.stopRequest = true;
    EXPECT_EQ(answers::readAnswer(b.link, b.ui, 91), answers::Done);
    // the register stopped: nothing more comes
    EXPECT_EQ(b.link.drainInput(b.ui), 0);
    EXPECT_EQ(b.link.read(10), 0);
}

TEST(LinkAgainstEmulator, EmptyTableAndDeviceErrorReachTheUser)
{
    Bench b(emu::Model::DunoBis);
    ASSERT_TRUE(b.opened);
    ASSERT_EQ(commands::send(b.link, b.ui, commands::requestTable(1, 1, 'R')), 0);
    EXPECT_EQ(answers::readAnswer(b.link, b.ui, 45), answers::Nothing);
    ASSERT_FALSE(b.ui.messages.isEmpty());
    EXPECT_EQ(b.ui.messages.last(), QStringLiteral("Pusta baza."));
    // deleting group 1 is refused by the register
    ASSERT_EQ(
        commands::send(b.link, b.ui,
                       commands::deleteProductGroup(1, 0x8001, 1, QStringLiteral("Podstawowa"))),
        0);
    EXPECT_EQ(answers::confirmationWait(b.link, b.ui), answers::DeviceError);
    EXPECT_EQ(b.link.at(8), 82);
}

TEST(LinkAgainstEmulator, BusyThenAcceptedAndCorruptedDataFrame)
{
    Bench b(emu::Model::DunoBis);
    ASSERT_TRUE(b.opened);
    emu::FaultPlan plan;
    plan.busy = {1};
    plan.corrupt = {2};
    {
        auto lock = b.host.lock();
        b.reg.setFaults(plan);
    }
    ASSERT_TRUE(commands::sendRecord(
        b.link, b.ui, commands::productGroupRecord(1, 0x8001, groupRecord(2, "Napoje"), 0)));
    EXPECT_EQ(answers::confirmationWait(b.link, b.ui), answers::Busy);
    EXPECT_TRUE(answers::confirmed(answers::confirmationWait(b.link, b.ui)));
    ASSERT_EQ(commands::send(b.link, b.ui, commands::requestTable(1, 1, 'G')), 0);
    EXPECT_EQ(answers::readAnswer(b.link, b.ui, 35), answers::CheckError);
    ASSERT_GE(b.ui.messages.size(), 1);
    EXPECT_EQ(b.ui.messages.last(), QStringLiteral("Błąd CRC!"));
}

TEST(LinkAgainstEmulator, ArticleProgrammedReadBackAndDeletedWithTheNameCheck)
{
    for (auto [model, type, answer] :
         {std::tuple{emu::Model::DunoBis, 2, 91}, std::tuple{emu::Model::Duno, 1, 90}}) {
        Bench b(model);
        ASSERT_TRUE(b.opened);
        QByteArray rec(68, '\0');
        rec[0] = 5;
        rec.replace(2, 7, "Rogalik");
        rec[44] = 'A';
        rec[45] = char(150);
        rec.replace(49, 13, "0000000012345");
        rec[62] = 1;
        rec[65] = 1;
        ASSERT_TRUE(
            commands::sendRecord(b.link, b.ui, commands::articleRecord(1, 0x8001, rec, 0, type)));
        EXPECT_TRUE(answers::confirmed(answers::confirmationWait(b.link, b.ui)));
        ASSERT_EQ(commands::send(b.link, b.ui, commands::requestTable(1, 1, 'T')), 0);
        ASSERT_EQ(answers::readAnswer(b.link, b.ui, answer), answers::Done);
        const QByteArray image = b.link.received(answer).sliced(7, answer - 9).toByteArray();
        EXPECT_EQ(image.left(49), rec.left(49));
        EXPECT_EQ(image.mid(57, 13), rec.mid(49, 13));

        ASSERT_EQ(commands::send(b.link, b.ui,
                                 commands::deleteArticle(1, 0x8001, 5, QStringLiteral("Rogal"), 0)),
                  0);
        EXPECT_EQ(answers::confirmationWait(b.link, b.ui), answers::DeviceError);
        EXPECT_EQ(b.link.at(8), 90);
        b.link.drainInput(b.ui);
        ASSERT_EQ(
            commands::send(b.link, b.ui,
                           commands::deleteArticle(1, 0x8001, 5, QStringLiteral("Rogalik"), 0)),
            0);
        EXPECT_TRUE(answers::confirmed(answers::confirmationWait(b.link, b.ui)));
        auto lock = b.host.lock();
        EXPECT_EQ(b.reg.usedRecords(emu::RegisterModel::Articles), 0);
    }
}

TEST(LinkAgainstEmulator, SilenceAndTruncatedAnswerAreNoValidAnswer)
{
    Bench b(emu::Model::DunoBis);
    ASSERT_TRUE(b.opened);
    emu::FaultPlan plan;
    plan.silent = {1};
    plan.truncate = {2};
    {
        auto lock = b.host.lock();
        b.reg.setFaults(plan);
    }
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(commands::sendRecord(
            b.link, b.ui, commands::productGroupRecord(1, 0x8001, groupRecord(2, "Napoje"), 0)));
        EXPECT_EQ(answers::confirmationWait(b.link, b.ui), answers::NoAnswer) << i;
    }
}

TEST(LinkAgainstEmulator, DeviceVanishingMidTransfer)
{
    Bench b(emu::Model::DunoBis);
    ASSERT_TRUE(b.opened);
    b.reg.fillDemo(10);
    emu::FaultPlan plan;
    plan.vanish = {3}; // the request, one acknowledgement, then the device is gone
    {
        auto lock = b.host.lock();
        b.reg.setFaults(plan);
    }
    ASSERT_EQ(commands::send(b.link, b.ui, commands::requestTable(1, 1, 'T')), 0);
    EXPECT_EQ(answers::readAnswer(b.link, b.ui, 91), answers::More);
    EXPECT_EQ(answers::readAnswer(b.link, b.ui, 91), answers::More);
    EXPECT_EQ(answers::readAnswer(b.link, b.ui, 91), answers::Nothing);
    EXPECT_TRUE(b.host.vanished());
    // the device is gone for good: the next frame cannot be sent
    EXPECT_NE(commands::send(b.link, b.ui, commands::requestTable(1, 1, 'T')), 0);
    ASSERT_EQ(b.ui.messages.size(), 2);
    EXPECT_EQ(b.ui.messages[0], QStringLiteral("Brak komunikacji."));
    EXPECT_TRUE(b.ui.messages[1].startsWith(QStringLiteral("Nie mogę otworzyć portu COM42")));
}

// A client that numbers the frames of its runs wrongly is caught by the register: the frame
// out of sequence is refused with device error 4, the client shows the register's words for
// it, and the refused frame programs nothing. Each case sends group records 2, 3, ... with
// the sequence values listed, through the real link, and shows what the register refused as
// a client does.
TEST(LinkAgainstEmulator, FramesOutOfSequenceAreRefusedWithErrorFour)
{
    struct Case {
        const char* name;
        QList<quint16> sequences;
        QList<bool> refused; // per frame
        bool openAfter;      // the register's run is still open afterwards
        int unclosed;        // runs the register abandoned open
    };
    const Case cases[] = {
        {"well numbered", {1, 2, 0x8003}, {false, false, false}, false, 0},
        {"stopped: the next frame is the last", {1, 0x8002}, {false, false}, false, 0},
        {"skips a number", {1, 3, 0x8004}, {false, true, true}, false, 0},
        {"numbered per list line, skipping unchecked lines", {2, 0x8004}, {true, true}, false, 0},
        {"repeats a number", {1, 2, 0x8002}, {false, false, true}, false, 0},
        {"goes on after the end marker", {0x8001, 0x8002}, {false, true}, false, 0},
        {"begins with 0", {0, 0x8001}, {true, false}, false, 0},
        {"never closes its run", {1, 2}, {false, false}, true, 0},
        {"the next run restarts an unclosed one",
         {1, 2, 1, 0x8002},
         {false, false, false, false},
         false,
         1},
    };
    const QString refusal = QStringLiteral("Błąd 4: Zły numer ramki");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench b(emu::Model::DunoBis);
        ASSERT_TRUE(b.opened);
        QStringList shown;
        for (int i = 0; i < c.sequences.size(); ++i) {
            const int group = i + 2;
            const QByteArray record = groupRecord(group, "Grupa " + QByteArray::number(group));
            ASSERT_TRUE(commands::sendRecord(
                b.link, b.ui, commands::productGroupRecord(1, c.sequences[i], record, 0)));
            const int r = answers::confirmationWait(b.link, b.ui);
            if (r == answers::DeviceError)
                answers::showDeviceError(b.ui, b.link.at(8));
            EXPECT_EQ(r == answers::DeviceError, c.refused[i]) << "frame " << i + 1;
            if (c.refused[i])
                shown.append(refusal);
            else
                EXPECT_TRUE(answers::confirmed(r)) << "frame " << i + 1;
            auto hold = b.host.lock();
            // A refused frame programs nothing.
            EXPECT_EQ(b.reg.image(emu::RegisterModel::Groups, group)[0] != 0, !c.refused[i])
                << "frame " << i + 1;
        }
        EXPECT_EQ(b.ui.messages, shown);
        auto hold = b.host.lock();
        EXPECT_EQ(b.reg.runOpen(), c.openAfter);
        EXPECT_EQ(b.reg.unclosedRuns(), c.unclosed);
        EXPECT_EQ(b.reg.numberingErrors(), int(c.refused.count(true)));
    }
}

// The device error fault: the register answers a chosen frame with an error frame instead of
// carrying the command out.
#include "emulator/registermodel.h"
#include "testframes.h"

#include <gtest/gtest.h>

using emu::FaultPlan;
using emu::RegisterModel;
using emu::Reply;

TEST(FaultPlanDeviceError, ChosenFrameGetsTheErrorFrameAndIsNotCarriedOut)
{
    RegisterModel reg;
    FaultPlan plan;
    plan.deviceError = {{2, 97}};
    reg.setFaults(plan);
    // Frame 1: the units "q" frame is carried out and acknowledged with 3 (end marker).
    const QByteArray units1 = handFrame(1, 0x8001, 'q', QByteArray("abcdefghi", 9));
    const QList<Reply> first = reg.handle(units1);
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(first[0].bytes, handAck(1, 3));
    EXPECT_EQ(reg.units(), QByteArray("abcdefghi"));
    // Frame 2: refused with device error 97, 11 bytes: 02 01 0B 00 01 00 41 00 61 crc 03,
    // crc = 01 ^ 0B ^ 00 ^ 01 ^ 00 ^ 41 ^ 00 ^ 61 = 0x2B.
    const QByteArray units2 = handFrame(1, 0x8001, 'q', QByteArray("xyzxyzxyz", 9));
    const QList<Reply> second = reg.handle(units2);
    ASSERT_EQ(second.size(), 1);
    EXPECT_EQ(second[0].bytes,
              bytes({0x02, 0x01, 0x0B, 0x00, 0x01, 0x00, 0x41, 0x00, 0x61, 0x2B, 0x03}));
    EXPECT_EQ(reg.units(), QByteArray("abcdefghi"));
    // Frame 3: normal again.
    EXPECT_EQ(reg.handle(units2).size(), 1);
    EXPECT_EQ(reg.units(), QByteArray("xyzxyzxyz"));
}

TEST(FaultPlanDeviceError, OtherFaultsStillApplyToTheErrorFrame)
{
    RegisterModel reg;
    FaultPlan plan;
    plan.deviceError = {{1, 5}};
    plan.truncate = {1};
    reg.setFaults(plan);
    const QList<Reply> r = reg.handle(handFrame(1, 0x8001, 'Q', bytes({0})));
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0].bytes, bytes({0x02, 0x01, 0x0B, 0x00, 0x01}));
}

TEST(FaultPlanBusy, TheGroupTurnoverRequestIsNoAcknowledgement)
{
    // Code 6 with 11 bytes is the turnover request, not the computer's acknowledgement (10
    // bytes): a busy fault on it answers the busy status first.
    RegisterModel reg;
    reg.fillDemo(1);
    FaultPlan plan;
    plan.busy = {1};
    reg.setFaults(plan);
    const QList<Reply> r = reg.handle(handFrame(1, 0x8001, 6, bytes({0, 0})));
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[0].bytes, bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x41, 0x08, 0x43, 0x03}));
    EXPECT_EQ(r[1].bytes.size(), 92);
}

TEST(FaultPlanAckInstead, TheRegisterRefusesWithItsAcknowledgement)
{
    RegisterModel reg;
    FaultPlan plan;
    plan.ackInstead = {{1, 1}};
    reg.setFaults(plan);
    const QList<Reply> r = reg.handle(handFrame(1, 0x8001, 'q', QByteArray("abcdefghi", 9)));
    ASSERT_EQ(r.size(), 1);
    // 02 01 0A 00 01 00 06 01 crc 03, crc = 01 ^ 0A ^ 01 ^ 06 ^ 01 = 0x0D
    EXPECT_EQ(r[0].bytes, bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x06, 0x01, 0x0D, 0x03}));
    EXPECT_EQ(reg.units(), QByteArray("szt kg l  ", 9)); // not carried out
}

#define SYNC_BENCH_EMULATOR
#include "syncbench.h"

#include "link/frame.h"
#include "sync/tablesync.h"

#include <gtest/gtest.h>

using namespace basesync;
using T = emu::RegisterModel;

namespace {

// What each of the six tables needs in the tests: records the register accepts, written by
// hand from the record layouts, and the register image that goes with each.
struct MemberCase {
    const char* name;
    const TableMember& (*member)();
    T::Table table;
    QByteArray (*pcRecord)(int n, const char* name);
    QByteArray (*image)(int n, const char* name); // holds pcRecord(n) plus statistics
    int firstBusyWaitMs; // after a busy answer to the first frame of the run below
    int settleMs;
    bool refusalShown; // a refused deletion shows the device error
};

QByteArray named(int size, int n, const char* name)
{
    QByteArray b(size, '\0');
    b[0] = char(n);
    putText(b, 1, name);
    return b;
}

QByteArray groupRecord(int n, const char* name)
{
    return named(22, n, name);
}
QByteArray groupImage(int n, const char* name)
{
    // No takings: a group with takings cannot be deleted.
    return named(26, n, name);
}

QByteArray packagingRecord(int n, const char* name)
{
    QByteArray r = named(48, n, name);
    put32(r, 43, 150);
    r[47] = 1;
    return r;
}
QByteArray packagingImage(int n, const char* name)
{
    QByteArray img = named(66, n, name);
    put32(img, 43, 150);
    img[59] = 24;
    put16(img, 61, 3);
    img[65] = 1;
    return img;
}

QByteArray cashierRecord(int n, const char* name)
{
    QByteArray r = named(33, n, name);
    putText(r, 22, "1111");
    for (int i = 26; i < 33; ++i)
        r[i] = 1;
    return r;
}
QByteArray cashierImage(int n, const char* name)
{
    QByteArray img = named(324, n, name);
    putText(img, 22, "1111");
    for (int i = 224; i < 231; ++i)
        img[i] = 1;
    put16(img, 34, 7);
    return img;
}

QByteArray discountRecord(int n, const char* name)
{
    QByteArray r = named(28, n, name);
    r[22] = 1;
    put32(r, 24, 500);
    return r;
}
QByteArray discountImage(int n, const char* name)
{
    QByteArray img = named(36, n, name);
    img[22] = 1;
    put32(img, 24, 500);
    put32(img, 28, 2000);
    put32(img, 32, 4);
    return img;
}

QByteArray paymentRecord(int n, const char* name)
{
    QByteArray r = named(23, n, name);
    r[22] = 2;
    return r;
}
QByteArray paymentImage(int n, const char* name)
{
    QByteArray img = named(31, n, name);
    img[26] = 2;
    put32(img, 27, 9);
    return img;
}

QByteArray currencyRecord(int n, const char* name)
{
    QByteArray r = named(30, n, name);
    put32(r, 22, 43012345);
    r[26] = 4;
    r[27] = 'E';
    r[28] = char('A' + n);
    r[29] = 'X';
    return r;
}
QByteArray currencyImage(int n, const char* name)
{
    QByteArray img = named(42, n, name);
    put32(img, 26, 43012345);
    img[30] = 4;
    img[31] = 'E';
    img[32] = char('A' + n);
    img[33] = 'X';
    put32(img, 34, 5);
    return img;
}

// Busy waits of the first frame: groups list 1, 2, 3, 4 so record 2 goes with sequence 2
// (450 ms); packaging, payment forms and currencies list 2, 3, 4 (sequence 1: 1000 ms);
// cashiers count frames (1: 1700 ms); discounts look at the next value (2: 390 ms).
const MemberCase kCases[] = {
    {"groups", groupsMember, T::Groups, groupRecord, groupImage, 1000, 430, true},
    {"packaging", packagingMember, T::Packaging, packagingRecord, packagingImage, 1000, 1300, true},
    {"cashiers", cashiersMember, T::Cashiers, cashierRecord, cashierImage, 1700, 400, true},
    {"discounts", discountsMember, T::Discounts, discountRecord, discountImage, 390, 400, false},
    {"payments", paymentFormsMember, T::PaymentForms, paymentRecord, paymentImage, 1000, 450,
     false},
    {"currencies", currenciesMember, T::Currencies, currencyRecord, currencyImage, 1000, 430,
     false},
};

class TableSyncAgainstEmulator : public ::testing::TestWithParam<MemberCase> {
protected:
    const TableMember& member() const { return GetParam().member(); }
    const MemberCase& c() const { return GetParam(); }
};

QList<QByteArray> programmingFrames(const Bench& b, char letter)
{
    QList<QByteArray> out;
    for (const QByteArray& f : b.sentWith(letter))
        if (f.size() != 11) // not the read request
            out.append(f);
    return out;
}

} // namespace

TEST_P(TableSyncAgainstEmulator, ReadsTheRegistersTable)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    b.setImage(c().table, 2, c().image(2, "Drugi"));
    b.setImage(c().table, 3, c().image(3, "Trzeci"));
    TableSync sync(member());
    sync.setImage(7, c().image(7, "Stary"));
    const ReadOutcome r = sync.read(b.link, b.ui);
    EXPECT_TRUE(r.complete);
    EXPECT_TRUE(sync.registerNumbers().contains(2));
    EXPECT_TRUE(sync.registerNumbers().contains(3));
    EXPECT_FALSE(sync.registerNumbers().contains(7)); // cleared before the read
    EXPECT_EQ(sync.image(2), b.image(c().table, 2));
    EXPECT_EQ(sync.registerDetails(3).title, QStringLiteral("Trzeci"));
    EXPECT_TRUE(b.ui.messages.isEmpty()) << b.ui.messages.join(u'\n').toStdString();
}

TEST_P(TableSyncAgainstEmulator, ProgramsCheckedRecordsAndCountsEveryAcceptedOne)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    b.db().writeRecord(member().pc.offsetOf(2), c().pcRecord(2, "Alfa"));
    b.db().writeRecord(member().pc.offsetOf(3), c().pcRecord(3, "Beta"));
    b.db().writeRecord(member().pc.offsetOf(4), c().pcRecord(4, "Gamma"));
    TableSync sync(member());
    const QList<int> lines = sync.pcNumbers(b.db());
    ASSERT_TRUE(lines.contains(2) && lines.contains(4));
    emu::FaultPlan plan;
    plan.busy = {b.framesReceived() + 1};
    b.setFaults(plan);
    const TableRunResult r = sync.program(b.link, b.ui, b.db(), lines, {2, 4}, 0);
    EXPECT_EQ(r.total, 2);
    EXPECT_EQ(r.done, 2); // the first after a busy answer, the second accepted at once
    EXPECT_FALSE(r.broken);
    EXPECT_EQ(b.ui.messages, QStringList{QStringLiteral(" Zaprogramowano 2") + member().noun});
    EXPECT_TRUE(b.ui.waits.contains(c().firstBusyWaitMs));
    EXPECT_TRUE(b.ui.waits.contains(c().settleMs));
    EXPECT_EQ(b.image(c().table, 2)[0], 2);
    EXPECT_EQ(b.image(c().table, 4)[0], 4);
    EXPECT_EQ(b.image(c().table, 3)[0], 0);
    // The run ends with the register's table read again.
    EXPECT_TRUE(sync.registerNumbers().contains(2));
    EXPECT_TRUE(sync.registerNumbers().contains(4));
    const QList<QByteArray> frames = programmingFrames(b, member().letter);
    ASSERT_EQ(frames.size(), 2);
    const quint16 first = frame::u16(frames[0], 4), second = frame::u16(frames[1], 4);
    // Numbered over the frames sent, whatever lines lie between them.
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0x8002);
    EXPECT_FALSE(b.runOpen());
}

TEST_P(TableSyncAgainstEmulator, SilenceEndsTheRunWithTheCountSoFar)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    b.db().writeRecord(member().pc.offsetOf(2), c().pcRecord(2, "Alfa"));
    b.db().writeRecord(member().pc.offsetOf(3), c().pcRecord(3, "Beta"));
    emu::FaultPlan plan;
    plan.silent = {b.framesReceived() + 2};
    b.setFaults(plan);
    TableSync sync(member());
    const TableRunResult r = sync.program(b.link, b.ui, b.db(), {2, 3}, {2, 3}, 0);
    EXPECT_TRUE(r.broken);
    EXPECT_EQ(r.done, 1);
    EXPECT_EQ(
        b.ui.messages,
        QStringList{QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano 1") + member().noun});
}

TEST_P(TableSyncAgainstEmulator, CopiesCheckedRegisterRecordsToThePc)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    b.setImage(c().table, 5, c().image(5, "Z kasy"));
    b.setImage(c().table, 6, c().image(6, "Niezaznaczony"));
    TableSync sync(member());
    sync.read(b.link, b.ui);
    const QByteArray before6 = b.db().readBytes(member().pc.offsetOf(6), member().pc.recordSize);
    EXPECT_EQ(sync.copyToPc(b.db(), {5}), 1);
    EXPECT_EQ(b.db().readBytes(member().pc.offsetOf(5), member().pc.recordSize),
              c().pcRecord(5, "Z kasy"));
    EXPECT_EQ(b.db().readBytes(member().pc.offsetOf(6), member().pc.recordSize), before6);
    EXPECT_TRUE(sync.pcNumbers(b.db()).contains(5));
    EXPECT_FALSE(b.session.isModified());
    EXPECT_EQ(b.sentWith(member().letter).size(), 1); // only the read request went out
}

TEST_P(TableSyncAgainstEmulator, DeletesInTheRegisterIncludingARefusal)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    b.setImage(c().table, 2, c().image(2, "Pierwszy"));
    b.setImage(c().table, 3, c().image(3, "Drugi"));
    b.setImage(c().table, 4, c().image(4, "Trzeci"));
    TableSync sync(member());
    sync.read(b.link, b.ui);
    const TableRunResult r = sync.deleteInRegister(b.link, b.ui, sync.registerNumbers(), {2, 3}, 0);
    EXPECT_EQ(r.total, 2);
    EXPECT_EQ(r.done, 2);
    EXPECT_FALSE(sync.registerNumbers().contains(2));
    EXPECT_FALSE(sync.registerNumbers().contains(3)); // the last one, answered with code 3
    EXPECT_EQ(b.image(c().table, 2)[0], 0);
    EXPECT_EQ(b.image(c().table, 3)[0], 0);
    EXPECT_TRUE(b.ui.messages.isEmpty()) << b.ui.messages.join(u'\n').toStdString();

    // The register renamed record 4 meanwhile: the name check refuses the deletion.
    b.setImage(c().table, 4, c().image(4, "Inna nazwa"));
    const TableRunResult refused =
        sync.deleteInRegister(b.link, b.ui, sync.registerNumbers(), {4}, 0);
    EXPECT_EQ(refused.done, 0);
    EXPECT_TRUE(sync.registerNumbers().contains(4));
    EXPECT_NE(b.image(c().table, 4)[0], 0);
    if (c().refusalShown)
        EXPECT_EQ(b.ui.messages, QStringList{QStringLiteral("Błąd 90: Niepasująca nazwa rekordu")});
    else
        EXPECT_TRUE(b.ui.messages.isEmpty());
}

TEST_P(TableSyncAgainstEmulator, NothingCheckedSendsNothing)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    b.db().writeRecord(member().pc.offsetOf(2), c().pcRecord(2, "Alfa"));
    TableSync sync(member());
    const int before = b.framesReceived();
    EXPECT_EQ(sync.program(b.link, b.ui, b.db(), {2}, {}, 0).total, 0);
    EXPECT_EQ(sync.deleteInRegister(b.link, b.ui, {2}, {}, 0).total, 0);
    EXPECT_EQ(sync.copyToPc(b.db(), {}), 0);
    EXPECT_EQ(b.framesReceived(), before);
    EXPECT_TRUE(b.ui.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(SixTables, TableSyncAgainstEmulator, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TableSyncAgainstEmulatorGroups, TheBaseGroupCannotBeDeleted)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    TableSync sync(groupsMember());
    sync.read(b.link, b.ui);
    ASSERT_EQ(sync.registerNumbers(), QList<int>{1});
    EXPECT_EQ(sync.deleteInRegister(b.link, b.ui, {1}, {1}, 0).done, 0);
    EXPECT_EQ(b.ui.messages,
              QStringList{QStringLiteral("Błąd 82: Próba skasowania grupy podstawowej")});
}

TEST(TableSyncAgainstEmulatorCashiers, RegisterCashiersBeyondThePcListStayOutOfThePc)
{
    Bench b;
    ASSERT_TRUE(b.opened && b.ok);
    b.setImage(T::Cashiers, 15, cashierImage(15, "Piętnasty"));
    TableSync sync(cashiersMember());
    sync.read(b.link, b.ui);
    EXPECT_TRUE(sync.registerNumbers().contains(15));
    EXPECT_EQ(sync.copyToPc(b.db(), {15}), 0);
    EXPECT_EQ(b.db().readBytes(layout::Cashiers.offsetOf(15), 33), QByteArray(33, '\0'));
}

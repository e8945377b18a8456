#include "registerbench.h"

#include "database/databasesession.h"
#include "link/answers.h"
#include "tables/cashierrecord.h"
#include "tables/grouprecord.h"
#include "tables/recordsend.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Base {
    Base()
    {
        session = std::make_unique<DatabaseSession>(dir.filePath(DatabaseSession::WorkingCopyName));
        ok = session->startUp().ok;
    }
    RegisterDatabase& db() { return session->database(); }
    QTemporaryDir dir;
    std::unique_ptr<DatabaseSession> session;
    bool ok = false;
};

void putGroup(RegisterDatabase& db, int n, const char* name)
{
    GroupRecord g;
    g.number = n;
    g.name = QString::fromUtf8(name);
    storeRecord(db, layout::Groups, n, g);
}

quint16 sequenceOf(const QByteArray& frame)
{
    return quint16(quint8(frame[4]) | (quint8(frame[5]) << 8));
}

TEST(RecordSend, OneCashierGoesOutAsItsFrameAndIsConfirmed)
{
    Base base;
    ASSERT_TRUE(base.ok);
    CashierRecord c;
    c.number = 2;
    c.name = QStringLiteral("Ola");
    c.password = QStringLiteral("12");
    c.rights = {true, false, true, false, true, false, true};
    storeRecord(base.db(), layout::Cashiers, 2, c);

    RegisterBench b;
    ASSERT_TRUE(b.opened);
    const int result = recordsend::sendOne(b.link, b.ui, base.db(), recordsend::cashiers(), 2, 1);
    EXPECT_EQ(result, answers::AcceptedEnd);
    // 43 bytes: head, the 33 record bytes, confirm 1, check byte, end byte.
    QByteArray expected("\x02\x01\x2B\x00\x01\x80\x4B", 7);
    expected.append('\x02').append("Ola").append(18, '\0').append("12").append(2, '\0');
    expected.append("\x01\x00\x01\x00\x01\x00\x01", 7).append('\x01');
    ASSERT_EQ(b.sent.size(), 1);
    EXPECT_EQ(b.sent[0], framed(expected));
    EXPECT_EQ(b.reg.image(emu::RegisterModel::Cashiers, 2).left(26), c.encode().left(26));
    EXPECT_TRUE(b.ui.messages.isEmpty());
}

TEST(RecordSend, AFreeSlotSendsNothing)
{
    Base base;
    ASSERT_TRUE(base.ok);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    EXPECT_EQ(recordsend::sendOne(b.link, b.ui, base.db(), recordsend::discounts(), 4, 0),
              recordsend::NotSent);
    EXPECT_EQ(recordsend::sendOne(b.link, b.ui, base.db(), recordsend::groups(), 21, 0),
              recordsend::NotSent);
    EXPECT_TRUE(b.sent.isEmpty());
}

TEST(RecordSend, BusyIsWaitedOutOnceThenConfirmed)
{
    Base base;
    ASSERT_TRUE(base.ok);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    emu::FaultPlan plan;
    plan.busy = {1};
    b.reg.setFaults(plan);
    const int result = recordsend::sendOne(b.link, b.ui, base.db(), recordsend::groups(), 1, 0);
    EXPECT_EQ(result, answers::AcceptedEnd);
    EXPECT_TRUE(b.ui.waits.contains(1000));
}

TEST(RecordSend, WithoutAwaitingNothingIsRead)
{
    Base base;
    ASSERT_TRUE(base.ok);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    recordsend::Single how;
    how.awaitAnswer = false;
    EXPECT_EQ(recordsend::sendOne(b.link, b.ui, base.db(), recordsend::groups(), 1, 0, how),
              recordsend::NotAwaited);
    ASSERT_EQ(b.sent.size(), 1);
    EXPECT_EQ(b.sent[0].size(), 31);
}

TEST(RecordSend, RunNumbersItsFramesAndMarksTheLast)
{
    Base base;
    ASSERT_TRUE(base.ok);
    putGroup(base.db(), 2, "Napoje");
    putGroup(base.db(), 5, "Chemia");
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    // Slot 3 is free and is skipped, so the end marker lands on group 5.
    const recordsend::RunResult run =
        recordsend::sendAll(b.link, b.ui, base.db(), recordsend::groups(), {2, 3, 5}, 0);
    EXPECT_EQ(run.listed, 2);
    EXPECT_EQ(run.programmed, 2);
    EXPECT_TRUE(run.complete());
    ASSERT_EQ(b.sent.size(), 2);
    EXPECT_EQ(sequenceOf(b.sent[0]), 0x0001);
    EXPECT_EQ(sequenceOf(b.sent[1]), 0x8002);
    EXPECT_EQ(b.sent[1][7], 5);
    EXPECT_EQ(recordsend::summary(run, QStringLiteral(" grup towarowych.")),
              QStringLiteral(" Zaprogramowano 2 grup towarowych."));
    // All used slots when no numbers are given: group 1 of the new database too.
    b.sent.clear();
    EXPECT_EQ(recordsend::sendAll(b.link, b.ui, base.db(), recordsend::groups(), {}, 0).programmed,
              3);
    EXPECT_EQ(b.sent.size(), 3);
}

TEST(RecordSend, RefusedRecordIsNotedAndTheRunGoesOn)
{
    Base base;
    ASSERT_TRUE(base.ok);
    putGroup(base.db(), 2, "Napoje");
    putGroup(base.db(), 3, "Napoje");
    putGroup(base.db(), 4, "Chemia");
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    const recordsend::RunResult run =
        recordsend::sendAll(b.link, b.ui, base.db(), recordsend::groups(), {2, 3, 4}, 0);
    EXPECT_EQ(run.programmed, 2);
    ASSERT_EQ(run.refused.size(), 1);
    EXPECT_EQ(run.refused[0].number, 3);
    EXPECT_EQ(run.refused[0].deviceError, 40);
    EXPECT_FALSE(run.complete());
    EXPECT_EQ(run.failure, -1);
}

TEST(RecordSend, BusyInARunWaitsAsTheTableSays)
{
    Base base;
    ASSERT_TRUE(base.ok);
    putGroup(base.db(), 2, "Napoje");
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    emu::FaultPlan plan;
    plan.busy = {1, 2};
    b.reg.setFaults(plan);
    const recordsend::RunResult run =
        recordsend::sendAll(b.link, b.ui, base.db(), recordsend::groups(), {}, 0);
    EXPECT_EQ(run.programmed, 2);
    EXPECT_TRUE(b.ui.waits.contains(1000)); // first frame
    EXPECT_TRUE(b.ui.waits.contains(450));  // the next ones
}

TEST(RecordSend, StopMakesTheNextFrameTheLast)
{
    Base base;
    ASSERT_TRUE(base.ok);
    for (int n = 2; n <= 6; ++n)
        putGroup(base.db(), n, QByteArray("Grupa ").append(char('0' + n)).constData());
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    b.ui.stopAfterEvents = 2;
    const recordsend::RunResult run =
        recordsend::sendAll(b.link, b.ui, base.db(), recordsend::groups(), {}, 0);
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(run.programmed, 2);
    ASSERT_EQ(b.sent.size(), 2);
    EXPECT_EQ(sequenceOf(b.sent[1]), 0x8002);
    EXPECT_FALSE(b.link.stopRequest);
}

// A record whose answer the line lost goes again as a new run; after five silences in a row
// the run gives up and says so.
TEST(RecordSend, SilenceSendsTheRecordAgainFiveTimesAtMost)
{
    for (const bool recovers : {true, false}) {
        Base base;
        ASSERT_TRUE(base.ok);
        putGroup(base.db(), 2, "Napoje");
        RegisterBench b;
        ASSERT_TRUE(b.opened);
        emu::FaultPlan plan;
        plan.silent = recovers ? QSet<int>{1} : QSet<int>{1, 2, 3, 4, 5};
        b.reg.setFaults(plan);
        const recordsend::RunResult run =
            recordsend::sendAll(b.link, b.ui, base.db(), recordsend::groups(), {}, 0);
        // The base's own group 1 and group 2.
        EXPECT_EQ(run.programmed, recovers ? 2 : 0);
        QList<int> sequences;
        for (const QByteArray& frame : b.sent)
            sequences << sequenceOf(frame);
        EXPECT_EQ(sequences, (recovers ? QList<int>{0x0001, 0x0001, 0x8002}
                                       : QList<int>{0x0001, 0x0001, 0x0001, 0x0001, 0x0001}));
        EXPECT_EQ(recordsend::summary(run, QStringLiteral(" grup towarowych.")),
                  recovers ? QStringLiteral(" Zaprogramowano 2 grup towarowych. Ramki wysłane "
                                            "ponownie: 1.")
                           : QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano 0 grup "
                                            "towarowych. Kasa nie odpowiedziała poprawnie na 5 "
                                            "kolejnych prób wysłania tego samego rekordu. Ramki "
                                            "wysłane ponownie: 4."));
    }
}

TEST(RecordSend, BusyWaitsOfEachTable)
{
    const struct {
        recordsend::Source source;
        quint16 sequence;
        int ms;
    } cases[] = {
        {recordsend::groups(), 1, 1000},         {recordsend::groups(), 0x8002, 450},
        {recordsend::packaging(), 0x8001, 1000}, {recordsend::packaging(), 7, 450},
        {recordsend::cashiers(), 0x0100, 2300},  {recordsend::cashiers(), 1, 1700},
        {recordsend::discounts(), 0x00FF, 390},  {recordsend::discounts(), 0x0100, 1000},
        {recordsend::discounts(), 0x0001, 390},  {recordsend::paymentForms(), 1, 1000},
        {recordsend::paymentForms(), 2, 390},    {recordsend::currencies(), 0x0101, 1000},
        {recordsend::currencies(), 3, 390},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.source.pacing.busyWaitMs(c.sequence), c.ms) << c.sequence;
    // Discounts wait longer when the next sequence value's low byte is 1.
    EXPECT_EQ(recordsend::discounts().pacing.busyWaitMs(0x8000), 1000);
}

} // namespace

#include "fakeui.h"
#include "reports/reportrun.h"

#include <gtest/gtest.h>

using namespace reports;

namespace {

// A register that records what the run asked of it and answers from a script.
struct ScriptedLink : ReportLink {
    QStringList calls;
    QList<QByteArray> sent;
    bool drainSilent = true;
    bool sendOk = true;
    int waitResult = 0;

    bool drainInput(TransferUi& ui) override
    {
        calls << QStringLiteral("drain");
        if (!drainSilent)
            ui.showMessage(QStringLiteral("Wystąpił błąd komunikacji"));
        return drainSilent;
    }
    bool send(const QByteArray& frame, TransferUi& ui) override
    {
        calls << QStringLiteral("send");
        if (!sendOk) {
            ui.showMessage(QStringLiteral("Nie wybrano portu komunikacyjnego."));
            return false;
        }
        sent << frame;
        return true;
    }
    int reportConfirmationWait(TransferUi&) override
    {
        calls << QStringLiteral("wait");
        return waitResult;
    }
};

} // namespace

TEST(ReportRun, WaitingKindsDrainSendAndWait)
{
    for (Kind kind : {Kind::Periodic, Kind::Sales, Kind::BaseWithVat, Kind::FullBase}) {
        ScriptedLink link;
        FakeUi ui;
        ReportParams p;
        p.monthText = QStringLiteral("11-2026");
        link.waitResult = 3;
        const RunOutcome r = runReport(kind, p, 1, link, ui);
        EXPECT_EQ(r.result, RunResult::Sent);
        EXPECT_EQ(r.confirmation, 3);
        EXPECT_EQ(link.calls, (QStringList{QStringLiteral("drain"), QStringLiteral("send"),
                                           QStringLiteral("wait")}));
        EXPECT_TRUE(ui.messages.isEmpty());
    }
}

TEST(ReportRun, OtherKindsOnlySend)
{
    for (Kind kind : {Kind::Cashier, Kind::ShiftSales, Kind::InactiveArticles, Kind::QuickKeys}) {
        ScriptedLink link;
        FakeUi ui;
        const RunOutcome r = runReport(kind, {}, 1, link, ui);
        EXPECT_EQ(r.result, RunResult::Sent);
        EXPECT_EQ(r.confirmation, -1);
        EXPECT_EQ(link.calls, QStringList{QStringLiteral("send")});
    }
    ScriptedLink link;
    FakeUi ui;
    ReportParams p;
    p.startYear = p.endYear = QStringLiteral("2026");
    EXPECT_EQ(runReport(Kind::GroupTurnover, p, 1, link, ui).result, RunResult::Sent);
    EXPECT_EQ(link.calls, (QStringList{QStringLiteral("drain"), QStringLiteral("send")}));
}

TEST(ReportRun, FailedCheckShowsItsMessageAndSendsNothing)
{
    ScriptedLink link;
    FakeUi ui;
    ReportParams p;
    p.scope = Scope::Articles;
    p.firstArticle = QStringLiteral("10");
    p.lastArticle = QStringLiteral("5");
    const RunOutcome r = runReport(Kind::Sales, p, 1, link, ui);
    EXPECT_EQ(r.result, RunResult::Refused);
    EXPECT_EQ(link.calls, QStringList{QStringLiteral("drain")});
    EXPECT_EQ(ui.messages,
              QStringList{QStringLiteral(
                  "Numer towaru początkowego nie może być większy niż numer towaru końcowego")});
}

TEST(ReportRun, SendFailureSkipsTheWait)
{
    ScriptedLink link;
    link.sendOk = false;
    FakeUi ui;
    ReportParams p;
    p.monthText = QStringLiteral("11-2026");
    const RunOutcome r = runReport(Kind::Periodic, p, 1, link, ui);
    EXPECT_EQ(r.result, RunResult::NotSent);
    EXPECT_EQ(link.calls, (QStringList{QStringLiteral("drain"), QStringLiteral("send")}));
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Nie wybrano portu komunikacyjnego.")});
}

TEST(ReportRun, NoisyLineIsReportedAndTheOrderStillGoesOut)
{
    ScriptedLink link;
    link.drainSilent = false;
    FakeUi ui;
    const RunOutcome r = runReport(Kind::FullBase, {}, 1, link, ui);
    EXPECT_EQ(r.result, RunResult::Sent);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Wystąpił błąd komunikacji")});
    ASSERT_EQ(link.sent.size(), 1);
    EXPECT_EQ(uint8_t(link.sent[0][6]), 0x62);
}

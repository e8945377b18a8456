#include "registerbench.h"

#include "cliui.h"
#include "command.h"
#include "tabletarget.h"

#include "database/databasesession.h"
#include "tables/grouprecord.h"
#include "tables/vatrates.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Base {
    Base()
    {
        session = std::make_unique<DatabaseSession>(dir.filePath(DatabaseSession::WorkingCopyName));
        ok = session->startUp().ok;
    }
    QTemporaryDir dir;
    std::unique_ptr<DatabaseSession> session;
    bool ok = false;
};

TEST(RegisterTargets, EveryTableSendsAndNoneReads)
{
    for (const char* name :
         {"cashiers", "discounts", "payments", "currencies", "vat", "packaging", "groups"}) {
        const TableTarget* t = TableTargets::find(QString::fromLatin1(name));
        ASSERT_NE(t, nullptr) << name;
        EXPECT_NE(t->send, nullptr) << name;
        EXPECT_EQ(t->read, nullptr) << name;
    }
}

TEST(RegisterTargets, GroupsOfTheFileReachTheRegister)
{
    Base base;
    ASSERT_TRUE(base.ok);
    GroupRecord g;
    g.number = 4;
    g.name = QStringLiteral("Napoje");
    storeRecord(base.session->database(), layout::Groups, 4, g);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    CliContext context;
    const TableTarget* t = TableTargets::find(QStringLiteral("groups"));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->send(*base.session, {}, context, b.link, b.ui), ExitOk);
    EXPECT_EQ(b.sent.size(), 2);
    EXPECT_EQ(b.reg.image(emu::RegisterModel::Groups, 4).mid(1, 6), QByteArray("Napoje"));
    // Only the listed number, and a list that names no record of the table is refused.
    b.sent.clear();
    EXPECT_EQ(t->send(*base.session, {4}, context, b.link, b.ui), ExitOk);
    EXPECT_EQ(b.sent.size(), 1);
    EXPECT_EQ(t->send(*base.session, {25}, context, b.link, b.ui), ExitUsage);
}

TEST(RegisterTargets, CashierRefusedByTheRegisterFailsTheRun)
{
    Base base;
    ASSERT_TRUE(base.ok);
    // A right byte of 2 is refused by the register (device error 20).
    QByteArray cashier = base.session->database().readBytes(layout::Cashiers.offsetOf(1), 33);
    cashier[26] = 2;
    base.session->database().writeRecord(layout::Cashiers.offsetOf(1), cashier);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    CliContext context;
    EXPECT_EQ(TableTargets::find(QStringLiteral("cashiers"))
                  ->send(*base.session, {}, context, b.link, b.ui),
              ExitFailure);
}

TEST(RegisterTargets, VatRatesGoAsOneFrame)
{
    Base base;
    ASSERT_TRUE(base.ok);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    CliContext context;
    EXPECT_EQ(
        TableTargets::find(QStringLiteral("vat"))->send(*base.session, {}, context, b.link, b.ui),
        ExitOk);
    ASSERT_EQ(b.sent.size(), 1);
    EXPECT_EQ(b.sent[0].size(), 31);
    // The new database's rates: A 2300, B 800, C 0, D 500, E/F inactive, G exempt.
    const QByteArray rates("A\xFC\x08"
                           "B\x20\x03"
                           "C\x00\x00"
                           "D\xF4\x01"
                           "E\xFE\xFF"
                           "F\xFE\xFF"
                           "G\xFF\xFF",
                           21);
    EXPECT_EQ(b.reg.vatRates(), rates);
    EXPECT_EQ(b.sent[0].mid(7, 21), rates);
}

} // namespace

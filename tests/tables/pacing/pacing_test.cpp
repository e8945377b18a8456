// The pauses of the key runs: exactly the register's pauses with fast transfers off, none
// with them on, and then the skipped time is added to the next answer's read.
#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "link/link.h"
#include "tables/functionkeys.h"
#include "tables/quickkeys.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <numeric>

#include "../../link/fakeline.h"
#include "fakeui.h"

namespace {

// The register's acknowledgement 0 of a frame, with its check byte worked out here.
QByteArray accepted()
{
    QByteArray f = bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x06, 0x00, 0x00, 0x03});
    char x = 0;
    for (int i = 1; i <= 7; ++i)
        x ^= f[i];
    f[8] = x;
    return f;
}

struct Rig {
    // `drainPerKey`: the run empties the line before every key (an empty read ends that).
    Rig(bool fast, bool drainPerKey)
    {
        if (!drainPerKey)
            script.reads << QByteArray();
        for (int i = 0; i < 10; ++i) {
            if (drainPerKey)
                script.reads << QByteArray();
            script.reads << accepted();
        }
        script.waitReadable = 1;
        link.port = 1;
        link.fastTransfers = fast;
        ok = link.openPort(ui, true) == 0 &&
             db.load(dir.filePath(QStringLiteral("b.bdt")),
                     DatabaseSession::newWorkingCopy(QStringLiteral("PLN")));
    }
    qint64 extraReadTime() const
    {
        qint64 extra = 0;
        for (const LineTimeouts& t : script.readTimeouts)
            if (t.readConstant >= 1000) // an answer's read: every send leaves 1000 ms of its own
                extra += t.readConstant - 1000;
        return extra;
    }
    QTemporaryDir dir;
    FakeLineScript script;
    Link link{fakeFactory(script)};
    FakeUi ui;
    RegisterDatabase db;
    bool ok = false;
};

TEST(KeyRunPacing, QuickKeysPause300MsAfterEveryKeyUnlessFast)
{
    {
        Rig rig(false, false);
        ASSERT_TRUE(rig.ok);
        EXPECT_EQ(quickkeys::sendAllKeys(rig.link, rig.ui, rig.db, 1), 10);
        EXPECT_EQ(rig.ui.waits, QList<int>(10, 300));
        EXPECT_EQ(rig.extraReadTime(), 0);
    }
    {
        Rig rig(true, false);
        ASSERT_TRUE(rig.ok);
        EXPECT_EQ(quickkeys::sendAllKeys(rig.link, rig.ui, rig.db, 1), 10);
        EXPECT_TRUE(rig.ui.waits.isEmpty());
        // Nine pauses came before a later key's answer; the last one is still owed.
        EXPECT_EQ(rig.extraReadTime(), 9 * 300);
        EXPECT_EQ(rig.link.answerCreditMs(), 300);
    }
}

TEST(KeyRunPacing, FunctionKeysPause650MsAfterEveryKeyUnlessFast)
{
    std::array<int, 10> positions{};
    positions.fill(1);
    {
        Rig rig(false, true);
        ASSERT_TRUE(rig.ok);
        EXPECT_EQ(functionkeys::sendAllKeys(rig.link, rig.ui, 2, positions), 10);
        EXPECT_EQ(rig.ui.waits, QList<int>(10, 650));
    }
    {
        Rig rig(true, true);
        ASSERT_TRUE(rig.ok);
        EXPECT_EQ(functionkeys::sendAllKeys(rig.link, rig.ui, 2, positions), 10);
        EXPECT_TRUE(rig.ui.waits.isEmpty());
        EXPECT_EQ(rig.extraReadTime(), 9 * 650);
    }
}

} // namespace

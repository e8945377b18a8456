// The text and key transfers against the register emulator over a pseudo-terminal.
#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "emulator/emulatorhost.h"
#include "link/answers.h"
#include "link/link.h"
#include "link/portmap.h"
#include "tables/clock.h"
#include "tables/functionkeys.h"
#include "tables/halo.h"
#include "tables/managerpassword.h"
#include "tables/nip.h"
#include "tables/quickkeys.h"
#include "tables/receipttext.h"
#include "tables/units.h"

#include "fakeui.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Bench {
    Bench() : reg(emu::Model::DunoBis, 1), host(reg)
    {
        started = host.start();
        portmap::setPortOverride(44, host.devicePath());
        link.port = 44;
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

receipt::Paragraph para(const QString& text, const QString& largeMask = {})
{
    receipt::Paragraph p;
    for (int i = 0; i < text.size(); ++i)
        p.text.append({text[i], i < largeMask.size() && largeMask[i] == u'L'});
    return p;
}

} // namespace

TEST(TextsAgainstEmulator, HeaderProgrammedAndReadBack)
{
    Bench b;
    ASSERT_TRUE(b.opened) << b.ui.messages.join(u'\n').toStdString();
    const receipt::Block block = receipt::buildBlock(
        {para(QStringLiteral("SKLEP ŻABKA")), para(QStringLiteral("AB"), QStringLiteral("LL"))},
        receipt::HeaderLines, {false, true});
    ASSERT_TRUE(answers::confirmed(receipt::sendHeader(b.link, b.ui, block.encode())))
        << b.ui.messages.join(u'\n').toStdString();
    {
        auto lock = b.host.lock();
        EXPECT_EQ(b.reg.header(), block.encode());
    }
    const auto lines = receipt::readHeader(b.link, b.ui);
    ASSERT_TRUE(lines) << b.ui.messages.join(u'\n').toStdString();
    ASSERT_EQ(lines->size(), 6);
    // "SKLEP ŻABKA" is 11 bytes: 15 spaces in front, 16 behind.
    EXPECT_EQ(lines->at(0), QString(15, u' ') + QStringLiteral("SKLEP ŻABKA") + QString(16, u' '));
    EXPECT_EQ(lines->at(1),
              QString(19, u' ') + QStringLiteral("\u0001A\u0001B") + QString(19, u' '));
    for (int i = 2; i < 6; ++i)
        EXPECT_TRUE(lines->at(i).isEmpty());
    EXPECT_TRUE(b.ui.messages.isEmpty()) << b.ui.messages.join(u'\n').toStdString();
}

TEST(TextsAgainstEmulator, FooterHaloUnitsNipClockPassword)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    const QByteArray footer =
        receipt::buildBlock({para(QStringLiteral("Dziękujemy"))}, receipt::FooterLines, {})
            .encode();
    // Each send awaits the register's answer here: an answer still on its way would otherwise
    // arrive in the middle of the next command's answer.
    EXPECT_TRUE(answers::confirmed(receipt::sendFooter(b.link, b.ui, footer, false, true)));

    HaloTable t;
    for (int k = 0; k < 10; ++k)
        t.amounts[size_t(k)] = 1250 * k;
    b.link.drainInput(b.ui);
    EXPECT_TRUE(answers::confirmed(halo::send(b.link, b.ui, t)));

    EXPECT_TRUE(answers::confirmed(units::send(
        b.link, b.ui, {QStringLiteral("kg"), QStringLiteral("m"), QStringLiteral("szt")}, true)));
    const auto names = units::read(b.link, b.ui);
    ASSERT_TRUE(names) << b.ui.messages.join(u'\n').toStdString();
    EXPECT_EQ(*names,
              (QStringList{QStringLiteral("kg "), QStringLiteral("m  "), QStringLiteral("szt")}));

    EXPECT_EQ(nip::program(b.link, b.ui, QStringLiteral("12345678")), nip::Result::Accepted);
    EXPECT_TRUE(answers::confirmed(
        regclock::set(b.link, b.ui, QDateTime(QDate(2005, 3, 7), QTime(14, 5, 9)))));
    EXPECT_EQ(
        managerpassword::send(b.link, b.ui, QStringLiteral("1"), QStringLiteral("abc"), false), 0);
    // The form awaits nothing; the acknowledgement is read here so that the checks below do not
    // race the register thread.
    EXPECT_TRUE(answers::confirmed(answers::confirmationWait(b.link, b.ui)));

    auto lock = b.host.lock();
    EXPECT_EQ(b.reg.footer(), footer);
    EXPECT_EQ(b.reg.halo(), t.encode().mid(4));
    EXPECT_EQ(b.reg.units(), QByteArray("kg m  szt"));
    EXPECT_EQ(b.reg.nip(), QStringLiteral("1234567800"));
    EXPECT_EQ(b.reg.clock(), QByteArray("\xD5\x07\x03\x07\x0E\x05\x09\x00", 8));
    EXPECT_EQ(b.reg.managerPassword(), QByteArray("ab       c"));
}

TEST(TextsAgainstEmulator, QuickAndFunctionKeys)
{
    Bench b;
    ASSERT_TRUE(b.opened);
    QTemporaryDir dir;
    DatabaseSession session(dir.filePath(DatabaseSession::WorkingCopyName));
    ASSERT_TRUE(session.createWorkingDatabase().ok);
    QuickKeyRecord r;
    r.addArticle(4, 3, 17, 5000, true);
    quickkeys::store(session.database(), 4, 3, r);
    EXPECT_EQ(quickkeys::sendAllKeys(b.link, b.ui, session.database(), 4), 10)
        << b.ui.messages.join(u'\n').toStdString();
    {
        auto lock = b.host.lock();
        EXPECT_EQ(b.reg.quickKey(4, 3), r.encode().mid(2));
    }
    EXPECT_TRUE(answers::confirmed(quickkeys::sendOneKey(b.link, b.ui, session.database(), 4, 3)));

    EXPECT_TRUE(functionkeys::sendKey(b.link, b.ui, 2, 10, 16));
    std::array<int, 10> positions{};
    EXPECT_EQ(functionkeys::sendAllKeys(b.link, b.ui, 2, positions), 10);
    // A cashier the register does not know: device error shown, the run stops at once.
    EXPECT_FALSE(functionkeys::sendKey(b.link, b.ui, 11, 1, 0)); // refused before sending
    EXPECT_EQ(functionkeys::sendSalesFunction(b.link, b.ui, 1, 2, 0, 1), 0);
    b.link.drainInput(b.ui);
}

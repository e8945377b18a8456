// The settings form driven as the user would, against the register emulator.
#include "app/appsession.h"
#include "database/databasesession.h"
#include "emulator/emulatorhost.h"
#include "fakeui.h"
#include "link/link.h"
#include "link/portmap.h"
#include "service/forms/tdodatkoweustawienia.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(SettingsForm, SendAndRefresh)
{
    QTemporaryDir dir;
    DatabaseSession db{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    FakeUi ui;
    AppSession app{db, ui};
    emu::RegisterModel reg;
    emu::EmulatorHost host{reg};
    ASSERT_TRUE(host.start());
    portmap::setPortOverride(47, host.devicePath());
    Link link;
    link.port = 47;
    ASSERT_EQ(link.openPort(ui, true), 0);

    TDodatkoweUstawienia f(app);
    f.setLink(link);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Dodatkowe ustawienia"));
    EXPECT_EQ(f.choice(0)->currentIndex(), 0);
    EXPECT_EQ(f.number(3)->text(), QString());
    // empty number fields: nothing is sent
    f.Button1Click();
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("'' nie jest poprawną liczbą całkowitą.")});
    EXPECT_EQ(reg.framesReceived(), 0);
    ui.messages.clear();

    f.choice(0)->setCurrentIndex(8); // "9" goes out as 8
    for (int i : {3, 4, 7, 15, 16})
        f.number(i)->setText(QStringLiteral("255"));
    f.number(3)->setText(QStringLiteral("300"));
    f.number(7)->setText(QStringLiteral("0"));
    f.Button1Click();
    EXPECT_TRUE(ui.messages.isEmpty());
    const QByteArray s = reg.settings();
    EXPECT_EQ(s[0], 8);
    EXPECT_EQ(quint8(s[3]), 30); // the edit takes two characters: "30"
    EXPECT_EQ(quint8(s[4]), 255);
    EXPECT_EQ(s.mid(7, 4), QByteArray(4, '\0'));

    TDodatkoweUstawienia g(app);
    g.setLink(link);
    g.Button2Click();
    EXPECT_EQ(g.choice(0)->currentText(), QStringLiteral("9"));
    EXPECT_EQ(g.number(3)->text(), QStringLiteral("30"));
    EXPECT_EQ(g.number(4)->text(), QStringLiteral("255"));
    EXPECT_EQ(g.number(7)->text(), QStringLiteral("0"));
    link.closePort();
    portmap::clearPortOverrides();
}

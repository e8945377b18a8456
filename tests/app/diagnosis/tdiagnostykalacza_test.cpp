#include "app/appsession.h"
#include "app/forms/tmenuglowne.h"
#include "database/databasesession.h"
#include "link/forms/tdiagnostykalacza.h"
#include "link/forms/twyszukiwaniekasyrs.h"

#include "../../link/fakehosttree.h"
#include "../../link/scanworld.h"
#include "fakeui.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

const QString NothingFound =
    QStringLiteral("Nie wykryto żadnej kasy podłączonej do tego komputera.");

QStringList row(const QTableWidget* grid, int r)
{
    QStringList cells;
    for (int c = 0; c < grid->columnCount(); ++c)
        cells << grid->item(r, c)->text();
    return cells;
}

} // namespace

// A CH340 taken by brltty, a register on ttyACM0 that ModemManager talks to, and a user
// outside dialout: every problem with its commands, selectable; put right, "Odśwież" says so.
TEST(TDiagnostykaLacza, ShowsDevicesAndRemediesAndRefreshes)
{
    FakeHostTree tree;
    tree.groupOfNodes(QStringLiteral("dialout"), QString());
    tree.usbTty(QStringLiteral("ttyUSB0"), QStringLiteral("ch341-uart"), QStringLiteral("1a86"),
                QStringLiteral("7523"), QStringLiteral("USB Serial"),
                QStringLiteral("usb-1a86_USB_Serial-if00-port0"));
    tree.usbTty(QStringLiteral("ttyACM0"), QStringLiteral("cdc_acm"), QStringLiteral("2fe3"),
                QStringLiteral("0100"), QStringLiteral("Vorn Duno"));
    tree.process(812, "brltty");
    tree.process(640, "ModemManager");
    tree.file(QStringLiteral("lib/udev/rules.d/85-brltty.rules"), "RUN+=\"brltty-device\"\n");
    diagnosis::User user;
    user.uid = tree.nodeUid() + 1000;
    user.gid = tree.nodeGid() + 1;
    user.name = QStringLiteral("kasjer");

    QTemporaryDir dir;
    DatabaseSession db{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    FakeUi ui;
    AppSession app{db, ui};
    TDiagnostykaLacza w(app);
    w.setRoots(diagnosis::Roots::under(tree.dir.path()));
    w.setUser(user);
    w.setConfigured({});
    w.show(); // the diagnosis runs as the window opens
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Diagnostyka łącza"));

    ASSERT_EQ(w.SGUrzadzenia->rowCount(), 2);
    EXPECT_EQ(row(w.SGUrzadzenia, 0),
              (QStringList{QStringLiteral("COM 33"), QStringLiteral("/dev/ttyUSB0"),
                           QStringLiteral("ch341-uart"), QStringLiteral("1a86:7523"),
                           QStringLiteral("USB Serial"), QStringLiteral("dialout"),
                           QStringLiteral("rw-rw----"),
                           QStringLiteral("usb-1a86_USB_Serial-if00-port0")}));
    EXPECT_EQ(row(w.SGUrzadzenia, 1)[0], QStringLiteral("COM 65"));

    const QString text = w.MWyniki->toPlainText();
    for (const QString& command :
         {QStringLiteral("sudo usermod -aG dialout kasjer"),
          QStringLiteral("sudo systemctl stop brltty-udev.service brltty.service"),
          QStringLiteral("sudo systemctl mask brltty-udev.service"),
          QStringLiteral("sudo apt remove brltty"),
          QStringLiteral("ATTRS{idVendor}==\"2fe3\", ATTRS{idProduct}==\"0100\", "
                         "ENV{ID_MM_DEVICE_IGNORE}=\"1\""),
          QStringLiteral("sudo udevadm control --reload")})
        EXPECT_TRUE(text.contains(QStringLiteral("\n") + command)) << command.toStdString();
    EXPECT_TRUE(w.MWyniki->isReadOnly());
    EXPECT_TRUE(w.MWyniki->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_TRUE(w.MWyniki->textInteractionFlags() & Qt::TextSelectableByKeyboard);

    user.groups = {tree.nodeGid()};
    w.setUser(user);
    QFile::remove(tree.path(QStringLiteral("proc/812/comm")));
    QFile::remove(tree.path(QStringLiteral("proc/640/comm")));
    w.BOdswiez->click();
    EXPECT_EQ(w.MWyniki->toPlainText(), diagnosis::NothingWrong);
    EXPECT_EQ(w.SGUrzadzenia->rowCount(), 2);
}

// The diagnosis is in the connection menu, and where a search finds no register the program
// offers it: the connect button after its message, the scan dialog in its message.
TEST(TDiagnostykaLacza, OfferedWhenNoRegisterIsFound)
{
    QTemporaryDir dir;
    FakeUi ui;
    ScanWorld world;
    world.open = {2};
    Link link{world.factory()};
    TMenuGlowne w(ui, dir.path(), dir.filePath(QStringLiteral("BDTemp.bdt")), nullptr, &link);
    QStringList shown;
    // Each dialog is recorded instead of shown; the scan dialog's search is run.
    w.runDialog = [&](QDialog& d) {
        shown << d.windowTitle();
        if (auto* scan = qobject_cast<TWyszukiwanieKasyRS*>(&d))
            scan->BWyszukaj->click();
    };

    // The connection menu reaches it too.
    QAction* item = nullptr;
    for (QAction* menu : w.menuBar()->actions())
        if (menu->menu() && menu->text() == QStringLiteral("Komunikacja"))
            for (QAction* a : menu->menu()->actions())
                if (a->text() == QStringLiteral("Diagnostyka łącza"))
                    item = a;
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    EXPECT_EQ(shown, QStringList{QStringLiteral("Diagnostyka łącza")});

    shown.clear();
    ui.answers = {TransferUi::Answer::Yes};
    // The connect button's search: one box that says nothing was found and offers more.
    EXPECT_FALSE(w.automaticSearch());
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(ui.questions,
              QStringList{NothingFound + QStringLiteral(" Uruchomić diagnostykę łącza?")});
    EXPECT_EQ(shown, QStringList{QStringLiteral("Diagnostyka łącza")});

    ui.messages.clear();
    ui.questions.clear();
    shown.clear();
    ui.answers = {TransferUi::Answer::Yes};
    w.showRegisterScan();
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(ui.questions,
              QStringList{NothingFound + QStringLiteral(" Uruchomić diagnostykę łącza?")});
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Wyszukiwanie kasy"),
                                  QStringLiteral("Diagnostyka łącza")}));

    // Answered No, nothing more opens.
    shown.clear();
    w.showRegisterScan();
    EXPECT_EQ(shown, QStringList{QStringLiteral("Wyszukiwanie kasy")});
}

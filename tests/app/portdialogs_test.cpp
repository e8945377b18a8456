#include "app/appsession.h"
#include "app/forms/guitransferui.h"
#include "database/databasesession.h"
#include "link/forms/tpokazbuforodb.h"
#include "link/forms/tustawieniatrans.h"
#include "link/forms/twyszukiwaniekasyrs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "../link/scanworld.h"
#include "fakeui.h"

using S = OperatingState;

namespace {

struct Dialogs : ::testing::Test {
    QTemporaryDir dir;
    DatabaseSession db{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    FakeUi ui;
    AppSession app{db, ui};
    ScanWorld world;
    Link link{world.factory()};
    void SetUp() override { app.setState(S::OfflineWithDatabase); }
};

QStringList texts(std::initializer_list<const char16_t*> list)
{
    QStringList out;
    for (const char16_t* t : list)
        out << QString::fromUtf16(t);
    return out;
}

QStringList items(QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

} // namespace

TEST_F(Dialogs, PortSettingsStartValuesAndLists)
{
    TUstawieniaTrans d(app, link);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Parametry transmisji"));
    EXPECT_EQ(d.CBNrPortu->count(), 100);
    EXPECT_EQ(d.CBNrPortu->itemText(0), QStringLiteral("Brak"));
    EXPECT_EQ(d.CBNrPortu->itemText(3), QStringLiteral("COM 3 (scan:3)"));
    EXPECT_EQ(d.CBNrPortu->currentIndex(), 0); // no port chosen
    EXPECT_EQ(items(d.CBPredkosc),
              texts({u"110", u"300", u"600", u"1200", u"2400", u"4800", u"9600", u"14400", u"19200",
                     u"38400", u"57600", u"115200", u"128000", u"256000"}));
    EXPECT_EQ(d.CBPredkosc->currentIndex(), 11); // 115200 is the twelfth entry
    EXPECT_EQ(items(d.CBBityDanych), texts({u"5", u"6", u"7", u"8"}));
    EXPECT_EQ(d.CBBityDanych->currentText(), QStringLiteral("8"));
    EXPECT_EQ(items(d.CBParzystosc),
              texts({u"Brak ", u"Nieparzyste", u"Parzyste", u"Znacznik", u"Odstęp"}));
    EXPECT_EQ(items(d.CBBityStopu), texts({u"1", u"1.5", u"2"}));
    EXPECT_EQ(d.CBAdres->currentText(), QStringLiteral("1"));
    EXPECT_FALSE(d.CBXonXoff->isChecked());
    EXPECT_FALSE(d.CBRtsCts->isChecked());
    EXPECT_FALSE(d.CBSzybkie->isChecked());
    EXPECT_EQ(d.CBTylkoDostepne->text(), QStringLiteral("Pokazuj tylko dostępne porty"));
    EXPECT_EQ(d.BZastosuj->text(), QStringLiteral("&Zastosuj"));
    EXPECT_EQ(d.BZamknij->text(), QStringLiteral("&Zamknij"));
}

TEST_F(Dialogs, PortSettingsBrakDisablesTheLineSettings)
{
    TUstawieniaTrans d(app, link);
    for (QWidget* w : std::initializer_list<QWidget*>{d.GBUstawienia, d.CBPredkosc, d.CBBityDanych,
                                                      d.CBParzystosc, d.CBBityStopu, d.CBAdres,
                                                      d.CBXonXoff, d.CBRtsCts})
        EXPECT_FALSE(w->isEnabled());
    d.CBNrPortu->setCurrentIndex(4);
    EXPECT_TRUE(d.CBPredkosc->isEnabled());
    EXPECT_TRUE(d.GBUstawienia->isEnabled());
    d.CBNrPortu->setCurrentIndex(0);
    EXPECT_FALSE(d.CBPredkosc->isEnabled());
}

TEST_F(Dialogs, PortSettingsLoadTheLinkState)
{
    link.port = 12;
    link.line.baud = 9600;
    link.line.dataBits = 6;
    link.line.parity = 3;
    link.line.stopBits = 1;
    link.line.xonXoff = true;
    {
        TUstawieniaTrans d(app, link);
        EXPECT_EQ(d.CBNrPortu->currentIndex(), 12);
        EXPECT_EQ(d.CBPredkosc->currentText(), QStringLiteral("9600"));
        EXPECT_EQ(d.CBBityDanych->currentText(), QStringLiteral("6"));
        EXPECT_EQ(d.CBParzystosc->currentText(), QStringLiteral("Znacznik"));
        EXPECT_EQ(d.CBBityStopu->currentText(), QStringLiteral("1.5"));
        EXPECT_TRUE(d.CBXonXoff->isChecked());
        EXPECT_TRUE(d.CBPredkosc->isEnabled());
    }
    // A rate that is not listed leaves the selection as it was.
    link.line.baud = 12345;
    TUstawieniaTrans d(app, link);
    EXPECT_EQ(d.CBPredkosc->currentText(), QStringLiteral("115200"));
}

TEST_F(Dialogs, PortSettingsApplyStoresWhatWasChosen)
{
    world.open = {5};
    TUstawieniaTrans d(app, link);
    d.CBNrPortu->setCurrentIndex(5);
    d.CBPredkosc->setCurrentIndex(d.CBPredkosc->findText(QStringLiteral("19200")));
    d.CBBityDanych->setCurrentIndex(2); // "7"
    d.CBParzystosc->setCurrentIndex(4); // "Odstęp"
    d.CBBityStopu->setCurrentIndex(2);  // "2"
    d.CBRtsCts->setChecked(true);
    d.CBAdres->setCurrentIndex(2); // "3"
    d.CBSzybkie->setChecked(true);
    d.BZastosuj->click();
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_EQ(link.port, 5);
    EXPECT_EQ(link.line.baud, 19200u);
    EXPECT_EQ(link.line.dataBits, 7);
    EXPECT_EQ(link.line.parity, 4);
    EXPECT_EQ(link.line.stopBits, 2);
    EXPECT_FALSE(link.line.xonXoff);
    EXPECT_TRUE(link.line.rtsCts);
    EXPECT_EQ(link.address, 3);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(app.state(), S::OnlineWithDatabase);
    EXPECT_TRUE(app.fastTransfers());
    EXPECT_TRUE(link.fastTransfers);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(Dialogs, PortSettingsOnlyAvailablePorts)
{
    world.open = {3};
    app.setState(S::OnlineWithDatabase);
    TUstawieniaTrans d(app, link);
    QTest::mouseClick(d.CBTylkoDostepne, Qt::LeftButton, {},
                      QPoint(4, d.CBTylkoDostepne->height() / 2));
    ASSERT_TRUE(d.CBTylkoDostepne->isChecked());
    EXPECT_EQ(items(d.CBNrPortu),
              (QStringList{QStringLiteral("Brak"), QStringLiteral("COM 3 (scan:3)")}));
    EXPECT_EQ(d.CBNrPortu->currentIndex(), 1);
    EXPECT_TRUE(d.CBPredkosc->isEnabled());
    EXPECT_EQ(app.state(), S::OfflineWithDatabase); // ticking the box closes the port
    EXPECT_EQ(link.port, Link::NoPort);             // as it was before the probe
    d.BZastosuj->click();
    EXPECT_EQ(link.port, 3); // the number in the entry, not its position 1
    EXPECT_EQ(world.opened.last(), 3);
    EXPECT_EQ(app.state(), S::OnlineWithDatabase);

    // Clearing the box lists every port again.
    TUstawieniaTrans again(app, link);
    again.CBTylkoDostepne->setChecked(true);
    again.CBTylkoDostepneClick();
    again.CBTylkoDostepne->setChecked(false);
    again.CBTylkoDostepneClick();
    EXPECT_EQ(again.CBNrPortu->count(), 100);
    EXPECT_EQ(again.CBNrPortu->currentIndex(), 1);
}

TEST_F(Dialogs, PortSettingsWithNoAvailablePortSelectBrak)
{
    TUstawieniaTrans d(app, link);
    d.CBTylkoDostepne->setChecked(true);
    d.CBTylkoDostepneClick();
    EXPECT_EQ(items(d.CBNrPortu), QStringList{QStringLiteral("Brak")});
    EXPECT_EQ(d.CBNrPortu->currentIndex(), 0);
    EXPECT_FALSE(d.CBPredkosc->isEnabled());
}

TEST_F(Dialogs, PortSettingsBrakClosesThePort)
{
    world.open = {2};
    link.port = 2;
    ASSERT_EQ(link.openPort(ui, true), 0);
    app.setState(S::OnlineWithDatabase);
    TUstawieniaTrans d(app, link);
    d.CBNrPortu->setCurrentIndex(0);
    d.BZastosuj->click();
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.port, Link::NoPort);
    EXPECT_EQ(app.state(), S::OfflineWithDatabase);
}

TEST_F(Dialogs, PortSettingsFailedApplyFallsBack)
{
    world.open = {2};
    link.port = 2;
    link.line.baud = 4800;
    ASSERT_EQ(link.openPort(ui, true), 0);
    app.setState(S::OnlineWithDatabase);
    TUstawieniaTrans d(app, link);
    d.CBNrPortu->setCurrentIndex(9); // does not open
    d.CBPredkosc->setCurrentIndex(0);
    d.BZastosuj->click();
    EXPECT_NE(d.result(), int(QDialog::Accepted)); // the dialog stays
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Nie mogę otworzyć portu COM9 (scan:9).")});
    EXPECT_EQ(link.port, 2);
    EXPECT_EQ(link.line.baud, 4800u);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(world.opened.last(), 2);
    EXPECT_EQ(d.CBNrPortu->currentIndex(), 2); // controls reloaded
    EXPECT_EQ(d.CBPredkosc->currentText(), QStringLiteral("4800"));
    EXPECT_EQ(app.state(), S::OnlineWithDatabase);
}

TEST_F(Dialogs, ScanListsEveryAddressAndConnectsWithTheChosenOne)
{
    world.open = {4};
    world.registers[4] = {1, 2};
    TWyszukiwanieKasyRS d(app, link);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Wyszukiwanie kasy"));
    EXPECT_FALSE(d.BPolacz->isEnabled());
    EXPECT_EQ(d.LBPorty->count(), 0);
    d.BWyszukaj->click();
    ASSERT_EQ(d.LBPorty->count(), 2);
    // Two registers on one port are two lines, told apart by their address.
    EXPECT_EQ(d.LBPorty->item(0)->text(), QStringLiteral("COM 4 (scan:4), adres 1"));
    EXPECT_EQ(d.LBPorty->item(1)->text(), QStringLiteral("COM 4 (scan:4), adres 2"));
    EXPECT_EQ(d.LBPorty->currentRow(), 0);
    EXPECT_TRUE(d.BPolacz->isEnabled());
    EXPECT_TRUE(d.BWyszukaj->isEnabled());
    EXPECT_FALSE(d.PPostep->isVisible());
    EXPECT_EQ(d.ProgressBar1->maximum(), 9);
    EXPECT_EQ(app.state(), S::OfflineWithDatabase);
    d.LBPorty->setCurrentRow(1);
    d.BPolacz->click();
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_EQ(link.port, 4);
    EXPECT_EQ(link.address, 2);
    EXPECT_EQ(app.state(), S::OnlineWithDatabase);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(Dialogs, ScanFindingNothing)
{
    world.open = {4};
    TWyszukiwanieKasyRS d(app, link);
    d.BWyszukaj->click();
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral(
                               "Nie wykryto żadnej kasy podłączonej do tego komputera.")});
    EXPECT_FALSE(d.BPolacz->isEnabled());
    EXPECT_EQ(d.LBPorty->count(), 0);
}

TEST_F(Dialogs, ScanClosedWithoutConnectLeavesEverythingAsBefore)
{
    world.open = {4, 6};
    world.registers[4] = {1};
    link.port = 6;
    link.line.baud = 2400;
    link.address = 7;
    ASSERT_EQ(link.openPort(ui, true), 0);
    app.setState(S::OnlineWithDatabase);
    TWyszukiwanieKasyRS d(app, link);
    d.BWyszukaj->click();
    d.BWyjdz->click();
    EXPECT_EQ(d.result(), int(QDialog::Rejected));
    EXPECT_EQ(link.port, 6);
    EXPECT_EQ(link.line.baud, 2400u);
    EXPECT_EQ(link.address, 7);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(app.state(), S::OnlineWithDatabase);
}

TEST_F(Dialogs, ConnectFailureKeepsTheScanOpen)
{
    world.open = {4};
    world.registers[4] = {1};
    TWyszukiwanieKasyRS d(app, link);
    d.BWyszukaj->click();
    ASSERT_EQ(d.LBPorty->count(), 1);
    world.open = {}; // the adapter was pulled out meanwhile
    d.BPolacz->click();
    EXPECT_NE(d.result(), int(QDialog::Accepted));
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Nie mogę otworzyć portu COM4 (scan:4).")});
}

TEST_F(Dialogs, ReceiveAreaViewer)
{
    const QByteArray frame("\x02\x01\x0a\x00", 4); // the zero ends what is shown
    memcpy(link.receiveArea(), "\x02\x41\xc8", 3);
    TPokazBuforOdb d(app, link);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Podgląd bufora odbiorczego"));
    EXPECT_EQ(d.Memo1->toPlainText(), QStringLiteral("02 41 C8 "));
    d.RBDziesietnie->setChecked(true);
    EXPECT_EQ(d.Memo1->toPlainText(), QStringLiteral("2 65 200 "));
    memcpy(link.receiveArea(), frame.constData(), 4);
    d.RBSzesnastkowo->setChecked(true); // the copy is redrawn, not read again
    EXPECT_EQ(d.Memo1->toPlainText(), QStringLiteral("02 41 C8 "));
    d.BBuforProgramu->click();
    EXPECT_EQ(d.Memo1->toPlainText(), QStringLiteral("02 01 0A "));
    d.BBuforPC->click(); // no port open: nothing to show
    EXPECT_EQ(d.Memo1->toPlainText(), QString());
}

namespace {
// The program's own user interface, with its message boxes written down instead of shown.
struct RecordingGuiUi : GuiTransferUi {
    QStringList messages;
    void showMessage(const QString& text, Icon) override { messages << text; }
};
} // namespace

// "Anuluj" on the scan's panel stops the scan before the next probe: the dialog is locked
// while it runs but for that button, says how far the scan got, and the link and the
// operating state are what they were before "Wyszukaj".
TEST_F(Dialogs, ScanCancelStopsBetweenProbes)
{
    RecordingGuiUi gui;
    AppSession guiApp{db, gui};
    guiApp.setState(S::OnlineWithDatabase);
    world.open = {4, 6, 8};
    link.port = 6;
    link.line.baud = 2400;
    link.address = 7;
    ASSERT_EQ(link.openPort(gui, true), 0);
    TWyszukiwanieKasyRS d(guiApp, link);
    d.show();
    int probes = 0;
    bool lockedButCancel = false;
    link.trace = [&](char direction, QByteArrayView) {
        if (direction != '>' || ++probes != 5)
            return;
        lockedButCancel = !d.BWyjdz->isEnabled() && !d.LBPorty->isEnabled() &&
                          d.BAnuluj->isEnabled() && d.PPostep->isVisible();
        QTest::mouseClick(d.BAnuluj, Qt::LeftButton);
    };
    d.BWyszukaj->click();
    link.trace = {};
    EXPECT_TRUE(lockedButCancel);
    EXPECT_EQ(probes, 5); // 27 without the stop (3 ports x 9 addresses)
    EXPECT_EQ(gui.messages, QStringList{QStringLiteral("Przerwano. Odczytano 5 z 27.")});
    EXPECT_EQ(d.LBPorty->count(), 0);
    EXPECT_FALSE(d.PPostep->isVisible());
    EXPECT_TRUE(d.BWyszukaj->isEnabled());
    EXPECT_TRUE(d.BWyjdz->isEnabled());
    EXPECT_FALSE(d.BPolacz->isEnabled());
    EXPECT_EQ(link.port, 6);
    EXPECT_EQ(link.line.baud, 2400u);
    EXPECT_EQ(link.address, 7);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(guiApp.state(), S::OnlineWithDatabase);
    EXPECT_EQ(gui.currentRun(), nullptr);

    // The next scan starts unstopped and goes through.
    world.registers[8] = {9};
    link.trace = [&](char direction, QByteArrayView) { probes += direction == '>' ? 1 : 0; };
    d.BWyszukaj->click();
    link.trace = {};
    EXPECT_EQ(probes, 5 + 27);
    ASSERT_EQ(d.LBPorty->count(), 1);
    EXPECT_EQ(gui.messages.size(), 1);
}

#include "app/forms/formregistry.h"
#include "app/forms/guitransferui.h"
#include "app/forms/tmenuglowne.h"
#include "app/forms/tnowabaza.h"
#include "fakeui.h"
#include "filesizelimit.h"
#include "link/forms/tustawieniatrans.h"
#include "link/forms/twyszukiwaniekasyrs.h"

#include "../link/scanworld.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTextStream>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {
struct Window {
    QTemporaryDir dir;
    FakeUi ui;
    ScanWorld world;
    Link link{world.factory()};
    std::unique_ptr<TMenuGlowne> w;
    explicit Window(const QByteArray& settings = QByteArray())
    {
        if (!settings.isEmpty()) {
            QFile f(QDir(dir.path()).filePath(QStringLiteral("ustaw.cfg")));
            if (f.open(QIODevice::WriteOnly))
                f.write(settings);
        }
        w = std::make_unique<TMenuGlowne>(
            ui, dir.path(), dir.filePath(QStringLiteral("BDTemp.bdt")), nullptr, &link);
    }
    QByteArray settingsBytes()
    {
        QFile f(QDir(dir.path()).filePath(QStringLiteral("ustaw.cfg")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
} // namespace

TEST(TMenuGlowne, StartsOfflineWithDatabase)
{
    Window t;
    EXPECT_EQ(t.w->operatingState(), OperatingState::OfflineWithDatabase);
    EXPECT_EQ(t.w->session().displayName(), QStringLiteral("Bez nazwy"));
    EXPECT_FALSE(t.w->session().isModified());
    EXPECT_EQ(t.w->navigation()->currentIndex(), 1);
    EXPECT_EQ(t.w->navigation()->tabText(0), QStringLiteral("&Edycja bazy"));
}

TEST(TMenuGlowne, FirstExitWritesSettingsInStartDirectory)
{
    Window t;
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path()); // as a file dialog may do
    EXPECT_TRUE(t.w->close());
    EXPECT_TRUE(t.ui.questions.isEmpty()); // nothing modified: nothing asked
    const QByteArray b = t.settingsBytes();
    ASSERT_EQ(b.size(), 14);
    EXPECT_EQ(quint8(b[0]), 0);
    EXPECT_EQ(quint8(b[1]), 255);
    EXPECT_FALSE(QFile::exists(QDir(elsewhere.path()).filePath(QStringLiteral("ustaw.cfg"))));
}

// Settings that cannot be written are not lost without a word.
TEST(TMenuGlowne, SettingsThatCannotBeWrittenAreReported)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("plik")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString settings = dir.filePath(QStringLiteral("plik/ustawienia")); // under a file
    FakeUi ui;
    ScanWorld world;
    Link link{world.factory()};
    TMenuGlowne w(ui, dir.path(), dir.filePath(QStringLiteral("BDTemp.bdt")), nullptr, &link,
                  settings);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Nie mogę zapisać ustawień portu do pliku ") +
                                       settings + QStringLiteral("/ustaw.cfg.")});
}

TEST(TMenuGlowne, CloseQueryPaths)
{
    const QString q = QStringLiteral("Czy chcesz zapisać zmiany w aktualnie edytowanej bazie?");
    { // Cancel keeps the program open
        Window t;
        t.w->session().setModified();
        t.ui.answers = {TransferUi::Answer::Cancel};
        EXPECT_FALSE(t.w->close());
        EXPECT_EQ(t.ui.questions, QStringList{q});
        EXPECT_TRUE(t.settingsBytes().isEmpty());
    }
    { // No closes without saving
        Window t;
        t.w->session().setModified();
        t.ui.answers = {TransferUi::Answer::No};
        EXPECT_TRUE(t.w->close());
        EXPECT_EQ(t.settingsBytes().size(), 14);
    }
    { // Yes with a cancelled file dialog stays open
        Window t;
        t.w->session().setModified();
        t.w->chooseSavePath = [](const QString&) { return QString(); };
        t.ui.answers = {TransferUi::Answer::Yes};
        EXPECT_FALSE(t.w->close());
    }
    { // Yes with a failed save stays open
        Window t;
        t.w->session().setModified();
        t.w->chooseSavePath = [](const QString&) {
            return QStringLiteral("/nonexistent/dir/baza.vkf");
        };
        t.ui.answers = {TransferUi::Answer::Yes};
        EXPECT_FALSE(t.w->close());
        EXPECT_FALSE(t.ui.messages.isEmpty());
    }
    { // Yes with a good save closes and writes a 205,000-byte file
        Window t;
        t.w->session().setModified();
        const QString target = t.dir.filePath(QStringLiteral("baza.vkf"));
        t.w->chooseSavePath = [&](const QString&) { return target; };
        t.ui.answers = {TransferUi::Answer::Yes};
        EXPECT_TRUE(t.w->close());
        EXPECT_EQ(QFileInfo(target).size(), 205000);
        EXPECT_EQ(t.w->session().displayName(), QStringLiteral("baza.vkf"));
    }
}

TEST(TMenuGlowne, EscapeAsksToLeave)
{
    Window t;
    t.w->show();
    t.ui.answers = {TransferUi::Answer::No};
    QTest::keyClick(t.w.get(), Qt::Key_Escape);
    EXPECT_EQ(t.ui.questions, QStringList{QStringLiteral("Czy na pewno chcesz opuścić program?")});
    EXPECT_TRUE(t.w->isVisible());
    t.ui.answers = {TransferUi::Answer::Yes};
    QTest::keyClick(t.w.get(), Qt::Key_Escape);
    EXPECT_FALSE(t.w->isVisible());
}

TEST(TMenuGlowne, UnbuiltFormsAreDisabled)
{
    Window t;
    auto* list = qobject_cast<QListWidget*>(t.w->navigation()->widget(0));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 14);
    EXPECT_FALSE(list->item(2)->flags() & Qt::ItemIsEnabled);
}

TEST(TMenuGlowne, NewDatabaseDialog)
{
    Window t;
    bool emptyStayed = false;
    t.w->runNewDatabaseDialog = [&](TNowaBaza& d) {
        EXPECT_EQ(d.symbolEdit()->text(), QStringLiteral("PLN"));
        EXPECT_EQ(d.nameEdit()->maxLength(), 12);
        EXPECT_EQ(d.symbolEdit()->maxLength(), 3);
        d.okButton()->click(); // empty name: nothing happens
        emptyStayed = d.result() == 0 && !t.w->session().isModified();
        QTest::keyClicks(d.nameEdit(), QStringLiteral("sklep"));
        d.symbolEdit()->setText(QStringLiteral("EU"));
        d.okButton()->click();
        EXPECT_EQ(d.result(), int(QDialog::Accepted));
    };
    t.w->newDatabase();
    EXPECT_TRUE(emptyStayed);
    EXPECT_EQ(t.w->session().currencySymbol(), QStringLiteral(" EU"));
    EXPECT_EQ(t.w->session().displayName(), QStringLiteral("sklep"));
    EXPECT_TRUE(t.w->session().isModified());
    EXPECT_EQ(t.w->operatingState(), OperatingState::OfflineWithDatabase);
}

// The save prompt before "Nowa baza danych" and "Otwórz plik bazy danych": Anuluj stops; Tak
// goes on only when the file was written, so a cancelled or failed save keeps the changes
// in the window; Nie goes on without saving.
TEST(TMenuGlowne, SavePromptGoesOnOnlyWhenTheChangesAreSafe)
{
    const QString question =
        QStringLiteral("Czy chcesz zapisać zmiany w aktualnie edytowanej bazie?");
    enum class Save { NotAsked, Cancelled, Fails, Succeeds };
    struct Case {
        const char* name;
        TransferUi::Answer answer;
        Save save;
        bool goesOn;
    };
    const Case cases[] = {
        {"Anuluj", TransferUi::Answer::Cancel, Save::NotAsked, false},
        {"Tak, save dialog cancelled", TransferUi::Answer::Yes, Save::Cancelled, false},
        {"Tak, save fails", TransferUi::Answer::Yes, Save::Fails, false},
        {"Tak, saved", TransferUi::Answer::Yes, Save::Succeeds, true},
        {"Nie", TransferUi::Answer::No, Save::NotAsked, true},
    };
    for (const bool open : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(open ? "open: " : "new: ") + c.name);
            Window t;
            // An edit of cashier 1's name that only the working copy holds.
            t.w->session().database().writeTextAt(141561, QStringLiteral("Zmieniony"));
            t.w->session().setModified();
            const QString target = t.dir.filePath(QStringLiteral("zapis.vkf"));
            int saveDialogs = 0;
            t.w->chooseSavePath = [&](const QString&) {
                ++saveDialogs;
                return c.save == Save::Cancelled ? QString()
                       : c.save == Save::Fails   ? QStringLiteral("/nonexistent/dir/zapis.vkf")
                                                 : target;
            };
            int wentOn = 0;
            t.w->runNewDatabaseDialog = [&](TNowaBaza&) { ++wentOn; };
            t.w->chooseOpenPath = [&] {
                ++wentOn;
                return QString();
            };
            t.ui.answers = {c.answer};
            if (open)
                t.w->openDatabaseFile();
            else
                t.w->newDatabase();
            EXPECT_EQ(t.ui.questions, QStringList{question});
            EXPECT_EQ(saveDialogs, c.save == Save::NotAsked ? 0 : 1);
            EXPECT_EQ(wentOn, c.goesOn ? 1 : 0);
            EXPECT_EQ(t.ui.messages.size(), c.save == Save::Fails || c.save == Save::Succeeds
                                                ? 1
                                                : 0); // the save's own message, once
            // Whatever happened, the edit is still in the database in the window.
            EXPECT_EQ(t.w->session().database().readTextAt(141561, 9), QStringLiteral("Zmieniony"));
            EXPECT_EQ(t.w->session().isModified(), c.save != Save::Succeeds);
            EXPECT_EQ(t.w->operatingState(), OperatingState::OfflineWithDatabase);
            EXPECT_EQ(QFileInfo(target).size(), c.save == Save::Succeeds ? 205000 : 0);
        }
    }
}

// A new database or an open that cannot be written into the working copy leaves the database
// in use loaded, with its name, symbol, edits and modified flag, and it can still be edited
// and saved.
TEST(TMenuGlowne, FailedNewDatabaseOrOpenKeepsTheLoadedOne)
{
    Window t;
    const QString saved = t.dir.filePath(QStringLiteral("inna.vkf"));
    t.w->chooseSavePath = [&](const QString&) { return saved; };
    ASSERT_TRUE(t.w->saveDatabaseFile()); // a file to open later
    t.ui.messages.clear();
    t.w->session().database().writeTextAt(141561, QStringLiteral("Zmieniony"));
    t.w->session().setModified();
    const int generation = t.w->session().generation();
    {
        FileSizeLimit full(100000); // the working copy (200,021 bytes) no longer fits
        bool stayedOpen = false;
        t.w->runNewDatabaseDialog = [&](TNowaBaza& d) {
            d.nameEdit()->setText(QStringLiteral("nowa"));
            d.symbolEdit()->setText(QStringLiteral("EUR"));
            d.okButton()->click();
            stayedOpen = d.result() != int(QDialog::Accepted);
            d.reject();
        };
        t.ui.answers = {TransferUi::Answer::No};
        t.w->newDatabase();
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(t.ui.messages, QStringList{QStringLiteral("Nie udało się utworzyć nowej bazy")});

        t.w->chooseOpenPath = [&] { return saved; };
        t.ui.answers = {TransferUi::Answer::No};
        t.w->openDatabaseFile();
        EXPECT_EQ(t.ui.messages.value(1), QStringLiteral("Wystąpił błąd odczytu"));
    }
    EXPECT_EQ(t.w->operatingState(), OperatingState::OfflineWithDatabase);
    EXPECT_TRUE(t.w->session().isLoaded());
    EXPECT_EQ(t.w->session().generation(), generation);
    EXPECT_EQ(t.w->session().displayName(), QStringLiteral("inna.vkf"));
    EXPECT_EQ(t.w->session().currencySymbol(), QStringLiteral("PLN"));
    EXPECT_TRUE(t.w->session().isModified());
    EXPECT_EQ(t.w->session().database().readTextAt(141561, 9), QStringLiteral("Zmieniony"));
    // Still editable, and saved with every edit.
    EXPECT_TRUE(t.w->session().database().writeRecord(144595, QByteArray("\x02Druga", 6)));
    const QString again = t.dir.filePath(QStringLiteral("po.vkf"));
    t.w->chooseSavePath = [&](const QString&) { return again; };
    ASSERT_TRUE(t.w->saveDatabaseFile());
    QFile f(again);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes.mid(141561, 9), QByteArray("Zmieniony"));
    EXPECT_EQ(bytes.mid(144595, 6), QByteArray("\x02Druga", 6));
}

namespace {
QStringList menuTexts(TMenuGlowne& w, const QString& title)
{
    for (QAction* m : w.menuBar()->actions())
        if (m->text() == title && m->menu()) {
            QStringList out;
            for (QAction* a : m->menu()->actions())
                if (!a->isSeparator() && a->isVisible() && a->isEnabled())
                    out << a->text();
            return out;
        }
    return {};
}

const QString NothingFound =
    QStringLiteral("Nie wykryto żadnej kasy podłączonej do tego komputera.");
} // namespace

TEST(TMenuGlowne, ConnectionMenuReachesEveryDialog)
{
    Window t;
    EXPECT_EQ(menuTexts(*t.w, QStringLiteral("Komunikacja")),
              (QStringList{QStringLiteral("Parametry transmisji"),
                           QStringLiteral("Wyszukiwanie podłączonych kas"),
                           QStringLiteral("Połącz z kasą używając ostatnich ustawień"),
                           QStringLiteral("Podgląd bufora odbiorczego"),
                           QStringLiteral("Zapis ramek do pliku")}));
    EXPECT_EQ(menuTexts(*t.w, QStringLiteral("Pomoc")), QStringList{QStringLiteral("O programie")});
    QStringList shown;
    t.w->runDialog = [&](QDialog& d) { shown << d.windowTitle(); };
    t.w->showPortSettings();
    t.w->showRegisterScan();
    t.w->showReceiveArea();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Parametry transmisji"),
                                  QStringLiteral("Wyszukiwanie kasy"),
                                  QStringLiteral("Podgląd bufora odbiorczego")}));
}

TEST(TMenuGlowne, AboutNamesProgramVersionAndModels)
{
    const QString text = TMenuGlowne::aboutText();
    EXPECT_TRUE(text.contains(QStringLiteral("Vorn Duno Serwis")));
    EXPECT_TRUE(text.contains(QStringLiteral("Wersja 1.")));
    EXPECT_TRUE(text.contains(QStringLiteral("DUNO i DUNO BIS")));
}

TEST(TMenuGlowne, ConnectButtonFindsTheRegister)
{
    Window t;
    t.world.open = {1, 3};
    t.world.registers[3] = {1};
    t.w->show();
    EXPECT_EQ(t.w->typeLabel()->text(), QStringLiteral("----"));
    EXPECT_TRUE(t.w->statusOffline()->isVisible());
    bool panelDuringSearch = false;
    t.world.modelCode[3] = 200;
    // The panel is up while the ports are tried.
    t.w->link().trace = [&](char, QByteArrayView) {
        panelDuringSearch = panelDuringSearch || t.w->searchPanel()->isVisible();
    };
    t.w->connectAction()->trigger();
    EXPECT_TRUE(panelDuringSearch);
    EXPECT_FALSE(t.w->searchPanel()->isVisible());
    EXPECT_EQ(t.w->operatingState(), OperatingState::OnlineWithDatabase);
    EXPECT_EQ(t.w->typeLabel()->text(), QStringLiteral("DUNO BIS"));
    EXPECT_TRUE(t.w->statusOnline()->isVisible());
    EXPECT_FALSE(t.w->statusOffline()->isVisible());
    EXPECT_TRUE(t.ui.messages.isEmpty());

    // Connecting with the stored settings afterwards keeps the label.
    t.link.closePort();
    t.w->app().setState(OperatingState::OfflineWithDatabase);
    t.w->connectWithStoredSettings();
    EXPECT_EQ(t.w->operatingState(), OperatingState::OnlineWithDatabase);
    EXPECT_EQ(t.w->typeLabel()->text(), QStringLiteral("DUNO BIS"));

    // The port found is the one written at exit.
    EXPECT_TRUE(t.w->close());
    const QByteArray b = t.settingsBytes();
    ASSERT_EQ(b.size(), 14);
    EXPECT_EQ(quint8(b[1]), 3);
    EXPECT_EQ(quint8(b[2]), 0x00); // 115200 = 0x0001C200, low byte first
    EXPECT_EQ(quint8(b[3]), 0xC2);
    EXPECT_EQ(quint8(b[4]), 0x01);
    EXPECT_EQ(quint8(b[5]), 0x00);
}

TEST(TMenuGlowne, ConnectButtonWithoutRegister)
{
    Window t;
    t.world.open = {2};
    t.w->show();
    EXPECT_FALSE(t.w->automaticSearch());
    EXPECT_EQ(t.ui.messages, QStringList{NothingFound});
    EXPECT_EQ(t.w->operatingState(), OperatingState::OfflineWithDatabase);
    EXPECT_EQ(t.link.port, Link::NoPort);
    EXPECT_TRUE(t.w->statusOffline()->isVisible());
    EXPECT_FALSE(t.w->searchPanel()->isVisible());
}

TEST(TMenuGlowne, ConnectWithStoredSettingsWithoutPort)
{
    Window t;
    t.w->connectWithStoredSettings();
    EXPECT_EQ(t.ui.messages, QStringList{QStringLiteral("Nie wybrano portu")});
}

TEST(TMenuGlowne, DatabaseCommandsKeepTheLinkOnline)
{
    // Online without a database, New database and Open give online with database.
    Window t;
    t.world.open = {4};
    t.world.registers[4] = {1};
    ASSERT_TRUE(t.w->automaticSearch());
    t.w->app().setState(OperatingState::OnlineWithoutDatabase);
    t.w->runNewDatabaseDialog = [](TNowaBaza& d) {
        d.nameEdit()->setText(QStringLiteral("nowa"));
        d.okButton()->click();
    };
    t.w->newDatabase();
    EXPECT_EQ(t.w->operatingState(), OperatingState::OnlineWithDatabase);

    const QString saved = t.dir.filePath(QStringLiteral("b.vkf"));
    t.w->chooseSavePath = [&](const QString&) { return saved; };
    ASSERT_TRUE(t.w->saveDatabaseFile());
    t.w->app().setState(OperatingState::OnlineWithoutDatabase);
    t.w->chooseOpenPath = [&] { return saved; };
    t.w->openDatabaseFile();
    EXPECT_EQ(t.w->operatingState(), OperatingState::OnlineWithDatabase);
}

TEST(TMenuGlowne, SettingsFileIsReadIntoTheLinkAndWrittenBack)
{
    // Port 6, 9600 baud, 7 data bits, even parity, 2 stop bits, both flow controls, and the
    // spare bytes 0x01 (fast transfers), 0xBB, 0xCC.
    const QByteArray file("\x00\x06\x80\x25\x00\x00\x07\x02\x02\x01\x01\x01\xbb\xcc", 14);
    Window t(file);
    EXPECT_EQ(t.link.port, 6);
    EXPECT_EQ(t.link.line.baud, 9600u);
    EXPECT_EQ(t.link.line.dataBits, 7);
    EXPECT_EQ(t.link.line.parity, 2);
    EXPECT_EQ(t.link.line.stopBits, 2);
    EXPECT_TRUE(t.link.line.xonXoff);
    EXPECT_TRUE(t.link.line.rtsCts);
    EXPECT_TRUE(t.w->app().fastTransfers());
    EXPECT_TRUE(t.link.fastTransfers);
    EXPECT_TRUE(t.w->close());
    EXPECT_EQ(t.settingsBytes(), file);
}

TEST(TMenuGlowne, FastTransfersBoxIsRememberedInByte11)
{
    Window t;
    t.world.open = {2};
    t.w->runDialog = [](QDialog& d) {
        auto& s = static_cast<TUstawieniaTrans&>(d);
        EXPECT_FALSE(s.CBSzybkie->isChecked());
        s.CBNrPortu->setCurrentIndex(2);
        s.CBSzybkie->setChecked(true);
        s.BZastosuj->click();
    };
    t.w->showPortSettings();
    EXPECT_TRUE(t.w->app().fastTransfers());
    EXPECT_TRUE(t.link.fastTransfers);
    EXPECT_EQ(t.w->operatingState(), OperatingState::OnlineWithDatabase);
    EXPECT_TRUE(t.w->statusOnline()->isVisibleTo(t.w.get()));
    EXPECT_TRUE(t.w->close());
    const QByteArray b = t.settingsBytes();
    ASSERT_EQ(b.size(), 14);
    EXPECT_EQ(quint8(b[1]), 2);
    EXPECT_EQ(quint8(b[11]), 0x01);
    EXPECT_EQ(quint8(b[12]), 0);
    EXPECT_EQ(quint8(b[13]), 0);
}

TEST(TMenuGlowne, FrameTraceSwitch)
{
    Window t;
    t.world.open = {3};
    t.world.registers[3] = {1};
    const QString path = t.dir.filePath(QStringLiteral("ramki.txt"));
    t.w->chooseTracePath = [&] { return path; };
    t.w->traceAction()->trigger();
    EXPECT_TRUE(t.w->traceAction()->isChecked());
    ASSERT_TRUE(t.w->automaticSearch());
    t.w->traceAction()->trigger(); // off
    EXPECT_FALSE(t.w->traceAction()->isChecked());
    EXPECT_FALSE(bool(t.link.trace));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().toUpper().split('\n');
    ASSERT_GE(lines.size(), 4);
    // The probe on port 3: 02 01 0A 00 01 80 51 00, check byte 01^0A^01^80^51 = DB, 03.
    EXPECT_TRUE(lines[0].endsWith("> 02 01 0A 00 01 80 51 00 DB 03")) << lines[0].constData();
    EXPECT_TRUE(lines[1].contains(" < 02 01 0A 00 01 00 41")) << lines[1].constData();

    // A file that cannot be written: the message, and the switch stays off.
    t.w->chooseTracePath = [] { return QStringLiteral("/nonexistent/dir/ramki.txt"); };
    t.w->traceAction()->trigger();
    EXPECT_FALSE(t.w->traceAction()->isChecked());
    EXPECT_EQ(t.ui.messages.size(), 1);
    // Cancelled file dialog: off, nothing said.
    t.w->chooseTracePath = [] { return QString(); };
    t.w->traceAction()->trigger();
    EXPECT_FALSE(t.w->traceAction()->isChecked());
    EXPECT_EQ(t.ui.messages.size(), 1);
}

TEST(TMenuGlowne, UnsavedChangesOfACrashedCopyAreOffered)
{
    QTemporaryDir dir;
    const QString working = dir.filePath(QStringLiteral("BDTemp.bdt"));
    ScanWorld world;
    Link link{world.factory()};
    QByteArray marker;
    {
        FakeUi ui;
        TMenuGlowne first(ui, dir.path(), working, nullptr, &link);
        first.session().setModified();
        QFile m(first.session().markerPath());
        ASSERT_TRUE(m.open(QIODevice::ReadOnly));
        marker = m.readAll();
    } // a normal end removes the marker; a crash would have left it
    const QString markerPath = working + QStringLiteral(".niezapisana");
    for (auto answer : {TransferUi::Answer::Yes, TransferUi::Answer::No}) {
        QFile m(markerPath);
        ASSERT_TRUE(m.open(QIODevice::WriteOnly));
        m.write(marker);
        m.close();
        FakeUi ui;
        ui.answers = {answer};
        TMenuGlowne again(ui, dir.path(), working, nullptr, &link);
        EXPECT_EQ(ui.questions,
                  QStringList{QStringLiteral("Program nie został poprawnie zakończony. Czy "
                                             "przywrócić niezapisane zmiany w bazie Bez nazwy?")});
        EXPECT_EQ(again.session().isModified(), answer == TransferUi::Answer::Yes);
        EXPECT_EQ(again.operatingState(), OperatingState::OfflineWithDatabase);
        EXPECT_EQ(again.session().displayName(), QStringLiteral("Bez nazwy"));
    }
}

// The "Serwis" menu reaches the register functions that have no navigation item: the
// copy and cache reads and the manager password only while a register is connected, the
// report set whenever a database is loaded.
TEST(TMenuGlowne, ServiceMenuGatesItsFormsByState)
{
    for (const char* cls : {"TOdczytKopii", "TKopiaPamieciPodrecznej",
                            "TProgramowanieHaslaKierownika", "TProgramowanieZestawuRaportow"})
        if (!FormRegistry::find(cls))
            FormRegistry::add(cls,
                              [](AppSession&, QWidget* parent) { return new QDialog(parent); });
    Window t;
    QMenu* service = nullptr;
    for (QAction* a : t.w->menuBar()->actions())
        if (a->text() == QStringLiteral("Serwis"))
            service = a->menu();
    ASSERT_NE(service, nullptr);
    const auto items = service->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Odczyt kopii"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Kopia pamięci podręcznej"));
    EXPECT_EQ(items[2]->text(), QStringLiteral("Programowanie hasła kierownika"));
    EXPECT_EQ(items[3]->text(), QStringLiteral("Zestaw raportów"));

    emit service->aboutToShow();
    EXPECT_FALSE(items[0]->isEnabled());
    EXPECT_FALSE(items[1]->isEnabled());
    EXPECT_FALSE(items[2]->isEnabled());
    EXPECT_TRUE(items[3]->isEnabled());

    t.w->app().setState(OperatingState::OnlineWithDatabase);
    emit service->aboutToShow();
    for (QAction* a : items)
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
}

namespace {
// The program's own user interface, with its message boxes written down instead of shown.
struct RecordingGuiUi : GuiTransferUi {
    QStringList messages;
    void showMessage(const QString& text, Icon) override { messages << text; }
};
} // namespace

// "Anuluj" on the search panel stops the automatic search before the next port: the window
// is locked meanwhile but for that button, and afterwards nothing is left behind: the panel
// hidden, no port open, offline, the window usable, the count of ports tried told.
TEST(TMenuGlowne, SearchPanelAnulujStopsTheAutomaticSearch)
{
    QTemporaryDir dir;
    RecordingGuiUi gui;
    ScanWorld world;
    world.open = {1, 2, 3, 4};
    world.registers[4] = {1};
    Link link{world.factory()};
    TMenuGlowne w(gui, dir.path(), dir.filePath(QStringLiteral("BDTemp.bdt")), nullptr, &link);
    gui.setParent(&w);
    w.show();
    int probes = 0;
    bool lockedButCancel = false;
    link.trace = [&](char direction, QByteArrayView) {
        if (direction != '>' || ++probes != 2)
            return;
        lockedButCancel = w.searchPanel()->isVisible() && w.searchCancelButton()->isEnabled() &&
                          !w.navigation()->currentWidget()->isEnabled();
        QTest::mouseClick(w.searchCancelButton(), Qt::LeftButton);
    };
    EXPECT_FALSE(w.automaticSearch());
    link.trace = {};
    EXPECT_TRUE(lockedButCancel);
    EXPECT_EQ(probes, 2); // port 4 would have answered
    EXPECT_EQ(gui.messages, QStringList{QStringLiteral("Przerwano. Odczytano 2 z 99.")});
    EXPECT_FALSE(w.searchPanel()->isVisible());
    EXPECT_TRUE(w.navigation()->currentWidget()->isEnabled());
    EXPECT_EQ(gui.currentRun(), nullptr);
    EXPECT_EQ(gui.progressDialog(), nullptr);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.port, Link::NoPort);
    EXPECT_EQ(w.operatingState(), OperatingState::OfflineWithDatabase);

    // The next search is whole and finds the register on port 4.
    EXPECT_TRUE(w.automaticSearch());
    EXPECT_EQ(link.port, 4);
    EXPECT_EQ(w.operatingState(), OperatingState::OnlineWithDatabase);
    EXPECT_EQ(gui.messages.size(), 1);
}

namespace {
const QString TitleDash = QStringLiteral("Vorn Duno \u2013 ");

// The saved file's bytes at the name of cashier 1.
QByteArray cashierName(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().mid(141561, 9) : QByteArray();
}

void editCashier(TMenuGlowne& w, const QString& name)
{
    w.session().database().writeTextAt(141561, name);
    w.app().markModified();
}

void activate(QWidget* w)
{
    w->show();
    w->activateWindow();
    (void)QTest::qWaitForWindowActive(w);
}
} // namespace

// The title names the database and carries the mark of unsaved changes, from start-up through
// an edit and a save.
TEST(TMenuGlowne, TitleNamesTheDatabaseAndMarksUnsavedChanges)
{
    Window t;
    EXPECT_EQ(t.w->windowTitle(), TitleDash + QStringLiteral("Bez nazwy[*]"));
    EXPECT_FALSE(t.w->isWindowModified());
    editCashier(*t.w, QStringLiteral("Zmieniony"));
    EXPECT_TRUE(t.w->isWindowModified());

    const QString target = t.dir.filePath(QStringLiteral("sklep.vkf"));
    t.w->chooseSavePath = [&](const QString&) { return target; };
    ASSERT_TRUE(t.w->saveDatabaseFile());
    EXPECT_EQ(t.w->windowTitle(), TitleDash + QStringLiteral("sklep.vkf[*]"));
    EXPECT_FALSE(t.w->isWindowModified());
}

// Ctrl+S writes the file the database came from without a dialog; only a database that was
// never on disk asks for the name. Ctrl+N and Ctrl+O reach their commands.
TEST(TMenuGlowne, KeysNewOpenAndSave)
{
    Window t;
    activate(t.w.get());
    QStringList saveDialogs;
    QString target = t.dir.filePath(QStringLiteral("pierwsza.vkf"));
    t.w->chooseSavePath = [&](const QString& proposed) {
        saveDialogs << proposed;
        return target;
    };

    // The start-up database has no file yet: Ctrl+S asks for one.
    editCashier(*t.w, QStringLiteral("Kasjer001"));
    QTest::keyClick(t.w.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saveDialogs, QStringList{QStringLiteral("Bez nazwy")});
    EXPECT_EQ(cashierName(target), QByteArray("Kasjer001"));
    EXPECT_FALSE(t.w->session().isModified());

    // Then it writes that file again, asking nothing.
    editCashier(*t.w, QStringLiteral("Kasjer002"));
    t.ui.messages.clear();
    QTest::keyClick(t.w.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saveDialogs.size(), 1);
    EXPECT_TRUE(t.ui.questions.isEmpty()); // no "już istnieje" for its own file
    EXPECT_EQ(cashierName(target), QByteArray("Kasjer002"));
    EXPECT_EQ(t.ui.messages,
              QStringList{QStringLiteral("Zapisano plik ") + QDir::toNativeSeparators(target)});
    EXPECT_FALSE(t.w->isWindowModified());

    // A file opened with Ctrl+O is the one Ctrl+S writes.
    const QString other = t.dir.filePath(QStringLiteral("druga.vkf"));
    QFile::copy(target, other);
    int openDialogs = 0;
    t.w->chooseOpenPath = [&] {
        ++openDialogs;
        return other;
    };
    QTest::keyClick(t.w.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(openDialogs, 1);
    EXPECT_EQ(t.w->filePath(), other);
    editCashier(*t.w, QStringLiteral("Kasjer003"));
    QTest::keyClick(t.w.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saveDialogs.size(), 1);
    EXPECT_EQ(cashierName(other), QByteArray("Kasjer003"));
    EXPECT_EQ(cashierName(target), QByteArray("Kasjer002"));

    // Ctrl+N: a new database, not saved yet, so Ctrl+S asks for its name again.
    t.w->runNewDatabaseDialog = [&](TNowaBaza& d) {
        d.nameEdit()->setText(QStringLiteral("nowa"));
        d.okButton()->click();
    };
    QTest::keyClick(t.w.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(t.w->session().displayName(), QStringLiteral("nowa"));
    EXPECT_EQ(t.w->windowTitle(), TitleDash + QStringLiteral("nowa[*]"));
    EXPECT_TRUE(t.w->isWindowModified());
    target = t.dir.filePath(QStringLiteral("nowa.vkf"));
    QTest::keyClick(t.w.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saveDialogs.size(), 2);
    EXPECT_EQ(saveDialogs.last(), QStringLiteral("nowa"));
    EXPECT_EQ(QFileInfo(target).size(), 205000);
}

// The files opened and saved last are offered in "Plik", newest first, kept in their own file
// beside ustaw.cfg (which stays 14 bytes) and there again at the next start.
TEST(TMenuGlowne, RecentFilesInPlik)
{
    Window t;
    const QString a = t.dir.filePath(QStringLiteral("a.vkf"));
    const QString b = t.dir.filePath(QStringLiteral("b.vkf"));
    QString target = a;
    t.w->chooseSavePath = [&](const QString&) { return target; };
    ASSERT_TRUE(t.w->saveDatabaseFile());
    target = b;
    ASSERT_TRUE(t.w->saveDatabaseFile());
    EXPECT_EQ(t.w->recentFiles(), (QStringList{b, a}));

    const auto recentActions = [&] {
        QList<QAction*> out;
        for (QAction* act : t.w->fileMenu()->actions())
            if (act->text().startsWith(u'&'))
                out << act;
        return out;
    };
    ASSERT_EQ(recentActions().size(), 2);
    EXPECT_EQ(recentActions()[0]->text(), QStringLiteral("&1 ") + QDir::toNativeSeparators(b));
    EXPECT_EQ(recentActions()[1]->text(), QStringLiteral("&2 ") + QDir::toNativeSeparators(a));

    // Choosing one opens it (after the save prompt) and moves it to the top.
    editCashier(*t.w, QStringLiteral("Zmieniony"));
    t.ui.answers = {TransferUi::Answer::No};
    recentActions()[1]->trigger();
    EXPECT_EQ(t.ui.questions.size(), 1);
    EXPECT_EQ(t.w->session().displayName(), QStringLiteral("a.vkf"));
    EXPECT_EQ(t.w->filePath(), a);
    EXPECT_EQ(t.w->recentFiles(), (QStringList{a, b}));

    // A file that is gone is said so and taken off the list.
    QFile::remove(b);
    t.ui.messages.clear();
    t.w->session().setModified(false);
    recentActions()[1]->trigger();
    EXPECT_EQ(t.ui.messages.size(), 1);
    EXPECT_EQ(t.w->session().displayName(), QStringLiteral("a.vkf"));
    EXPECT_EQ(t.w->recentFiles(), QStringList{a});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(recentActions().size(), 1);

    EXPECT_TRUE(t.w->close());
    EXPECT_EQ(t.settingsBytes().size(), 14);
    QFile list(t.dir.filePath(QStringLiteral("ostatnie.txt")));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(list.readAll()), a + u'\n');

    t.w.reset();
    t.w = std::make_unique<TMenuGlowne>(
        t.ui, t.dir.path(), t.dir.filePath(QStringLiteral("BDTemp.bdt")), nullptr, &t.link);
    EXPECT_EQ(t.w->recentFiles(), QStringList{a});
}

// The register data forms as a person uses them: each form with the program's own user
// interface (GuiTransferUi) against the register emulator on a pseudo-terminal. Message boxes
// come up and are read and dismissed as a person would; stops are pressed in the middle of
// the transfer, while the register is still sending.
#include "app/appsession.h"
#include "app/forms/guitransferui.h"
#include "common/transferrun.h"
#include "database/databasesession.h"
#include "emulator/emulatorhost.h"
#include "filesizelimit.h"
#include "link/link.h"
#include "link/portmap.h"
#include "person.h"
#include "tables/tablelayout.h"
#include "transfer/cachedump.h"
#include "transfer/forms/tdaneinformacyjne.h"
#include "transfer/forms/tkopiapamiecipodrecznej.h"
#include "transfer/forms/tobrotgrup.h"
#include "transfer/forms/todczytkopii.h"
#include "transfer/forms/tprogramowaniecalejkasy.h"
#include "transfer/forms/tsciaganiesprzedazy.h"
#include "transfer/whole/wholebackup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <functional>
#include <memory>
#include <sys/resource.h>

#include <gtest/gtest.h>

using transfer::InfoField;

namespace {

constexpr int Port = 47;
constexpr int DemoArticles = 300; // every third unsold: 200 sales records
constexpr int SoldArticles = 200;
constexpr int CacheFrames = 60;
constexpr int TurnoverMonths = 12;

struct Rig {
    QTemporaryDir dir;
    DatabaseSession db{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    GuiTransferUi ui;
    AppSession app{db, ui};
    emu::RegisterModel reg{emu::Model::DunoBis, 1};
    emu::EmulatorHost host{reg};
    Link link;
    Person person;
    bool opened = false;

    Rig()
    {
        reg.fillDemo(DemoArticles);
        QByteArray cache;
        for (int i = 0; i < CacheFrames * 256; ++i)
            cache += char(i * 13 + i / 256);
        reg.setCacheMemory(cache);
        if (!host.start())
            return;
        portmap::setPortOverride(Port, host.devicePath());
        link.port = Port;
        opened = link.openPort(ui, true) == 0;
    }
    ~Rig()
    {
        link.trace = {};
        link.closePort();
        portmap::clearPortOverrides();
    }

    // Once the register has sent `frames` answers in the run that follows, `act` runs (the
    // person presses something while the transfer goes on).
    void during(int frames, std::function<void()> act)
    {
        auto received = std::make_shared<int>(0);
        link.trace = [frames, received, act = std::move(act)](char direction, QByteArrayView b) {
            if (direction == '<' && b.size() >= 9 && ++*received == frames)
                act();
        };
    }
};

template <class Form> std::unique_ptr<Form> shown(Rig& r)
{
    auto f = std::make_unique<Form>(r.app);
    f->setLink(r.link);
    f->show();
    return f;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The runs that count what arrives: how to start one, how far a whole one gets, what the
// person sees of it and the stop in the middle, pressed as the row says.
enum class StopBy { PanelCancel, Escape, ProgressWindow };

struct CountedRun {
    const char* name;
    StopBy stop;
    std::function<std::unique_ptr<QDialog>(Rig&)> open;
    std::function<void(QDialog*, Rig&)> start;
    std::function<QAbstractButton*(QDialog*)> panelCancel;
    std::function<int(QDialog*)> shownCount; // what the form shows of the last run
    int whole;
    int total; // the total in the stop message (0: unknown)
};

std::vector<CountedRun> countedRuns()
{
    auto sales = [](QDialog* d) { return static_cast<TSciaganieSprzedazy*>(d); };
    auto dump = [](QDialog* d) { return static_cast<TKopiaPamieciPodrecznej*>(d); };
    auto turnover = [](QDialog* d) { return static_cast<TObrotGrup*>(d); };
    const auto openSales = [](Rig& r) -> std::unique_ptr<QDialog> {
        return shown<TSciaganieSprzedazy>(r);
    };
    const auto startSales = [sales](QDialog* d, Rig&) { sales(d)->downloadButton()->click(); };
    const auto salesCancel = [sales](QDialog* d) -> QAbstractButton* {
        return sales(d)->panelCancel();
    };
    const auto salesShown = [sales](QDialog* d) { return sales(d)->list()->count(); };
    const auto openDump = [](Rig& r) -> std::unique_ptr<QDialog> {
        return shown<TKopiaPamieciPodrecznej>(r);
    };
    const auto startDump = [dump](QDialog* d, Rig& r) {
        dump(d)->dumpTo(r.dir.filePath(transfer::defaultCacheDumpName()));
    };
    const auto dumpCancel = [dump](QDialog* d) -> QAbstractButton* {
        return dump(d)->cancelButton();
    };
    const auto dumpShown = [dump](QDialog* d) { return dump(d)->counter()->text().toInt(); };
    const auto openTurnover = [](Rig& r) -> std::unique_ptr<QDialog> {
        return shown<TObrotGrup>(r);
    };
    const auto startTurnover = [turnover](QDialog* d, Rig&) { turnover(d)->Button1Click(); };
    const auto turnoverShown = [turnover](QDialog* d) {
        const QString text = turnover(d)->text()->toPlainText();
        return text.isEmpty() ? 0 : int(text.split(u'\n').size()) / 22;
    };
    return {
        {"sales, panel Anuluj", StopBy::PanelCancel, openSales, startSales, salesCancel, salesShown,
         SoldArticles, 0},
        {"sales, Escape", StopBy::Escape, openSales, startSales, salesCancel, salesShown,
         SoldArticles, 0},
        {"cache dump, Anuluj", StopBy::PanelCancel, openDump, startDump, dumpCancel, dumpShown,
         CacheFrames, transfer::kCacheMaxFrames},
        {"cache dump, Escape", StopBy::Escape, openDump, startDump, dumpCancel, dumpShown,
         CacheFrames, transfer::kCacheMaxFrames},
        {"turnover, progress window",
         StopBy::ProgressWindow,
         openTurnover,
         startTurnover,
         {},
         turnoverShown,
         TurnoverMonths,
         0},
        {"turnover, Escape",
         StopBy::Escape,
         openTurnover,
         startTurnover,
         {},
         turnoverShown,
         TurnoverMonths,
         0},
    };
}

} // namespace

// A whole run, one stopped in the middle, and another whole one in the same form: the stopped
// run says how far it got and shows no more than that, the form stays open and locked while
// it runs, and the next run brings everything again. No progress window is left behind.
TEST(TransferGui, StoppedRunSaysHowFarItGotAndTheNextIsWhole)
{
    for (const CountedRun& c : countedRuns()) {
        SCOPED_TRACE(c.name);
        Rig r;
        ASSERT_TRUE(r.opened);
        const std::unique_ptr<QDialog> owner = c.open(r);
        QDialog* form = owner.get();
        QAbstractButton* panelCancel = c.panelCancel ? c.panelCancel(form) : nullptr;
        // Every button of the form but the run's own stop is locked while the run goes on.
        const auto buttonsLocked = [form, panelCancel] {
            const auto buttons = form->findChildren<QAbstractButton*>();
            for (QAbstractButton* b : buttons)
                if (b->window() == form && b != panelCancel && b->isEnabled())
                    return false;
            return true;
        };

        c.start(form, r);
        EXPECT_EQ(c.shownCount(form), c.whole);
        EXPECT_EQ(progressWindowsShown(), 0);
        const QStringList wholeMessages = r.person.seen;
        for (const QString& m : wholeMessages)
            EXPECT_FALSE(m.startsWith(QStringLiteral("Przerwano"))) << m.toStdString();

        // Stopped after a few frames; meanwhile the form cannot be closed.
        bool closed = true;
        bool locked = false;
        r.person.seen.clear();
        r.during(5, [&] {
            closed = form->close();
            locked = buttonsLocked();
            switch (c.stop) {
            case StopBy::PanelCancel:
                panelCancel->click();
                break;
            case StopBy::Escape:
                QTest::keyClick(form, Qt::Key_Escape);
                break;
            case StopBy::ProgressWindow:
                ASSERT_NE(r.ui.progressDialog(), nullptr);
                r.ui.progressDialog()->findChild<QPushButton*>()->click(); // its "Anuluj"
                break;
            }
        });
        c.start(form, r);
        r.link.trace = {};
        EXPECT_FALSE(closed);
        EXPECT_TRUE(locked);
        EXPECT_TRUE(form->isVisible());
        const int arrived = c.shownCount(form);
        EXPECT_GE(arrived, 4);
        EXPECT_LT(arrived, c.whole);
        ASSERT_FALSE(r.person.seen.isEmpty());
        EXPECT_EQ(r.person.seen.last(), stoppedReadText(arrived, c.total));
        EXPECT_EQ(progressWindowsShown(), 0);

        r.person.seen.clear();
        c.start(form, r);
        EXPECT_EQ(c.shownCount(form), c.whole);
        EXPECT_EQ(progressWindowsShown(), 0);
        EXPECT_EQ(r.person.seen, wholeMessages);
        EXPECT_TRUE(form->isVisible());
        for (QAbstractButton* b : form->findChildren<QAbstractButton*>())
            EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    }
}

// What the forms show stays when they are closed and opened again (they are made once and
// kept): the sales list and its option, the copy text with its page and handling, the last
// information answer, the turnover text.
TEST(TransferGui, FormsKeepWhatTheyShowAcrossReopening)
{
    Rig r;
    ASSERT_TRUE(r.opened);
    r.reg.setCopyText(QByteArray("KOPIA\nPARAGON 1\nSUMA 12,50"));

    auto sales = shown<TSciaganieSprzedazy>(r);
    sales->nonZeroOnly()->setChecked(false);
    sales->downloadButton()->click();
    const QStringList salesLines = [&] {
        QStringList l;
        for (int i = 0; i < sales->list()->count(); ++i)
            l << sales->list()->item(i)->text();
        return l;
    }();
    EXPECT_EQ(salesLines.size(), DemoArticles);

    auto copy = shown<TOdczytKopii>(r);
    copy->pages()->setCurrentIndex(TOdczytKopii::LastDocument);
    copy->handling(TOdczytKopii::LastDocument)->setCurrentIndex(1); // "Wysyłanie do komputera"
    copy->Button1Click();
    EXPECT_EQ(copy->memo()->toPlainText(), QStringLiteral("KOPIA\nPARAGON 1\nSUMA 12,50"));

    auto info = shown<TDaneInformacyjne>(r);
    info->fetchButton()->click();
    EXPECT_EQ(info->valueLabel(InfoField::Version)->text(), QStringLiteral("2,00"));

    auto turnover = shown<TObrotGrup>(r);
    turnover->Button1Click();
    const QString turnoverText = turnover->text()->toPlainText();
    EXPECT_EQ(turnoverText.split(u'\n').size(), TurnoverMonths * 22);

    for (QDialog* d : {static_cast<QDialog*>(sales.get()), static_cast<QDialog*>(copy.get()),
                       static_cast<QDialog*>(info.get()), static_cast<QDialog*>(turnover.get())}) {
        QTest::keyClick(d, Qt::Key_Escape);
        EXPECT_FALSE(d->isVisible()) << d->objectName().toStdString();
        d->show();
    }
    EXPECT_FALSE(sales->nonZeroOnly()->isChecked());
    ASSERT_EQ(sales->list()->count(), salesLines.size());
    for (int i = 0; i < salesLines.size(); ++i)
        EXPECT_EQ(sales->list()->item(i)->text(), salesLines[i]);
    EXPECT_EQ(copy->pages()->currentIndex(), TOdczytKopii::LastDocument);
    EXPECT_EQ(copy->handling(TOdczytKopii::LastDocument)->currentIndex(), 1);
    EXPECT_EQ(copy->memo()->toPlainText(), QStringLiteral("KOPIA\nPARAGON 1\nSUMA 12,50"));
    EXPECT_EQ(info->valueLabel(InfoField::Version)->text(), QStringLiteral("2,00"));
    EXPECT_EQ(turnover->text()->toPlainText(), turnoverText);
    EXPECT_TRUE(r.person.seen.isEmpty()) << r.person.seen.join(u'\n').toStdString();
}

// A dump stopped in the middle, a dump or an export that cannot be written whole: the file
// that was there before is left byte for byte.
TEST(TransferGui, FailedDumpOrExportKeepsTheOldFile)
{
    enum class Way { StoppedDump, DumpOnFullDisk, ExportOnFullDisk };
    struct Row {
        const char* name;
        Way way;
        const char* file;
    };
    const Row rows[] = {
        {"dump stopped with Anuluj", Way::StoppedDump, "Kopia_cache.bin"},
        {"dump on a full disk", Way::DumpOnFullDisk, "Kopia_cache.bin"},
        {"CSV export on a full disk", Way::ExportOnFullDisk, "sprzedaz.csv"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Rig r;
        ASSERT_TRUE(r.opened);
        const QString path = r.dir.filePath(QString::fromLatin1(row.file));
        QByteArray old;
        for (int i = 0; i < 3000; ++i)
            old += char(i % 251);
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        switch (row.way) {
        case Way::StoppedDump: {
            auto f = shown<TKopiaPamieciPodrecznej>(r);
            r.during(5, [&] { f->cancelButton()->click(); });
            f->dumpTo(path);
            r.link.trace = {};
            const int arrived = f->counter()->text().toInt();
            EXPECT_LT(arrived, CacheFrames);
            ASSERT_FALSE(r.person.seen.isEmpty());
            ASSERT_FALSE(r.person.seen.isEmpty());
            EXPECT_EQ(r.person.seen.last(), stoppedReadText(arrived, transfer::kCacheMaxFrames));
            break;
        }
        case Way::DumpOnFullDisk: {
            auto f = shown<TKopiaPamieciPodrecznej>(r);
            const FileSizeLimit limit(1000);
            f->dumpTo(path);
            EXPECT_EQ(f->counter()->text(), QString::number(CacheFrames));
            ASSERT_FALSE(r.person.seen.isEmpty());
            EXPECT_EQ(r.person.seen.last(),
                      QStringLiteral("Nie można zapisać pliku '") + path + QStringLiteral("'."));
            break;
        }
        case Way::ExportOnFullDisk: {
            auto f = shown<TSciaganieSprzedazy>(r);
            f->downloadButton()->click();
            ASSERT_EQ(f->list()->count(), SoldArticles);
            const FileSizeLimit limit(1000);
            EXPECT_FALSE(f->exportCsv(path));
            break;
        }
        }
        EXPECT_EQ(fileBytes(path), old);
        // and the file written beside it is gone
        const QStringList beside =
            QDir(r.dir.path()).entryList({QString::fromLatin1(row.file) + u'*'}, QDir::Files);
        EXPECT_EQ(beside, QStringList{QString::fromLatin1(row.file)});
    }
}

// "Programowanie całej kasy" with "Sprawdź po zaprogramowaniu": a copy of a register
// programmed into an empty one over a line that damages one article's frame in a way its
// check byte cannot see. The check finds the article, programs it again, and the summary and
// the result say the register holds the database.
TEST(TransferGui, WholeProgrammingCheckedAfterwardsMendsWhatTheLineDamaged)
{
    Rig r;
    ASSERT_TRUE(r.opened);
    r.link.fastTransfers = true;
    {
        auto hold = r.host.lock();
        r.reg = emu::RegisterModel(emu::Model::DunoBis, 1);
        r.reg.fillDemo(40);
    }
    const QString path = r.dir.filePath(QStringLiteral("sklep.vkf"));
    QString error;
    ASSERT_TRUE(wholereg::backupToFile(r.link, r.ui, path, &error).complete())
        << error.toStdString();
    ASSERT_TRUE(r.db.openDatabaseFile(path).ok);
    {
        auto hold = r.host.lock();
        r.reg = emu::RegisterModel(emu::Model::DunoBis, 1);
    }

    auto form = shown<TProgramowanieCalejKasy>(r);
    EXPECT_FALSE(form->Sprawdz->isChecked());
    form->Sprawdz->setChecked(true);
    bool damaged = false;
    r.link.trace = [&](char direction, QByteArrayView bytes) {
        // The first frame that programs article 2 arrives with two bits of its name flipped.
        if (direction != '>' || damaged || bytes.size() != 78 || bytes[6] != 'T' ||
            (quint8(bytes[7]) | quint8(bytes[8]) << 8) != 2)
            return;
        damaged = true;
        auto hold = r.host.lock();
        emu::FaultPlan plan;
        plan.undetected = {r.reg.framesReceived() + 1};
        r.reg.setFaults(plan);
    };
    form->Wykonaj->click();
    r.link.trace = {};
    EXPECT_TRUE(damaged);
    EXPECT_TRUE(r.person.seen.isEmpty()) << r.person.seen.join(u'\n').toStdString();

    EXPECT_EQ(form->Wynik->text(), QStringLiteral("Zaprogramowano kasę. Kasa zgodna z bazą."));
    const int last = form->Podsumowanie->rowCount() - 1;
    ASSERT_GE(last, 0);
    EXPECT_EQ(form->Podsumowanie->item(last, 0)->text(), QStringLiteral("Kasa zgodna z bazą."));
    EXPECT_FALSE(form->Wznow->isEnabled());
    const QByteArray record = r.db.database().readBytes(layout::Articles.offsetOf(2), 49);
    auto hold = r.host.lock();
    EXPECT_TRUE(r.reg.faults().undetected.isEmpty()); // the register took the damaged frame
    EXPECT_EQ(r.reg.image(emu::RegisterModel::Articles, 2).left(49), record);
}

// The register data forms driven as the user would, against the register emulator.
#include "app/appsession.h"
#include "database/databasesession.h"
#include "emulator/emulatorhost.h"
#include "fakeui.h"
#include "link/link.h"
#include "link/portmap.h"
#include "transfer/cachedump.h"
#include "transfer/forms/tdaneinformacyjne.h"
#include "transfer/forms/tkopiapamiecipodrecznej.h"
#include "transfer/forms/tobrotgrup.h"
#include "transfer/forms/todczytkopii.h"
#include "transfer/forms/tsciaganiesprzedazy.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using transfer::InfoField;

namespace {

struct Rig {
    QTemporaryDir dir;
    DatabaseSession db{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    FakeUi ui;
    AppSession app{db, ui};
    emu::RegisterModel reg{emu::Model::DunoBis, 1};
    emu::EmulatorHost host{reg};
    Link link;
    bool opened = false;

    Rig()
    {
        reg.fillDemo(40);
        if (!host.start())
            return;
        portmap::setPortOverride(46, host.devicePath());
        link.port = 46;
        opened = link.openPort(ui, true) == 0;
    }
    ~Rig()
    {
        link.closePort();
        portmap::clearPortOverrides();
    }
};

} // namespace

TEST(TransferForms, InformationShownOnFetch)
{
    Rig r;
    ASSERT_TRUE(r.opened);
    TDaneInformacyjne f(r.app);
    f.setLink(r.link);
    f.show();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Dane informacyjne kasy"));
    EXPECT_EQ(f.valueLabel(InfoField::Version)->text(), QString()); // blank at first
    QTest::mouseClick(f.fetchButton(), Qt::LeftButton);
    EXPECT_EQ(f.valueLabel(InfoField::Version)->text(), QStringLiteral("2,00"));
    EXPECT_EQ(f.valueLabel(InfoField::Nip)->text(), QStringLiteral("1234567890"));
    EXPECT_EQ(f.valueLabel(InfoField::Usb)->text(), QStringLiteral("Komputer PC"));
    EXPECT_EQ(f.currencyChangeGroup()->title(), QStringLiteral("Zmiana waluty ewidencyjnej"));
    EXPECT_TRUE(r.ui.messages.isEmpty());
    // a silent register: "Brak komunikacji" and the values stay
    emu::FaultPlan plan;
    plan.silent = {r.reg.framesReceived() + 1};
    {
        auto lock = r.host.lock();
        r.reg.setFaults(plan);
    }
    QTest::mouseClick(f.fetchButton(), Qt::LeftButton);
    EXPECT_EQ(r.ui.messages, QStringList{QStringLiteral("Brak komunikacji")});
    EXPECT_EQ(f.valueLabel(InfoField::Version)->text(), QStringLiteral("2,00"));
    EXPECT_TRUE(f.isEnabled());
}

TEST(TransferForms, SalesListAndClearAsks)
{
    Rig r;
    ASSERT_TRUE(r.opened);
    TSciaganieSprzedazy f(r.app);
    f.setLink(r.link);
    f.show();
    EXPECT_TRUE(f.nonZeroOnly()->isChecked());
    QTest::mouseClick(f.downloadButton(), Qt::LeftButton);
    EXPECT_EQ(f.list()->count(), 27); // 40 articles, every third unsold
    EXPECT_EQ(f.counter()->text(), QStringLiteral("27"));
    EXPECT_TRUE(f.list()->item(0)->text().startsWith(QStringLiteral("   1. Chleb 1")));
    // clearing asks; No sends nothing and the list stays
    r.ui.answers = {TransferUi::Answer::No};
    QTest::mouseClick(f.clearButton(), Qt::LeftButton);
    EXPECT_EQ(r.ui.questions, QStringList{transfer::clearSalesQuestion()});
    r.ui.answers = {TransferUi::Answer::Yes};
    QTest::mouseClick(f.clearButton(), Qt::LeftButton);
    EXPECT_EQ(r.ui.messages, QStringList{QStringLiteral("Sprzedaż skasowana")});
    EXPECT_EQ(f.list()->count(), 27);
    // the CSV of what was downloaded
    const QString csv = r.dir.filePath(QStringLiteral("s.csv"));
    f.exportCsv(csv);
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count('\n'), 28);
    EXPECT_EQ(f.sales().usedCount(), 27);
}

TEST(TransferForms, TurnoverText)
{
    Rig r;
    ASSERT_TRUE(r.opened);
    TObrotGrup f(r.app);
    f.setLink(r.link);
    f.show();
    f.Button1Click();
    const QStringList lines = f.text()->toPlainText().split(u'\n');
    EXPECT_EQ(lines.size(), 12 * 22);
    EXPECT_EQ(lines.first(), QStringLiteral("Obrót w miesiącu 1-2026"));
}

TEST(TransferForms, CopyReadByNumbersAndLastDocument)
{
    Rig r;
    ASSERT_TRUE(r.opened);
    r.reg.setCopyText(QByteArray("AB\nC"));
    TOdczytKopii f(r.app);
    f.setLink(r.link);
    f.show();
    EXPECT_EQ(f.numberEdit(1)->text(), QStringLiteral("2000"));
    EXPECT_EQ(f.numberEdit(3)->text(), QStringLiteral("99999"));
    f.pages()->setCurrentIndex(TOdczytKopii::ByNumbers);
    f.numberEdit(0)->setText(QStringLiteral("0"));
    f.Button1Click();
    EXPECT_EQ(r.ui.messages, QStringList{QStringLiteral("Błędnie wprowadzone dane")});
    EXPECT_EQ(r.reg.framesReceived(), 0);

    f.pages()->setCurrentIndex(TOdczytKopii::LastDocument);
    f.handling(TOdczytKopii::LastDocument)->setCurrentIndex(1); // "Wysyłanie do komputera"
    f.Button1Click();
    EXPECT_EQ(f.memo()->toPlainText(), QStringLiteral("AB\nC"));
}

TEST(TransferForms, CacheDumpToChosenFile)
{
    Rig r;
    ASSERT_TRUE(r.opened);
    TKopiaPamieciPodrecznej f(r.app);
    f.setLink(r.link);
    f.show();
    const QString path = r.dir.filePath(transfer::defaultCacheDumpName());
    f.dumpTo(path);
    EXPECT_EQ(f.counter()->text(), QStringLiteral("40"));
    EXPECT_EQ(r.ui.messages,
              QStringList{QStringLiteral("Pamięć podręczna zapisana do pliku 'Kopia_cache.bin'.")});
    EXPECT_GT(QFile(path).size(), 40 * 256);
}

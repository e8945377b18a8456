#include "app/forms/tmenuglowne.h"
#include "app/forms/tnowabaza.h"
#include "fakeui.h"

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
    std::unique_ptr<TMenuGlowne> w;
    Window()
    {
        w = std::make_unique<TMenuGlowne>(ui, dir.path(),
                                          dir.filePath(QStringLiteral("BDTemp.bdt")));
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

TEST(TMenuGlowne, SavePromptGuardsNewDatabase)
{
    Window t;
    t.w->session().setModified();
    int dialogs = 0;
    t.w->runNewDatabaseDialog = [&](TNowaBaza&) { ++dialogs; };
    t.ui.answers = {TransferUi::Answer::Cancel, TransferUi::Answer::No};
    t.w->newDatabase(); // Cancel abandons
    EXPECT_EQ(dialogs, 0);
    t.w->newDatabase(); // No goes on without saving
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(t.ui.questions.size(), 2);
}

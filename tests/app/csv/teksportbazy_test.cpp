#include "csvtestdb.h"
#include "fakeui.h"
#include "filesizelimit.h"

#include "app/appsession.h"
#include "app/csv/forms/teksportbazy.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

struct FormFixture : ::testing::Test {
    TestDb t;
    FakeUi ui;
    AppSession app{*t.session, ui};
    TEksportBazy form{app};
    QString proposed;
    QString savePath, openPath;

    void SetUp() override
    {
        app.setState(OperatingState::OfflineWithDatabase);
        t.session->setDisplayName(QStringLiteral("sklep.vkf"));
        form.chooseSavePath = [this](const QString& p) {
            proposed = p;
            return savePath;
        };
        form.chooseOpenPath = [this] { return openPath; };
    }
};

TEST_F(FormFixture, CaptionListAndButtons)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Eksport bazy danych"));
    QStringList items;
    for (int i = 0; i < form.tableList()->count(); ++i)
        items << form.tableList()->itemText(i);
    EXPECT_EQ(
        items,
        (QStringList{QStringLiteral("Baza towarowa"), QStringLiteral("Baza opakowań"),
                     QStringLiteral("Baza kasjerów"), QStringLiteral("Baza grup towarowych"),
                     QStringLiteral("Baza rabatów/natzutów"), QStringLiteral("Baza form płatności"),
                     QStringLiteral("Baza walut obcych")}));
    EXPECT_EQ(form.tableList()->currentIndex(), 0);
    EXPECT_FALSE(form.tableList()->isEditable());
    EXPECT_EQ(form.exportButton()->text(), QStringLiteral("&Eksportuj bazę"));
    EXPECT_EQ(form.importButton()->text(), QStringLiteral("&Importuj bazę"));
}

TEST_F(FormFixture, ExportProposesTheNameAndShowsTheResult)
{
    form.tableList()->setCurrentIndex(2);
    savePath = t.path("kasjerzy.csv");
    QTest::mouseClick(form.exportButton(), Qt::LeftButton);
    EXPECT_EQ(proposed, QStringLiteral("sklep_kasjerzy.csv"));
    EXPECT_EQ(form.exportResult()->text(), QStringLiteral("Wyeksportowano bazę kasjerów"));
    EXPECT_TRUE(form.importResult()->text().isEmpty());
    EXPECT_TRUE(fileBytes(savePath).startsWith("Kasjerzy\n"));
    EXPECT_FALSE(t.session->isModified());
}

TEST_F(FormFixture, CancelledExportChangesNothing)
{
    form.exportResult()->setText(QStringLiteral("stare"));
    form.importResult()->setText(QStringLiteral("stare"));
    QTest::mouseClick(form.exportButton(), Qt::LeftButton);
    EXPECT_TRUE(form.exportResult()->text().isEmpty());
    EXPECT_TRUE(form.importResult()->text().isEmpty());
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(FormFixture, DeclinedOverwriteShowsNoResult)
{
    savePath = t.path("grupy.csv");
    ASSERT_TRUE(writeFile(savePath, "inne"));
    ui.answers = {TransferUi::Answer::No};
    form.tableList()->setCurrentIndex(3);
    form.ExportClick();
    EXPECT_EQ(ui.questions.size(), 1);
    EXPECT_TRUE(form.exportResult()->text().isEmpty());
    EXPECT_EQ(fileBytes(savePath), QByteArray("inne"));
}

// An export that cannot be written whole (the disk fills up after 20 bytes) leaves the file
// it was to replace exactly as it was, and no half-written file beside it.
TEST_F(FormFixture, FailedExportKeepsTheOldFileByteForByte)
{
    savePath = t.path("grupy.csv");
    const char raw[] = "Grupy\nNumer;Nazwa\n7;Stara grupa\n\x00\xff";
    const QByteArray old(raw, sizeof raw - 1);
    ASSERT_TRUE(writeFile(savePath, old));
    ui.answers = {TransferUi::Answer::Yes};
    form.tableList()->setCurrentIndex(3);
    {
        FileSizeLimit full(20);
        QTest::mouseClick(form.exportButton(), Qt::LeftButton);
    }
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Wystąpił błąd zapisu")});
    EXPECT_TRUE(form.exportResult()->text().isEmpty());
    EXPECT_EQ(fileBytes(savePath), old);
    EXPECT_EQ(QDir(t.dir.path()).entryList({QStringLiteral("grupy*")}, QDir::Files),
              QStringList{QStringLiteral("grupy.csv")});
}

TEST_F(FormFixture, ImportWritesMarksModifiedAndShowsTheResult)
{
    openPath = t.path("grupy.csv");
    ASSERT_TRUE(writeFile(openPath, "Grupy\nNumer;Nazwa\n2;Warzywa\n"));
    form.exportResult()->setText(QStringLiteral("stare"));
    QTest::mouseClick(form.importButton(), Qt::LeftButton);
    EXPECT_EQ(form.importResult()->text(), QStringLiteral("Zaimportowano bazę grup towarowych"));
    EXPECT_TRUE(form.exportResult()->text().isEmpty());
    EXPECT_TRUE(t.session->isModified());
    EXPECT_EQ(loadRecord<GroupRecord>(t.db(), layout::Groups, 2).name, QStringLiteral("Warzywa"));
}

// The same bytes are "ł" read as UTF-8 (what the list finds by itself) and "Ĺ‚" read as
// cp1250, as the user can choose.
TEST_F(FormFixture, ImportReadsTheFileInTheChosenEncoding)
{
    QStringList items;
    for (int i = 0; i < form.encodingList()->count(); ++i)
        items << form.encodingList()->itemText(i);
    EXPECT_EQ(items, (QStringList{QStringLiteral("Rozpoznaj samoczynnie"), QStringLiteral("UTF-8"),
                                  QStringLiteral("cp1250 (Windows)")}));
    EXPECT_EQ(form.encodingList()->currentIndex(), 0);

    openPath = t.path("grupy.csv");
    ASSERT_TRUE(writeFile(openPath, "Grupy\nNumer;Nazwa\n2;\xC5\x82\n"));
    const auto name = [this] {
        return t.db().readBytes(layout::Groups.offsetOf(2) + 1, 2).toHex().toStdString();
    };
    form.ImportClick();
    EXPECT_EQ(name(), "b300");
    form.encodingList()->setCurrentIndex(2);
    form.ImportClick();
    EXPECT_EQ(name(), "c582");
    form.encodingList()->setCurrentIndex(1);
    ASSERT_TRUE(writeFile(openPath, "Grupy\nNumer;Nazwa\n2;\xB3\n"));
    form.ImportClick();
    EXPECT_EQ(name(), "c582"); // refused: 0xB3 alone is no UTF-8
    ASSERT_EQ(ui.messages.size(), 3);
    EXPECT_TRUE(ui.messages.last().startsWith(QStringLiteral("Plik nie jest zapisany w UTF-8")));
}

TEST_F(FormFixture, RefusedImportShowsTheMessageOnly)
{
    openPath = t.path("zle.csv");
    ASSERT_TRUE(writeFile(openPath, "Grupy\nNumer;Nazwa\nA;Warzywa\n"));
    form.ImportClick();
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(form.importResult()->text().isEmpty());
    EXPECT_FALSE(t.session->isModified());
}

TEST_F(FormFixture, ShowingClearsBothResults)
{
    form.exportResult()->setText(QStringLiteral("a"));
    form.importResult()->setText(QStringLiteral("b"));
    form.show();
    EXPECT_TRUE(form.exportResult()->text().isEmpty());
    EXPECT_TRUE(form.importResult()->text().isEmpty());
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
}

} // namespace

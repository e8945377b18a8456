#include "articletestdb.h"
#include "fakeui.h"

#include "app/appsession.h"
#include "app/articlelist/tedycjatowaru.h"
#include "app/articlelist/tlistatowarow.h"
#include "app/articlelist/tlistatowarowtandem.h"
#include "tables/articlegrid.h"
#include "tables/grouprecord.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct Rig {
    Rig() : app(t.session, ui) { app.setState(OperatingState::OfflineWithDatabase); }
    TestDb t;
    FakeUi ui;
    AppSession app;
};

} // namespace

TEST(TEdycjaTowaru, ShowsTheArticleAndSavesItUnchanged)
{
    Rig r;
    ArticleRecord a = TestDb::article(12, QStringLiteral("Kawa"), 5);
    a.vat = 'C';
    a.group = 2;
    a.tandem = 3;
    a.halo = 4;
    a.unit = 6;
    a.fixedPrice = true;
    a.wholeQuantity = false;
    a.barcode = QStringLiteral("0000000000777");
    r.t.put(a);
    GroupRecord g;
    g.number = 2;
    g.name = QStringLiteral("Napoje");
    ASSERT_TRUE(storeRecord(r.t.db(), layout::Groups, 2, g));
    const QByteArray before = r.t.articleBytes(12);

    TEdycjaTowaru editor(r.app);
    editor.setArticleNumber(12);
    editor.show();
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Edycja towaru"));
    EXPECT_EQ(editor.Edit1->text(), QStringLiteral("Kawa"));
    EXPECT_EQ(editor.Edit2->text(), QStringLiteral("0,05"));
    EXPECT_EQ(editor.Edit3->text(), QStringLiteral("0000000000777"));
    EXPECT_EQ(editor.ComboBox1->currentIndex(), 2);
    EXPECT_EQ(editor.ComboBox2->currentText(), QStringLiteral("2 Napoje"));
    EXPECT_EQ(editor.ComboBox3->count(), 21);
    EXPECT_EQ(editor.ComboBox3->currentIndex(), 3);
    EXPECT_EQ(editor.ComboBox4->currentIndex(), 4);
    EXPECT_TRUE(editor.CheckBox1->isChecked());
    EXPECT_FALSE(editor.CheckBox2->isChecked());
    EXPECT_EQ(editor.input().unitIndex, -1);

    // Without the article base editor behind it, the article keeps its unit and its price.
    editor.Button1Click();
    EXPECT_EQ(r.t.articleBytes(12), before);
    EXPECT_EQ(editor.result(), QDialog::Accepted);
    EXPECT_TRUE(r.t.session.isModified());
}

// A group, tandem or halo byte that the editor's lists cannot show is kept as stored, never
// written as 0xFF, and so is the unit the editor has no field for.
TEST(TEdycjaTowaru, KeepsStoredBytesItsListsCannotShow)
{
    struct Case {
        int group, tandem, halo, unit;
    };
    for (const Case c : {Case{0, 21, 10, 3}, Case{21, 255, 255, 12}, Case{200, 3, 9, 9}}) {
        Rig r;
        ArticleRecord a = TestDb::article(5, QStringLiteral("Herbata"), 350);
        a.group = c.group;
        a.tandem = c.tandem;
        a.halo = c.halo;
        a.unit = c.unit;
        r.t.put(a);
        const QByteArray before = r.t.articleBytes(5);
        TEdycjaTowaru editor(r.app);
        editor.setArticleNumber(5);
        editor.show();
        editor.Button1Click();
        EXPECT_EQ(r.t.articleBytes(5), before) << c.group << ' ' << c.tandem << ' ' << c.halo;
        EXPECT_TRUE(r.ui.messages.isEmpty()) << r.ui.messages.join(u'\n').toStdString();
    }
}

TEST(TEdycjaTowaru, HandsTheFieldsToTheCallersSaveAndClosesWhateverTheOutcome)
{
    Rig r;
    r.t.put(TestDb::article(3, QStringLiteral("Sok"), 200));
    TEdycjaTowaru editor(r.app);
    editor.setArticleNumber(3);
    editor.show();
    EXPECT_EQ(editor.Edit2->text(), QStringLiteral("2,00"));
    ArticleInput handed;
    editor.save = [&](const ArticleInput& in) { handed = in; };
    editor.Edit1->clear();
    QTest::keyClick(&editor, Qt::Key_Return);
    EXPECT_EQ(handed.number, QStringLiteral("3"));
    EXPECT_EQ(handed.name, QString());
    EXPECT_EQ(handed.price, QStringLiteral("2,00"));
    EXPECT_TRUE(editor.isHidden());
}

TEST(TEdycjaTowaru, RefusedInputIsReportedAndTheFileStays)
{
    Rig r;
    r.t.put(TestDb::article(3, QStringLiteral("Sok"), 200));
    r.t.put(TestDb::article(4, QStringLiteral("Woda"), 200));
    const QByteArray before = r.t.db().contents();
    TEdycjaTowaru editor(r.app);
    editor.setArticleNumber(4);
    editor.show();
    editor.Edit1->setText(QStringLiteral("SOK"));
    editor.Button1Click();
    EXPECT_EQ(r.ui.messages,
              QStringList{QStringLiteral("Towar SOK jest już zapisany w bazie pod numerem 3")});
    EXPECT_EQ(r.t.db().contents(), before);
}

TEST(TListaTowarow, ListsTheArticlesAndHandsBackTheChosenNumber)
{
    Rig r;
    TListaTowarow picker(r.app);
    picker.show();
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("Lista towarów"));
    EXPECT_EQ(picker.model()->rowCount(), 1); // an empty base: only the empty row
    picker.hide();
    r.t.put(TestDb::article(5, QStringLiteral("Ser")));
    r.t.put(TestDb::article(9, QStringLiteral("Jogurt")));
    picker.show();
    EXPECT_EQ(picker.model()->rowCount(), 3);
    EXPECT_EQ(picker.StringGrid1->columnWidth(1), 342);
    EXPECT_EQ(picker.model()->headerData(8, Qt::Horizontal).toString(),
              QStringLiteral("Ilość całkowita"));
    int chosen = 0;
    picker.chosen = [&](int n) { chosen = n; };
    picker.StringGrid1->setCurrentIndex(picker.model()->index(1, 0));
    picker.StringGrid1->setFocus();
    QTest::keyClick(picker.StringGrid1, Qt::Key_Return);
    EXPECT_EQ(chosen, 9);
    EXPECT_EQ(picker.chosenNumber(), 9);
    EXPECT_EQ(picker.result(), QDialog::Accepted);
}

TEST(TListaTowarow, EscapeClosesWithoutAChoiceAndNoDatabaseLeavesTheGrid)
{
    Rig r;
    r.t.put(TestDb::article(5, QStringLiteral("Ser")));
    TListaTowarow picker(r.app);
    picker.show();
    int chosen = 0;
    picker.chosen = [&](int n) { chosen = n; };
    QTest::keyClick(picker.StringGrid1, Qt::Key_Escape);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(picker.result(), QDialog::Rejected);

    r.app.setState(OperatingState::OnlineWithoutDatabase);
    TListaTowarow other(r.app);
    other.show();
    EXPECT_EQ(other.model()->rowCount(), 1);
    other.Button1Click(); // the empty row names no article
    EXPECT_EQ(other.chosenNumber(), 0);
}

TEST(TListaTowarowTandem, ListsTheLinkedArticlesAndWaitsForTheChoice)
{
    Rig r;
    for (int n : {10, 17, 20}) {
        ArticleRecord a = TestDb::article(n, QStringLiteral("Piwo ") + QString::number(n));
        a.tandem = n == 20 ? 4 : 3;
        r.t.put(a);
    }
    TListaTowarowTandem dialog(r.app);
    dialog.setPackagingNumber(3);
    QTimer::singleShot(0, [&] {
        // Drawn and still open: the choice is the user's.
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(dialog.confirmed());
        EXPECT_EQ(dialog.Memo1->toPlainText(), QStringLiteral("Piwo 10\nPiwo 17"));
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    dialog.exec();
    EXPECT_TRUE(dialog.confirmed());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Lista towarów powiązanych"));
}

TEST(TListaTowarowTandem, NoLinkedArticlesCancelAndEscape)
{
    Rig r;
    TListaTowarowTandem dialog(r.app);
    dialog.setPackagingNumber(5);
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(dialog.Memo1->toPlainText(),
                  QStringLiteral("Z opakowaniem nie są powiązane\nżadne towary."));
        dialog.Button2->click();
    });
    dialog.exec();
    EXPECT_FALSE(dialog.confirmed());

    // Escape closes as not confirmed.
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    EXPECT_FALSE(TListaTowarowTandem::confirmDeletion(r.app, 5));
    QTimer::singleShot(0, [] {
        auto* modal = qobject_cast<TListaTowarowTandem*>(QApplication::activeModalWidget());
        ASSERT_NE(modal, nullptr);
        modal->Button1->click();
    });
    EXPECT_TRUE(TListaTowarowTandem::confirmDeletion(r.app, 5));
}

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "app/forms/tmenuglowne.h"
#include "database/databasesession.h"
#include "fakeui.h"
#include "printing/forms/tdrukowaniekodowkreskowych.h"
#include "printing/forms/twydrukklawiatury.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// What the main window hands every form: the working database and the user interface.
struct Session {
    QTemporaryDir dir;
    DatabaseSession db{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    FakeUi ui;
    AppSession app{db, ui};
};

} // namespace

TEST(TWydrukKlawiatury, CopyColoursRightAfterShowing)
{
    Session s;
    TWydrukKlawiatury form(s.app);
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Wydruk klawiatury"));
    EXPECT_EQ(form.KopiujKolory->text(), QStringLiteral("Kopiuj kolory\nna wszystkie klawisze"));
    EXPECT_EQ(form.selectedKey(), -1);
    EXPECT_FALSE(form.Zatwierdz->isEnabled());
    form.KopiujKolory->click();
    for (const keyboard::KeyTemplate& k : form.design().keys) {
        EXPECT_EQ(k.upperColor, QColor(Qt::black));
        EXPECT_EQ(k.middleColor, QColor(Qt::black));
        EXPECT_EQ(k.lowerColor, QColor(Qt::black));
        EXPECT_EQ(k.background, QColor(Qt::white));
    }
    for (const QColor& c : form.design().arrowColors)
        EXPECT_EQ(c, QColor(Qt::white));
}

TEST(TWydrukKlawiatury, EditTextAndApply)
{
    Session s;
    TWydrukKlawiatury form(s.app);
    form.show();
    // Keys of 56 pixels from (4, 4): key 6 is the second of the second row.
    QTest::mouseClick(form.preview(), Qt::LeftButton, {}, QPoint(4 + 56 + 28, 4 + 56 + 28));
    EXPECT_EQ(form.selectedKey(), 6);
    EXPECT_TRUE(form.Zatwierdz->isEnabled());
    EXPECT_EQ(form.editor().upper, QStringLiteral("SYMBOLE"));
    form.EdytujDolny->click();
    EXPECT_EQ(form.EdycjaCaption->text(), QStringLiteral("Edycja tekstu dolnego:"));
    EXPECT_TRUE(form.EdycjaTekstu->isEnabled());
    EXPECT_EQ(form.EdycjaTekstu->maxLength(), 10);
    form.EdycjaTekstu->setText(QStringLiteral("KAWA"));
    form.Ok->click();
    EXPECT_EQ(form.design().keys[6].lower, QStringLiteral("KAWA"));
    // Without automatic applying the editor is cleared afterwards.
    EXPECT_EQ(form.selectedKey(), -1);
    EXPECT_FALSE(form.Zatwierdz->isEnabled());
    EXPECT_FALSE(form.EdycjaTekstu->isEnabled());
    EXPECT_EQ(form.editor().upper, QString());
    EXPECT_EQ(form.swatch(3), QColor(Qt::white));

    form.EdytujGorny->click();
    EXPECT_EQ(form.EdycjaCaption->text(), QStringLiteral("Edycja tekstu górnego:"));
    form.EdytujSrodkowy->click();
    EXPECT_EQ(form.EdycjaCaption->text(), QStringLiteral("Edycja tekstu środkowego:"));
}

TEST(TWydrukKlawiatury, ColoursApplyAtOnceWhenAutomatic)
{
    Session s;
    TWydrukKlawiatury form(s.app);
    form.show();
    form.chooseColor = [](const QColor&) { return QColor(Qt::red); };
    form.CheckBox1->setChecked(true);
    form.selectKey(14); // arrow key: the middle colour is its glyph colour
    EXPECT_FALSE(form.Zatwierdz->isEnabled());
    form.KolorSrodkowy->click();
    EXPECT_EQ(form.design().keys[14].middleColor, QColor(Qt::red));
    EXPECT_EQ(form.design().arrowColors[3], QColor(Qt::red));
    EXPECT_EQ(form.selectedKey(), 14); // stays selected
    form.KolorTla->click();
    EXPECT_EQ(form.design().keys[14].background, QColor(Qt::red));
    form.CheckBox1->setChecked(false);
    EXPECT_TRUE(form.Zatwierdz->isEnabled());
    // A cancelled colour dialog changes nothing.
    form.chooseColor = [](const QColor&) { return QColor(); };
    form.KolorGorny->click();
    EXPECT_EQ(form.editor().upperColor, QColor(Qt::black));
}

TEST(TWydrukKlawiatury, PrintsOnePage)
{
    QTemporaryDir dir;
    Session s;
    TWydrukKlawiatury form(s.app);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir.filePath(QStringLiteral("k.pdf"));
    printer.setOutputFileName(pdf);
    form.printTo(printer);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("%PDF"));
}

namespace {

QByteArray articleTable()
{
    QByteArray t(2000 * 68, '\0');
    auto put = [&](int n, const QByteArray& name, const QByteArray& code) {
        const int at = 68 * (n - 1);
        t[at] = char(n);
        t.replace(at + 2, name.size(), name);
        t[at + 44] = 'A';
        t[at + 45] = char(0xE2); // 1250 = 0x04E2
        t[at + 46] = char(0x04);
        t.replace(at + 49, code.size(), code);
    };
    put(3, "Mleko", "5901234123457");
    put(9, "Chleb", "0000000000123");
    return t;
}

} // namespace

TEST(TDrukowanieKodowKreskowych, ListClickAndTrackBar)
{
    Session s;
    TDrukowanieKodowKreskowych form(s.app);
    form.readArticleTable = articleTable;
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Drukowanie kodów kreskowych"));
    ASSERT_EQ(form.ListBox1->count(), 2);
    EXPECT_EQ(form.ListBox1->item(0)->text(),
              QStringLiteral("   3. Mleko                     12,50 A"));
    EXPECT_EQ(form.TrackBar1->value(), 20);
    EXPECT_EQ(form.Wysokosc->text(), QStringLiteral("20 mm"));
    form.TrackBar1->setValue(45);
    EXPECT_EQ(form.settings().barHeightMm, 45);
    EXPECT_EQ(form.settings().pitchMm(), 60);
    EXPECT_EQ(form.Wysokosc->text(), QStringLiteral("45 mm"));
    form.ListBox1->setCurrentRow(1);
    EXPECT_EQ(form.KodTowaru->text(), QStringLiteral("Kod towaru: 0000000000123"));
    // Showing again resets the bar height.
    form.hide();
    form.show();
    EXPECT_EQ(form.settings().barHeightMm, 20);
}

TEST(TDrukowanieKodowKreskowych, NothingCheckedShowsTheMessageAndNoDialog)
{
    Session s;
    TDrukowanieKodowKreskowych form(s.app);
    form.readArticleTable = articleTable;
    QStringList messages;
    bool dialogShown = false;
    form.showMessage = [&](const QString& t) { messages << t; };
    form.runPrintDialog = [&](QPrinter&) { return dialogShown = true; };
    form.show();
    EXPECT_FALSE(form.DrukujClick());
    EXPECT_EQ(messages, QStringList{QStringLiteral("Brak zaznaczonych towarów do wydrukowania")});
    EXPECT_FALSE(dialogShown);
}

TEST(TDrukowanieKodowKreskowych, PrintsTheCheckedLabels)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("l.pdf"));
    Session s;
    TDrukowanieKodowKreskowych form(s.app);
    form.readArticleTable = articleTable;
    bool cancelled = true;
    form.runPrintDialog = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return !cancelled;
    };
    form.show();
    // Double click toggles the check mark.
    emit form.ListBox1->itemDoubleClicked(form.ListBox1->item(1));
    EXPECT_EQ(form.ListBox1->item(1)->checkState(), Qt::Checked);
    emit form.ListBox1->itemDoubleClicked(form.ListBox1->item(0));
    emit form.ListBox1->itemDoubleClicked(form.ListBox1->item(0));
    EXPECT_EQ(form.ListBox1->item(0)->checkState(), Qt::Unchecked);
    const std::vector<labels::Label> checked = form.checkedLabels();
    ASSERT_EQ(checked.size(), 1u);
    EXPECT_EQ(checked[0].barcode, QByteArray("0000000000123"));
    EXPECT_EQ(checked[0].name, QStringLiteral("Chleb"));
    EXPECT_FALSE(form.DrukujClick()); // dialog cancelled
    EXPECT_FALSE(QFile::exists(pdf));
    cancelled = false;
    EXPECT_TRUE(form.DrukujClick());
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("%PDF"));
}

TEST(PrintingForms, RegisteredForTheMainWindow)
{
    // The main window enables "Wydruk klawiatury" and "Wydruk kodów kreskowych" by these.
    Session s;
    for (const char* name : {"TWydrukKlawiatury", "TDrukowanieKodowKreskowych"}) {
        const FormFactory* make = FormRegistry::find(name);
        ASSERT_NE(make, nullptr) << name;
        std::unique_ptr<QDialog> form((*make)(s.app, nullptr));
        EXPECT_STREQ(form->metaObject()->className(), name);
    }
}

TEST(TDrukowanieKodowKreskowych, ReadsTheArticlesOfTheOpenDatabase)
{
    Session s;
    ASSERT_TRUE(s.db.startUp().ok);
    s.app.setState(OperatingState::OfflineWithDatabase);
    ArticleRecord a;
    a.number = 1999;
    a.name = QStringLiteral("Żurek w butelce 0,5 l z długą nazwą");
    a.vat = 'B';
    a.price = 799;
    a.barcode = QStringLiteral("5900000000017");
    ASSERT_TRUE(storeRecord(s.app.database(), layout::Articles, 1999, a));
    TDrukowanieKodowKreskowych form(s.app);
    form.show();
    ASSERT_EQ(form.ListBox1->count(), 1);
    // The name is cut to 20 characters in the list, printed whole on the label.
    EXPECT_EQ(form.ListBox1->item(0)->text(),
              QStringLiteral("1999. Żurek w butelce 0,5        7,99 B"));
    form.ListBox1->item(0)->setCheckState(Qt::Checked);
    const std::vector<labels::Label> checked = form.checkedLabels();
    ASSERT_EQ(checked.size(), 1u);
    EXPECT_EQ(checked[0].barcode, QByteArray("5900000000017"));
    EXPECT_EQ(checked[0].name, a.name);

    // Without a database the list stays empty.
    s.app.setState(OperatingState::OnlineWithoutDatabase);
    form.hide();
    form.show();
    EXPECT_EQ(form.ListBox1->count(), 0);
}

// The main window keeps both printing forms: the keyboard template designed in one opening is
// there at the next (with the editor cleared), and the checked labels stay checked while their
// articles read the same; an article edited meanwhile comes back unchecked, a new one too.
TEST(PrintingForms, ChoicesSurviveReopeningThroughTheMainWindow)
{
    QTemporaryDir dir;
    FakeUi ui;
    TMenuGlowne w(ui, dir.path(), dir.filePath(QStringLiteral("BDTemp.bdt")));
    std::function<void(QDialog&)> step;
    w.runDialog = [&](QDialog& d) {
        d.show();
        step(d);
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible());
    };

    step = [](QDialog& d) {
        auto& f = dynamic_cast<TWydrukKlawiatury&>(d);
        f.selectKey(6);
        f.EdytujDolny->click();
        f.EdycjaTekstu->setText(QStringLiteral("KAWA"));
        f.Ok->click();
        f.selectKey(7);
    };
    w.openForm("TWydrukKlawiatury");
    step = [](QDialog& d) {
        auto& f = dynamic_cast<TWydrukKlawiatury&>(d);
        EXPECT_EQ(f.design().keys[6].lower, QStringLiteral("KAWA"));
        EXPECT_EQ(f.selectedKey(), -1);
        EXPECT_FALSE(f.Zatwierdz->isEnabled());
    };
    w.openForm("TWydrukKlawiatury");

    RegisterDatabase& db = w.session().database();
    auto article = [&](int number, const QString& name) {
        ArticleRecord a;
        a.number = quint16(number);
        a.name = name;
        a.vat = 'A';
        a.price = 100;
        a.barcode = QStringLiteral("5900000000017");
        ASSERT_TRUE(storeRecord(db, layout::Articles, number, a));
    };
    article(1, QStringLiteral("Mleko"));
    article(2, QStringLiteral("Chleb"));
    step = [](QDialog& d) {
        auto& f = dynamic_cast<TDrukowanieKodowKreskowych&>(d);
        ASSERT_EQ(f.ListBox1->count(), 2);
        f.ListBox1->item(0)->setCheckState(Qt::Checked);
        f.ListBox1->item(1)->setCheckState(Qt::Checked);
        f.TrackBar1->setValue(45);
    };
    w.openForm("TDrukowanieKodowKreskowych");
    article(2, QStringLiteral("Chleb razowy"));
    article(3, QStringLiteral("Masło"));
    step = [](QDialog& d) {
        auto& f = dynamic_cast<TDrukowanieKodowKreskowych&>(d);
        ASSERT_EQ(f.ListBox1->count(), 3);
        EXPECT_EQ(f.ListBox1->item(0)->checkState(), Qt::Checked);
        EXPECT_EQ(f.ListBox1->item(1)->checkState(), Qt::Unchecked);
        EXPECT_EQ(f.ListBox1->item(2)->checkState(), Qt::Unchecked);
        EXPECT_EQ(f.settings().barHeightMm, 20); // back to 20 mm at every showing
    };
    w.openForm("TDrukowanieKodowKreskowych");
    EXPECT_TRUE(ui.messages.isEmpty());
}

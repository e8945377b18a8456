// The article base editor driven as the user drives it, on the offscreen platform.
#include "articletestdb.h"
#include "fakeui.h"
#include "person.h"

#include "app/appsession.h"
#include "app/articlelist/tedycjatowaru.h"
#include "app/forms/formregistry.h"
#include "app/forms/guitransferui.h"
#include "emulator/emulatorhost.h"
#include "link/link.h"
#include "link/portmap.h"
#include "printing/articlelistprint.h"
#include "tables/articlegrid.h"
#include "tables/forms/articles/tprogramowanietowarow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace {

// A FakeUi that can act while a run lets window messages through.
struct HookUi : FakeUi {
    std::function<void()> duringEvents;
    void processEvents() override
    {
        FakeUi::processEvents();
        if (duringEvents)
            duringEvents();
    }
};

struct Rig {
    explicit Rig(int articles = 3) : app(t.session, ui)
    {
        app.setState(OperatingState::OfflineWithDatabase);
        for (int n = 1; n <= articles; ++n)
            t.put(TestDb::article(n, QStringLiteral("Towar ") + QString::number(n), 100 * n));
        form = std::make_unique<TProgramowanieTowarow>(app);
        form->show();
        form->activateWindow();
        (void)QTest::qWaitForWindowActive(form.get());
    }
    void select(int row) { form->StringGrid1->setCurrentIndex(form->model()->index(row, 0)); }
    TestDb t;
    HookUi ui;
    AppSession app;
    std::unique_ptr<TProgramowanieTowarow> form;
};

int pdfPages(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(f.readAll());
    return int(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

} // namespace

TEST(TProgramowanieTowarow, RegisteredAndShownWithItsListsAndTheNextFreeNumber)
{
    EXPECT_NE(FormRegistry::find("TProgramowanieTowarow"), nullptr);
    Rig r;
    EXPECT_EQ(r.form->windowTitle(), QStringLiteral("Edycja bazy towarowej"));
    EXPECT_EQ(r.form->model()->rowCount(), 4);
    EXPECT_EQ(r.form->Wolne->text(), QStringLiteral("1997/2000"));
    EXPECT_EQ(r.form->Edit4->text(), QStringLiteral("4"));
    EXPECT_EQ(r.form->ComboBox2->count(), 20);
    EXPECT_EQ(r.form->NumerOpakowania->count(), 21);
    EXPECT_EQ(r.form->ComboBox3->count(), 10);
    EXPECT_EQ(r.form->ComboBox4->itemText(0), QStringLiteral("brak"));
    EXPECT_TRUE(r.form->CheckBox3->isChecked());
    EXPECT_FALSE(r.form->CheckBox4->isChecked());
}

TEST(TProgramowanieTowarow, EnterAddsTheArticleAndProposesTheNextNumber)
{
    Rig r;
    r.form->Edit5->setText(QStringLiteral("Mleko"));
    r.form->Edit1->setText(QStringLiteral("12.5"));
    r.form->Edit2->setText(QStringLiteral("123"));
    r.form->ComboBox4->setCurrentIndex(2);
    r.form->Edit5->setFocus();
    QTest::keyClick(r.form.get(), Qt::Key_Return);
    const ArticleRecord a = ArticleRecord::decode(r.t.articleBytes(4));
    EXPECT_EQ(a.name, QStringLiteral("Mleko"));
    EXPECT_EQ(a.price, 1250);
    EXPECT_EQ(a.barcode, QStringLiteral("0000000000123"));
    EXPECT_EQ(a.unit, 2);
    EXPECT_TRUE(r.t.session.isModified());
    EXPECT_EQ(r.form->model()->rowCount(), 5);
    EXPECT_EQ(r.form->Edit5->text(), QString());
    EXPECT_EQ(r.form->Edit2->text(), QString());
    EXPECT_EQ(r.form->Edit1->text(), QStringLiteral("0,00"));
    EXPECT_EQ(r.form->Edit4->text(), QStringLiteral("5"));
    EXPECT_TRUE(r.ui.messages.isEmpty());
}

TEST(TProgramowanieTowarow, HintsAndMessagesLeaveTheFileAndTheFieldsAsTyped)
{
    Rig r;
    const QByteArray before = r.t.db().contents();
    r.form->Edit4->clear();
    r.form->Edit1->clear();
    EXPECT_FALSE(r.form->DodajDoBazyClick());
    EXPECT_FALSE(r.form->Hint4->isHidden());
    EXPECT_FALSE(r.form->Hint5->isHidden());
    EXPECT_FALSE(r.form->Hint1->isHidden());
    EXPECT_TRUE(r.ui.messages.isEmpty());

    r.form->Edit4->setText(QStringLiteral("9"));
    r.form->Edit5->setText(QStringLiteral("towar-2"));
    r.form->Edit1->setText(QStringLiteral("1"));
    EXPECT_FALSE(r.form->DodajDoBazyClick());
    EXPECT_TRUE(r.form->Hint4->isHidden());
    EXPECT_TRUE(r.form->Hint5->isHidden());
    EXPECT_EQ(r.ui.messages,
              QStringList{QStringLiteral("Towar TOWAR2 jest już zapisany w bazie pod numerem 2")});
    EXPECT_EQ(r.form->Edit5->text(), QStringLiteral("towar-2"));
    EXPECT_EQ(r.t.db().contents(), before);
    EXPECT_FALSE(r.t.session.isModified());
}

TEST(TProgramowanieTowarow, DoubleClickLoadsTheArticleForEditing)
{
    Rig r;
    ArticleRecord a = TestDb::article(2, QStringLiteral("Kawa"), 5);
    a.vat = 'C';
    a.group = 3;
    a.unit = 4;
    a.fixedPrice = true;
    r.t.put(a);
    r.form->refillGrid();
    r.form->StringGrid1DblClick(1);
    EXPECT_EQ(r.form->Edit4->text(), QStringLiteral("2"));
    EXPECT_EQ(r.form->Edit5->text(), QStringLiteral("Kawa"));
    EXPECT_EQ(r.form->Edit1->text(), QStringLiteral("0,05"));
    EXPECT_EQ(r.form->ComboBox1->currentIndex(), 2);
    EXPECT_EQ(r.form->ComboBox2->currentIndex(), 2);
    EXPECT_EQ(r.form->ComboBox4->currentIndex(), 4);
    EXPECT_TRUE(r.form->CheckBox2->isChecked());
}

TEST(TProgramowanieTowarow, DeleteSelectedReselectsTheRowOrTheOneAbove)
{
    Rig r;
    r.select(1);
    r.form->UsunTowarClick();
    EXPECT_EQ(r.t.articleBytes(2), QByteArray(68, '\0'));
    EXPECT_EQ(r.form->model()->shownNumbers(), (QList<int>{1, 3}));
    EXPECT_EQ(r.form->StringGrid1->currentIndex().row(), 1);
    r.form->UsunTowarClick(); // article 3, the last: the row above is selected
    EXPECT_EQ(r.form->StringGrid1->currentIndex().row(), 0);
    r.select(1); // the empty row deletes nothing
    const QByteArray before = r.t.db().contents();
    r.form->UsunTowarClick();
    EXPECT_EQ(r.t.db().contents(), before);
    EXPECT_EQ(r.form->Wolne->text(), QStringLiteral("1999/2000"));
}

TEST(TProgramowanieTowarow, SearchKeepsTheMatchingRows)
{
    Rig r;
    r.form->Edit6->setText(QStringLiteral("towar 2"));
    r.form->Edit6->setFocus();
    QTest::keyClick(r.form->Edit6, Qt::Key_Return);
    EXPECT_EQ(r.form->model()->shownNumbers(), QList<int>{2});
    EXPECT_EQ(r.form->model()->rowCount(), 2);
    EXPECT_EQ(r.t.articleBytes(4), QByteArray(68, '\0')); // Enter in the search adds nothing
}

// "Edytuj zaznaczony": the editor has no unit field, so the article keeps its own unit (and the
// unit chosen in the form stays for the next addition); a group, tandem or halo byte that the
// editor's lists cannot show is kept as stored, never written as 0xFF.
TEST(TProgramowanieTowarow, EditSelectedKeepsTheUnitAndBytesTheEditorCannotShow)
{
    struct Case {
        int group, tandem, halo, unit;
    };
    for (const Case c : {Case{3, 2, 4, 5}, Case{0, 25, 12, 0}, Case{30, 0, 200, 11}}) {
        Rig r;
        ArticleRecord a = TestDb::article(2, QStringLiteral("Towar 2"), 200);
        a.group = c.group;
        a.tandem = c.tandem;
        a.halo = c.halo;
        a.unit = c.unit;
        r.t.put(a);
        r.form->refillGrid();
        r.form->ComboBox4->setCurrentIndex(7);
        r.select(1);
        QTimer::singleShot(0, [] {
            auto* editor = qobject_cast<TEdycjaTowaru*>(QApplication::activeModalWidget());
            ASSERT_NE(editor, nullptr);
            EXPECT_EQ(editor->Label9->text(), QStringLiteral("2"));
            EXPECT_EQ(editor->Edit2->text(), QStringLiteral("2,00"));
            editor->Edit1->setText(QStringLiteral("Towar drugi"));
            editor->Button1->click();
        });
        r.form->EdytujTowarClick();
        const ArticleRecord saved = ArticleRecord::decode(r.t.articleBytes(2));
        EXPECT_EQ(saved.name, QStringLiteral("Towar drugi"));
        EXPECT_EQ(saved.price, 200);
        EXPECT_EQ(saved.group, c.group);
        EXPECT_EQ(saved.tandem, c.tandem);
        EXPECT_EQ(saved.halo, c.halo);
        EXPECT_EQ(saved.unit, c.unit);
        EXPECT_EQ(r.form->ComboBox4->currentIndex(), 7);
        EXPECT_EQ(r.form->StringGrid1->currentIndex().row(), 1);
        EXPECT_TRUE(r.t.session.isModified());
    }
}

TEST(TProgramowanieTowarow, PrintsTwoThousandArticlesToPdf)
{
    Rig r(0);
    for (int n = 1; n <= 2000; ++n)
        r.t.put(TestDb::article(n, QStringLiteral("Towar ") + QString::number(n), n));
    const QString path = r.t.dir.filePath(QStringLiteral("lista.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const int expected = articleprint::pageCount(2000, articleprint::metricsFor(printer));
    EXPECT_EQ(r.form->printRows().size(), 2000u);
    EXPECT_EQ(r.form->printTo(printer), expected);
    EXPECT_GT(expected, 40);
    EXPECT_EQ(pdfPages(path), expected);

    // The print button goes through the preview.
    int previews = 0;
    r.form->runPreview = [&](QPrinter&) { ++previews; };
    r.form->DrukujClick();
    EXPECT_EQ(previews, 1);
}

namespace {

struct Online {
    explicit Online(emu::Model model) : reg(model), host(reg)
    {
        started = host.start();
        portmap::setPortOverride(42, host.devicePath());
        link.port = 42;
        opened = started && link.openPort(rig.ui, true) == 0;
        rig.app.setState(OperatingState::OnlineWithDatabase);
        rig.app.setRegisterType(model == emu::Model::Duno ? RegisterType::Duno
                                                          : RegisterType::DunoBis);
        rig.form->setLink(link);
    }
    ~Online()
    {
        link.closePort();
        portmap::clearPortOverrides();
    }
    Rig rig;
    emu::RegisterModel reg;
    emu::EmulatorHost host;
    Link link;
    bool started = false, opened = false;
};

} // namespace

TEST(TProgramowanieTowarow, SendAllAndReadBackThroughTheForm)
{
    Online o(emu::Model::DunoBis);
    ASSERT_TRUE(o.opened);
    o.rig.form->WyslijWszystkieClick();
    EXPECT_EQ(o.rig.ui.messages, QStringList{QStringLiteral(" Zaprogramowano 3 towarów.")});
    EXPECT_TRUE(o.rig.form->PanelWysylania->isHidden());
    EXPECT_EQ(o.rig.form->LiczbaWyslanych->text(), QStringLiteral("3/3"));

    // Forget article 2 here, read it back from the register.
    o.rig.select(1);
    o.rig.form->UsunTowarClick();
    o.rig.form->OdczytajZKasyClick();
    EXPECT_EQ(ArticleRecord::decode(o.rig.t.articleBytes(2)).name, QStringLiteral("Towar 2"));
    EXPECT_EQ(o.rig.form->model()->rowCount(), 4);
    EXPECT_TRUE(o.rig.form->PanelCzekaj->isHidden());
}

TEST(TProgramowanieTowarow, SendSelectedAndAutoSendOnDuno)
{
    Online o(emu::Model::Duno);
    ASSERT_TRUE(o.opened);
    o.rig.select(0);
    o.rig.form->WyslijTowarClick();
    EXPECT_EQ(o.rig.ui.messages, QStringList{QStringLiteral("Towar zapisano w kasie")});
    o.rig.ui.messages.clear();
    o.rig.form->CheckBox4->setChecked(true);
    o.rig.form->Edit5->setText(QStringLiteral("Nowy"));
    o.rig.form->Edit1->setText(QStringLiteral("1"));
    EXPECT_TRUE(o.rig.form->DodajDoBazyClick());
    EXPECT_TRUE(o.rig.ui.messages.isEmpty()) << o.rig.ui.messages.join(u'\n').toStdString();
    auto lock = o.host.lock();
    EXPECT_EQ(o.reg.image(emu::RegisterModel::Articles, 4).mid(2, 4), QByteArray("Nowy"));
}

// Damages the frame that first programs `article`, the way a poor line can and the frame's
// check byte cannot see: the same bit of two of its bytes (the article's name). True once
// the register has taken the damaged frame.
std::function<bool()> damageOnce(Online& o, int article)
{
    auto armed = std::make_shared<bool>(false);
    o.link.trace = [&o, article, armed](char direction, QByteArrayView bytes) {
        if (direction != '>' || *armed || bytes.size() != 78 || bytes[6] != 'T' ||
            (quint8(bytes[7]) | quint8(bytes[8]) << 8) != article)
            return;
        *armed = true;
        auto hold = o.host.lock();
        emu::FaultPlan plan;
        plan.undetected = {o.reg.framesReceived() + 1};
        o.reg.setFaults(plan);
    };
    return [&o, armed] {
        auto hold = o.host.lock();
        return *armed && o.reg.faults().undetected.isEmpty();
    };
}

QByteArray registerName(Online& o, int article)
{
    auto hold = o.host.lock();
    return o.reg.image(emu::RegisterModel::Articles, article).mid(2, 7);
}

// "Sprawdź po zaprogramowaniu" after "Wyślij wszystkie" and after "Tylko zmienione": the
// check reads the base back, finds the article the line damaged, programs it again and the
// summary says the register holds the database.
TEST(TProgramowanieTowarow, SendAllCheckedAfterwardsMendsWhatTheLineDamaged)
{
    Online o(emu::Model::DunoBis);
    ASSERT_TRUE(o.opened);
    o.link.fastTransfers = true;
    EXPECT_FALSE(o.rig.form->Sprawdz->isChecked());
    o.rig.form->Sprawdz->setChecked(true);

    auto damaged = damageOnce(o, 2);
    o.rig.form->WyslijWszystkieClick();
    EXPECT_TRUE(damaged());
    EXPECT_EQ(o.rig.ui.messages,
              QStringList{QStringLiteral(" Zaprogramowano 3 towarów.\n\nKasa zgodna z bazą.")});
    EXPECT_EQ(registerName(o, 2), QByteArray("Towar 2"));

    o.rig.ui.messages.clear();
    o.rig.t.put(TestDb::article(3, QStringLiteral("Towar 3"), 999));
    o.rig.form->TylkoZmienione->setChecked(true);
    damaged = damageOnce(o, 3);
    o.rig.form->WyslijWszystkieClick();
    EXPECT_TRUE(damaged());
    ASSERT_EQ(o.rig.ui.messages.size(), 1) << o.rig.ui.messages.join(u'\n').toStdString();
    EXPECT_TRUE(o.rig.ui.messages.first().endsWith(QStringLiteral("\n\nKasa zgodna z bazą.")))
        << o.rig.ui.messages.first().toStdString();
    EXPECT_EQ(registerName(o, 3), QByteArray("Towar 3"));
    o.link.trace = {};
}

namespace {

// The form with the program's own user interface (GuiTransferUi) and the emulator holding
// a demo base, with fast transfers so that the runs take no longer than the line needs.
struct GuiOnline {
    explicit GuiOnline(int articles) : app(t.session, ui), host(reg)
    {
        reg.fillDemo(articles);
        started = host.start();
        portmap::setPortOverride(42, host.devicePath());
        link.port = 42;
        link.fastTransfers = true;
        opened = started && link.openPort(ui, true) == 0;
        app.setState(OperatingState::OnlineWithDatabase);
        app.setRegisterType(RegisterType::DunoBis);
        form = std::make_unique<TProgramowanieTowarow>(app);
        form->setLink(link);
        ui.setParent(form.get());
        form->show();
        form->activateWindow();
        (void)QTest::qWaitForWindowActive(form.get());
    }
    ~GuiOnline()
    {
        form.reset();
        link.closePort();
        portmap::clearPortOverrides();
    }
    // Runs `act` once the register has sent `frames` answers in the run that follows.
    void afterFrames(int frames, std::function<void()> act)
    {
        auto received = std::make_shared<int>(0);
        link.trace = [frames, received, act](char direction, QByteArrayView) {
            if (direction == '<' && ++*received == frames)
                act();
        };
    }
    int articlesInDatabase()
    {
        const QByteArray table = t.table();
        int used = 0;
        for (int n = 1; n <= layout::Articles.count; ++n)
            used += ArticleRecord::used(layout::Articles.record(table, n)) ? 1 : 0;
        return used;
    }
    TestDb t;
    GuiTransferUi ui;
    AppSession app;
    emu::RegisterModel reg{emu::Model::DunoBis};
    emu::EmulatorHost host;
    Link link;
    Person person;
    std::unique_ptr<TProgramowanieTowarow> form;
    bool started = false, opened = false;
};

} // namespace

// "Odczytaj z kasy" as a person uses it: a whole read leaves no progress window and says
// nothing; a read stopped with Escape says how many articles came; the read after it is whole.
TEST(TProgramowanieTowarow, ReadFromRegisterWholeStoppedAndWholeAgain)
{
    GuiOnline o(120);
    ASSERT_TRUE(o.opened);
    QTest::mouseClick(o.form->OdczytajZKasy, Qt::LeftButton);
    EXPECT_EQ(o.articlesInDatabase(), 120);
    EXPECT_EQ(o.form->model()->rowCount(), 121);
    EXPECT_TRUE(o.person.seen.isEmpty()) << o.person.seen.join(u'\n').toStdString();
    EXPECT_EQ(progressWindowsShown(), 0);
    EXPECT_TRUE(o.form->PanelCzekaj->isHidden());
    EXPECT_TRUE(o.app.session().isModified());

    // Forget the base, stop the next read with Escape after 30 answers.
    for (int n = 1; n <= 120; ++n)
        o.t.db().writeRecord(layout::Articles.offsetOf(n), QByteArray(68, '\0'));
    bool lockedDuringRun = false;
    o.afterFrames(30, [&] {
        lockedDuringRun = !o.form->OdczytajZKasy->isEnabled() && !o.form->Edit5->isEnabled();
        QTest::keyClick(o.form.get(), Qt::Key_Escape);
    });
    QTest::mouseClick(o.form->OdczytajZKasy, Qt::LeftButton);
    o.link.trace = {};
    EXPECT_TRUE(lockedDuringRun);
    EXPECT_TRUE(o.form->isVisible()); // Escape stopped the run, it did not close the form
    const int stored = o.articlesInDatabase();
    EXPECT_GT(stored, 0);
    EXPECT_LT(stored, 120);
    EXPECT_EQ(o.person.seen, QStringList{QStringLiteral("Przerwano. Odczytano ") +
                                         QString::number(stored) + u'.'});
    EXPECT_EQ(progressWindowsShown(), 0);
    EXPECT_TRUE(o.form->OdczytajZKasy->isEnabled());

    o.person.seen.clear();
    QTest::mouseClick(o.form->OdczytajZKasy, Qt::LeftButton);
    EXPECT_EQ(o.articlesInDatabase(), 120);
    EXPECT_TRUE(o.person.seen.isEmpty()) << o.person.seen.join(u'\n').toStdString();
    EXPECT_EQ(progressWindowsShown(), 0);
}

// "Wyślij wszystkie" with the send panel's own "Anuluj": while the run goes on every other
// control is disabled (a second click or Enter starts nothing, Escape does not close); after
// "Anuluj" the next frame carries the end marker, the register ends the run there and the
// person is told how many articles went; no progress window is ever shown.
TEST(TProgramowanieTowarow, SendAllStoppedWithThePanelsAnuluj)
{
    GuiOnline o(0);
    ASSERT_TRUE(o.opened);
    for (int n = 1; n <= 12; ++n)
        o.t.put(TestDb::article(n, QStringLiteral("Towar ") + QString::number(n), 100 * n));
    o.form->refillGrid();
    QList<quint16> sequences;
    int received = 0;
    bool locked = false;
    o.link.trace = [&](char dir, QByteArrayView bytes) {
        if (dir == '>' && bytes.size() > 11 && bytes[6] == 'T')
            sequences.append(quint16(quint8(bytes[4]) | (quint8(bytes[5]) << 8)));
        if (dir == '<' && ++received == 3) {
            locked = !o.form->WyslijWszystkie->isEnabled() && o.form->AnulujWysylanie->isEnabled();
            QTest::mouseClick(o.form->WyslijWszystkie, Qt::LeftButton); // starts nothing
            QTest::keyClick(o.form->Edit5, Qt::Key_Return);             // adds nothing
            EXPECT_EQ(progressWindowsShown(), 0);
            QTest::mouseClick(o.form->AnulujWysylanie, Qt::LeftButton);
        }
    };
    QTest::mouseClick(o.form->WyslijWszystkie, Qt::LeftButton);
    o.link.trace = {};
    EXPECT_TRUE(locked);
    ASSERT_FALSE(sequences.isEmpty());
    EXPECT_LT(sequences.size(), 12);
    EXPECT_TRUE(sequences.last() & 0x8000);
    for (qsizetype i = 0; i + 1 < sequences.size(); ++i)
        EXPECT_EQ(sequences[i], quint16(i + 1));
    EXPECT_EQ(o.person.seen,
              QStringList{QStringLiteral("Przerwano. Wysłano ") +
                          QString::number(sequences.size()) + QStringLiteral(" z 12.")});
    EXPECT_TRUE(o.form->PanelWysylania->isHidden());
    EXPECT_TRUE(o.form->WyslijWszystkie->isEnabled());
    EXPECT_TRUE(o.form->isVisible());
    EXPECT_EQ(o.t.articleBytes(13), QByteArray(68, '\0'));
    EXPECT_EQ(progressWindowsShown(), 0);
}

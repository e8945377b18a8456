// "Kasy w sieci sklepów" as a person uses it: a list file of three shops' registers, each an
// emulated register behind a TCP port of its own, opened in the form with the program's own
// user interface; the registers copied into their databases at once, a price changed in one
// database and only that change programmed, a register whose device server is gone failing
// alone, and a programming run stopped half-way and resumed. Message boxes are read and
// answered as a person would.

#include "chainshop.h"

#include "app/appsession.h"
#include "app/forms/guitransferui.h"
#include "database/databasesession.h"
#include "person.h"
#include "tables/tablelayout.h"
#include "transfer/forms/tkasywsiecisklepow.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Form = TKasyWSieciSklepow;

constexpr int RunCeilingMs = 60000;

// The program's session, the form on it, and a list file naming `shops`.
struct Window {
    template <size_t N> explicit Window(ChainShop (&shops)[N])
    {
        QString text = QStringLiteral("# NAZWA PORT ADRES BAZA\n");
        for (size_t i = 0; i < N; ++i)
            text +=
                QStringLiteral("kasa%1 %2 1 kasa%1.vkf\n").arg(i + 1).arg(shops[i].host.address());
        QFile file(dir.filePath(QStringLiteral("sklepy.txt")));
        if (file.open(QIODevice::WriteOnly))
            file.write(text.toUtf8());
        db.startUp();
        // The port settings' fast transfers: a run waits only for the registers' answers.
        app.setFastTransfers(true);
        ui.setParent(&form);
        form.chooseOpenPath = [this] { return dir.filePath(QStringLiteral("sklepy.txt")); };
        form.show();
    }
    QString database(int n) const { return dir.filePath(QStringLiteral("kasa%1.vkf").arg(n)); }
    QString cell(int row, int column) const { return form.Siatka->item(row, column)->text(); }
    // Presses `button` and waits for the run it starts to end.
    bool run(QPushButton* button)
    {
        if (!button->isEnabled())
            return false;
        button->click();
        return QTest::qWaitFor([this] { return !form.running(); }, RunCeilingMs);
    }

    QTemporaryDir dir;
    DatabaseSession db{dir.filePath(DatabaseSession::WorkingCopyName)};
    GuiTransferUi ui;
    AppSession app{db, ui};
    Form form{app};
    Person person;
};

} // namespace

TEST(ChainForm, CopiesThreeRegistersProgramsOnlyTheChangeAndAGoneRegisterFailsAlone)
{
    ChainShop shops[] = {ChainShop(emu::Model::DunoBis), ChainShop(emu::Model::DunoBis),
                         ChainShop(emu::Model::Duno)};
    for (const ChainShop& shop : shops)
        ASSERT_TRUE(shop.running);
    Window w(shops);
    w.form.OtworzListe->click();
    ASSERT_EQ(w.form.Siatka->rowCount(), 3) << w.person.seen.join(u'\n').toStdString();
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(w.form.Siatka->item(r, Form::NameColumn)->checkState(), Qt::Checked);
    EXPECT_EQ(w.cell(1, Form::DatabaseColumn), QStringLiteral("kasa2.vkf"));

    // The copy of every ticked register into its own database.
    ASSERT_TRUE(w.run(w.form.KopiaKasy));
    EXPECT_TRUE(w.person.seen.isEmpty()) << w.person.seen.join(u'\n').toStdString();
    const QString models[] = {QStringLiteral("DUNO BIS"), QStringLiteral("DUNO BIS"),
                              QStringLiteral("DUNO")};
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        EXPECT_TRUE(QFileInfo(w.database(r + 1)).isFile());
        EXPECT_TRUE(w.cell(r, Form::ResultColumn).startsWith(QStringLiteral("OK: ")))
            << w.cell(r, Form::ResultColumn).toStdString();
        EXPECT_EQ(w.cell(r, Form::StateColumn), QStringLiteral("ONLINE"));
        EXPECT_EQ(w.cell(r, Form::ModelColumn), models[r]);
        EXPECT_EQ(w.cell(r, Form::ProgressColumn), QStringLiteral("100 %"));
    }
    EXPECT_EQ(w.form.Wynik->text(), QStringLiteral("Zakończono: 3 z 3 kas bez błędów."));

    // A new price in the second shop's database, with a barcode whose check digit is wrong:
    // that register's check asks about it, under its name, and only that article goes.
    {
        QTemporaryDir work;
        DatabaseSession session(work.filePath(DatabaseSession::WorkingCopyName));
        ASSERT_TRUE(session.openDatabaseFile(w.database(2)).ok);
        ArticleRecord a = loadRecord<ArticleRecord>(session.database(), layout::Articles, 9);
        a.price = 12345;
        a.barcode = QStringLiteral("5901234123456");
        ASSERT_TRUE(storeRecord(session.database(), layout::Articles, 9, a));
        ASSERT_TRUE(session.saveDatabaseFile(w.database(2)).ok);
    }
    const qint32 unchanged[] = {shops[0].price(9), shops[2].price(9)};
    w.person.answers = {QMessageBox::Yes};
    ASSERT_TRUE(w.run(w.form.TylkoZmienione));
    ASSERT_EQ(w.person.seen.size(), 1) << w.person.seen.join(u'\n').toStdString();
    EXPECT_TRUE(w.person.seen.first().startsWith(QStringLiteral("kasa2: Kasa może odrzucić")))
        << w.person.seen.first().toStdString();
    EXPECT_EQ(shops[1].price(9), 12345);
    EXPECT_EQ(shops[0].price(9), unchanged[0]);
    EXPECT_EQ(shops[2].price(9), unchanged[1]);
    EXPECT_EQ(w.cell(1, Form::ResultColumn), QStringLiteral("OK: 1 z 1 rekordów"));
    EXPECT_EQ(w.cell(0, Form::ResultColumn), QStringLiteral("OK: 0 rekordów"));
    w.form.Siatka->setCurrentCell(1, Form::NameColumn);
    EXPECT_TRUE(w.form.Szczegoly->toPlainText().contains(QStringLiteral("Towary")))
        << w.form.Szczegoly->toPlainText().toStdString();

    // The third shop's device server goes away: its row says so, the others read their data.
    shops[2].host.stop();
    w.person.seen.clear();
    ASSERT_TRUE(w.run(w.form.DaneInformacyjne));
    EXPECT_TRUE(w.person.seen.isEmpty()) << w.person.seen.join(u'\n').toStdString();
    EXPECT_EQ(w.cell(0, Form::ResultColumn), QStringLiteral("OK"));
    EXPECT_EQ(w.cell(1, Form::ResultColumn), QStringLiteral("OK"));
    EXPECT_TRUE(w.cell(2, Form::ResultColumn).startsWith(QStringLiteral("Nie mogę otworzyć portu")))
        << w.cell(2, Form::ResultColumn).toStdString();
    EXPECT_EQ(w.cell(2, Form::StateColumn), QStringLiteral("brak odpowiedzi"));
    EXPECT_EQ(w.form.Wynik->text(), QStringLiteral("Zakończono: 2 z 3 kas bez błędów."));
    w.form.Siatka->setCurrentCell(0, Form::NameColumn);
    EXPECT_TRUE(w.form.Szczegoly->toPlainText().contains(QStringLiteral("Typ kasy: DUNO BIS")));
}

// Programming stopped with "Przerwij" while the registers work: the form stays open and
// usable only for the stop, each register ends with where it goes on, and "Wznów" finishes
// them from there.
TEST(ChainForm, StoppedProgrammingIsFinishedByWznow)
{
    ChainShop shops[] = {ChainShop(emu::Model::DunoBis), ChainShop(emu::Model::Duno)};
    for (ChainShop& shop : shops)
        ASSERT_TRUE(shop.running);
    Window w(shops);
    w.form.OtworzListe->click();
    ASSERT_TRUE(w.run(w.form.KopiaKasy));
    ASSERT_EQ(w.form.Wynik->text(), QStringLiteral("Zakończono: 2 z 2 kas bez błędów."));

    // Empty registers in their place, slow enough per record to be stopped on the way.
    for (ChainShop& shop : shops) {
        auto hold = shop.host.lock();
        shop.reg = emu::RegisterModel(shop.reg.model(), 1);
        shop.reg.setRecordDelayMs(20);
    }
    w.person.answers = {QMessageBox::Yes, QMessageBox::Yes};
    w.form.ProgramowanieCalejKasy->click();
    ASSERT_TRUE(w.form.running());
    EXPECT_TRUE(w.form.Przerwij->isEnabled());
    EXPECT_FALSE(w.form.KopiaKasy->isEnabled());
    w.form.close();
    EXPECT_TRUE(w.form.isVisible()) << "closed while the registers work";
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return w.cell(0, Form::ProgressColumn).section(u' ', 0, 0).toInt() >= 20 &&
                   w.cell(1, Form::ProgressColumn).section(u' ', 0, 0).toInt() >= 20;
        },
        RunCeilingMs));
    w.form.Przerwij->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.form.running(); }, RunCeilingMs));
    for (int r = 0; r < 2; ++r) {
        SCOPED_TRACE(r);
        EXPECT_TRUE(w.cell(r, Form::ResultColumn).startsWith(QStringLiteral("Przerwano.")))
            << w.cell(r, Form::ResultColumn).toStdString();
        EXPECT_FALSE(w.cell(r, Form::ResumeColumn).isEmpty());
        EXPECT_LT(shops[r].articles(), 40);
    }
    EXPECT_TRUE(w.form.Wznow->isEnabled());
    EXPECT_TRUE(w.form.Wynik->text().contains(QStringLiteral("„Wznów”")));

    for (ChainShop& shop : shops) {
        auto hold = shop.host.lock();
        shop.reg.setRecordDelayMs(0);
    }
    w.person.seen.clear();
    ASSERT_TRUE(w.run(w.form.Wznow));
    EXPECT_TRUE(w.person.seen.isEmpty())
        << "asked again: " << w.person.seen.join(u'\n').toStdString();
    EXPECT_EQ(w.form.Wynik->text(), QStringLiteral("Zakończono: 2 z 2 kas bez błędów."));
    for (int r = 0; r < 2; ++r) {
        EXPECT_TRUE(w.cell(r, Form::ResumeColumn).isEmpty());
        EXPECT_EQ(shops[r].articles(), 40);
    }
    EXPECT_FALSE(w.form.Wznow->isEnabled());
}

// "Sprawdź po zaprogramowaniu": a register programmed from its copy over a line that damages
// a few of its frames in a way their check byte cannot see. The check reads the register back
// and mends them; the register's result is the check's verdict and its details end with it.
TEST(ChainForm, CheckedProgrammingMendsWhatTheLineDamaged)
{
    ChainShop shops[] = {ChainShop(emu::Model::DunoBis)};
    ASSERT_TRUE(shops[0].running);
    Window w(shops);
    w.form.OtworzListe->click();
    ASSERT_TRUE(w.run(w.form.KopiaKasy));
    {
        // An empty register in its place; three frames early in the programming (records of
        // the first tables) arrive damaged.
        auto hold = shops[0].host.lock();
        shops[0].reg = emu::RegisterModel(emu::Model::DunoBis, 1);
        emu::FaultPlan plan;
        plan.undetected = {20, 21, 22};
        shops[0].reg.setFaults(plan);
    }
    EXPECT_FALSE(w.form.Sprawdz->isChecked());
    w.form.Sprawdz->setChecked(true);
    ASSERT_TRUE(w.run(w.form.ProgramowanieCalejKasy));
    EXPECT_TRUE(w.person.seen.isEmpty()) << w.person.seen.join(u'\n').toStdString();
    EXPECT_EQ(w.cell(0, Form::ResultColumn), QStringLiteral("Kasa zgodna z bazą."));
    EXPECT_EQ(w.form.Wynik->text(), QStringLiteral("Zakończono: 1 z 1 kasy bez błędów."));
    w.form.Siatka->setCurrentCell(0, Form::NameColumn);
    EXPECT_TRUE(w.form.Szczegoly->toPlainText().endsWith(QStringLiteral("\nKasa zgodna z bazą.")))
        << w.form.Szczegoly->toPlainText().toStdString();
    EXPECT_EQ(shops[0].articles(), 40);
    auto hold = shops[0].host.lock();
    EXPECT_TRUE(shops[0].reg.faults().undetected.isEmpty()); // every damaged frame was taken
}

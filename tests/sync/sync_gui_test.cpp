// The synchronisation forms as the program runs them: made once by their factory, with the
// program's own user interface (GuiTransferUi) against the register emulator on a
// pseudo-terminal. Message boxes are read and closed as a person would.
#include "syncbench.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "app/forms/guitransferui.h"
#include "emulator/emulatorhost.h"
#include "emulator/registermodel.h"
#include "link/link.h"
#include "link/portmap.h"
#include "person.h"
#include "sync/articlesync.h"
#include "sync/forms/tablesyncform.h"
#include "sync/forms/tsynchronizacjabazytowarowej.h"
#include "sync/tablemembers.h"
#include "sync/tablesync.h"
#include "tables/tablelayout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include <memory>

#include <gtest/gtest.h>

namespace {

using T = emu::RegisterModel;

template <class W> W* child(QWidget& form, const char* name)
{
    return form.findChild<W*>(QLatin1String(name));
}

QAbstractButton* panelCancel(QWidget& form)
{
    const auto buttons = form.findChildren<QAbstractButton*>();
    for (QAbstractButton* b : buttons)
        if (b->text() == QStringLiteral("Anuluj"))
            return b;
    return nullptr;
}

// One form of the family and the register's table it shows.
struct FormCase {
    const char* form;
    T::Table table;
    int records;     // put into the register
    int pcBefore;    // PC lines of a new database
    int pcAfter;     // PC lines after copying every register record to the PC
    bool hasConfirm; // the confirm option is shown (the cashier form hides it)
};

const FormCase kForms[] = {
    {"TSynchronizacjaBazyTowarowej", T::Articles, 40, 0, 40, true},
    {"TSynchronizacjaBazyGrupTowarowych", T::Groups, 8, 1, 8, true},
    {"TSynchronizacjaBazyOpakowan", T::Packaging, 8, 0, 8, true},
    {"TSynchronizacjaBazyKasjerow", T::Cashiers, 8, 1, 8, false},
    {"TSynchronizacjaBazyRabatow", T::Discounts, 8, 0, 8, true},
    {"TSynchronizacjaBazyFormPlatnosci", T::PaymentForms, 8, 0, 8, true},
    {"TSynchronizacjaBazyWalut", T::Currencies, 8, 0, 8, true},
};

// A register image that every list can show: record number, name, the article's VAT letter.
QByteArray image(T::Table table, int n)
{
    QByteArray img(T::imageSize(table, emu::Model::DunoBis), '\0');
    if (table == T::Articles) {
        put16(img, 0, quint32(n));
        putText(img, 2, qPrintable(QStringLiteral("Towar %1").arg(n)));
        img[44] = 'A';
        put32(img, 45, quint32(100 + n));
        putText(img, 57, "0000000000000");
        img[79] = 24;
    } else {
        img[0] = char(n);
        putText(img, 1, qPrintable(QStringLiteral("Rekord %1").arg(n)));
    }
    return img;
}

// The program on the emulator: the working database, the program's user interface and the
// link on the register's pseudo-terminal.
struct Program : TestDatabase {
    emu::RegisterModel reg{emu::Model::DunoBis, 1};
    emu::EmulatorHost host{reg};
    GuiTransferUi ui;
    AppSession app{session, ui};
    Person person;
    bool opened = false;

    Program()
    {
        if (!host.start())
            return;
        portmap::setPortOverride(42, host.devicePath());
        Link& link = Link::instance();
        link.port = 42;
        link.address = 1;
        opened = link.openPort(ui, true) == 0;
        app.setState(OperatingState::OnlineWithDatabase);
    }
    ~Program()
    {
        Link::instance().trace = {};
        Link::instance().closePort();
        portmap::clearPortOverrides();
    }
    void fill(T::Table table, int records)
    {
        auto hold = host.lock();
        for (int n = 1; n <= records; ++n)
            reg.setImage(table, n, image(table, n));
    }
    // Presses `stop` once `frames` answers have come in the run that follows; notes whether
    // a progress window was up while the run went on.
    void stopAfterFrames(const std::function<void()>& stop, int frames)
    {
        auto received = std::make_shared<int>(0);
        Link::instance().trace = [this, stop, frames, received](char direction,
                                                                QByteArrayView bytes) {
            if (ui.progressDialog())
                progressWindowDuringRun = true;
            if (direction == '<' && !bytes.isEmpty() && ++*received == frames)
                stop();
        };
    }
    void watchRun()
    {
        Link::instance().trace = [this](char, QByteArrayView) {
            if (ui.progressDialog())
                progressWindowDuringRun = true;
        };
    }
    bool progressWindowDuringRun = false;
};

class SyncGui : public ::testing::TestWithParam<FormCase> {};

} // namespace

// Every form: a read is whole and counts on the form's own panel only; "Anuluj" of the panel
// and Escape stop a read, which then says how far it got; the next read is whole again;
// copying to the PC marks the database modified, but only over the connection the list was
// read over; what the person set survives closing the form, the register list does not.
TEST_P(SyncGui, ReadsStopsCopiesAndKeepsItsOptions)
{
    const FormCase c = GetParam();
    Program p;
    ASSERT_TRUE(p.ok && p.opened);
    p.fill(c.table, c.records);
    const FormFactory* factory = FormRegistry::find(c.form);
    ASSERT_NE(factory, nullptr) << c.form;
    std::unique_ptr<QDialog> form((*factory)(p.app, nullptr));
    form->show();

    auto* pcList = child<QListWidget>(*form, "PcList");
    auto* regList = child<QListWidget>(*form, "RegisterList");
    auto* refresh = child<QAbstractButton>(*form, "Odswiez");
    QAbstractButton* cancel = panelCancel(*form);
    ASSERT_TRUE(pcList && regList && refresh && cancel);
    EXPECT_EQ(pcList->count(), c.pcBefore);

    // A whole read: every record listed, nothing said, no progress window at any time.
    p.watchRun();
    refresh->click();
    EXPECT_EQ(regList->count(), c.records);
    EXPECT_TRUE(p.person.seen.isEmpty()) << p.person.seen.join(u'\n').toStdString();
    EXPECT_FALSE(p.progressWindowDuringRun);
    EXPECT_EQ(progressWindowsShown(), 0);
    EXPECT_TRUE(refresh->isEnabled());

    // "Anuluj" of the panel after the third frame: the register is asked to stop after the
    // next one, and the form says so with the count that arrived.
    p.stopAfterFrames([cancel] { cancel->click(); }, 3);
    refresh->click();
    EXPECT_EQ(regList->count(), 4);
    ASSERT_EQ(p.person.seen.size(), 1);
    EXPECT_EQ(p.person.seen.last(), QStringLiteral("Przerwano. Odczytano 4."));
    EXPECT_FALSE(p.progressWindowDuringRun);
    EXPECT_EQ(progressWindowsShown(), 0);

    // The run after a stopped one is whole.
    p.person.seen.clear();
    p.watchRun();
    refresh->click();
    EXPECT_EQ(regList->count(), c.records);
    EXPECT_TRUE(p.person.seen.isEmpty()) << p.person.seen.join(u'\n').toStdString();

    // Escape during a run stops it as "Anuluj" does, and does not close the form.
    QDialog* shown = form.get();
    p.stopAfterFrames([shown] { QTest::keyClick(shown, Qt::Key_Escape); }, 2);
    refresh->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(regList->count(), 3);
    EXPECT_EQ(p.person.seen, QStringList{QStringLiteral("Przerwano. Odczytano 3.")});
    p.person.seen.clear();
    p.watchRun();
    refresh->click();
    ASSERT_EQ(regList->count(), c.records);
    Link::instance().trace = {};

    // The list is of the register at address 1: with the link at another address it is not
    // copied to the PC.
    EXPECT_FALSE(p.session.isModified());
    for (int row = 0; row < regList->count(); ++row)
        regList->item(row)->setCheckState(Qt::Checked);
    Link::instance().address = 2;
    child<QAbstractButton>(*form, "DoPc")->click();
    Link::instance().address = 1;
    ASSERT_EQ(p.person.seen.size(), 1);
    EXPECT_TRUE(p.person.seen.first().startsWith(QStringLiteral("Lista kasy została odczytana ")));
    EXPECT_TRUE(p.person.seen.first().endsWith(
        QStringLiteral("z kasy nr 1 przez COM42 (%1), a połączenie zmieniło się od tego czasu. "
                       "Najpierw odczytaj dane z kasy (Odśwież).")
            .arg(p.host.devicePath())));
    EXPECT_EQ(pcList->count(), c.pcBefore);
    EXPECT_FALSE(p.session.isModified());
    p.person.seen.clear();

    // Copying every register record to the PC is an edit the save prompt guards.
    child<QAbstractButton>(*form, "DoPc")->click();
    EXPECT_EQ(pcList->count(), c.pcAfter);
    EXPECT_TRUE(p.session.isModified());
    EXPECT_TRUE(p.person.seen.isEmpty()) << p.person.seen.join(u'\n').toStdString();

    // What the person set survives closing and opening the form again; the PC list comes
    // back from the database, the register list only with a new read.
    auto* confirm = child<QCheckBox>(*form, "Potwierdzaj");
    ASSERT_NE(confirm, nullptr);
    confirm->setChecked(true);
    auto* from = child<QLineEdit>(*form, "Od");
    auto* to = child<QLineEdit>(*form, "Do");
    auto* days = child<QLineEdit>(*form, "Dni");
    if (from) {
        from->setText(QStringLiteral("5"));
        to->setText(QStringLiteral("9"));
        days->setText(QStringLiteral("45"));
    }
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    form->show();
    EXPECT_TRUE(confirm->isChecked());
    EXPECT_EQ(confirm->isVisible(), c.hasConfirm);
    if (from) {
        EXPECT_EQ(from->text(), QStringLiteral("5"));
        EXPECT_EQ(to->text(), QStringLiteral("9"));
        EXPECT_EQ(days->text(), QStringLiteral("45"));
    }
    EXPECT_EQ(regList->count(), 0);
    EXPECT_EQ(pcList->count(), c.pcAfter);
    form->hide();
}

INSTANTIATE_TEST_SUITE_P(EveryForm, SyncGui, ::testing::ValuesIn(kForms),
                         [](const ::testing::TestParamInfo<FormCase>& info) {
                             return std::string(info.param.form);
                         });

// The register keeps cashiers 11-20, the PC's list only 1-10: copying them to the PC is
// refused with a message that names them, and the others are copied.
TEST(SyncGuiCashiers, CashiersBeyondThePcListAreRefusedAndNamed)
{
    Program p;
    ASSERT_TRUE(p.ok && p.opened);
    {
        auto hold = p.host.lock();
        for (int n : {2, 12, 15})
            p.reg.setImage(T::Cashiers, n, image(T::Cashiers, n));
    }
    std::unique_ptr<QDialog> form(
        (*FormRegistry::find("TSynchronizacjaBazyKasjerow"))(p.app, nullptr));
    form->show();
    auto* pcList = child<QListWidget>(*form, "PcList");
    auto* regList = child<QListWidget>(*form, "RegisterList");
    child<QAbstractButton>(*form, "Odswiez")->click();
    ASSERT_EQ(regList->count(), 4); // the register's manager besides them
    for (int row = 0; row < regList->count(); ++row)
        regList->item(row)->setCheckState(Qt::Checked);
    child<QAbstractButton>(*form, "DoPc")->click();
    EXPECT_EQ(pcList->count(), 2); // the manager and cashier 2 (PC list: 1-10)
    EXPECT_EQ(p.person.seen,
              QStringList{QStringLiteral(
                  "Nie skopiowano do PC rekordów nr 12, 15: baza PC obejmuje numery 1-10.")});
    EXPECT_TRUE(p.session.isModified());
    form->hide();
}

// Runs that send: "Anuluj" after the register confirmed two records puts the end marker on
// the third frame, the run ends after it and says how many of the checked went.
TEST(SyncGuiSendRuns, StoppedProgrammingAndDeletionSayHowManyWent)
{
    Program p;
    ASSERT_TRUE(p.ok && p.opened);
    // Eight discounts on the PC, forty articles in the register.
    for (int n = 1; n <= 8; ++n) {
        QByteArray r(28, '\0');
        r[0] = char(n);
        putText(r, 1, qPrintable(QStringLiteral("Rabat %1").arg(n)));
        r[22] = 1;
        put32(r, 24, 500);
        ASSERT_TRUE(p.db().writeRecord(layout::Discounts.offsetOf(n), r));
    }
    p.fill(T::Articles, 40);

    struct Step {
        const char* form;
        const char* checkAll; // the check-all button of the list the run takes
        const char* run;
        int registerLinesAfter;
        const char16_t* said;
        const char16_t* asked; // the question before a deletion in the register
    };
    const Step steps[] = {
        {"TSynchronizacjaBazyRabatow", "PcAll", "DoKasy", 3, u"Przerwano. Wysłano 3 z 8.", nullptr},
        {"TSynchronizacjaBazyTowarowej", "RegisterAll", "UsunZKasy", 37,
         u"Przerwano. Wysłano 3 z 40.",
         u"Usunąć z kasy zaznaczone towary (40)? Tego nie można cofnąć."},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.form);
        std::unique_ptr<QDialog> form((*FormRegistry::find(s.form))(p.app, nullptr));
        form->show();
        auto* regList = child<QListWidget>(*form, "RegisterList");
        if (QString::fromLatin1(s.checkAll) == QStringLiteral("RegisterAll"))
            child<QAbstractButton>(*form, "Odswiez")->click();
        child<QAbstractButton>(*form, s.checkAll)->click();
        p.person.seen.clear();
        if (s.asked) {
            // No: nothing is deleted and nothing goes out.
            int frames = 0;
            Link::instance().trace = [&frames](char direction, QByteArrayView) {
                frames += direction == '>';
            };
            p.person.answers = {QMessageBox::No};
            child<QAbstractButton>(*form, s.run)->click();
            Link::instance().trace = {};
            EXPECT_EQ(p.person.seen, QStringList{QString::fromUtf16(s.asked)});
            EXPECT_EQ(frames, 0);
            EXPECT_EQ(regList->count(), 40);
            p.person.seen.clear();
            p.person.answers = {QMessageBox::Yes};
        }
        QAbstractButton* cancel = panelCancel(*form);
        p.stopAfterFrames([cancel] { cancel->click(); }, 2);
        child<QAbstractButton>(*form, s.run)->click();
        Link::instance().trace = {};
        QStringList seen;
        if (s.asked)
            seen.append(QString::fromUtf16(s.asked));
        seen.append(QString::fromUtf16(s.said));
        EXPECT_EQ(p.person.seen, seen);
        EXPECT_EQ(regList->count(), s.registerLinesAfter);
        EXPECT_FALSE(p.progressWindowDuringRun);
        EXPECT_EQ(progressWindowsShown(), 0);
        form->hide();
    }
}

// The program as a person uses it: the real main window with the program's own user
// interface (GuiTransferUi), its forms opened from the navigation area, against the register
// emulator on a pseudo-terminal through the real serial line. Message boxes are read and
// answered the way a person would; nothing is faked between the window and the register.

#include "app/forms/guitransferui.h"
#include "app/forms/tmenuglowne.h"
#include "database/registerdatabase.h"
#include "emulator/emulatorhost.h"
#include "emulator/registermodel.h"
#include "link/link.h"
#include "link/portmap.h"
#include "person.h"
#include "tables/articlerecord.h"
#include "tables/forms/articles/tprogramowanietowarow.h"
#include "tables/tablelayout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace {

constexpr int EmulatorPort = 7;
constexpr int DemoArticles = 300;

QString plain(QString caption)
{
    return caption.remove(u'&').simplified();
}

// The form's button with this caption (without its "&"); `exact` tells "Anuluj" of a panel
// from the form's "&Anuluj".
QAbstractButton* button(QWidget* form, const QString& caption, bool exact = false)
{
    const auto buttons = form->findChildren<QAbstractButton*>();
    for (QAbstractButton* b : buttons)
        if ((exact ? b->text() : plain(b->text())) == caption && b->window() == form)
            return b;
    return nullptr;
}

int articlesInDatabase(RegisterDatabase& db)
{
    int used = 0;
    for (int n = 1; n <= layout::Articles.count; ++n)
        if (ArticleRecord::used(db.readBytes(layout::Articles.offsetOf(n), ArticleRecord::Size)))
            ++used;
    return used;
}

// The program started on the emulator and connected, as `vorn-duno --emulator` is.
struct Program {
    emu::RegisterModel reg{emu::Model::DunoBis, 1};
    emu::EmulatorHost host{reg};
    QTemporaryDir dir;
    GuiTransferUi ui;
    std::unique_ptr<TMenuGlowne> window;
    Person person;

    Program()
    {
        reg.fillDemo(DemoArticles);
        if (!host.start())
            return;
        for (int n = 1; n <= 99; ++n)
            portmap::setPortOverride(n, QStringLiteral("/nonexistent/vduno-test-port"));
        portmap::setPortOverride(EmulatorPort, host.devicePath());
        window = std::make_unique<TMenuGlowne>(ui, dir.path(),
                                               dir.filePath(QStringLiteral("BDTemp.bdt")));
        ui.setParent(window.get());
        window->show();
        window->automaticSearch();
    }
    ~Program()
    {
        {
            // Every run the person started was numbered in sequence and closed.
            auto hold = host.lock();
            EXPECT_EQ(reg.numberingErrors(), 0) << "the register refused a frame's number";
            EXPECT_FALSE(reg.runOpen()) << "a run was left open";
        }
        Link::instance().trace = {};
        Link::instance().closePort();
        window.reset();
        portmap::clearPortOverrides();
    }

    bool online() const
    {
        return window && window->operatingState() == OperatingState::OnlineWithDatabase;
    }

    // Opens the navigation item with this text as a person does (select, Enter), runs `steps`
    // in the form once it is up, then closes it with Escape.
    void use(const QString& item, const std::function<void(QDialog&)>& steps)
    {
        QTabWidget* tabs = window->navigation();
        for (int t = 0; t < tabs->count(); ++t) {
            auto* list = qobject_cast<QListWidget*>(tabs->widget(t));
            const auto found = list->findItems(item, Qt::MatchExactly);
            if (found.isEmpty())
                continue;
            tabs->setCurrentIndex(t);
            list->setCurrentItem(found.first());
            bool ran = false;
            QTimer::singleShot(0, window.get(), [&] {
                auto* form = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                ASSERT_NE(form, nullptr) << item.toStdString();
                ran = true;
                steps(*form);
                form->reject();
            });
            window->openSelectedItem();
            EXPECT_TRUE(ran) << item.toStdString();
            return;
        }
        ADD_FAILURE() << "no navigation item " << item.toStdString();
    }

    // Presses `cancel` once the register has sent `frames` answers in the run that follows.
    void cancelAfterFrames(QAbstractButton* cancel, int frames)
    {
        auto received = std::make_shared<int>(0);
        Link::instance().trace = [cancel, frames, received](char direction, QByteArrayView) {
            if (direction == '<' && ++*received == frames && cancel->isEnabled())
                cancel->click();
        };
    }
    void stopCancelling() { Link::instance().trace = {}; }
};

} // namespace

// The scenario of a new user on the emulator: the article base read in the article form, the
// sales downloaded twice in the same form with a stopped download in between, the register's
// base read in the synchronisation form. Each run is whole, says so when it is not, and
// leaves no window behind.
TEST(ProgramAgainstEmulator, EveryRunIsWholeAndLeavesNoWindowBehind)
{
    Program p;
    ASSERT_TRUE(p.online()) << p.person.seen.join(u'\n').toStdString();

    p.use(QStringLiteral("Towary"), [&](QDialog& form) {
        QAbstractButton* read = button(&form, QStringLiteral("Odczytaj z kasy"));
        ASSERT_NE(read, nullptr);
        read->click();
        EXPECT_EQ(progressWindowsShown(), 0);
        EXPECT_EQ(articlesInDatabase(p.window->app().database()), DemoArticles);
        // The number proposed for the next article is free after the read.
        auto* articles = qobject_cast<TProgramowanieTowarow*>(&form);
        ASSERT_NE(articles, nullptr);
        EXPECT_EQ(articles->Edit4->text(), QString::number(DemoArticles + 1));
    });
    EXPECT_TRUE(p.window->session().isModified());

    p.use(QStringLiteral("Ściąganie sprzedaży"), [&](QDialog& form) {
        QAbstractButton* download = button(&form, QStringLiteral("Ściągnij sprzedaż"));
        QAbstractButton* stop = button(&form, QStringLiteral("Anuluj"), true);
        auto* list = form.findChild<QListWidget*>();
        ASSERT_TRUE(download && stop && list);

        download->click();
        const int whole = list->count();
        EXPECT_GT(whole, 20);
        EXPECT_EQ(progressWindowsShown(), 0);

        p.person.seen.clear();
        p.cancelAfterFrames(stop, 5);
        download->click();
        p.stopCancelling();
        EXPECT_LT(list->count(), whole);
        ASSERT_FALSE(p.person.seen.isEmpty()) << "a stopped download must say so";
        EXPECT_TRUE(p.person.seen.last().startsWith(QStringLiteral("Przerwano")))
            << p.person.seen.last().toStdString();
        EXPECT_TRUE(download->isEnabled());

        download->click();
        EXPECT_EQ(list->count(), whole);
        EXPECT_EQ(progressWindowsShown(), 0);
    });

    p.use(QStringLiteral("Programowanie bazy towarowej"), [&](QDialog& form) {
        QAbstractButton* refresh = button(&form, QStringLiteral("Odśwież"));
        auto* registerList = form.findChild<QListWidget*>(QStringLiteral("RegisterList"));
        ASSERT_TRUE(refresh && registerList);
        refresh->click();
        EXPECT_EQ(registerList->count(), DemoArticles);
        EXPECT_EQ(progressWindowsShown(), 0);

        // Three ticked articles go to the register as one run of three frames; the register
        // checks their numbering (see ~Program; the rows lie apart, so frames numbered by list
        // line would be refused), confirms each, and the run ends with its summary alone.
        auto* pcList = form.findChild<QListWidget*>(QStringLiteral("PcList"));
        QAbstractButton* toRegister = form.findChild<QAbstractButton*>(QStringLiteral("DoKasy"));
        ASSERT_TRUE(pcList && toRegister);
        ASSERT_GE(pcList->count(), 3);
        for (int row : {0, 4, 9})
            pcList->item(row)->setCheckState(Qt::Checked);
        p.person.seen.clear();
        toRegister->click();
        EXPECT_EQ(p.person.seen, QStringList{QStringLiteral(" Zaprogramowano 3 towarów.")});
        EXPECT_EQ(registerList->count(), DemoArticles);
        EXPECT_EQ(progressWindowsShown(), 0);
    });
    EXPECT_EQ(progressWindowsShown(), 0);
}

// A run without a panel of its own has the window's one progress window. Stopped there, or
// by Escape on its form, the run ends after the frame in hand, says how far it got, leaves
// the form open and nothing on the screen, and the next run is whole.
TEST(ProgramAgainstEmulator, StoppedArticleReadSaysSoAndTheNextOneIsWhole)
{
    enum class Stop { ProgressWindow, Escape };
    for (const Stop how : {Stop::ProgressWindow, Stop::Escape}) {
        SCOPED_TRACE(how == Stop::Escape ? "Escape" : "progress window");
        Program p;
        ASSERT_TRUE(p.online());
        RegisterDatabase& db = p.window->app().database();
        p.use(QStringLiteral("Towary"), [&](QDialog& form) {
            QAbstractButton* read = button(&form, QStringLiteral("Odczytaj z kasy"));
            ASSERT_NE(read, nullptr);
            auto received = std::make_shared<int>(0);
            Link::instance().trace = [&, received](char direction, QByteArrayView) {
                if (direction != '<' || ++*received != 20)
                    return;
                if (how == Stop::Escape) {
                    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                    QApplication::sendEvent(form.focusWidget() ? form.focusWidget() : &form,
                                            &escape);
                } else if (QProgressDialog* window = p.ui.progressDialog()) {
                    if (auto* cancel = window->findChild<QPushButton*>())
                        cancel->click();
                }
            };
            p.person.seen.clear();
            read->click();
            p.stopCancelling();
            EXPECT_TRUE(form.isVisible());
            const int partial = articlesInDatabase(db);
            EXPECT_GT(partial, 0);
            EXPECT_LT(partial, DemoArticles);
            ASSERT_FALSE(p.person.seen.isEmpty());
            EXPECT_EQ(p.person.seen.last(),
                      QStringLiteral("Przerwano. Odczytano %1.").arg(partial));
            EXPECT_EQ(progressWindowsShown(), 0);
            EXPECT_TRUE(read->isEnabled());

            read->click();
            EXPECT_EQ(articlesInDatabase(db), DemoArticles);
            EXPECT_EQ(progressWindowsShown(), 0);
        });
    }
}

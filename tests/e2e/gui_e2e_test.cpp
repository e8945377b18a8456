// The program as a person uses it: the real main window with the program's own user
// interface (GuiTransferUi), its forms opened from the navigation area, against the register
// emulator on a pseudo-terminal through the real serial line. Message boxes are read and
// answered the way a person would; nothing is faked between the window and the register.

#include "app/connection.h"
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
#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
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

namespace {

QTableWidgetItem* summaryRow(QTableWidget* table, const QString& name, int column)
{
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 0) && table->item(row, 0)->text() == name)
            return table->item(row, column);
    return nullptr;
}

qint32 priceAt(const QByteArray& bytes)
{
    return qint32(quint8(bytes.at(45)) | quint8(bytes.at(46)) << 8 | quint8(bytes.at(47)) << 16 |
                  quint32(quint8(bytes.at(48))) << 24);
}

} // namespace

// The whole register at once, as a person does it in the program: the register copied into a
// new database file (and opened in the program when asked), two prices changed in it, then
// only what changed programmed back after the check's question. Each run has the form's own
// progress, so no progress window appears, and every frame is numbered and closed.
TEST(ProgramAgainstEmulator, WholeRegisterCopiedAndOnlyTheChangedArticlesProgrammedBack)
{
    Program p;
    ASSERT_TRUE(p.online()) << p.person.seen.join(u'\n').toStdString();
    const QString path = p.dir.filePath(QStringLiteral("kopia.vkf"));

    p.person.answers = {QMessageBox::Yes}; // open the new database in the program
    p.use(QStringLiteral("Kopia kasy do bazy"), [&](QDialog& form) {
        auto* file = form.findChild<QLineEdit*>(QStringLiteral("Plik"));
        auto* summary = form.findChild<QTableWidget*>(QStringLiteral("Podsumowanie"));
        auto* outcome = form.findChild<QLabel*>(QStringLiteral("Wynik"));
        QAbstractButton* run = button(&form, QStringLiteral("Wykonaj"));
        ASSERT_TRUE(file && summary && outcome && run);
        file->setText(path);
        run->click();
        EXPECT_EQ(progressWindowsShown(), 0);
        // Every table the register sends came; those it cannot send keep their defaults.
        ASSERT_NE(summaryRow(summary, QStringLiteral("Towary"), 1), nullptr);
        EXPECT_EQ(summaryRow(summary, QStringLiteral("Towary"), 1)->text(),
                  QString::number(DemoArticles));
        EXPECT_EQ(summaryRow(summary, QStringLiteral("Towary"), 2)->text(),
                  QStringLiteral("wykonano"));
        ASSERT_NE(summaryRow(summary, QStringLiteral("Stopka paragonu"), 2), nullptr);
        EXPECT_EQ(summaryRow(summary, QStringLiteral("Stopka paragonu"), 2)->text(),
                  QStringLiteral("domyślna"));
        for (int row = 0; row < summary->rowCount(); ++row)
            EXPECT_TRUE(QStringList({QStringLiteral("wykonano"), QStringLiteral("pusta"),
                                     QStringLiteral("domyślna")})
                            .contains(summary->item(row, 2)->text()))
                << summary->item(row, 0)->text().toStdString();
        EXPECT_TRUE(QFileInfo(path).isFile());
        EXPECT_TRUE(QFileInfo(p.dir.filePath(QStringLiteral("kopia.kasa"))).isFile());
        EXPECT_TRUE(outcome->text().startsWith(QStringLiteral("Zapisano ")))
            << outcome->text().toStdString();
    });
    ASSERT_TRUE(p.person.seen.last().endsWith(QStringLiteral("Otworzyć nową bazę w programie?")))
        << p.person.seen.join(u'\n').toStdString();
    EXPECT_EQ(p.window->filePath(), QFileInfo(path).absoluteFilePath());
    RegisterDatabase& db = p.window->app().database();
    ASSERT_EQ(articlesInDatabase(db), DemoArticles);

    // Two new prices in the database.
    const QList<QPair<int, qint32>> changed = {{5, 12345}, {17, 99}};
    for (const auto& [number, price] : changed) {
        QByteArray le(4, '\0');
        for (int i = 0; i < 4; ++i)
            le[i] = char(quint32(price) >> (8 * i));
        ASSERT_TRUE(db.writeRecord(layout::Articles.offsetOf(number) + 45, le));
    }
    // One of them with a barcode whose check digit is wrong: the check asks about it.
    ASSERT_TRUE(db.writeRecord(layout::Articles.offsetOf(17) + 49, QByteArray("5901234123456")));
    p.window->app().markModified();

    p.person.seen.clear();
    p.person.answers = {QMessageBox::Yes}; // the check's question: go on
    p.use(QStringLiteral("Programowanie całej kasy"), [&](QDialog& form) {
        QCheckBox* changedOnly = nullptr;
        for (QCheckBox* box : form.findChildren<QCheckBox*>())
            if (box->text() == QStringLiteral("Tylko zmienione rekordy"))
                changedOnly = box;
        auto* summary = form.findChild<QTableWidget*>(QStringLiteral("Podsumowanie"));
        QAbstractButton* run = button(&form, QStringLiteral("Wykonaj"));
        QAbstractButton* resume = button(&form, QStringLiteral("Wznów"));
        ASSERT_TRUE(changedOnly && summary && run && resume);
        changedOnly->setChecked(true);
        run->click();
        EXPECT_EQ(progressWindowsShown(), 0);
        ASSERT_FALSE(p.person.seen.isEmpty());
        EXPECT_TRUE(p.person.seen.first().startsWith(QStringLiteral("Kasa może odrzucić")))
            << p.person.seen.join(u'\n').toStdString();
        ASSERT_NE(summaryRow(summary, QStringLiteral("Towary"), 1), nullptr);
        EXPECT_EQ(summaryRow(summary, QStringLiteral("Towary"), 1)->text(), QStringLiteral("2/2"));
        EXPECT_EQ(summaryRow(summary, QStringLiteral("Towary"), 2)->text(),
                  QStringLiteral("wykonano"));
        EXPECT_EQ(summaryRow(summary, QStringLiteral("Kasjerzy"), 3)->text(),
                  QStringLiteral("bez zmian"));
        EXPECT_FALSE(resume->isEnabled()) << "a whole run leaves nothing to resume";
    });
    {
        auto hold = p.host.lock();
        for (const auto& [number, price] : changed)
            EXPECT_EQ(priceAt(p.reg.image(emu::RegisterModel::Articles, number)), price) << number;
        EXPECT_EQ(priceAt(p.reg.image(emu::RegisterModel::Articles, 6)),
                  priceAt(db.readBytes(layout::Articles.offsetOf(6), ArticleRecord::Size)));
    }
    EXPECT_EQ(progressWindowsShown(), 0);

    // The whole database again, stopped on the way: the form says how far it got and "Wznów"
    // goes on from there without asking again, to the end. Three hundred articles one by one
    // take the register's pauses: the port settings' fast transfers wait only for the answers.
    struct SlowAgain {
        ~SlowAgain() { Link::instance().fastTransfers = false; } // the link outlives the test
    } slowAgain;
    connection::setFastTransfers(p.window->app(), Link::instance(), true);
    p.person.seen.clear();
    p.person.answers = {QMessageBox::Yes};
    p.use(QStringLiteral("Programowanie całej kasy"), [&](QDialog& form) {
        QCheckBox* changedOnly = nullptr;
        for (QCheckBox* box : form.findChildren<QCheckBox*>())
            if (box->text() == QStringLiteral("Tylko zmienione rekordy"))
                changedOnly = box;
        auto* summary = form.findChild<QTableWidget*>(QStringLiteral("Podsumowanie"));
        auto* outcome = form.findChild<QLabel*>(QStringLiteral("Wynik"));
        QAbstractButton* run = button(&form, QStringLiteral("Wykonaj"));
        QAbstractButton* resume = button(&form, QStringLiteral("Wznów"));
        QAbstractButton* stop = button(&form, QStringLiteral("Anuluj"), true);
        ASSERT_TRUE(changedOnly && summary && outcome && run && resume && stop);
        EXPECT_TRUE(changedOnly->isChecked()) << "the form keeps its options";
        changedOnly->setChecked(false);
        p.cancelAfterFrames(stop, 100);
        run->click();
        p.stopCancelling();
        EXPECT_EQ(progressWindowsShown(), 0);
        ASSERT_FALSE(p.person.seen.isEmpty());
        EXPECT_TRUE(p.person.seen.last().startsWith(QStringLiteral("Przerwano. Wysłano ")))
            << p.person.seen.join(u'\n').toStdString();
        EXPECT_TRUE(resume->isEnabled());
        EXPECT_FALSE(summary->findItems(QStringLiteral("przerwano"), Qt::MatchExactly).isEmpty());

        p.person.seen.clear();
        resume->click();
        EXPECT_TRUE(p.person.seen.isEmpty()) << p.person.seen.join(u'\n').toStdString();
        EXPECT_EQ(outcome->text(), QStringLiteral("Zaprogramowano kasę."));
        EXPECT_FALSE(resume->isEnabled());
        EXPECT_EQ(progressWindowsShown(), 0);
    });

    // The article form's "Wyślij wszystkie" with "Tylko zmienione": one more new price, and
    // only that article goes.
    ASSERT_TRUE(db.writeRecord(layout::Articles.offsetOf(40) + 45, QByteArray("\x10\x27\0\0", 4)));
    p.person.seen.clear();
    p.person.answers = {QMessageBox::Yes};
    p.use(QStringLiteral("Towary"), [&](QDialog& form) {
        auto* articles = qobject_cast<TProgramowanieTowarow*>(&form);
        ASSERT_NE(articles, nullptr);
        articles->TylkoZmienione->setChecked(true);
        articles->WyslijWszystkie->click();
        EXPECT_EQ(progressWindowsShown(), 0);
        ASSERT_FALSE(p.person.seen.isEmpty());
        EXPECT_EQ(p.person.seen.last(),
                  QStringLiteral("Zmienione i nowe towary: 1. Zaprogramowano 1 towarów."))
            << p.person.seen.join(u'\n').toStdString();
    });
    {
        auto hold = p.host.lock();
        EXPECT_EQ(priceAt(p.reg.image(emu::RegisterModel::Articles, 40)), 10000);
    }
}

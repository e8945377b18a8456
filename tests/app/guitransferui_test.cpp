#include "app/forms/guitransferui.h"
#include "common/transferrun.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/link.h"

#include "fakeui.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
// A form with a start button, a field and a panel "Anuluj" of its own.
struct Form {
    QDialog dialog;
    QPushButton* start = new QPushButton(QStringLiteral("Start"), &dialog);
    QLineEdit* field = new QLineEdit(&dialog);
    QPushButton* cancel = new QPushButton(QStringLiteral("Anuluj"), &dialog);
    Form()
    {
        auto* layout = new QVBoxLayout(&dialog);
        for (QWidget* w : {static_cast<QWidget*>(start), static_cast<QWidget*>(field),
                           static_cast<QWidget*>(cancel)})
            layout->addWidget(w);
    }
};
} // namespace

// The progress window of a run: count, total and time left; its "Anuluj" stops that run and
// closes; the window goes when the run ends, even when the total was never known; the next
// run starts unstopped.
TEST(GuiTransferUi, ProgressWindowBelongsToOneRun)
{
    Form form;
    GuiTransferUi ui(&form.dialog);
    {
        TransferRun run(ui, {&form.dialog, nullptr, {}});
        EXPECT_EQ(ui.progressDialog(), nullptr);
        run.progress(1, 2000);
        QProgressDialog* dialog = ui.progressDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->maximum(), 2000);
        QLabel* label = dialog->findChild<QLabel*>();
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QStringLiteral("1 z 2000"));
        run.waitMs(20);
        run.progress(3, 2000);
        EXPECT_TRUE(label->text().startsWith(QStringLiteral("3 z 2000, pozostało około ")))
            << label->text().toStdString();

        QPushButton* cancel = dialog->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->text(), QStringLiteral("Anuluj"));
        cancel->click();
        EXPECT_TRUE(run.stopRequested());
        EXPECT_EQ(ui.progressDialog(), nullptr);
        run.progress(4, 2000); // a stopped run does not open the window again
        EXPECT_EQ(ui.progressDialog(), nullptr);
    }
    {
        TransferRun next(ui, {&form.dialog, nullptr, {}});
        EXPECT_FALSE(next.stopRequested());
        next.progress(7, 0);
        ASSERT_NE(ui.progressDialog(), nullptr);
    }
    EXPECT_EQ(ui.progressDialog(), nullptr);
}

// A run with the form's own panel: no progress window, the panel's "Anuluj" and Escape stop
// it, every other control is disabled and the form cannot be closed until the run ends.
TEST(GuiTransferUi, PanelRunLocksItsForm)
{
    Form form;
    form.dialog.show();
    GuiTransferUi ui(&form.dialog);
    int shown = -1;
    {
        TransferRun run(ui, {&form.dialog, form.cancel, [&](int done, int) { shown = done; }});
        run.progress(5, 10);
        EXPECT_EQ(shown, 5);
        EXPECT_EQ(ui.progressDialog(), nullptr);
        EXPECT_FALSE(form.start->isEnabled());
        EXPECT_FALSE(form.field->isEnabled());
        EXPECT_TRUE(form.cancel->isEnabled());

        form.dialog.close();
        EXPECT_TRUE(form.dialog.isVisible());
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&form.dialog, &escape);
        EXPECT_TRUE(form.dialog.isVisible());
        EXPECT_TRUE(run.stopRequested());
    }
    EXPECT_TRUE(form.start->isEnabled());
    EXPECT_TRUE(form.field->isEnabled());
    {
        TransferRun run(ui, {&form.dialog, form.cancel, {}});
        EXPECT_FALSE(run.stopRequested());
        form.cancel->click();
        EXPECT_TRUE(run.stopRequested());
    }
    // Out of a run the panel's "Anuluj" reaches nothing.
    form.cancel->click();
    TransferRun after(ui, {&form.dialog, form.cancel, {}});
    EXPECT_FALSE(after.stopRequested());
}

namespace {
// A line on which the register reports that its paper ran out and, once the person said to
// go on, accepts the command.
class PaperOutLine : public SerialLine {
public:
    OpenError open(const QString&) override
    {
        m_open = true;
        return OpenError::None;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool configure(const LineSettings&) override { return true; }
    void setTimeouts(const LineTimeouts& t) override { m_t = t; }
    LineTimeouts timeouts() const override { return m_t; }
    WriteResult write(QByteArrayView bytes) override
    {
        return WriteResult{true, false, bytes.size(), 0};
    }
    qint64 read(char* into, qint64 count) override
    {
        static const char paperOut[] = {2, 1, 10, 0, 1, 0, 0x41, 2, 0x49, 3};
        static const char accepted[] = {2, 1, 10, 0, 1, 0, 6, 0, 0x0C, 3};
        const char* answer = m_reads++ == 0 ? paperOut : accepted;
        const qint64 n = qMin<qint64>(count, 10);
        std::copy(answer, answer + n, into);
        return n;
    }
    int status() override { return 0; }

private:
    bool m_open = false;
    int m_reads = 0;
    LineTimeouts m_t;
};
} // namespace

// "Brak papieru! Kontynuować?" comes up captioned "UWAGA!"; Escape and closing the window do
// not answer it, only "Yes" or "No" does.
TEST(GuiTransferUi, PaperOutQuestionIsAnsweredOnlyByItsButtons)
{
    Form form;
    form.dialog.show();
    GuiTransferUi ui(&form.dialog);
    Link link([] { return std::unique_ptr<SerialLine>(new PaperOutLine); });
    link.port = 1;
    ASSERT_EQ(link.openPort(ui, true), 0);
    QString title, text;
    bool stayedAfterEscape = false, stayedAfterClose = false;
    std::function<void()> look = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(5, look);
            return;
        }
        title = box->windowTitle();
        text = box->text();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box, &escape);
        stayedAfterEscape = box->isVisible();
        QCloseEvent close;
        QApplication::sendEvent(box, &close); // as the window's close button sends it
        stayedAfterClose = box->isVisible();
        box->button(QMessageBox::Yes)->click();
    };
    QTimer::singleShot(0, look);
    EXPECT_EQ(answers::confirmationWait(link, ui), answers::Accepted);
    EXPECT_EQ(title, QStringLiteral("UWAGA!"));
    EXPECT_EQ(text, QStringLiteral("Brak papieru! Kontynuować?"));
    EXPECT_TRUE(stayedAfterEscape);
    EXPECT_TRUE(stayedAfterClose);
}

// A register that stays silent does not freeze the window: the program's link lets the window
// work between slices of each read, so timers fire and a stop is taken while a long frame is
// awaited (a read of 265 bytes waits 1 s plus 10 ms a byte after a send).
TEST(GuiTransferUi, SilentRegisterLeavesTheWindowWorking)
{
    char name[128] = {};
    int master = -1, slave = -1;
    termios raw{};
    cfmakeraw(&raw);
    ASSERT_EQ(openpty(&master, &slave, name, &raw, nullptr), 0);
    ::close(slave); // the link opens its own; nothing ever answers on `master`
    Link link;
    link.device = QString::fromLocal8Bit(name);
    link.port = 1;
    GuiTransferUi window; // as the program sets its link
    link.idle = [&window] { window.whileLineWaits(); };
    FakeUi ui;
    ASSERT_EQ(link.openPort(ui, true), 0);

    QElapsedTimer clock;
    qint64 last = 0, longestGap = 0;
    bool stopTaken = false;
    TransferRun run(ui);
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
    });
    QTimer::singleShot(300, [&] {
        run.requestStop();
        stopTaken = true;
    });
    ticks.start(20);
    clock.start();
    EXPECT_FALSE(answers::readSingleFrame(link, run, commands::requestTable(1, 1, 'T', 1), 265));
    const qint64 took = clock.elapsed();
    longestGap = std::max(longestGap, took - last);
    ticks.stop();
    ::close(master);
    EXPECT_GE(took, 3000); // the read waited its whole time-out
    EXPECT_TRUE(stopTaken);
    // No gap anywhere near a read's time-out; a second is far above the slices' tenth.
    EXPECT_LT(longestGap, 1000) << "longest gap " << longestGap << " ms of " << took;
}

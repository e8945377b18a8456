#include "app/forms/guitransferui.h"
#include "common/transferrun.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

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

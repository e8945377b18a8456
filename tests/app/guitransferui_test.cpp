#include "app/forms/guitransferui.h"

#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

// The progress window of a run: count, total and time left, "Anuluj" stops the run, and
// the window goes when the run is done.
TEST(GuiTransferUi, ProgressWindowShowsCountAndStopsTheRun)
{
    QWidget window;
    GuiTransferUi ui(&window);
    EXPECT_EQ(ui.progressDialog(), nullptr);

    ui.progress(1, 2000);
    QProgressDialog* dialog = ui.progressDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->maximum(), 2000);
    EXPECT_EQ(dialog->value(), 1);
    QLabel* label = dialog->findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("1 z 2000"));

    ui.waitMs(20);
    ui.progress(3, 2000);
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("3 z 2000, pozostało około ")))
        << label->text().toStdString();

    EXPECT_FALSE(ui.stopRequested());
    QPushButton* cancel = dialog->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("Anuluj"));
    cancel->click();
    EXPECT_TRUE(ui.stopRequested());

    // The run ends: the window closes and the next run is not stopped before it starts.
    ui.progress(2000, 2000);
    EXPECT_EQ(ui.progressDialog(), nullptr);
    EXPECT_FALSE(ui.stopRequested());
}

TEST(GuiTransferUi, StopFromTheFormSurvivesTheProgressWindow)
{
    QWidget window;
    GuiTransferUi ui(&window);
    ui.setStopRequested(true);
    ui.progress(5, 10);
    ui.progress(10, 10);
    EXPECT_TRUE(ui.stopRequested());
}

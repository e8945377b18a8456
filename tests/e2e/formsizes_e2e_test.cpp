// Every form the program opens fits a technician's laptop: 1920×1080 at 150 % scaling leaves a
// logical screen of 1280×720, and a title bar and a task bar take about 40 of that. A form is
// shown as the program shows it (filled from the database of a new session) and measured
// after its layout has settled; its minimum size must fit too, or the window manager cannot
// make it fit.

#include "app/forms/formregistry.h"
#include "app/forms/guitransferui.h"
#include "app/forms/tmenuglowne.h"
#include "person.h"

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
constexpr int ScreenWidth = 1280;
constexpr int ScreenHeight = 680;
} // namespace

TEST(EveryForm, FitsALaptopScreenAt150Percent)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Person person;
    GuiTransferUi ui;
    TMenuGlowne window(ui, dir.path(), dir.filePath(QStringLiteral("BDTemp.bdt")));
    ui.setParent(&window);
    window.show();
    ASSERT_FALSE(FormRegistry::all().empty());
    for (const auto& [name, factory] : FormRegistry::all()) {
        QDialog* form = window.form(name.c_str());
        ASSERT_NE(form, nullptr) << name;
        form->show();
        QApplication::processEvents();
        const QSize shown = form->size();
        const QSize least = form->minimumSizeHint().expandedTo(form->minimumSize());
        EXPECT_LE(shown.width(), ScreenWidth) << name;
        EXPECT_LE(shown.height(), ScreenHeight) << name;
        EXPECT_LE(least.width(), ScreenWidth) << name;
        EXPECT_LE(least.height(), ScreenHeight) << name;
        form->hide();
    }
}

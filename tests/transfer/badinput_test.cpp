// Bad input in the copy read form's number page: every field given empty, letters, foreign
// text, negative and overflowing numbers. A refusal sends nothing.
#include "../link/fakeline.h"
#include "app/appsession.h"
#include "database/databasesession.h"
#include "fakeui.h"
#include "transfer/forms/todczytkopii.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

TEST(BadInputCopyRead, EveryNumberFieldRefusesBadValues)
{
    const char* const bad[] = {"", "ab", "😀", "Прив", "-5", "1,5", "99999999999999999999"};
    for (int field = 0; field < 4; ++field)
        for (const char* typed : bad) {
            QTemporaryDir dir;
            DatabaseSession db{dir.filePath(QStringLiteral("BDTemp.bdt"))};
            FakeUi ui;
            AppSession app{db, ui};
            FakeLineScript script;
            Link link{fakeFactory(script)};
            link.port = 1;
            ASSERT_EQ(link.openPort(ui, true), 0);
            script.written.clear();
            TOdczytKopii f(app);
            f.setLink(link);
            f.show();
            f.pages()->setCurrentIndex(TOdczytKopii::ByNumbers);
            f.numberEdit(field)->setText(u8(typed));
            const QString shown = f.numberEdit(field)->text();
            SCOPED_TRACE(std::to_string(field) + ": " + shown.toStdString());
            f.Button1Click();
            // The report fields take four characters ("9999" is beyond 2000); the receipt
            // fields five ("99999" is a receipt number and goes out).
            if (field >= 2 && shown == u8("99999")) {
                EXPECT_FALSE(script.written.isEmpty());
                continue;
            }
            EXPECT_EQ(ui.messages, QStringList{u8("Błędnie wprowadzone dane")});
            EXPECT_TRUE(script.written.isEmpty());
        }
}

} // namespace

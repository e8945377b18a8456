#include "fakeui.h"

#include "app/appsession.h"
#include "app/articlelist/tlistatowarowtandem.h"
#include "database/databasesession.h"
#include "registers/tprogramowanieopakowan.h"
#include "tables/articlerecord.h"
#include "tables/packagingrecord.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Deleting a packaging that articles are sold in tandem with: the real form, the real
// confirmation list, which says how many articles lose their link.
TEST(PackagingForm, DeletionNamesHowManyArticlesUseThePackaging)
{
    QTemporaryDir dir;
    DatabaseSession session(dir.filePath(DatabaseSession::WorkingCopyName));
    ASSERT_TRUE(session.startUp().ok);
    FakeUi ui;
    AppSession app(session, ui);
    app.setState(OperatingState::OfflineWithDatabase);
    for (int n : {4, 9, 15}) {
        ArticleRecord a;
        a.number = n;
        a.name = QStringLiteral("Piwo ") + QString::number(n);
        a.tandem = n == 15 ? 1 : 2;
        ASSERT_TRUE(storeRecord(session.database(), layout::Articles, n, a));
    }
    TProgramowanieOpakowan form(app);
    form.show();
    for (int slot : {2, 3}) {
        form.ComboBox1->setCurrentIndex(slot - 1);
        form.Edit2->setText(QStringLiteral("Skrzynka"));
        form.Edit3->setText(QStringLiteral("5,00"));
        form.addButton->click();
    }
    const auto deleteNumber = [&](int number) {
        for (int row = 0; row < form.grid->rowCount(); ++row)
            if (form.grid->item(row, 0) &&
                form.grid->item(row, 0)->text() == QString::number(number))
                form.grid->setCurrentCell(row, 0);
        form.deleteButton->click();
    };

    // Two articles use packaging 2: the list says so; cancelled, nothing changes.
    QString count, memo;
    bool countShown = false;
    QTimer::singleShot(0, [&] {
        auto* list = qobject_cast<TListaTowarowTandem*>(QApplication::activeModalWidget());
        ASSERT_NE(list, nullptr);
        count = list->Label3->text();
        countShown = list->Label3->isVisible();
        memo = list->Memo1->toPlainText();
        list->Button2->click();
    });
    deleteNumber(2);
    EXPECT_TRUE(countShown);
    EXPECT_EQ(count,
              QStringLiteral("Liczba towarów sprzedawanych w tandemie z opakowaniem nr 2: 2."));
    EXPECT_EQ(memo, QStringLiteral("Piwo 4\nPiwo 9"));
    EXPECT_EQ(loadRecord<PackagingRecord>(session.database(), layout::Packaging, 2).number, 2);
    EXPECT_EQ(loadRecord<ArticleRecord>(session.database(), layout::Articles, 4).tandem, 2);

    // No article uses packaging 3: no count, only the list's own lines; confirmed, it goes.
    QTimer::singleShot(0, [&] {
        auto* list = qobject_cast<TListaTowarowTandem*>(QApplication::activeModalWidget());
        ASSERT_NE(list, nullptr);
        countShown = list->Label3->isVisible();
        memo = list->Memo1->toPlainText();
        list->Button1->click();
    });
    deleteNumber(3);
    EXPECT_FALSE(countShown);
    EXPECT_EQ(memo, QStringLiteral("Z opakowaniem nie są powiązane\nżadne towary."));
    EXPECT_EQ(loadRecord<PackagingRecord>(session.database(), layout::Packaging, 3).number, 0);
}

} // namespace

// The article grid of the article base editor: one line per article and every value whole.
#include "articletestdb.h"
#include "fakeui.h"

#include "app/appsession.h"
#include "tables/articlegrid.h"
#include "tables/forms/articles/tprogramowanietowarow.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

namespace {

// Every cell's text fits its column, and every row is one text line high.
void expectWholeValuesOnOneLine(QTableView* grid)
{
    const QAbstractItemModel* model = grid->model();
    const QFontMetrics fm(grid->font());
    EXPECT_FALSE(grid->wordWrap());
    for (int r = 0; r < model->rowCount(); ++r) {
        EXPECT_LT(grid->rowHeight(r), 2 * fm.lineSpacing()) << "row " << r;
        for (int c = 0; c < model->columnCount(); ++c) {
            const QString text = model->index(r, c).data().toString();
            EXPECT_GT(grid->columnWidth(c), fm.horizontalAdvance(text))
                << "row " << r << " column " << c << ": " << text.toStdString();
        }
    }
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString caption = model->headerData(c, Qt::Horizontal).toString();
        EXPECT_GE(grid->columnWidth(c), fm.horizontalAdvance(caption)) << caption.toStdString();
    }
}

} // namespace

TEST(GridFit, ArticleGridShowsWholeBarcodesGroupsAndNamesOnOneLine)
{
    TestDb t;
    FakeUi ui;
    AppSession app(t.session, ui);
    app.setState(OperatingState::OfflineWithDatabase);
    ArticleRecord a = TestDb::article(1, QStringLiteral("Kawa"), 1250);
    a.barcode = QStringLiteral("5900000000017");
    a.group = 1; // "Grupa podstawowa" of every new database
    t.put(a);
    ArticleRecord b = TestDb::article(2, QStringLiteral("Czekolada gorzka z orzechami laskowymi"));
    b.barcode = QStringLiteral("5901234123457");
    b.group = 1;
    t.put(b);

    TProgramowanieTowarow form(app);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTableView* grid = form.StringGrid1;
    ASSERT_EQ(grid->model()->index(0, 4).data().toString(), QStringLiteral("5900000000017"));
    ASSERT_EQ(grid->model()->index(0, 5).data().toString(), QStringLiteral("1 Grupa podstawowa"));
    expectWholeValuesOnOneLine(grid);

    // An article added in the form widens the columns it needs.
    ArticleRecord c =
        TestDb::article(3, QStringLiteral("Bardzo długa nazwa towaru do sprawdzenia"));
    c.barcode = QStringLiteral("2000000000008");
    t.put(c);
    form.hide();
    form.show();
    expectWholeValuesOnOneLine(grid);
}

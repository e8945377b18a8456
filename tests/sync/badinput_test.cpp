// Bad input in the article synchronisation form's marking fields: the number range "od"/"do"
// and the days without a sale. Marking never touches the database.
#include "syncbench.h"

#include "app/appsession.h"
#include "common/listline.h"
#include "sync/articlesync.h"
#include "sync/forms/tsynchronizacjabazytowarowej.h"

#include <QDate>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

// A register image of article n; `soldToday` gives it a last sale today, otherwise it was
// never sold (hour 24).
QByteArray image(int n, bool soldToday)
{
    QByteArray img(82, '\0');
    put16(img, 0, quint32(n));
    putText(img, 2, "Towar");
    img[44] = 'A';
    putText(img, 57, "0000000000001");
    img[70] = 1;
    if (soldToday) {
        const QDate today = QDate::currentDate();
        put16(img, 75, quint32(today.year()));
        img[77] = char(today.month());
        img[78] = char(today.day());
        img[79] = 12;
    } else {
        img[79] = 24;
    }
    return img;
}

struct Bench {
    Bench() : session(t.session, ui) {}
    // The shown form's register side as a read of three articles leaves it.
    static void fill(TSynchronizacjaBazyTowarowej& form)
    {
        basesync::ArticleSync& buffer = form.buffer();
        buffer.setImage(2, image(2, false));
        buffer.setImage(4, image(4, true));
        buffer.setImage(6, image(6, false));
        form.rebuildRegisterList();
    }
    TestDatabase t;
    FakeUi ui;
    AppSession session;
};

QList<int> checked(TSynchronizacjaBazyTowarowej& form)
{
    QList<int> out;
    for (int row = 0; row < form.registerList()->count(); ++row)
        if (form.registerList()->item(row)->checkState() == Qt::Checked)
            out.append(recordNumberFromLine(form.registerList()->item(row)->text()));
    return out;
}

TEST(BadInputArticleSync, NumberRangeFields)
{
    const struct {
        const char *from, *to;
        bool refused;
        QList<int> marked;
    } cases[] = {
        {"ab", "", true, {}},
        {"", "😀", true, {}},
        {"1,5", "6", true, {}},
        {"6", "2", true, {}},
        {"-5", "4", false, {2, 4}},                      // below 1 counts as 1
        {"0", "99999999999999999999", false, {2, 4, 6}}, // cut to "9999", above 2000 is 2000
        {"", "", false, {2, 4, 6}},
        {"5", "5", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " .. " + c.to);
        Bench b;
        ASSERT_TRUE(b.t.ok);
        TSynchronizacjaBazyTowarowej form(b.session);
        form.show();
        Bench::fill(form);
        ASSERT_EQ(form.registerList()->count(), 3);
        const QByteArray before = b.t.db().contents();
        form.findChild<QLineEdit*>(QStringLiteral("Od"))->setText(u8(c.from));
        form.findChild<QLineEdit*>(QStringLiteral("Do"))->setText(u8(c.to));
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("WgNumerow")),
                          Qt::LeftButton);
        if (c.refused)
            EXPECT_EQ(b.ui.messages, QStringList{u8("Błędnie wypełnione pola!")});
        else
            EXPECT_TRUE(b.ui.messages.isEmpty());
        EXPECT_EQ(checked(form), c.marked);
        EXPECT_EQ(b.t.db().contents(), before);
        EXPECT_FALSE(b.t.session.isModified());
    }
}

TEST(BadInputArticleSync, DaysWithoutSaleField)
{
    const struct {
        const char* days;
        QList<int> marked;
    } cases[] = {
        {"ab", {}},     {"", {}},      {"😀", {}},      {"-5", {}},
        {"-0", {2, 6}}, {"0", {2, 6}}, {"99", {2, 6}}, {"999", {2, 6}}, // cut to "99"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.days);
        Bench b;
        ASSERT_TRUE(b.t.ok);
        TSynchronizacjaBazyTowarowej form(b.session);
        form.show();
        Bench::fill(form);
        const QByteArray before = b.t.db().contents();
        form.findChild<QLineEdit*>(QStringLiteral("Dni"))->setText(u8(c.days));
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Nieuzywane")),
                          Qt::LeftButton);
        EXPECT_EQ(checked(form), c.marked);
        EXPECT_TRUE(b.ui.messages.isEmpty());
        EXPECT_EQ(b.t.db().contents(), before);
    }
}

} // namespace

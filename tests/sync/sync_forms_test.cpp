#include "syncbench.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "link/link.h"
#include "sync/articlesync.h"
#include "sync/forms/tsynchronizacjabazy.h"
#include "sync/forms/tsynchronizacjabazytowarowej.h"
#include "sync/tablesync.h"
#include "tables/tablelayout.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

// The forms on the offscreen platform: what the user sees, and the buttons that work without
// a register.
namespace {

template <class W> W* child(QWidget& form, const char* name)
{
    return form.findChild<W*>(QLatin1String(name));
}

QByteArray registerArticle(int n, const char* name)
{
    QByteArray img(82, '\0');
    put16(img, 0, quint32(n));
    putText(img, 2, name);
    img[44] = 'A';
    put32(img, 45, 199);
    putText(img, 57, "0000000000001");
    img[70] = 1;
    img[79] = 24;
    return img;
}

} // namespace

TEST(SyncForms, EveryMemberIsRegisteredWithItsCaption)
{
    TestDatabase t;
    ASSERT_TRUE(t.ok);
    FakeUi ui;
    AppSession session(t.session, ui);
    const std::pair<const char*, const char16_t*> forms[] = {
        {"TSynchronizacjaBazyTowarowej", u"Podgląd bazy towarowej"},
        {"TSynchronizacjaBazyGrupTowarowych", u"Podgląd bazy grup towarowych"},
        {"TSynchronizacjaBazyOpakowan", u"Podgląd bazy opakowań"},
        {"TSynchronizacjaBazyKasjerow", u"Podgląd bazy kasjerów"},
        {"TSynchronizacjaBazyRabatow", u"Podgląd bazy rabatów"},
        {"TSynchronizacjaBazyFormPlatnosci", u"Podgląd bazy form płatności"},
        {"TSynchronizacjaBazyWalut", u"Podgląd bazy walut obcych"},
    };
    for (const auto& [cls, caption] : forms) {
        const FormFactory* factory = FormRegistry::find(cls);
        ASSERT_NE(factory, nullptr) << cls;
        std::unique_ptr<QDialog> form((*factory)(session, nullptr));
        EXPECT_EQ(form->windowTitle(), QString::fromUtf16(caption));
    }
}

TEST(SyncForms, ArticleFormListsBothSidesAndChecksByNumbers)
{
    TestDatabase t;
    ASSERT_TRUE(t.ok);
    FakeUi ui;
    AppSession session(t.session, ui);
    QByteArray r(68, '\0');
    put16(r, 0, 9);
    putText(r, 2, "Chleb");
    r[44] = 'A';
    putText(r, 49, "0000000000009");
    r[62] = 1;
    ASSERT_TRUE(t.db().writeRecord(layout::Articles.offsetOf(9), r));

    TSynchronizacjaBazyTowarowej form(session);
    form.show();
    // The register's side as a read over the link leaves it.
    basesync::ArticleSync& buffer = form.buffer();
    for (int n : {2, 4, 6})
        buffer.setImage(n, registerArticle(n, "Towar"));
    buffer.setOrigin(basesync::ReadOrigin::of(Link::instance()));
    form.rebuildRegisterList();
    ASSERT_EQ(form.pcList()->count(), 1);
    EXPECT_TRUE(form.pcList()->item(0)->text().startsWith(QStringLiteral("9.    Chleb")));
    ASSERT_EQ(form.registerList()->count(), 3);
    EXPECT_EQ(child<QLabel>(form, "PcGauge")->text(), QStringLiteral("1/2000"));
    EXPECT_EQ(child<QLabel>(form, "RegisterGauge")->text(), QStringLiteral("3/2000"));
    EXPECT_EQ(child<QLineEdit>(form, "Dni")->text(), QStringLiteral("30"));

    child<QLineEdit>(form, "Od")->setText(QStringLiteral("3"));
    child<QLineEdit>(form, "Do")->setText(QStringLiteral("6"));
    QTest::mouseClick(child<QPushButton>(form, "WgNumerow"), Qt::LeftButton);
    auto state = [&](int row) { return form.registerList()->item(row)->checkState(); };
    EXPECT_EQ(state(0), Qt::Unchecked);
    EXPECT_EQ(state(1), Qt::Checked);
    EXPECT_EQ(state(2), Qt::Checked);
    child<QLineEdit>(form, "Od")->setText(QStringLiteral("5"));
    child<QLineEdit>(form, "Do")->setText(QStringLiteral("3"));
    QTest::mouseClick(child<QPushButton>(form, "WgNumerow"), Qt::LeftButton);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Błędnie wypełnione pola!")});

    // Check all, then copy the checked register articles to the PC.
    QTest::mouseClick(child<QPushButton>(form, "RegisterAll"), Qt::LeftButton);
    EXPECT_EQ(state(0), Qt::Checked);
    QTest::mouseClick(child<QPushButton>(form, "DoPc"), Qt::LeftButton);
    EXPECT_EQ(form.pcList()->count(), 4);
    // Articles copied into the PC base are an edit the save prompt must guard.
    EXPECT_TRUE(t.session.isModified());
    // The second press unchecks all; deleting from the PC with nothing checked does nothing.
    QTest::mouseClick(child<QPushButton>(form, "RegisterAll"), Qt::LeftButton);
    EXPECT_EQ(state(0), Qt::Unchecked);
    QTest::mouseClick(child<QPushButton>(form, "UsunZPc"), Qt::LeftButton);
    EXPECT_EQ(form.pcList()->count(), 4);

    // A click on a register line shows its details.
    const QRect rect = form.registerList()->visualItemRect(form.registerList()->item(1));
    QTest::mouseClick(form.registerList()->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(child<QLabel>(form, "Nazwa")->text(), QStringLiteral("Towar"));
    EXPECT_EQ(child<QLabel>(form, "Symbol")->text(), QStringLiteral("Kasa"));
}

TEST(SyncForms, DiscountFormShowsKindAndTypeAndCashierFormHidesItsOption)
{
    TestDatabase t;
    ASSERT_TRUE(t.ok);
    FakeUi ui;
    AppSession session(t.session, ui);
    QByteArray img(36, '\0');
    img[0] = 1;
    putText(img, 1, "Stały klient");
    img[22] = 1;
    put32(img, 24, 1000);
    TSynchronizacjaBazyRabatow form(session);
    form.show();
    form.buffer().setImage(1, img);
    form.rebuildRegisterList();
    ASSERT_EQ(form.registerList()->count(), 1);
    EXPECT_TRUE(form.registerList()->item(0)->text().endsWith(QStringLiteral("[N]     10,00 %")));
    EXPECT_EQ(child<QPushButton>(form, "DoPc")->text(),
              QStringLiteral("Skopiuj Zaznaczone\nrekordy do PC"));
    EXPECT_EQ(child<QCheckBox>(form, "Potwierdzaj")->text(),
              QStringLiteral("Potwierdzaj wprowadzanie rabatów z klawiatury kasy"));

    TSynchronizacjaBazyKasjerow cashiers(session);
    cashiers.show();
    EXPECT_FALSE(child<QCheckBox>(cashiers, "Potwierdzaj")->isVisible());
    ASSERT_EQ(cashiers.pcList()->count(), 1); // the manager of a new database
    const QRect rect = cashiers.pcList()->visualItemRect(cashiers.pcList()->item(0));
    QTest::mouseClick(cashiers.pcList()->viewport(), Qt::LeftButton, {}, rect.center());
    QLabel* password = child<QLabel>(cashiers, "Haslo");
    QPushButton* show = child<QPushButton>(cashiers, "PokazHaslo");
    EXPECT_FALSE(password->isVisible());
    QTest::mouseClick(show, Qt::LeftButton);
    EXPECT_TRUE(password->isVisible());
    EXPECT_EQ(password->text(), QStringLiteral("7395"));
    EXPECT_EQ(show->text(), QStringLiteral("Ukryj hasło"));
    QTest::mouseClick(show, Qt::LeftButton);
    EXPECT_FALSE(password->isVisible());
    EXPECT_EQ(show->text(), QStringLiteral("Pokaż hasło"));

    TSynchronizacjaBazyGrupTowarowych groups(session);
    EXPECT_EQ(child<QPushButton>(groups, "DoKasy")->text(),
              QStringLiteral("Skopiuj wszystkie\nrekordy do kasy"));
}

// Qt's own dialogs and buttons in Polish once the program has loaded Qt's translation.
#include "app/forms/guitransferui.h"
#include "app/polishui.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
QString plain(QString text)
{
    return text.remove(u'&');
}
} // namespace

TEST(PolishUi, StandardButtonsSpeakPolish)
{
    ASSERT_TRUE(installPolishTranslations(*qApp))
        << "qtbase_pl.qm missing: install the package qt6-translations-l10n";
    EXPECT_EQ(QLocale().language(), QLocale::Polish);
    EXPECT_EQ(QLocale().territory(), QLocale::Poland);

    QMessageBox box(QMessageBox::Question, QStringLiteral("Vorn Duno"), QStringLiteral("Pytanie"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(plain(box.button(QMessageBox::Yes)->text()), QStringLiteral("Tak"));
    EXPECT_EQ(plain(box.button(QMessageBox::No)->text()), QStringLiteral("Nie"));
    EXPECT_EQ(plain(box.button(QMessageBox::Cancel)->text()), QStringLiteral("Anuluj"));

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                             QDialogButtonBox::Close);
    EXPECT_EQ(plain(buttons.button(QDialogButtonBox::Cancel)->text()), QStringLiteral("Anuluj"));
    EXPECT_EQ(plain(buttons.button(QDialogButtonBox::Close)->text()), QStringLiteral("Zamknij"));
}

// The question the program itself asks (the save prompt's three answers) as a person sees it.
TEST(PolishUi, TheProgramsQuestionOffersTakNieAnuluj)
{
    ASSERT_TRUE(installPolishTranslations(*qApp));
    GuiTransferUi ui;
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* b : box->buttons())
            seen << plain(b->text());
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(ui.ask(QStringLiteral("Czy chcesz zapisać zmiany w aktualnie edytowanej bazie?"),
                     TransferUi::Buttons::YesNoCancel),
              TransferUi::Answer::No);
    seen.sort();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Anuluj"), QStringLiteral("Nie"),
                                 QStringLiteral("Tak")}));
}

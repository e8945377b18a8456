#include "registerbench.h"

#include "app/appsession.h"
#include "app/articlelist/tlistatowarowtandem.h"
#include "database/databasesession.h"
#include "registers/tprogramowanieformplatnosci.h"
#include "registers/tprogramowaniegruptowarowych.h"
#include "registers/tprogramowaniekasjerow.h"
#include "registers/tprogramowanieopakowan.h"
#include "registers/tprogramowanierabatow.h"
#include "registers/tprogramowaniestawekptu.h"
#include "registers/tprogramowaniewalutobcych.h"
#include "registers/tprogramowaniewalutyewidencyjnej.h"
#include "tables/articlerecord.h"
#include "tables/grouprecord.h"
#include "tables/packagingrecord.h"
#include "tables/vatrates.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A program session with a new database, offline, and the messages kept by FakeUi.
struct FormBench {
    FormBench()
    {
        session = std::make_unique<DatabaseSession>(dir.filePath(DatabaseSession::WorkingCopyName));
        ok = session->startUp().ok;
        app = std::make_unique<AppSession>(*session, ui);
        app->setState(OperatingState::OfflineWithDatabase);
    }
    RegisterDatabase& db() { return session->database(); }
    QByteArray bytes(const TableLayout& t, int n)
    {
        return db().readBytes(t.offsetOf(n), t.recordSize);
    }
    QTemporaryDir dir;
    std::unique_ptr<DatabaseSession> session;
    FakeUi ui;
    std::unique_ptr<AppSession> app;
    bool ok = false;
};

QString cell(QTableWidget* grid, int row, int column)
{
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

void selectNumber(TableForm& form, int number)
{
    for (int row = 0; row < form.grid->rowCount(); ++row)
        if (cell(form.grid, row, 0) == QString::number(number)) {
            form.grid->setCurrentCell(row, 0);
            return;
        }
    form.grid->setCurrentCell(form.grid->rowCount() - 1, 0);
}

void pressEnter(QWidget* w)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

// ---- cashiers

TEST(CashierForm, ShowsTheTableAndProposesTheLowestFreeNumber)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieKasjerow form(*f.app);
    form.show();
    EXPECT_EQ(form.windowTitle(), u8("Edycja bazy kasjerów"));
    EXPECT_EQ(cell(form.grid, 0, 0), u8("1"));
    EXPECT_EQ(cell(form.grid, 0, 1), u8("Kierownik"));
    EXPECT_EQ(form.grid->rowCount(), 10);
    EXPECT_EQ(form.Edit1->text(), u8("2"));
}

TEST(CashierForm, EachRefusalLeavesTheFileUnchanged)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieKasjerow form(*f.app);
    form.show();
    const QByteArray before = f.db().contents();
    const struct {
        const char *number, *name, *password, *message;
    } cases[] = {
        {"3", "   ", "", "Nazwa kasjera nie może składać się z samych znaków spacji!"},
        {"11", "Ola", "", "Wartość pola 'Numer kasjera' powinna zawierać się w przedziale 1-10"},
        {"0", "Ola", "", "Wartość pola 'Numer kasjera' powinna zawierać się w przedziale 1-10"},
        {"3", "Ola", "1a", "Błędne hasło!"},
    };
    for (const auto& c : cases) {
        f.ui.messages.clear();
        form.Edit1->setText(u8(c.number));
        form.Edit2->setText(u8(c.name));
        form.MaskEdit1->setText(u8(c.password));
        form.addButton->click();
        EXPECT_EQ(f.ui.messages, QStringList{u8(c.message)}) << c.message;
    }
    // Empty fields: red hints beside both, no message box.
    f.ui.messages.clear();
    form.Edit1->clear();
    form.Edit2->clear();
    form.addButton->click();
    EXPECT_TRUE(f.ui.messages.isEmpty());
    EXPECT_FALSE(form.hint(u8("Edit1"))->isHidden());
    EXPECT_EQ(form.hint(u8("Edit1"))->text(), u8(" Wprowadź numer!"));
    EXPECT_FALSE(form.hint(u8("Edit2"))->isHidden());
    EXPECT_EQ(form.hint(u8("Edit2"))->text(), u8(" Wprowadź nazwę!"));
    EXPECT_EQ(f.db().contents(), before);
    EXPECT_FALSE(f.session->isModified());
}

TEST(CashierForm, GoodCashierIsStoredWholeAndShown)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieKasjerow form(*f.app);
    form.show();
    form.Edit1->setText(u8("2"));
    form.Edit2->setText(u8("Ola"));
    form.MaskEdit1->setText(u8("12"));
    form.rights[0]->setChecked(true);
    form.rights[6]->setChecked(true);
    pressEnter(&form);
    QByteArray expected("\x02Ola", 4);
    expected.append(18, '\0').append("12").append(2, '\0');
    expected.append("\x01\x00\x00\x00\x00\x00\x01", 7);
    EXPECT_EQ(f.bytes(layout::Cashiers, 2), expected);
    EXPECT_TRUE(f.session->isModified());
    EXPECT_EQ(cell(form.grid, 1, 1), u8("Ola"));
    EXPECT_TRUE(form.Edit2->text().isEmpty());
    EXPECT_TRUE(form.MaskEdit1->text().isEmpty());
    EXPECT_EQ(form.Edit1->text(), u8("3"));

    // The rights panel and the hidden password of the selected cashier.
    selectNumber(form, 2);
    form.StringGrid1Click();
    EXPECT_TRUE(form.password->isHidden());
    EXPECT_EQ(form.password->text(), u8("12"));
    EXPECT_FALSE(form.rightShown[0]->isHidden());
    EXPECT_TRUE(form.rightShown[1]->isHidden());
    form.togglePassword();
    EXPECT_FALSE(form.password->isHidden());
    EXPECT_EQ(form.showPassword->text(), u8("Ukryj hasło kasjera"));
}

TEST(CashierForm, ManagerKeepsHisPasswordAndCannotBeDeleted)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieKasjerow form(*f.app);
    form.show();
    form.Edit1->setText(u8("1"));
    form.Edit1Exit();
    EXPECT_FALSE(form.MaskEdit1->isEnabled());
    const QByteArray before = f.bytes(layout::Cashiers, 1);
    selectNumber(form, 1);
    form.deleteButton->click();
    EXPECT_EQ(f.ui.messages, QStringList{u8("Nie można usunąć kasjera nr 1")});
    EXPECT_EQ(f.bytes(layout::Cashiers, 1), before);
    EXPECT_EQ(form.password->text(), QString());

    form.Edit1->setText(u8("2"));
    form.Edit2->setText(u8("Ola"));
    form.addButton->click();
    selectNumber(form, 2);
    form.StringGrid1Click();
    EXPECT_EQ(form.password->text(), u8("Brak"));
    EXPECT_EQ(f.bytes(layout::Cashiers, 2).mid(22, 4), QByteArray(4, '\0'));
    // Saving the manager again keeps his stored password, whatever the disabled field holds.
    form.Edit1->setText(u8("1"));
    form.Edit2->setText(u8("Szef"));
    form.MaskEdit1->setText(u8("1111"));
    form.addButton->click();
    EXPECT_EQ(f.bytes(layout::Cashiers, 1).mid(22, 4), before.mid(22, 4));
    selectNumber(form, 2);
    form.deleteButton->click();
    EXPECT_EQ(f.bytes(layout::Cashiers, 2), QByteArray(33, '\0'));
    EXPECT_EQ(cell(form.grid, 1, 0), QString());
}

TEST(CashierForm, SendGoesOutWithTheConfirmByte)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    TProgramowanieKasjerow form(*f.app);
    form.setLink(&b.link);
    form.show();
    form.confirm->setChecked(true);
    selectNumber(form, 1);
    form.sendButton->click();
    ASSERT_EQ(b.sent.size(), 1);
    QByteArray expected("\x02\x01\x2B\x00\x01\x80\x4B", 7);
    expected.append(f.bytes(layout::Cashiers, 1)).append('\x01');
    EXPECT_EQ(b.sent[0], framed(expected));
    EXPECT_EQ(f.ui.messages, QStringList{u8("Kasjera zapisano w kasie")});
    // A row without a number sends nothing.
    selectNumber(form, 9);
    form.sendButton->click();
    EXPECT_EQ(b.sent.size(), 1);
}

// ---- discounts

TEST(DiscountForm, EachRefusalLeavesTheFileUnchanged)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieRabatow form(*f.app);
    form.show();
    form.Edit1->setText(u8("1"));
    form.Edit2->setText(u8("Promocja"));
    form.Edit3->setText(u8("5"));
    form.addButton->click();
    const QByteArray before = f.db().contents();
    const struct {
        const char *number, *name, *value;
        bool amount;
        const char* message;
    } cases[] = {
        {"21", "Ala", "5", false,
         " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 20"},
        {"2", "  ", "5", false,
         "Nazwa rabatu/narzutu nie może składać się z samych znaków spacji!"},
        {"2", "Promocja  ", "5", false,
         "Rabat/narzut o takiej nazwie już istnieje! Wybierz inną nazwę."},
        {"2", "Ala", "1.5", false, "Błędna wartość w polu Wartosc"},
        {"2", "Ala", "1,5,", false, "Błędna wartość w polu Wartosc"},
        {"2", "Ala", "1,555", false, "Błędna wartość w polu Wartość"},
        {"2", "Ala", "100", false,
         "    Wartość rabatu/narzutu procentowego musi zawierać się w przedziale: 0,01 % - 99,99 "
         "%      "},
        {"2", "Ala", "0", false,
         "    Wartość rabatu/narzutu procentowego musi zawierać się w przedziale: 0,01 % - 99,99 "
         "%      "},
        {"2", "Ala", "0", true,
         "    Wartość rabatu/narzutu kwotowego nie może być mniejsza lub równa 0     "},
        {"2", "Ala", "999999,99", true,
         "    Maksymalna wartość rabatu/narzutu kwotowego to 999999,98     "},
    };
    for (const auto& c : cases) {
        f.ui.messages.clear();
        form.Edit1->setText(u8(c.number));
        form.Edit2->setText(u8(c.name));
        form.Edit3->setText(u8(c.value));
        (c.amount ? form.amount : form.percentage)->setChecked(true);
        form.addButton->click();
        EXPECT_EQ(f.ui.messages, QStringList{u8(c.message)}) << c.message;
    }
    form.Edit1->clear();
    form.Edit2->clear();
    form.Edit3->clear();
    f.ui.messages.clear();
    form.addButton->click();
    EXPECT_TRUE(f.ui.messages.isEmpty());
    EXPECT_EQ(form.hint(u8("Edit3"))->text(), u8(" Wprowadź wartość!"));
    EXPECT_FALSE(form.hint(u8("Edit1"))->isHidden());
    EXPECT_EQ(f.db().contents(), before);
}

TEST(DiscountForm, ValuesAndTheStoredRecord)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieRabatow form(*f.app);
    form.show();
    const struct {
        const char* value;
        bool amount;
        qint32 stored;
    } cases[] = {{"5", false, 500},
                 {"99,99", false, 9999},
                 {"0,5", false, 50},
                 {"12,50", true, 1250},
                 {"999999,98", true, 99999998}};
    for (const auto& c : cases) {
        form.Edit1->setText(u8("3"));
        form.Edit2->setText(u8("Ala"));
        form.Edit3->setText(u8(c.value));
        (c.amount ? form.amount : form.percentage)->setChecked(true);
        form.addButton->click();
        EXPECT_EQ(le::i32(f.bytes(layout::Discounts, 3), 24), c.stored) << c.value;
    }
    // Saving again under its own number is allowed; the name stays.
    EXPECT_TRUE(f.ui.messages.isEmpty()) << f.ui.messages.join(u'|').toStdString();
    form.markup->setChecked(true);
    form.amount->setChecked(true);
    EXPECT_EQ(form.unit->text(), u8("PLN"));
    form.percentage->setChecked(true);
    EXPECT_EQ(form.unit->text(), u8("%"));
    form.amount->setChecked(true);
    form.Edit1->setText(u8("2"));
    form.Edit2->setText(u8("Narzut"));
    form.Edit3->setText(u8("1,25"));
    form.addButton->click();
    QByteArray expected("\x02Narzut", 7);
    expected.append(15, '\0').append("\x01\x01\x7D\x00\x00\x00", 6);
    EXPECT_EQ(f.bytes(layout::Discounts, 2), expected);
    EXPECT_EQ(cell(form.grid, 0, 0), u8("2"));
    EXPECT_EQ(cell(form.grid, 0, 2), u8("Narzut"));
    EXPECT_EQ(cell(form.grid, 0, 3), u8("      1,25"));
    EXPECT_EQ(cell(form.grid, 0, 4), u8("PLN"));
    EXPECT_EQ(form.Edit1->text(), u8("1"));

    selectNumber(form, 3);
    form.deleteButton->click();
    EXPECT_EQ(f.bytes(layout::Discounts, 3), QByteArray(28, '\0'));
}

TEST(DiscountForm, SendSaysTheRegisterConfirmed)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    TProgramowanieRabatow form(*f.app);
    form.setLink(&b.link);
    form.show();
    EXPECT_EQ(form.sendButton->text(), u8("Wyśilj do kasy"));
    form.Edit1->setText(u8("4"));
    form.Edit2->setText(u8("Ala"));
    form.Edit3->setText(u8("10"));
    form.addButton->click();
    selectNumber(form, 4);
    form.sendButton->click();
    ASSERT_EQ(b.sent.size(), 1);
    QByteArray expected("\x02\x01\x26\x00\x01\x80\x52", 7);
    expected.append(f.bytes(layout::Discounts, 4)).append('\0');
    EXPECT_EQ(b.sent[0], framed(expected));
    EXPECT_EQ(f.ui.messages, QStringList{u8("Rabat/narzut zapisano w kasie")});
}

// ---- payment forms

TEST(PaymentForm, RefusalsAndTheStoredRecord)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieFormPlatnosci form(*f.app);
    form.show();
    EXPECT_EQ(form.Edit1->text(), u8("1"));
    form.Edit2->setText(u8("Visa"));
    form.ComboBox1->setCurrentIndex(4); // "Inna"
    form.addButton->click();
    EXPECT_EQ(f.bytes(layout::PaymentForms, 1),
              QByteArray("\x01Visa", 5).append(17, '\0').append('\x05'));
    EXPECT_EQ(cell(form.grid, 0, 2), u8("Inna"));
    const QByteArray before = f.db().contents();
    const struct {
        const char *number, *name, *message;
    } cases[] = {
        {"0", "Bon", " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 10"},
        {"x", "Bon", " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 10"},
        {"2", "   ", "Nazwa waluty nie może składać się z samych znaków spacji!"},
        {"2", "Visa ", "Forma platności o takiej nazwie już istnieje! Wybierz inną nazwę."},
    };
    for (const auto& c : cases) {
        f.ui.messages.clear();
        form.Edit1->setText(u8(c.number));
        form.Edit2->setText(u8(c.name));
        form.addButton->click();
        EXPECT_EQ(f.ui.messages, QStringList{u8(c.message)}) << c.message;
    }
    form.Edit1->clear();
    form.Edit2->clear();
    form.addButton->click();
    EXPECT_EQ(form.hint(u8("Edit1"))->text(), u8("Podaj numer!"));
    EXPECT_EQ(form.hint(u8("Edit2"))->text(), u8("Podaj nazwę!"));
    EXPECT_EQ(f.db().contents(), before);
    // Saved again under its own number.
    f.ui.messages.clear();
    form.Edit1->setText(u8("1"));
    form.Edit2->setText(u8("Visa"));
    form.ComboBox1->setCurrentIndex(0);
    form.addButton->click();
    EXPECT_TRUE(f.ui.messages.isEmpty());
    EXPECT_EQ(f.bytes(layout::PaymentForms, 1)[22], 1);
}

TEST(PaymentForm, DeleteAndSend)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    TProgramowanieFormPlatnosci form(*f.app);
    form.setLink(&b.link);
    form.show();
    form.Edit1->setText(u8("3"));
    form.Edit2->setText(u8("Czek"));
    form.ComboBox1->setCurrentIndex(1);
    form.addButton->click();
    selectNumber(form, 3);
    form.confirm->setChecked(true);
    form.sendButton->click();
    ASSERT_EQ(b.sent.size(), 1);
    QByteArray expected("\x02\x01\x21\x00\x01\x80\x46", 7);
    expected.append(f.bytes(layout::PaymentForms, 3)).append('\x01');
    EXPECT_EQ(b.sent[0], framed(expected));
    form.deleteButton->click();
    EXPECT_EQ(f.bytes(layout::PaymentForms, 3), QByteArray(23, '\0'));
}

// ---- currencies

TEST(CurrencyForm, RefusalsInTheirOrder)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieWalutObcych form(*f.app);
    form.show();
    form.Edit1->setText(u8("1"));
    form.Edit2->setText(u8("Euro"));
    form.Edit3->setText(u8("4.5"));
    form.Edit4->setText(u8("EUR"));
    form.addButton->click();
    EXPECT_TRUE(f.ui.messages.isEmpty()) << f.ui.messages.join(u'|').toStdString();
    const QByteArray before = f.db().contents();
    const struct {
        const char *number, *name, *rate, *symbol, *message;
    } cases[] = {
        {"11", "Dolar", "4", "USD",
         " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 10"},
        {"2", "   ", "4", "USD", "Nazwa waluty nie może składać się z samych znaków spacji!"},
        {"2", "Dolar", "abc", "USD", "Błędnie wypełnione pole KURS!"},
        {"2", "Dolar", "123456789", "USD", "Zbyt duża wartosc w polu KURS!"},
        {"2", "Dolar", "1000000", "USD", "Zbyt duża wartosc w polu KURS!"},
        {"1", "Euro", "4", "EUX", "Waluta o takiej nazwie już istnieje! Wybierz inną nazwę."},
        {"2", "Dolar", "4", "   ", "Symbol nie może składać się z samych znaków spacji!"},
        {"2", "Dolar", "4", "EUR", "Waluta o takim symbolu już istnieje! Wybierz inny symbol."},
        {"2", "Dolar", "04", "USD", "Błędna wartość w polu Kurs"},
        {"2", "Dolar", ",4", "USD", "Błędna wartość w polu Kurs"},
    };
    for (const auto& c : cases) {
        f.ui.messages.clear();
        form.Edit1->setText(u8(c.number));
        form.Edit2->setText(u8(c.name));
        form.Edit3->setText(u8(c.rate));
        form.Edit4->setText(u8(c.symbol));
        form.addButton->click();
        EXPECT_EQ(f.ui.messages, QStringList{u8(c.message)}) << c.message;
    }
    // The rate's "." became "," in the field too.
    form.Edit1->setText(u8("1"));
    form.Edit2->setText(u8("Euro"));
    form.Edit3->setText(u8("4.5"));
    form.addButton->click();
    EXPECT_EQ(form.Edit3->text(), u8("4,5"));
    form.Edit1->clear();
    form.Edit2->clear();
    form.Edit3->clear();
    form.Edit4->clear();
    form.addButton->click();
    EXPECT_EQ(form.hint(u8("Edit1"))->text(), u8(" Wprowadź numer!"));
    EXPECT_EQ(form.hint(u8("Edit2"))->text(), u8(" Wprowadź nazwę!"));
    EXPECT_EQ(form.hint(u8("Edit3"))->text(), u8(" Wprowadź kurs!"));
    EXPECT_EQ(form.hint(u8("Edit4"))->text(), u8(" Wprowadź symbol!"));
    EXPECT_EQ(f.db().contents(), before);
}

TEST(CurrencyForm, RatesAreStoredAsAnEightDigitMantissa)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieWalutObcych form(*f.app);
    form.show();
    const struct {
        const char* rate;
        qint32 mantissa;
        int decimals;
        const char* shown;
    } cases[] = {{"4.5", 45000000, 7, "4,5000000"},
                 {"3,8765", 38765000, 7, "3,8765000"},
                 {"1", 10000000, 7, "1,0000000"},
                 {"999999,99", 99999999, 2, "999999,99"}};
    int n = 1;
    for (const auto& c : cases) {
        form.Edit1->setText(QString::number(n));
        form.Edit2->setText(u8("Waluta ") + QString::number(n));
        form.Edit3->setText(u8(c.rate));
        form.Edit4->setText(u8("S") + QString::number(n));
        form.addButton->click();
        const QByteArray r = f.bytes(layout::Currencies, n);
        EXPECT_EQ(le::i32(r, 22), c.mantissa) << c.rate;
        EXPECT_EQ(int(r[26]), c.decimals) << c.rate;
        EXPECT_EQ(cell(form.grid, n - 1, 2), u8(c.shown)) << c.rate;
        ++n;
    }
    EXPECT_EQ(f.bytes(layout::Currencies, 1).mid(27, 3), QByteArray("S1 "));
    EXPECT_TRUE(form.Edit3->text().isEmpty());
    EXPECT_EQ(form.Edit1->text(), u8("5"));
}

TEST(CurrencyForm, DeleteAndSend)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    TProgramowanieWalutObcych form(*f.app);
    form.setLink(&b.link);
    form.show();
    form.Edit1->setText(u8("2"));
    form.Edit2->setText(u8("Dolar"));
    form.Edit3->setText(u8("3,95"));
    form.Edit4->setText(u8("USD"));
    form.addButton->click();
    selectNumber(form, 2);
    form.sendButton->click();
    ASSERT_EQ(b.sent.size(), 1);
    QByteArray expected("\x02\x01\x28\x00\x01\x80\x57", 7);
    expected.append(f.bytes(layout::Currencies, 2)).append('\0');
    EXPECT_EQ(b.sent[0], framed(expected));
    EXPECT_EQ(f.ui.messages, QStringList{u8("Walutę zapisano w kasie")});
    form.deleteButton->click();
    EXPECT_EQ(f.bytes(layout::Currencies, 2), QByteArray(30, '\0'));
}

// ---- VAT rates

TEST(VatForm, ShowsTheStoredRates)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieStawekPTU form(*f.app);
    form.show();
    EXPECT_TRUE(form.letters[0].taxed->isChecked());
    EXPECT_EQ(form.letters[0].rate->text(), u8("23.00"));
    EXPECT_EQ(form.letters[1].rate->text(), u8("8.00"));
    EXPECT_EQ(form.letters[2].rate->text(), u8("0.00"));
    EXPECT_TRUE(form.letters[4].inactive->isChecked());
    EXPECT_FALSE(form.letters[4].rate->isEnabled());
    EXPECT_TRUE(form.letters[6].exempt->isChecked());
    EXPECT_FALSE(form.sendButton->isEnabled()); // offline
}

TEST(VatForm, SavingRatesAndRefusals)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieStawekPTU form(*f.app);
    form.show();
    const QByteArray before = f.db().contents();
    for (const char* bad : {"100", "-1", "abc", "5,5.1"}) {
        f.ui.messages.clear();
        form.letters[1].rate->setText(u8(bad));
        EXPECT_FALSE(form.ZapiszClick()) << bad;
        EXPECT_EQ(f.ui.messages, QStringList{u8("Błędnie wypełnione pola!")}) << bad;
    }
    EXPECT_EQ(f.db().contents(), before);

    form.letters[0].rate->setText(u8("5,5"));
    form.letters[1].rate->setText(u8("5.5"));
    form.letters[2].rate->setText(u8("99.99"));
    form.letters[3].rate->setText(u8("8"));
    form.letters[4].rate->setText(u8("garbage")); // inactive: ignored
    form.letters[5].exempt->setChecked(true);
    form.refreshFields();
    EXPECT_TRUE(form.ZapiszClick());
    const QByteArray expected("A\x26\x02"
                              "B\x26\x02"
                              "C\x0F\x27"
                              "D\x20\x03"
                              "E\xFE\xFF"
                              "F\xFF\xFF"
                              "G\xFF\xFF",
                              21);
    EXPECT_EQ(f.db().readBytes(143280, 21), expected);
    EXPECT_TRUE(f.session->isModified());

    TProgramowanieStawekPTU again(*f.app);
    again.show();
    EXPECT_TRUE(again.letters[5].exempt->isChecked());
    EXPECT_EQ(again.letters[5].rate->text(), u8("0.00"));
    EXPECT_EQ(again.letters[0].rate->text(), u8("5.50"));
    EXPECT_EQ(again.letters[2].rate->text(), u8("99.99"));
}

TEST(VatForm, SendAndHowEachAnswerIsShown)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    f.app->setState(OperatingState::OnlineWithDatabase);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    TProgramowanieStawekPTU form(*f.app);
    form.setLink(&b.link);
    form.show();
    EXPECT_TRUE(form.sendButton->isEnabled());
    const QString question = u8("Zmiana stawek PTU zostanie zapisana w pamięci fiskalnej kasy i "
                                "nie można jej cofnąć. Wysłać stawki PTU do kasy?");
    // No: nothing is stored and nothing goes out.
    form.letters[1].rate->setText(u8("7"));
    const QByteArray before = f.db().readBytes(143280, 21);
    f.ui.answers = {TransferUi::Answer::No};
    form.WyslijClick();
    EXPECT_EQ(f.ui.questions, QStringList{question});
    EXPECT_TRUE(b.sent.isEmpty());
    EXPECT_EQ(f.db().readBytes(143280, 21), before);
    EXPECT_TRUE(f.ui.messages.isEmpty());

    f.ui.answers = {TransferUi::Answer::Yes};
    form.WyslijClick();
    ASSERT_EQ(b.sent.size(), 1);
    EXPECT_NE(f.db().readBytes(143280, 21), before);
    QByteArray expected("\x02\x01\x1F\x00\x01\x80\x50", 7);
    expected.append(f.db().readBytes(143280, 21)).append('\0');
    EXPECT_EQ(b.sent[0], framed(expected));
    EXPECT_EQ(f.ui.messages, QStringList{u8("Zapisano stawki PTU.")});
    EXPECT_EQ(b.reg.vatRates(), f.db().readBytes(143280, 21));

    // A refused rate is not saved, and the stored rates are not sent in place of the typed ones.
    f.ui.messages.clear();
    const QByteArray stored = f.db().readBytes(143280, 21);
    form.letters[0].rate->setText(u8("123"));
    form.WyslijClick();
    EXPECT_EQ(f.ui.messages, QStringList{u8("Błędnie wypełnione pola!")});
    EXPECT_EQ(b.sent.size(), 1);
    EXPECT_EQ(f.db().readBytes(143280, 21), stored);

    emu::FaultPlan plan;
    plan.silent = {2};
    b.reg.setFaults(plan);
    form.letters[0].rate->setText(u8("23"));
    f.ui.messages.clear();
    f.ui.answers = {TransferUi::Answer::Yes};
    form.WyslijClick();
    EXPECT_EQ(f.ui.messages, QStringList{u8("Kasa nie potwierdziła zapisu stawek PTU.")});
    plan.silent = {3};
    b.reg.setFaults(plan);
    form.confirm->setChecked(true);
    f.ui.messages.clear();
    f.ui.answers = {TransferUi::Answer::Yes};
    form.WyslijClick();
    EXPECT_TRUE(f.ui.messages.isEmpty()); // the register waits for its operator
}

// The form is made once and shown again and again: what was typed stays until the stored
// rates or the database change.
TEST(VatForm, TypedRatesStayAcrossReopeningUntilTheStoredTableChanges)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieStawekPTU form(*f.app);
    form.show();
    EXPECT_EQ(form.letters[0].rate->text(), u8("23.00"));
    form.letters[0].rate->setText(u8("7"));
    form.hide();
    form.show();
    EXPECT_EQ(form.letters[0].rate->text(), u8("7"));
    form.hide();
    f.db().writeRecord(143280, QByteArray("A\x20\x03", 3)); // A 8.00
    form.show();
    EXPECT_EQ(form.letters[0].rate->text(), u8("8.00"));
}

TEST(VatForm, AnswerTexts)
{
    const struct {
        int result, device;
        bool confirm;
        const char* text;
    } cases[] = {
        {0, 0, false, "Zapisano stawki PTU."},
        {3, 0, true, "Zapisano stawki PTU."},
        {1, 0, false, "Ramka niepoprawna."},
        {2, 0, false, "Błąd kolejnosci ramek."},
        {4, 0, false, "Kasa nie potwierdziła zapisu stawek PTU."},
        {4, 0, true, ""},
        {5, 35, false, "Błąd 35: Zła wartość stawki podatku PTU (więcej niż 9999)"},
        {6, 0, false, ""},
        {8, 0, false, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vatSendMessage(c.result, c.device, c.confirm), u8(c.text)) << c.result;
}

// ---- packaging

TEST(PackagingForm, PriceRuleAndTheStoredRecord)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieOpakowan form(*f.app);
    form.show();
    EXPECT_EQ(form.ComboBox1->currentText(), u8("1"));
    EXPECT_TRUE(form.CheckBox1->isHidden());
    const QByteArray before = f.db().contents();
    const struct {
        const char *name, *price, *message;
    } cases[] = {
        {"Butelka", "abc", "     Błędna wartość w polu Cena     "},
        {"Butelka", "-1", "     Błędna wartość w polu Cena     "},
        {"Butelka", "99999999999", "     Błędna wartość w polu Cena     "},
        {"Butelka", "0", "     Cena musi mieć wartość niezerową     "},
        {"Butelka", "0,001", "     Cena musi mieć wartość niezerową     "},
    };
    for (const auto& c : cases) {
        f.ui.messages.clear();
        form.Edit2->setText(u8(c.name));
        form.Edit3->setText(u8(c.price));
        form.addButton->click();
        EXPECT_EQ(f.ui.messages, QStringList{u8(c.message)}) << c.price;
    }
    form.Edit2->clear();
    form.Edit3->clear();
    form.addButton->click();
    EXPECT_EQ(form.hint(u8("Edit2"))->text(), u8(" Wprowadź nazwę!"));
    EXPECT_EQ(form.hint(u8("Edit3"))->text(), u8(" Wprowadź cenę!"));
    EXPECT_EQ(f.db().contents(), before);

    form.Edit2->setText(u8("Butelka"));
    form.Edit3->setText(u8("0,50"));
    form.addButton->click();
    QByteArray expected("\x01"
                        "Butelka",
                        8);
    expected.append(35, '\0').append("\x32\x00\x00\x00\x00", 5);
    EXPECT_EQ(f.bytes(layout::Packaging, 1), expected);
    EXPECT_EQ(cell(form.grid, 0, 2), u8("0,50"));
    EXPECT_EQ(form.ComboBox1->currentText(), u8("2"));
    form.Edit2->setText(u8("Skrzynka"));
    form.Edit3->setText(u8("12.999"));
    form.addButton->click();
    EXPECT_EQ(le::i32(f.bytes(layout::Packaging, 2), 43), 1299);
}

TEST(PackagingForm, DeleteClearsTheTandemOfLinkedArticlesOnlyWhenConfirmed)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    for (int n = 1; n <= 3; ++n) {
        ArticleRecord a;
        a.number = n;
        a.name = u8("Piwo ") + QString::number(n);
        a.tandem = n == 3 ? 2 : 3;
        storeRecord(f.db(), layout::Articles, n, a);
    }
    TProgramowanieOpakowan form(*f.app);
    form.show();
    for (int slot : {2, 3}) {
        form.ComboBox1->setCurrentIndex(slot - 1);
        form.Edit2->setText(u8("Opakowanie ") + QString::number(slot));
        form.Edit3->setText(u8("1"));
        form.addButton->click();
    }
    QStringList shown;
    bool answer = false;
    form.confirmDeletion = [&](int, const QStringList& lines) {
        shown = lines;
        return answer;
    };
    selectNumber(form, 3);
    form.deleteButton->click();
    EXPECT_EQ(shown, (QStringList{u8("1. Piwo 1"), u8("2. Piwo 2")}));
    EXPECT_EQ(f.bytes(layout::Packaging, 3)[0], 3); // declined: nothing changed
    EXPECT_EQ(f.bytes(layout::Articles, 1)[63], 3);

    answer = true;
    selectNumber(form, 3);
    form.deleteButton->click();
    EXPECT_EQ(f.bytes(layout::Packaging, 3), QByteArray(48, '\0'));
    EXPECT_EQ(f.bytes(layout::Articles, 1)[63], 0);
    EXPECT_EQ(f.bytes(layout::Articles, 2)[63], 0);
    EXPECT_EQ(f.bytes(layout::Articles, 3)[63], 2);

    selectNumber(form, 2);
    form.deleteButton->click();
    EXPECT_EQ(shown, (QStringList{u8("3. Piwo 3")}));
    EXPECT_EQ(tandemLines(readTable(f.db(), layout::Articles), 2),
              (QStringList{u8("Z opakowaniem nie są powiązane"), u8("żadne towary.")}));
}

TEST(PackagingForm, DeletionIsConfirmedInTheLinkedArticlesList)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    ArticleRecord a;
    a.number = 8;
    a.name = u8("Piwo");
    a.tandem = 1;
    storeRecord(f.db(), layout::Articles, 8, a);
    TProgramowanieOpakowan form(*f.app);
    form.show();
    form.Edit2->setText(u8("Butelka"));
    form.Edit3->setText(u8("0,50"));
    form.addButton->click();
    bool listShown = false;
    QTimer::singleShot(0, [&] {
        auto* list = qobject_cast<TListaTowarowTandem*>(QApplication::activeModalWidget());
        listShown = list != nullptr;
        if (list)
            list->Button1->click();
    });
    selectNumber(form, 1);
    form.deleteButton->click();
    EXPECT_TRUE(listShown);
    EXPECT_EQ(f.bytes(layout::Packaging, 1), QByteArray(48, '\0'));
    EXPECT_EQ(f.bytes(layout::Articles, 8)[63], 0);
}

TEST(PackagingForm, SendSaysTheRegisterConfirmed)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    TProgramowanieOpakowan form(*f.app);
    form.setLink(&b.link);
    form.show();
    form.Edit2->setText(u8("Butelka"));
    form.Edit3->setText(u8("0,50"));
    form.addButton->click();
    selectNumber(form, 1);
    form.sendButton->click();
    ASSERT_EQ(b.sent.size(), 1);
    QByteArray expected("\x02\x01\x3A\x00\x01\x80\x5A", 7);
    expected.append(f.bytes(layout::Packaging, 1)).append('\0');
    EXPECT_EQ(b.sent[0], framed(expected));
    EXPECT_EQ(f.ui.messages, QStringList{u8("Opakowanie zapisano w kasie")});
}

// ---- groups

TEST(GroupForm, RefusalsDeleteAndTheLongName)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    TProgramowanieGrupTowarowych form(*f.app);
    form.show();
    EXPECT_EQ(cell(form.grid, 0, 1), u8("Grupa podstawowa"));
    EXPECT_EQ(form.ComboBox1->currentText(), u8("2"));
    form.Edit1->setText(u8("Napoje"));
    form.addButton->click();
    const QByteArray before = f.db().contents();
    const struct {
        int slot;
        const char *name, *message;
    } cases[] = {
        {3, "    ", "Nazwa grupy towarowej nie może składać się z samych znaków spacji!"},
        {2, "Napoje", "Grupa towarowa o takiej nazwie już istnieje! Wybierz inną nazwę."},
        {3, "Napoje ", "Grupa towarowa o takiej nazwie już istnieje! Wybierz inną nazwę."},
    };
    for (const auto& c : cases) {
        f.ui.messages.clear();
        form.ComboBox1->setCurrentIndex(c.slot - 1);
        form.Edit1->setText(u8(c.name));
        form.addButton->click();
        EXPECT_EQ(f.ui.messages, QStringList{u8(c.message)}) << c.name;
    }
    form.Edit1->clear();
    form.addButton->click();
    EXPECT_EQ(form.hint(u8("Edit1"))->text(), u8("Wprowadź nazwę!"));
    EXPECT_EQ(f.db().contents(), before);

    f.ui.messages.clear();
    selectNumber(form, 1);
    form.deleteButton->click();
    EXPECT_EQ(f.ui.messages, QStringList{u8(" Nie można usunąć grupy towarowej nr  1")});
    EXPECT_EQ(f.bytes(layout::Groups, 1)[0], 1);

    form.ComboBox1->setCurrentIndex(4);
    form.Edit1->setText(u8("Artykuły spożywcze 12")); // 21 characters
    form.addButton->click();
    EXPECT_EQ(f.bytes(layout::Groups, 5), QByteArray("\x05"
                                                     "Artyku\xB3y spo\xBFywcze 12",
                                                     22));
    selectNumber(form, 2);
    form.deleteButton->click();
    EXPECT_EQ(f.bytes(layout::Groups, 2), QByteArray(22, '\0'));
}

TEST(GroupForm, SendAndHowEachAnswerIsShown)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    TProgramowanieGrupTowarowych form(*f.app);
    form.setLink(&b.link);
    form.show();
    form.ComboBox1->setCurrentIndex(4);
    form.Edit1->setText(u8("Artykuły spożywcze 12"));
    form.addButton->click();
    selectNumber(form, 5);
    form.sendButton->click();
    ASSERT_EQ(b.sent.size(), 1);
    // Only the first 20 name bytes travel.
    QByteArray expected("\x02\x01\x1F\x00\x01\x80\x47", 7);
    expected.append(f.bytes(layout::Groups, 5).left(21)).append('\0');
    EXPECT_EQ(b.sent[0], framed(expected));
    EXPECT_EQ(f.ui.messages, QStringList{u8("Grupę towarową zapisano w kasie")});

    // The register already holds the name under another number.
    form.ComboBox1->setCurrentIndex(6);
    form.Edit1->setText(u8("Artykuły spożywcze 1"));
    f.db().writeRecord(layout::Groups.offsetOf(7), QByteArray("\x07"
                                                              "Artyku\xB3y spo\xBFywcze 1",
                                                              21)
                                                       .append('\0'));
    form.refill();
    f.ui.messages.clear();
    selectNumber(form, 7);
    form.sendButton->click();
    EXPECT_EQ(f.ui.messages,
              QStringList{u8("Nazwa grupy towarowej już występuje w bazie towarowej kasy.")});

    emu::FaultPlan plan;
    plan.silent = {3};
    b.reg.setFaults(plan);
    f.ui.messages.clear();
    selectNumber(form, 1);
    form.sendButton->click();
    EXPECT_EQ(f.ui.messages,
              QStringList{u8("Błąd! Kasa nie potwierdziła zapisu grupy towarowej!")});
    EXPECT_EQ(groupSendMessage(5, 5),
              u8("Nazwa grupy towarowej już występuje w bazie towarowej kasy."));
    // Any other refusal in the register's own words.
    EXPECT_EQ(groupSendMessage(5, 9),
              u8("Błąd 9: Zły numer grupy towarowej (więcej niż 20 lub grupa niezaprogramowana)"));
}

TEST(GroupForm, ShownWithoutADatabase)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    f.app->setState(OperatingState::OnlineWithoutDatabase);
    TProgramowanieGrupTowarowych form(*f.app);
    form.show();
    EXPECT_EQ(form.grid->rowCount(), 20);
    EXPECT_EQ(cell(form.grid, 0, 1), u8("Grupa podstawowa"));
}

// ---- accounting currency

TEST(AccountingCurrencyForm, DatabaseChange)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    ArticleRecord a;
    a.number = 1;
    a.name = u8("Chleb");
    a.price = 450;
    storeRecord(f.db(), layout::Articles, 1, a);
    TProgramowanieWalutyEwidencyjnej form(*f.app);
    form.show();
    EXPECT_EQ(form.date->date(), QDate::currentDate());
    form.Edit2->setText(u8("EUR"));
    EXPECT_EQ(form.symbols->text(), u8("(EUR/PLN)"));
    form.databaseButton->click();
    EXPECT_FALSE(form.rateHint->isHidden());
    EXPECT_EQ(form.rateHint->text(), u8(" Wprowadź kurs"));
    form.Edit1->setText(u8("0.25"));
    form.Edit2->clear();
    form.databaseButton->click();
    EXPECT_EQ(form.symbolHint->text(), u8(" Wprowadź symbol"));
    EXPECT_TRUE(form.rateHint->isHidden());
    EXPECT_TRUE(f.ui.messages.isEmpty());
    form.Edit2->setText(u8("EUR"));
    // Asked first; No changes nothing.
    const QByteArray before = f.db().contents();
    f.ui.answers = {TransferUi::Answer::No};
    form.databaseButton->click();
    EXPECT_EQ(f.ui.questions,
              QStringList{u8("Ceny towarów i opakowań, rabaty kwotowe i kursy walut w bazie "
                             "zostaną przeliczone kursem 0,25 na walutę EUR. Tego nie można "
                             "cofnąć. Przeliczyć?")});
    EXPECT_TRUE(f.ui.messages.isEmpty());
    EXPECT_EQ(f.db().contents(), before);
    EXPECT_EQ(f.session->currencySymbol(), u8("PLN"));
    EXPECT_TRUE(form.isVisible());
    f.ui.answers = {TransferUi::Answer::Yes};
    form.databaseButton->click();
    EXPECT_EQ(f.ui.messages,
              QStringList{u8("Zamieniono walutę ewidencyjną na EUR. Kurs wymiany: 0,25")});
    EXPECT_EQ(le::i32(f.bytes(layout::Articles, 1), 45), 112);
    EXPECT_EQ(f.session->currencySymbol(), u8("EUR"));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.registerButton->isEnabled()); // offline
}

TEST(AccountingCurrencyForm, RegisterChange)
{
    FormBench f;
    ASSERT_TRUE(f.ok);
    f.app->setState(OperatingState::OnlineWithDatabase);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    TProgramowanieWalutyEwidencyjnej form(*f.app);
    form.setLink(&b.link);
    form.show();
    const QByteArray before = f.db().contents();
    form.Edit1->setText(u8("4.5"));
    form.Edit2->setText(u8("EU"));
    form.date->setDate(QDate(2027, 1, 2));
    form.registerButton->click();
    ASSERT_EQ(b.sent.size(), 1);
    QByteArray expected(
        "\x02\x01\x17\x00\x01\x80\x45\x40\xA5\xAE\x02\x07 EU\x01\x00\xEB\x07\x01\x02", 21);
    EXPECT_EQ(b.sent[0], framed(expected));
    // The register refuses a symbol shorter than three characters.
    EXPECT_EQ(f.ui.messages, QStringList{u8("Błąd 34: Za krótki symbol waluty (musi być 3 znaki) "
                                            "lub symbol waluty już występuje w bazie")});
    f.ui.messages.clear();
    form.Edit2->setText(u8("EUR"));
    form.registerButton->click();
    EXPECT_TRUE(f.ui.messages.isEmpty());
    EXPECT_EQ(f.db().contents(), before);
    EXPECT_EQ(f.session->currencySymbol(), u8("PLN"));
}

} // namespace

// One record or block sent from its form to the register emulator: the user is told whether
// the register confirmed it, refused it (with the register's own error text) or did not
// answer at all.
#include "registerbench.h"

#include "app/appsession.h"
#include "database/databasesession.h"
#include "registers/tprogramowanieformplatnosci.h"
#include "registers/tprogramowaniegruptowarowych.h"
#include "registers/tprogramowaniekasjerow.h"
#include "registers/tprogramowanieopakowan.h"
#include "registers/tprogramowanierabatow.h"
#include "registers/tprogramowaniewalutobcych.h"
#include "tables/currencyrecord.h"
#include "tables/discountrecord.h"
#include "tables/packagingrecord.h"
#include "tables/paymentformrecord.h"
#include "texts/receipteditor.h"
#include "texts/smallforms.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace {

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

struct Session {
    Session()
    {
        session = std::make_unique<DatabaseSession>(dir.filePath(DatabaseSession::WorkingCopyName));
        ok = session->startUp().ok;
        app = std::make_unique<AppSession>(*session, ui);
        app->setState(OperatingState::OnlineWithDatabase);
    }
    QTemporaryDir dir;
    std::unique_ptr<DatabaseSession> session;
    FakeUi ui;
    std::unique_ptr<AppSession> app;
    bool ok = false;
};

// A table form with its first record (the new database holds cashier 1 only; the others get
// one added through the form) chosen in the grid and sent.
template <class Form> void sendFirstRow(Form& form)
{
    form.grid->setCurrentCell(0, 0);
    form.sendButton->click();
}

using Send = std::function<void(AppSession&, Link&)>;

// Record 1 of the table is stored first when `record` is given.
template <class Form> Send tableSend(const TableLayout& table = {}, QByteArray record = {})
{
    return [table, record](AppSession& app, Link& link) {
        if (!record.isEmpty())
            app.database().writeRecord(table.offsetOf(1), record);
        Form form(app);
        form.setLink(&link);
        form.show();
        sendFirstRow(form);
    };
}

template <class Form> Send buttonSend(std::function<void(Form&)> fill = {})
{
    return [fill](AppSession& app, Link& link) {
        Form form(app);
        form.setLink(&link);
        form.show();
        if (fill)
            fill(form);
        form.sendButton->click();
    };
}

struct Sender {
    const char* name;
    Send send;
    const char* confirmed;
    const char* notConfirmed;
};

const Sender& sender(int i)
{
    static const std::vector<Sender> all = {
        {"cashier", tableSend<TProgramowanieKasjerow>(), "Kasjera zapisano w kasie",
         "Błąd! Kasa nie potwierdziła zapisu kasjera!"},
        {"discount",
         tableSend<TProgramowanieRabatow>(
             layout::Discounts, DiscountRecord{1, u8("Stały klient"), DiscountRecord::Discount,
                                               DiscountRecord::Percentage, 500}
                                    .encode()),
         "Rabat/narzut zapisano w kasie", "Błąd! Kasa nie potwierdziła zapisu rabatu/narzutu!"},
        {"payment form",
         tableSend<TProgramowanieFormPlatnosci>(layout::PaymentForms,
                                                PaymentFormRecord{1, u8("Karta"), 1}.encode()),
         "Formę płatności zapisano w kasie", "Błąd! Kasa nie potwierdziła zapisu formy płatności!"},
        {"currency",
         tableSend<TProgramowanieWalutObcych>(
             layout::Currencies,
             CurrencyRecord{1, u8("Euro"), 43125000, 7, QStringLiteral("EUR")}.encode()),
         "Walutę zapisano w kasie", "Błąd! Kasa nie potwierdziła zapisu waluty!"},
        {"packaging",
         tableSend<TProgramowanieOpakowan>(
             layout::Packaging, PackagingRecord{1, u8("Butelka zwrotna"), 50, false}.encode()),
         "Opakowanie zapisano w kasie", "Błąd! Kasa nie potwierdziła zapisu opakowania!"},
        {"group", tableSend<TProgramowanieGrupTowarowych>(), "Grupę towarową zapisano w kasie",
         "Błąd! Kasa nie potwierdziła zapisu grupy towarowej!"},
        {"footer", buttonSend<TProgramowanieStopki>(), "Stopkę zapisano w kasie",
         "Błąd! Kasa nie potwierdziła zapisu stopki!"},
        {"manager password",
         buttonSend<TProgramowanieHaslaKierownika>([](TProgramowanieHaslaKierownika& f) {
             f.oldPassword->setText(QStringLiteral("1111"));
             f.newPassword->setText(QStringLiteral("2222"));
         }),
         "Hasło kierownika zapisano w kasie",
         "Błąd! Kasa nie potwierdziła zmiany hasła kierownika!"},
        {"halo", buttonSend<TProgramowanieTablicyHalo>(), "Tablicę HALO zapisano w kasie",
         "Błąd! Kasa nie potwierdziła zapisu tablicy HALO!"},
        {"units", buttonSend<TJednostkiTowarowe>([](TJednostkiTowarowe& f) {
             f.units[0]->setText(QStringLiteral("kg"));
             f.units[1]->setText(QStringLiteral("szt"));
             f.units[2]->setText(QStringLiteral("l"));
         }),
         "Jednostki zapisano w kasie", "Błąd! Kasa nie potwierdziła zapisu jednostek!"},
    };
    return all.at(size_t(i));
}
constexpr int SenderCount = 10;

enum class Outcome { Confirmed, Refused, Silent };

struct Case {
    int sender;
    Outcome outcome;
};

std::vector<Case> cases()
{
    std::vector<Case> all;
    for (int s = 0; s < SenderCount; ++s)
        for (Outcome o : {Outcome::Confirmed, Outcome::Refused, Outcome::Silent})
            all.push_back({s, o});
    return all;
}

class SingleSend : public testing::TestWithParam<Case> {};

TEST_P(SingleSend, TellsWhatTheRegisterAnswered)
{
    const Case c = GetParam();
    const Sender& s = sender(c.sender);
    Session f;
    ASSERT_TRUE(f.ok);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    // The send is the first frame the register receives.
    emu::FaultPlan plan;
    if (c.outcome == Outcome::Refused)
        plan.deviceError = {{1, 97}};
    if (c.outcome == Outcome::Silent)
        plan.silent = {1};
    b.reg.setFaults(plan);

    s.send(*f.app, b.link);

    ASSERT_EQ(b.sent.size(), 1) << s.name;
    switch (c.outcome) {
    case Outcome::Confirmed:
        EXPECT_EQ(f.ui.messages, QStringList{u8(s.confirmed)}) << s.name;
        break;
    case Outcome::Refused:
        EXPECT_EQ(f.ui.messages, QStringList{u8("Błąd 97: Wymagany tryb serwisowy")}) << s.name;
        break;
    case Outcome::Silent:
        EXPECT_EQ(f.ui.messages, QStringList{u8(s.notConfirmed)}) << s.name;
        break;
    }
}

std::string caseName(const testing::TestParamInfo<Case>& info)
{
    std::string name = sender(info.param.sender).name;
    for (char& ch : name)
        if (ch == ' ')
            ch = '_';
    switch (info.param.outcome) {
    case Outcome::Confirmed:
        return name + "_confirmed";
    case Outcome::Refused:
        return name + "_refused";
    case Outcome::Silent:
        return name + "_silent";
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(EverySender, SingleSend, testing::ValuesIn(cases()), caseName);

// Waiting for the operator to confirm at the register's keyboard is not a failure.
TEST(SingleSendConfirmedAtTheRegister, NoAnswerYetSaysTheRegisterWaits)
{
    Session f;
    ASSERT_TRUE(f.ok);
    RegisterBench b;
    ASSERT_TRUE(b.opened);
    emu::FaultPlan plan;
    plan.silent = {1};
    b.reg.setFaults(plan);
    TProgramowanieKasjerow form(*f.app);
    form.setLink(&b.link);
    form.show();
    form.confirm->setChecked(true);
    sendFirstRow(form);
    EXPECT_EQ(f.ui.messages,
              QStringList{u8("Kasa czeka na potwierdzenie zapisu na klawiaturze kasy.")});
}

} // namespace

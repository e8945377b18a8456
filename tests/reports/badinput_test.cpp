// Bad input in the report forms' number fields: empty, letters, foreign text, negative and
// overflowing numbers. A refused order sends nothing and names the field's problem.
#include "../link/fakeline.h"
#include "app/appsession.h"
#include "database/databasesession.h"
#include "fakeui.h"
#include "reports/forms/reportforms.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace reports;

namespace {

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

struct Rig {
    QTemporaryDir dir;
    DatabaseSession db{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    FakeUi ui;
    AppSession app{db, ui};
    FakeLineScript script;
    Link link{fakeFactory(script)};

    Rig()
    {
        app.setState(OperatingState::OnlineWithoutDatabase);
        link.port = 1;
        EXPECT_EQ(link.openPort(ui, true), 0);
    }
    template <class F> std::unique_ptr<F> form()
    {
        auto f = std::make_unique<F>(app);
        f->setLink(link);
        f->show();
        return f;
    }
    QByteArray execute(ReportForm& f)
    {
        script.written.clear();
        QTest::mouseClick(f.executeButton(), Qt::LeftButton);
        return script.written;
    }
};

const char* const Overflow = "99999999999999999999";

TEST(BadInputReports, PeriodicReportNumbers)
{
    const struct {
        const char *first, *last, *message;
    } cases[] = {
        {"-5", "5", "Numer raportu musi zawierać się w przedziale 1 - 2000"},
        {"5", "-1", "Raport końcowy musi mieć większy numer niż raport początkowy"},
        {"1", Overflow, "Numer raportu musi zawierać się w przedziale 1 - 2000"}, // "9999"
        {"😀", "5", "Błędny numer raportu początkowego"},
        {"Прив", "5", "Błędny numer raportu początkowego"},
        {"1", "日本", "Błędny numer raportu końcowego"},
        {"1,5", "5", "Błędny numer raportu początkowego"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " / " + c.last);
        Rig r;
        auto f = r.form<TWykonywanieRaportuOkresowego>();
        f->numbersButton()->setChecked(true);
        f->firstNumberEdit()->setText(u8(c.first));
        f->lastNumberEdit()->setText(u8(c.last));
        EXPECT_TRUE(r.execute(*f).isEmpty());
        EXPECT_EQ(r.ui.messages, QStringList{u8(c.message)});
    }
}

TEST(BadInputReports, PeriodicMonthTakesDigitsOnly)
{
    // The mask "00-0000" lets no letter, sign or foreign character in: what remains is an
    // incomplete date, refused before anything is sent.
    for (const char* typed : {"ab-cdef", "-1-2026", "😀", "Привет", "", "1-202"}) {
        SCOPED_TRACE(typed);
        Rig r;
        auto f = r.form<TWykonywanieRaportuOkresowego>();
        f->monthlyButton()->setChecked(true);
        f->monthEdit()->setText(u8(typed));
        EXPECT_TRUE(r.execute(*f).isEmpty());
        EXPECT_EQ(r.ui.messages, QStringList{u8("Błędna data")});
    }
}

TEST(BadInputReports, ArticleRangeOfTheSalesReport)
{
    const struct {
        const char *first, *last, *message;
    } cases[] = {
        {"-5", "10", "Numery towarów muszą zawierać się w przedziale 1-2000"},
        {"1", Overflow, "Numery towarów muszą zawierać się w przedziale 1-2000"},
        {"😀", "10", "Błędy numer towaru"},
        {"1", "Привет", "Błędy numer towaru"},
        {"1.5", "10", "Błędy numer towaru"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " / " + c.last);
        Rig r;
        auto f = r.form<TWykonywanieRaportuSprzedazy>();
        f->scopeSelection()->articlesButton()->setChecked(true);
        f->scopeSelection()->firstEdit()->setText(u8(c.first));
        f->scopeSelection()->lastEdit()->setText(u8(c.last));
        EXPECT_TRUE(r.execute(*f).isEmpty());
        EXPECT_EQ(r.ui.messages, QStringList{u8(c.message)});
    }
}

TEST(BadInputReports, GroupTurnoverYears)
{
    // The mask "0000" keeps digits only: letters and foreign text leave the field empty and
    // are refused; a sign is dropped and the digits that remain are a year.
    const struct {
        const char* typed;
        bool refused;
    } cases[] = {{"", true},      {"abcd", true}, {"😀", true},      {"Привет", true},
                 {"-202", false}, {"20", false},  {Overflow, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Rig r;
        auto f = r.form<TRaportObrotuGrup>();
        f->startYearEdit()->setText(u8(c.typed));
        r.script.reads = {QByteArray()};
        const QByteArray sent = r.execute(*f);
        if (c.refused) {
            EXPECT_TRUE(sent.isEmpty());
            EXPECT_EQ(r.ui.messages, QStringList{u8("Błędny rok")});
        } else {
            EXPECT_EQ(sent.size(), 17);
            EXPECT_TRUE(r.ui.messages.isEmpty());
        }
    }
}

} // namespace

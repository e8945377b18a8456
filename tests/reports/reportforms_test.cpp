#include "../link/fakeline.h"
#include "app/appsession.h"
#include "app/forms/tmenuglowne.h"
#include "database/databasesession.h"
#include "emulator/emulatorhost.h"
#include "fakeui.h"
#include "link/portmap.h"
#include "reports/forms/reportforms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

using namespace reports;

namespace {

// The frame worked out by hand: 02, address, length (u16), sequence (u16), command, the data
// from byte 7, zeros up to L-3, XOR of bytes 1..L-3, 03.
QByteArray expected(uint8_t address, int length, uint16_t seq, uint8_t cmd,
                    std::initializer_list<int> data)
{
    std::vector<uint8_t> b(size_t(length), 0);
    b[0] = 0x02;
    b[1] = address;
    b[2] = uint8_t(length);
    b[3] = uint8_t(length >> 8);
    b[4] = uint8_t(seq);
    b[5] = uint8_t(seq >> 8);
    b[6] = cmd;
    size_t i = 7;
    for (int d : data)
        b[i++] = uint8_t(d);
    uint8_t x = 0;
    for (int j = 1; j <= length - 3; ++j)
        x ^= b[size_t(j)];
    b[size_t(length - 2)] = x;
    b[size_t(length - 1)] = 0x03;
    return QByteArray(reinterpret_cast<const char*>(b.data()), length);
}

// Ten-byte answers of the register: acknowledgement (0x06) and status frame ("A").
QByteArray answer(uint8_t command, uint8_t code)
{
    QByteArray f = QByteArray::fromHex("02010a0001000000000003");
    f.resize(10);
    f[6] = char(command);
    f[7] = char(code);
    f[9] = 0x03;
    uint8_t x = 0;
    for (int j = 1; j <= 7; ++j)
        x ^= uint8_t(f[j]);
    f[8] = char(x);
    return f;
}
QByteArray ack(uint8_t code)
{
    return answer(0x06, code);
}
QByteArray status(uint8_t code)
{
    return answer(0x41, code);
}
// Error frame: 11 bytes, device error code in byte 8.
QByteArray errorFrame(uint8_t code)
{
    QByteArray f = QByteArray::fromHex("02010b00010041000000"
                                       "03");
    f[8] = char(code);
    return f;
}

// A form on a scripted line: what it writes is recorded, what it reads comes from the script.
struct Rig {
    QTemporaryDir dir;
    DatabaseSession db{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    FakeUi ui;
    AppSession app{db, ui};
    FakeLineScript script;
    Link link{fakeFactory(script)};

    explicit Rig(bool portOpen = true)
    {
        app.setState(OperatingState::OnlineWithoutDatabase);
        if (portOpen) {
            link.port = 1;
            EXPECT_EQ(link.openPort(ui, true), 0);
        }
    }
    template <class F> std::unique_ptr<F> form()
    {
        auto f = std::make_unique<F>(app);
        f->setLink(link);
        f->show();
        return f;
    }
    // "Wykonaj" pressed with the mouse; returns what went out on the line.
    QByteArray execute(ReportForm& f)
    {
        script.written.clear();
        QTest::mouseClick(f.executeButton(), Qt::LeftButton);
        return script.written;
    }
};

} // namespace

// ---- periodic report ----------------------------------------------------------------------

TEST(ReportForms, PeriodicStartsMonthlyWithThePreviousMonthAndFullReport)
{
    Rig r;
    auto f = r.form<TWykonywanieRaportuOkresowego>();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Wykonywanie raportu okresowego"));
    EXPECT_TRUE(f->monthlyButton()->isChecked());
    EXPECT_TRUE(f->fullReportBox()->isChecked());
    const QDate today = QDate::currentDate();
    const QDate prev = today.month() == 1 ? QDate(today.year() - 1, 12, 1)
                                          : QDate(today.year(), today.month() - 1, 1);
    EXPECT_EQ(f->monthEdit()->text(),
              QStringLiteral("%1-%2").arg(prev.month(), 2, 10, QLatin1Char('0')).arg(prev.year()));
    EXPECT_TRUE(f->monthlyFrame()->isEnabled());
    EXPECT_FALSE(f->periodFrame()->isEnabled());
    EXPECT_FALSE(f->numbersFrame()->isEnabled());
    EXPECT_EQ(f->monthEdit()->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_NE(f->firstNumberEdit()->palette().color(QPalette::Base), QColor(Qt::white));

    f->numbersButton()->setChecked(true);
    EXPECT_FALSE(f->monthlyFrame()->isEnabled());
    EXPECT_TRUE(f->numbersFrame()->isEnabled());
    EXPECT_EQ(f->firstNumberEdit()->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_NE(f->monthEdit()->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(f->firstNumberEdit()->maxLength(), 4);
}

TEST(ReportForms, JanuaryDefaultIsDecemberOfThePreviousYear)
{
    EXPECT_EQ(defaultMonthText(QDate(2027, 1, 15)), QStringLiteral("12-2026"));
    EXPECT_EQ(defaultMonthText(QDate(2026, 12, 8)), QStringLiteral("11-2026"));
    EXPECT_EQ(defaultMonthText(QDate(2026, 3, 31)), QStringLiteral("02-2026"));
}

TEST(ReportForms, PeriodicMonthlyFrames)
{
    Rig r;
    auto f = r.form<TWykonywanieRaportuOkresowego>();
    // 11-2026: 2026 = 0x07EA, sequence 0x8001, full = 2.
    f->monthEdit()->setText(QStringLiteral("11-2026"));
    r.script.reads = {QByteArray(), ack(0)};
    EXPECT_EQ(r.execute(*f), expected(1, 19, 0x8001, 0x6F,
                                      {2, 0xFF, 0xEA, 0x07, 11, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(r.ui.messages.isEmpty());
    EXPECT_EQ(f->lastOutcome().confirmation, 0);
    EXPECT_TRUE(f->isVisible()); // stays open for another report

    // Month 13 goes out as 13; short report = 3.
    f->monthEdit()->setText(QStringLiteral("13-2024"));
    f->fullReportBox()->setChecked(false);
    r.script.reads = {QByteArray(), ack(0)};
    EXPECT_EQ(r.execute(*f), expected(1, 19, 0x8001, 0x6F,
                                      {3, 0xFF, 0xE8, 0x07, 13, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));

    // Month positions left blank: not digits.
    f->monthEdit()->setText(QStringLiteral("-2024"));
    r.script.reads = {QByteArray()};
    EXPECT_TRUE(r.execute(*f).isEmpty());
    EXPECT_EQ(r.ui.messages, QStringList{QStringLiteral("Błędna data")});
    EXPECT_EQ(f->lastOutcome().result, RunResult::Refused);
}

TEST(ReportForms, PeriodicPeriodSentAsPicked)
{
    Rig r;
    auto f = r.form<TWykonywanieRaportuOkresowego>();
    f->periodButton()->setChecked(true);
    f->fromDate()->setDate(QDate(2026, 11, 30));
    f->toDate()->setDate(QDate(2026, 11, 1)); // before the start: not checked
    r.script.reads = {QByteArray(), ack(3)};
    EXPECT_EQ(r.execute(*f),
              expected(1, 19, 1, 0x6F, {0, 0, 0xEA, 0x07, 11, 30, 0xEA, 0x07, 11, 1}));
    EXPECT_TRUE(r.ui.messages.isEmpty());
}

TEST(ReportForms, PeriodicByNumbersChecksAndFrames)
{
    struct Case {
        const char* first;
        const char* last;
        const char16_t* message; // nullptr: sent
    };
    const Case cases[] = {
        {"5", "5", nullptr},
        {"6", "5", u"Raport końcowy musi mieć większy numer niż raport początkowy"},
        {"3000", "2500", u"Raport końcowy musi mieć większy numer niż raport początkowy"},
        {"0", "5", u"Numer raportu musi zawierać się w przedziale 1 - 2000"},
        {"1", "2001", u"Numer raportu musi zawierać się w przedziale 1 - 2000"},
        {"", "5", u"Błędny numer raportu początkowego"},
        {"a1", "5", u"Błędny numer raportu początkowego"},
        {"5", "", u"Błędny numer raportu końcowego"},
    };
    for (const Case& c : cases) {
        Rig r;
        auto f = r.form<TWykonywanieRaportuOkresowego>();
        f->numbersButton()->setChecked(true);
        f->firstNumberEdit()->setText(QString::fromLatin1(c.first));
        f->lastNumberEdit()->setText(QString::fromLatin1(c.last));
        r.script.reads = {QByteArray(), ack(0)};
        const QByteArray sent = r.execute(*f);
        if (c.message) {
            EXPECT_TRUE(sent.isEmpty()) << c.first;
            EXPECT_EQ(r.ui.messages, QStringList{QString::fromUtf16(c.message)}) << c.first;
        } else {
            EXPECT_EQ(sent, expected(1, 19, 1, 0x6F, {0, 1, 5, 0, 5, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
            EXPECT_TRUE(r.ui.messages.isEmpty());
        }
    }
}

// ---- range reports ------------------------------------------------------------------------

namespace {

struct ScopeKind {
    std::function<std::unique_ptr<ScopeReportForm>(Rig&)> make;
    uint8_t command;
    int length;
    bool zeroing; // the sales report's "Raport zerujący?"
};

std::vector<ScopeKind> scopeKinds()
{
    return {
        {[](Rig& r) {
             return std::unique_ptr<ScopeReportForm>(r.form<TWykonywanieRaportuSprzedazy>());
         },
         0x73, 16, true},
        {[](Rig& r) {
             return std::unique_ptr<ScopeReportForm>(r.form<TWykonywanieRaportuBazyZPTU>());
         },
         0x70, 15, false},
        {[](Rig& r) {
             return std::unique_ptr<ScopeReportForm>(r.form<TWykonywaniePelnegoRaportuBazyPLU>());
         },
         0x62, 15, false},
    };
}

} // namespace

TEST(ReportForms, ScopeStartsWithTheWholeBaseAndGroupOne)
{
    for (const ScopeKind& k : scopeKinds()) {
        Rig r;
        auto f = k.make(r);
        ScopeSelection* s = f->scopeSelection();
        EXPECT_TRUE(s->wholeBaseButton()->isChecked());
        EXPECT_EQ(s->groupBox()->currentText(), QStringLiteral("1"));
        EXPECT_EQ(s->groupBox()->count(), 20);
        EXPECT_FALSE(s->groupFrame()->isEnabled());
        EXPECT_FALSE(s->articlesFrame()->isEnabled());
        EXPECT_EQ(f->zeroingGroup() != nullptr, k.zeroing);
        EXPECT_FALSE(f->zeroRecordsGroup()->value());
        EXPECT_TRUE(f->zeroRecordsGroup()->noButton()->isChecked());
        EXPECT_EQ(f->zeroRecordsGroup()->title(), QStringLiteral("Drukować rekordy zerowe?"));
        s->articlesButton()->setChecked(true);
        EXPECT_TRUE(s->articlesFrame()->isEnabled());
        EXPECT_FALSE(s->groupFrame()->isEnabled());
    }
}

TEST(ReportForms, WholeBaseIgnoresTheEditsAndGroupTwentyIsSent)
{
    for (const ScopeKind& k : scopeKinds()) {
        Rig r;
        auto f = k.make(r);
        ScopeSelection* s = f->scopeSelection();
        s->firstEdit()->setText(QStringLiteral("abc"));
        s->lastEdit()->setText(QStringLiteral("0"));
        s->groupBox()->setCurrentIndex(7);
        r.script.reads = {QByteArray(), ack(0)};
        // Scope 1, range 1-2000 (0x07D0), the options left at "Nie".
        QByteArray want = expected(1, k.length, 1, k.command, {1, 1, 0, 0xD0, 0x07, 0, 0});
        EXPECT_EQ(r.execute(*f), want) << k.command;

        s->groupButton()->setChecked(true);
        s->groupBox()->setCurrentIndex(19);
        f->zeroRecordsGroup()->yesButton()->setChecked(true);
        r.script.reads = {QByteArray(), ack(0)};
        want = k.zeroing ? expected(1, k.length, 1, k.command, {2, 20, 0xFF, 0xFF, 0xFF, 0, 1})
                         : expected(1, k.length, 1, k.command, {2, 20, 0xFF, 0xFF, 0xFF, 1});
        EXPECT_EQ(r.execute(*f), want) << k.command;

        s->articlesButton()->setChecked(true);
        s->firstEdit()->setText(QStringLiteral("5"));
        s->lastEdit()->setText(QStringLiteral("300")); // 300 = 0x012C
        if (k.zeroing) {
            f->zeroingGroup()->yesButton()->setChecked(true);
            r.ui.answers = {TransferUi::Answer::Yes}; // the zeroing question
        }
        r.script.reads = {QByteArray(), ack(0)};
        want = k.zeroing ? expected(1, k.length, 1, k.command, {3, 5, 0, 0x2C, 0x01, 1, 1})
                         : expected(1, k.length, 1, k.command, {3, 5, 0, 0x2C, 0x01, 1});
        EXPECT_EQ(r.execute(*f), want) << k.command;
        EXPECT_TRUE(r.ui.messages.isEmpty());
    }
}

TEST(ReportForms, ArticleRangeChecks)
{
    struct Case {
        const char* first;
        const char* last;
        const char16_t* message;
    };
    const Case cases[] = {
        {"0", "10", u"Numery towarów muszą zawierać się w przedziale 1-2000"},
        {"1", "2001", u"Numery towarów muszą zawierać się w przedziale 1-2000"},
        {"10", "5", u"Numer towaru początkowego nie może być większy niż numer towaru końcowego"},
        {"", "5", u"Błędy numer towaru"},
        {"5", "", u"Błędy numer towaru"},
        {"x", "5", u"Błędy numer towaru"},
        {"7", "7", nullptr},
    };
    for (const ScopeKind& k : scopeKinds()) {
        for (const Case& c : cases) {
            Rig r;
            auto f = k.make(r);
            f->scopeSelection()->articlesButton()->setChecked(true);
            f->scopeSelection()->firstEdit()->setText(QString::fromLatin1(c.first));
            f->scopeSelection()->lastEdit()->setText(QString::fromLatin1(c.last));
            r.script.reads = {QByteArray(), ack(0)};
            const QByteArray sent = r.execute(*f);
            if (c.message) {
                EXPECT_TRUE(sent.isEmpty());
                EXPECT_EQ(r.ui.messages, QStringList{QString::fromUtf16(c.message)})
                    << c.first << "-" << c.last;
            } else {
                EXPECT_EQ(sent.size(), k.length);
                EXPECT_EQ(uint8_t(sent[7]), 3);
                EXPECT_EQ(uint8_t(sent[8]), 7);
                EXPECT_EQ(uint8_t(sent[10]), 7);
                EXPECT_TRUE(r.ui.messages.isEmpty());
            }
        }
    }
}

// ---- the report confirmation wait, as the user meets it ------------------------------------

TEST(ReportForms, ConfirmationWaitPathsOnEveryWaitingForm)
{
    using Maker = std::function<std::unique_ptr<ReportForm>(Rig&)>;
    const std::vector<Maker> makers = {
        [](Rig& r) {
            auto f = r.form<TWykonywanieRaportuOkresowego>();
            f->monthEdit()->setText(QStringLiteral("11-2026"));
            return std::unique_ptr<ReportForm>(std::move(f));
        },
        [](Rig& r) { return std::unique_ptr<ReportForm>(r.form<TWykonywanieRaportuSprzedazy>()); },
        [](Rig& r) { return std::unique_ptr<ReportForm>(r.form<TWykonywanieRaportuBazyZPTU>()); },
        [](Rig& r) {
            return std::unique_ptr<ReportForm>(r.form<TWykonywaniePelnegoRaportuBazyPLU>());
        },
    };
    const QString paper = QStringLiteral("Brak papieru! Kontynuować?");
    for (const Maker& make : makers) {
        { // paper out, the user goes on, the register then finishes
            Rig r;
            auto f = make(r);
            r.script.reads = {QByteArray(), status(0x02), ack(3)};
            r.ui.answers = {TransferUi::Answer::Yes};
            r.execute(*f);
            EXPECT_EQ(r.ui.questions, QStringList{paper});
            EXPECT_TRUE(r.ui.messages.isEmpty());
            EXPECT_EQ(f->lastOutcome().confirmation, 3);
            EXPECT_TRUE(f->isVisible());
        }
        { // paper out, the user stops: acknowledgement 4 goes out
            Rig r;
            auto f = make(r);
            r.script.reads = {QByteArray(), status(0x02)};
            r.ui.answers = {TransferUi::Answer::No};
            const QByteArray sent = r.execute(*f);
            EXPECT_EQ(r.ui.questions, QStringList{paper});
            EXPECT_EQ(r.ui.messages,
                      QStringList{QStringLiteral("Komunikacja przerwana przez użytkownika.")});
            // 01^0a^00^01^00^06^04 = 0x08
            EXPECT_TRUE(sent.endsWith(QByteArray::fromHex("02010a00010006040803")));
            EXPECT_EQ(f->lastOutcome().confirmation, 8);
            EXPECT_TRUE(f->isVisible());
        }
        { // device error: the message names the code and its text
            Rig r;
            auto f = make(r);
            r.script.reads = {QByteArray(), errorFrame(9)};
            r.execute(*f);
            EXPECT_EQ(r.ui.messages,
                      QStringList{QStringLiteral("Błąd 9: Zły numer grupy towarowej (więcej niż "
                                                 "20 lub grupa niezaprogramowana)")});
            EXPECT_EQ(f->lastOutcome().confirmation, 5);
            EXPECT_TRUE(f->isVisible());
        }
        { // still printing, then done: nothing to tell the user
            Rig r;
            auto f = make(r);
            r.script.reads = {QByteArray(), status(0x04), status(0x04), ack(0)};
            r.execute(*f);
            EXPECT_TRUE(r.ui.messages.isEmpty());
            EXPECT_TRUE(r.ui.questions.isEmpty());
            EXPECT_EQ(f->lastOutcome().confirmation, 3);
            EXPECT_GE(r.ui.clock, 400); // two pauses of the completion wait
        }
        { // still printing, then silence
            Rig r;
            auto f = make(r);
            r.script.reads = {QByteArray(), status(0x04)};
            r.execute(*f);
            EXPECT_TRUE(r.ui.messages.isEmpty());
            EXPECT_EQ(f->lastOutcome().confirmation, 4);
        }
    }
}

TEST(ReportForms, NoPortChosenIsReportedBySending)
{
    Rig r(false);
    auto f = r.form<TWykonywanieRaportuStawekPTU>();
    r.execute(*f);
    EXPECT_EQ(r.ui.messages, QStringList{QStringLiteral("Nie wybrano portu komunikacyjnego.")});
    EXPECT_EQ(f->lastOutcome().result, RunResult::NotSent);
    EXPECT_TRUE(f->isVisible());
}

// ---- cashier, two options, plain ----------------------------------------------------------

TEST(ReportForms, CashierReport)
{
    Rig r;
    auto f = r.form<TWykonywanieRaportuKasjera>();
    EXPECT_EQ(f->cashierBox()->count(), 10);
    EXPECT_EQ(f->cashierBox()->currentText(), QStringLiteral("1"));
    EXPECT_FALSE(f->zeroingBox()->isChecked());
    f->cashierBox()->setCurrentIndex(9);
    f->zeroingBox()->setChecked(true);
    f->fullReportBox()->setChecked(true);
    r.ui.answers = {TransferUi::Answer::Yes}; // the zeroing question
    // No drain and no wait: only the frame goes out, nothing is read.
    EXPECT_EQ(r.execute(*f), expected(1, 12, 0x8001, 0x6B, {10, 1, 1}));
    EXPECT_EQ(r.script.readsDone, 0);
    f->zeroingBox()->setChecked(false);
    f->cashierBox()->setCurrentIndex(2);
    EXPECT_EQ(r.execute(*f), expected(1, 12, 0x8001, 0x6B, {3, 0, 1}));
    EXPECT_EQ(f->lastOutcome().confirmation, -1);

    // Shown again: cashier "1", the check boxes as left.
    f->hide();
    f->show();
    EXPECT_EQ(f->cashierBox()->currentText(), QStringLiteral("1"));
    EXPECT_TRUE(f->fullReportBox()->isChecked());
}

TEST(ReportForms, TwoOptionReports)
{
    struct K {
        std::function<std::unique_ptr<TwoOptionsReportForm>(Rig&)> make;
        uint8_t command;
        const char16_t* title;
    };
    const K kinds[] = {
        {[](Rig& r) {
             return std::unique_ptr<TwoOptionsReportForm>(
                 r.form<TWykonywanieRaportuZmianowegoSprzedazy>());
         },
         0x7A, u"Wykonywanie raportu zmianowego sprzedaży"},
        {[](Rig& r) {
             return std::unique_ptr<TwoOptionsReportForm>(r.form<TWykonywanieRaportuRabatow>());
         },
         0x72, u"Wykonywanie raportu rabatów"},
        {[](Rig& r) {
             return std::unique_ptr<TwoOptionsReportForm>(r.form<TWykonywanieRaportuOpakowan>());
         },
         0x61, u"Wykonywanie raportu opakowań"},
        {[](Rig& r) {
             return std::unique_ptr<TwoOptionsReportForm>(
                 r.form<TWykonywanieRaportuFormPlatnosci>());
         },
         0x66, u"Wykonywanie raportu form płatności"},
        {[](Rig& r) {
             return std::unique_ptr<TwoOptionsReportForm>(
                 r.form<TWykonywanieRaportuGrupTowarowych>());
         },
         0x67, u"Wykonywanie raportu grup towarowych"},
    };
    for (const K& k : kinds) {
        Rig r;
        auto f = k.make(r);
        EXPECT_EQ(f->windowTitle(), QString::fromUtf16(k.title));
        EXPECT_FALSE(f->zeroingBox()->isChecked());
        EXPECT_EQ(f->zeroingBox()->text(), QStringLiteral("Raport zerujący"));
        EXPECT_EQ(r.execute(*f), expected(1, 12, 1, k.command, {0, 0}));
        f->zeroRecordsGroup()->yesButton()->setChecked(true);
        EXPECT_EQ(r.execute(*f), expected(1, 12, 1, k.command, {1, 0}));
        f->zeroingBox()->setChecked(true);
        f->zeroRecordsGroup()->noButton()->setChecked(true);
        r.ui.answers = {TransferUi::Answer::Yes}; // the zeroing question
        EXPECT_EQ(r.execute(*f), expected(1, 12, 1, k.command, {0, 1}));
        EXPECT_EQ(r.script.readsDone, 0);
        EXPECT_TRUE(f->isVisible());
    }
}

// A zeroing report cannot be undone: every form that can order one asks first, and No sends
// nothing. A zeroing order that fails its checks shows its refusal without the question.
TEST(ReportForms, ZeroingReportsAskFirst)
{
    const QString question = QString::fromUtf8(
        "Raport zerujący wyzeruje liczniki w kasie i nie można tego cofnąć. Wykonać raport "
        "zerujący?");
    struct K {
        const char* name;
        std::function<std::unique_ptr<ReportForm>(Rig&)> make;
    };
    const K kinds[] = {
        {"sales",
         [](Rig& r) {
             auto f = r.form<TWykonywanieRaportuSprzedazy>();
             f->zeroingGroup()->yesButton()->setChecked(true);
             return std::unique_ptr<ReportForm>(std::move(f));
         }},
        {"cashier",
         [](Rig& r) {
             auto f = r.form<TWykonywanieRaportuKasjera>();
             f->zeroingBox()->setChecked(true);
             return std::unique_ptr<ReportForm>(std::move(f));
         }},
        {"discounts",
         [](Rig& r) {
             auto f = r.form<TWykonywanieRaportuRabatow>();
             f->zeroingBox()->setChecked(true);
             return std::unique_ptr<ReportForm>(std::move(f));
         }},
    };
    for (const K& k : kinds) {
        Rig r;
        auto f = k.make(r);
        r.ui.answers = {TransferUi::Answer::No};
        EXPECT_TRUE(r.execute(*f).isEmpty()) << k.name;
        EXPECT_EQ(r.ui.questions, QStringList{question}) << k.name;
        EXPECT_TRUE(r.ui.messages.isEmpty()) << k.name;

        r.ui.answers = {TransferUi::Answer::Yes};
        r.script.reads = {QByteArray(), ack(0)};
        EXPECT_FALSE(r.execute(*f).isEmpty()) << k.name;
        EXPECT_EQ(r.ui.questions.size(), 2) << k.name;
    }

    // A refused range is refused before anything is asked.
    Rig r;
    auto f = r.form<TWykonywanieRaportuSprzedazy>();
    f->zeroingGroup()->yesButton()->setChecked(true);
    f->scopeSelection()->articlesButton()->setChecked(true);
    f->scopeSelection()->firstEdit()->setText(QStringLiteral("10"));
    f->scopeSelection()->lastEdit()->setText(QStringLiteral("5"));
    r.script.reads = {QByteArray()};
    r.execute(*f);
    EXPECT_TRUE(r.ui.questions.isEmpty());
    EXPECT_EQ(r.ui.messages,
              QStringList{QString::fromUtf8(
                  "Numer towaru początkowego nie może być większy niż numer towaru końcowego")});
}

TEST(ReportForms, PlainReportsAndTheInactiveArticlesFormClosing)
{
    struct K {
        std::function<std::unique_ptr<ReportForm>(Rig&)> make;
        uint8_t command;
        bool closes;
    };
    const K kinds[] = {
        {[](Rig& r) {
             return std::unique_ptr<ReportForm>(r.form<TWykonywanieRaportuTowarowNieaktywnych>());
         },
         0x6E, true},
        {[](Rig& r) {
             return std::unique_ptr<ReportForm>(r.form<TWykonywanieRaportuNapisowStalych>());
         },
         0x77, false},
        {[](Rig& r) { return std::unique_ptr<ReportForm>(r.form<TWykonywanieRaportuStawekPTU>()); },
         0x76, false},
        {[](Rig& r) { return std::unique_ptr<ReportForm>(r.form<TWykonywanieRaportuStanuKasy>()); },
         0x74, false},
        {[](Rig& r) {
             return std::unique_ptr<ReportForm>(r.form<TWykonywanieRaportuKlawiszySzybkich>());
         },
         0x68, false},
    };
    for (const K& k : kinds) {
        Rig r;
        auto f = k.make(r);
        EXPECT_EQ(r.execute(*f), expected(1, 10, 1, k.command, {1}));
        EXPECT_EQ(r.script.readsDone, 0);
        EXPECT_EQ(f->isVisible(), !k.closes) << k.command;
        if (k.closes) {
            EXPECT_EQ(f->result(), QDialog::Accepted);
        }
    }
    // A failed send keeps the inactive-articles form open.
    Rig r(false);
    auto f = r.form<TWykonywanieRaportuTowarowNieaktywnych>();
    r.execute(*f);
    EXPECT_TRUE(f->isVisible());
}

// ---- group turnover report ----------------------------------------------------------------

TEST(ReportForms, GroupTurnoverReport)
{
    Rig r;
    auto f = r.form<TRaportObrotuGrup>();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Wykonywanie raportu obrotu grup towarowych"));
    EXPECT_EQ(f->startMonthBox()->currentText(), QStringLiteral("Styczeń"));
    EXPECT_EQ(f->endMonthBox()->currentText(), QStringLiteral("Styczeń"));
    EXPECT_EQ(f->endMonthBox()->itemText(11), QStringLiteral("Grudzień"));
    const QString year = QString::number(QDate::currentDate().year());
    EXPECT_EQ(f->startYearEdit()->text(), year);
    EXPECT_EQ(f->endYearEdit()->text(), year);

    f->startYearEdit()->setText(QStringLiteral("2026"));
    f->endYearEdit()->setText(QStringLiteral("2026"));
    f->endMonthBox()->setCurrentIndex(5);
    r.script.reads = {QByteArray()}; // the drain; no answer is awaited
    EXPECT_EQ(r.execute(*f), expected(1, 17, 0x8001, 0x05, {1, 0xEA, 0x07, 6, 0xEA, 0x07, 1, 'n'}));
    f->zeroRecordsBox()->setChecked(true);
    f->startMonthBox()->setCurrentIndex(11);
    f->startYearEdit()->setText(QStringLiteral("2025"));
    r.script.reads = {QByteArray()};
    EXPECT_EQ(r.execute(*f),
              expected(1, 17, 0x8001, 0x05, {12, 0xE9, 0x07, 6, 0xEA, 0x07, 1, 't'}));
    EXPECT_TRUE(r.ui.messages.isEmpty());
    EXPECT_TRUE(f->isVisible());

    f->endYearEdit()->clear();
    EXPECT_TRUE(r.execute(*f).isEmpty());
    EXPECT_EQ(r.ui.messages, QStringList{QStringLiteral("Błędny rok")});
}

// ---- keys and remembered choices ----------------------------------------------------------

TEST(ReportForms, EscapeClosesAndEnterExecutes)
{
    Rig r;
    auto f = r.form<TWykonywanieRaportuRabatow>();
    r.script.written.clear();
    QTest::keyClick(f.get(), Qt::Key_Return);
    EXPECT_EQ(r.script.written, expected(1, 12, 1, 0x72, {0, 0}));
    QTest::keyClick(f.get(), Qt::Key_Escape);
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(f->result(), QDialog::Rejected);

    auto g = r.form<TWykonywanieRaportuOkresowego>();
    QTest::mouseClick(g->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(g->isVisible());
}

// The main window makes each report form once and keeps it: what was chosen is there at the
// next opening, but for the cashier, who is back to "1" every time the form is shown.
TEST(ReportForms, LastChoicesComeBackAtTheNextOpeningThroughTheMainWindow)
{
    QTemporaryDir dir;
    FakeUi ui;
    FakeLineScript script;
    Link link{fakeFactory(script)};
    TMenuGlowne w(ui, dir.path(), dir.filePath(QStringLiteral("BDTemp.bdt")), nullptr, &link);
    w.app().setState(OperatingState::OnlineWithDatabase);
    std::function<void(QDialog&)> step;
    w.runDialog = [&](QDialog& d) {
        d.show();
        step(d);
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible());
    };

    step = [](QDialog& d) {
        auto& f = dynamic_cast<TWykonywanieRaportuOkresowego&>(d);
        QTest::mouseClick(f.numbersButton(), Qt::LeftButton);
        QTest::keyClicks(f.firstNumberEdit(), QStringLiteral("12"));
        QTest::keyClicks(f.lastNumberEdit(), QStringLiteral("40"));
        f.periodButton()->setChecked(true);
        f.fromDate()->setDate(QDate(2024, 3, 1));
        f.numbersButton()->setChecked(true);
        f.fullReportBox()->setChecked(false);
    };
    w.openForm("TWykonywanieRaportuOkresowego");
    step = [](QDialog& d) {
        auto& f = dynamic_cast<TWykonywanieRaportuOkresowego&>(d);
        EXPECT_TRUE(f.numbersButton()->isChecked());
        EXPECT_TRUE(f.numbersFrame()->isEnabled());
        EXPECT_FALSE(f.monthlyFrame()->isEnabled());
        EXPECT_EQ(f.firstNumberEdit()->text(), QStringLiteral("12"));
        EXPECT_EQ(f.lastNumberEdit()->text(), QStringLiteral("40"));
        EXPECT_EQ(f.fromDate()->date(), QDate(2024, 3, 1));
        EXPECT_FALSE(f.fullReportBox()->isChecked());
    };
    w.openForm("TWykonywanieRaportuOkresowego");

    step = [](QDialog& d) {
        auto& f = dynamic_cast<TWykonywanieRaportuSprzedazy&>(d);
        f.scopeSelection()->groupButton()->setChecked(true);
        f.scopeSelection()->groupBox()->setCurrentIndex(4);
        f.zeroingGroup()->setValue(true);
    };
    w.openForm("TWykonywanieRaportuSprzedazy");
    step = [](QDialog& d) {
        auto& f = dynamic_cast<TWykonywanieRaportuSprzedazy&>(d);
        EXPECT_EQ(f.scopeSelection()->scope(), Scope::Group);
        EXPECT_EQ(f.scopeSelection()->groupBox()->currentText(), QStringLiteral("5"));
        EXPECT_TRUE(f.zeroingGroup()->value());
        EXPECT_TRUE(f.scopeSelection()->groupFrame()->isEnabled());
    };
    w.openForm("TWykonywanieRaportuSprzedazy");
    step = [](QDialog& d) { // another report keeps its own defaults
        EXPECT_EQ(dynamic_cast<TWykonywanieRaportuBazyZPTU&>(d).scopeSelection()->scope(),
                  Scope::WholeBase);
    };
    w.openForm("TWykonywanieRaportuBazyZPTU");

    step = [](QDialog& d) {
        auto& f = dynamic_cast<TWykonywanieRaportuKasjera&>(d);
        f.cashierBox()->setCurrentIndex(6);
        f.zeroingBox()->setChecked(true);
        f.fullReportBox()->setChecked(true);
    };
    w.openForm("TWykonywanieRaportuKasjera");
    step = [](QDialog& d) {
        auto& f = dynamic_cast<TWykonywanieRaportuKasjera&>(d);
        EXPECT_EQ(f.cashierBox()->currentText(), QStringLiteral("1"));
        EXPECT_TRUE(f.zeroingBox()->isChecked());
        EXPECT_TRUE(f.fullReportBox()->isChecked());
    };
    w.openForm("TWykonywanieRaportuKasjera");
    EXPECT_TRUE(script.written.isEmpty()); // nothing was sent
    EXPECT_TRUE(ui.messages.isEmpty());
}

// ---- against the register emulator --------------------------------------------------------

namespace {

struct EmulatorRig {
    QTemporaryDir dir;
    DatabaseSession db{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    FakeUi ui;
    AppSession app{db, ui};
    emu::RegisterModel reg{emu::Model::DunoBis, 1};
    emu::EmulatorHost host{reg};
    Link link;
    bool opened = false;

    EmulatorRig(const emu::FaultPlan& faults = {})
    {
        reg.setFaults(faults);
        if (!host.start())
            return;
        portmap::setPortOverride(43, host.devicePath());
        link.port = 43;
        opened = link.openPort(ui, true) == 0;
    }
    ~EmulatorRig()
    {
        link.closePort();
        portmap::clearPortOverrides();
    }
};

} // namespace

TEST(ReportFormsEmulator, InProgressThenDone)
{
    EmulatorRig e;
    ASSERT_TRUE(e.opened) << e.ui.messages.join(u'\n').toStdString();
    TWykonywaniePelnegoRaportuBazyPLU f(e.app);
    f.setLink(e.link);
    f.show();
    f.scopeSelection()->groupButton()->setChecked(true);
    QTest::mouseClick(f.executeButton(), Qt::LeftButton);
    EXPECT_TRUE(e.ui.messages.isEmpty()) << e.ui.messages.join(u'\n').toStdString();
    EXPECT_EQ(f.lastOutcome().result, RunResult::Sent);
    EXPECT_EQ(f.lastOutcome().confirmation, 3);
    EXPECT_EQ(e.reg.reportsPrinted(), 1);
}

TEST(ReportFormsEmulator, PaperOutAnsweredYes)
{
    emu::FaultPlan faults;
    faults.paperOut = {1};
    EmulatorRig e(faults);
    ASSERT_TRUE(e.opened);
    e.ui.answers = {TransferUi::Answer::Yes};
    TWykonywanieRaportuSprzedazy f(e.app);
    f.setLink(e.link);
    f.show();
    QTest::mouseClick(f.executeButton(), Qt::LeftButton);
    EXPECT_EQ(e.ui.questions, QStringList{QStringLiteral("Brak papieru! Kontynuować?")});
    EXPECT_EQ(f.lastOutcome().result, RunResult::Sent);
    EXPECT_TRUE(f.isVisible());
}

TEST(ReportFormsEmulator, EveryKindIsTakenByTheRegister)
{
    EmulatorRig e;
    ASSERT_TRUE(e.opened);
    TWykonywanieRaportuKasjera cashier(e.app);
    TWykonywanieRaportuStanuKasy state(e.app);
    TWykonywanieRaportuOpakowan packaging(e.app);
    int sent = 0;
    for (ReportForm* f : std::initializer_list<ReportForm*>{&cashier, &state, &packaging}) {
        f->setLink(e.link);
        f->show();
        QTest::mouseClick(f->executeButton(), Qt::LeftButton);
        EXPECT_EQ(f->lastOutcome().result, RunResult::Sent);
        ++sent;
        // These do not wait; give the register time to take the order, then clear its answer.
        QTest::qWait(500);
        e.link.drainInput(e.ui);
    }
    EXPECT_EQ(e.reg.reportsPrinted(), sent);
    EXPECT_TRUE(e.ui.messages.isEmpty()) << e.ui.messages.join(u'\n').toStdString();
}

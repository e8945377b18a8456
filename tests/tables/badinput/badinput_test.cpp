// Bad input typed into every table form: empty fields, texts longer than the field, letters in
// number fields, negative and overflowing numbers, and texts the register cannot hold. Each
// case either refuses with its message (or red hint) and leaves every database byte as it was,
// or stores the cleanly cut value and changes nothing outside the record.
#include "app/appsession.h"
#include "common/cp1250.h"
#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "fakeline.h"
#include "fakeui.h"
#include "link/link.h"
#include "tables/articlegrid.h"
#include "tables/forms/articles/tprogramowanietowarow.h"
#include "tables/forms/registers/tprogramowanieformplatnosci.h"
#include "tables/forms/registers/tprogramowaniegruptowarowych.h"
#include "tables/forms/registers/tprogramowaniekasjerow.h"
#include "tables/forms/registers/tprogramowanieopakowan.h"
#include "tables/forms/registers/tprogramowanierabatow.h"
#include "tables/forms/registers/tprogramowaniestawekptu.h"
#include "tables/forms/registers/tprogramowaniewalutobcych.h"
#include "tables/forms/registers/tprogramowaniewalutyewidencyjnej.h"
#include "tables/forms/texts/quickkeysform.h"
#include "tables/forms/texts/receipteditor.h"
#include "tables/forms/texts/smallforms.h"
#include "tables/tablelayout.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

QString unsupported(const char* label)
{
    return u8("Pole „") + u8(label) + u8("” zawiera znaki, których kasa nie obsługuje.");
}

// Texts that have no cp1250 byte: an emoji (a surrogate pair), Cyrillic and CJK.
const char* const Foreign[] = {"😀", "Привет", "日本語"};

// A new database, offline, messages kept by FakeUi; a scripted line for the forms that send.
struct Bench {
    explicit Bench(OperatingState state = OperatingState::OfflineWithDatabase)
    {
        session = std::make_unique<DatabaseSession>(dir.filePath(DatabaseSession::WorkingCopyName));
        ok = session->startUp().ok;
        session->setModified(false);
        app = std::make_unique<AppSession>(*session, ui);
        app->setState(state);
        link.port = 1;
        link.openPort(ui, true);
        script.written.clear();
    }
    RegisterDatabase& db() { return session->database(); }
    QTemporaryDir dir;
    std::unique_ptr<DatabaseSession> session;
    FakeUi ui;
    std::unique_ptr<AppSession> app;
    FakeLineScript script;
    Link link{fakeFactory(script)};
    bool ok = false;
};

// The byte ranges [from, to) in which two database images differ, as "from-to" texts (a short
// readable answer instead of two 205,000-byte dumps).
QStringList changed(const QByteArray& before, const QByteArray& after)
{
    QStringList out;
    const qsizetype n = std::max(before.size(), after.size());
    for (qsizetype i = 0; i < n;) {
        if (i < before.size() && i < after.size() && before[i] == after[i]) {
            ++i;
            continue;
        }
        const qsizetype from = i;
        while (i < n && !(i < before.size() && i < after.size() && before[i] == after[i]))
            ++i;
        out.append(QString::number(from) + u'-' + QString::number(i));
    }
    return out;
}

// Every change lies inside [from, from + size).
bool onlyWithin(const QByteArray& before, const QByteArray& after, qint64 from, int size)
{
    for (const QString& range : changed(before, after)) {
        const QStringList ends = range.split(u'-');
        if (ends[0].toLongLong() < from || ends[1].toLongLong() > from + size)
            return false;
    }
    return true;
}

// ---- the shared refusal

TEST(BadInputHelper, NamesTheFieldAndPassesCodePageText)
{
    EXPECT_EQ(cp1250::unsupportedMessage(u8("Nazwa")),
              u8("Pole „Nazwa” zawiera znaki, których kasa nie obsługuje."));
    EXPECT_EQ(cp1250::refusal(u8("Zażółć gęślą jaźń €"), u8("Nazwa")), QString());
    EXPECT_EQ(cp1250::refusal(QString(), u8("Nazwa")), QString());
    for (const char* t : Foreign)
        EXPECT_EQ(cp1250::refusal(u8(t), u8("Nazwa kasjera")), unsupported("Nazwa kasjera")) << t;
    // One foreign character among Polish text is enough.
    EXPECT_EQ(cp1250::refusal(u8("Kawa ☕"), u8("Nazwa")), unsupported("Nazwa"));
}

// ---- the small table forms (TableForm family)

enum class Expect { Message, Hint, Stored };

struct FormKind {
    const char* name;
    std::function<std::unique_ptr<TableForm>(AppSession&)> make;
    QList<std::pair<const char*, const char*>> good; // valid text for every field
    const TableLayout* table;
    int number; // the slot the good values go to
};

const FormKind Kinds[] = {
    {"kasjerzy",
     [](AppSession& s) { return std::make_unique<TProgramowanieKasjerow>(s); },
     {{"Edit1", "3"}, {"Edit2", "Ola"}, {"MaskEdit1", "12"}},
     &layout::Cashiers,
     3},
    {"rabaty",
     [](AppSession& s) {
         auto f = std::make_unique<TProgramowanieRabatow>(s);
         f->percentage->setChecked(true);
         return f;
     },
     {{"Edit1", "3"}, {"Edit2", "Stały klient"}, {"Edit3", "5,00"}},
     &layout::Discounts,
     3},
    {"formy",
     [](AppSession& s) { return std::make_unique<TProgramowanieFormPlatnosci>(s); },
     {{"Edit1", "3"}, {"Edit2", "Bon towarowy"}},
     &layout::PaymentForms,
     3},
    {"waluty",
     [](AppSession& s) { return std::make_unique<TProgramowanieWalutObcych>(s); },
     {{"Edit1", "3"}, {"Edit2", "Korona"}, {"Edit3", "4,5"}, {"Edit4", "CZK"}},
     &layout::Currencies,
     3},
    {"grupy",
     [](AppSession& s) {
         auto f = std::make_unique<TProgramowanieGrupTowarowych>(s);
         f->show();
         f->ComboBox1->setCurrentIndex(4);
         return f;
     },
     {{"Edit1", "Pieczywo świeże"}},
     &layout::Groups,
     5},
    {"opakowania",
     [](AppSession& s) {
         auto f = std::make_unique<TProgramowanieOpakowan>(s);
         f->show();
         f->ComboBox1->setCurrentIndex(4);
         return f;
     },
     {{"Edit2", "Skrzynka"}, {"Edit3", "0,50"}},
     &layout::Packaging,
     5},
};

struct FieldCase {
    const char* form;
    const char* field;
    const char* typed; // nullptr: one of the foreign texts, each in turn
    Expect expect;
    const char* text; // message, hint, or for Stored the field's stored bytes
    int offset = 0;   // Stored: where those bytes lie in the record
};

const char* const Overflow = "99999999999999999999";
const char* const Long50 = "AąBćCęDłEńFóGśHźIżJAąBćCęDłEńFóGśHźIżJAąBćCęDłEńFó";

const FieldCase FieldCases[] = {
    // Cashiers: number (2), name (21), password (4 digits).
    {"kasjerzy", "Edit1", "", Expect::Hint, " Wprowadź numer!"},
    {"kasjerzy", "Edit1", "ab", Expect::Message,
     "Wartość pola 'Numer kasjera' powinna zawierać się w przedziale 1-10"},
    {"kasjerzy", "Edit1", "-5", Expect::Message,
     "Wartość pola 'Numer kasjera' powinna zawierać się w przedziale 1-10"},
    {"kasjerzy", "Edit1", Overflow, Expect::Message,
     "Wartość pola 'Numer kasjera' powinna zawierać się w przedziale 1-10"},
    {"kasjerzy", "Edit1", "😀", Expect::Message,
     "Wartość pola 'Numer kasjera' powinna zawierać się w przedziale 1-10"},
    {"kasjerzy", "Edit2", "", Expect::Hint, " Wprowadź nazwę!"},
    {"kasjerzy", "Edit2", nullptr, Expect::Message, "Nazwa kasjera"},
    {"kasjerzy", "Edit2", Long50, Expect::Stored, "AąBćCęDłEńFóGśHźIżJAą", 1},
    {"kasjerzy", "MaskEdit1", "abcd", Expect::Message, "Błędne hasło!"},
    {"kasjerzy", "MaskEdit1", "-1", Expect::Message, "Błędne hasło!"},
    {"kasjerzy", "MaskEdit1", "😀", Expect::Message, "Błędne hasło!"},
    {"kasjerzy", "MaskEdit1", Overflow, Expect::Stored, "9999", 22},
    // Discounts: number (2), name (21), value (9).
    {"rabaty", "Edit1", "", Expect::Hint, " Wprowadź numer!"},
    {"rabaty", "Edit1", "x", Expect::Message,
     " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 20"},
    {"rabaty", "Edit1", "-5", Expect::Message,
     " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 20"},
    {"rabaty", "Edit1", Overflow, Expect::Message,
     " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 20"},
    {"rabaty", "Edit2", "", Expect::Hint, " Wprowadź nazwę!"},
    {"rabaty", "Edit2", nullptr, Expect::Message, "Nazwa"},
    {"rabaty", "Edit2", Long50, Expect::Stored, "AąBćCęDłEńFóGśHźIżJAą", 1},
    {"rabaty", "Edit3", "", Expect::Hint, " Wprowadź wartość!"},
    {"rabaty", "Edit3", "abc", Expect::Message, "Błędna wartość w polu Wartosc"},
    {"rabaty", "Edit3", "-5", Expect::Message, "Błędna wartość w polu Wartosc"},
    {"rabaty", "Edit3", "😀", Expect::Message, "Błędna wartość w polu Wartosc"},
    {"rabaty", "Edit3", Overflow, Expect::Message,
     "    Wartość rabatu/narzutu procentowego musi zawierać się w przedziale: 0,01 % - 99,99 "
     "%      "},
    // Payment forms: number (2), name (21).
    {"formy", "Edit1", "", Expect::Hint, "Podaj numer!"},
    {"formy", "Edit1", "ab", Expect::Message,
     " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 10"},
    {"formy", "Edit1", "-5", Expect::Message,
     " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 10"},
    {"formy", "Edit1", Overflow, Expect::Message,
     " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 10"},
    {"formy", "Edit2", "", Expect::Hint, "Podaj nazwę!"},
    {"formy", "Edit2", nullptr, Expect::Message, "Nazwa"},
    {"formy", "Edit2", Long50, Expect::Stored, "AąBćCęDłEńFóGśHźIżJAą", 1},
    // Currencies: number (2), name (21), rate (12), symbol (3).
    {"waluty", "Edit1", "", Expect::Hint, " Wprowadź numer!"},
    {"waluty", "Edit1", "ab", Expect::Message,
     " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 10"},
    {"waluty", "Edit1", "-5", Expect::Message,
     " Błędna wartość w polu Numer. Numer musi zawierać się w przedziale 1 - 10"},
    {"waluty", "Edit2", "", Expect::Hint, " Wprowadź nazwę!"},
    {"waluty", "Edit2", nullptr, Expect::Message, "Nazwa"},
    {"waluty", "Edit2", Long50, Expect::Stored, "AąBćCęDłEńFóGśHźIżJAą", 1},
    {"waluty", "Edit3", "", Expect::Hint, " Wprowadź kurs!"},
    {"waluty", "Edit3", "abc", Expect::Message, "Błędnie wypełnione pole KURS!"},
    {"waluty", "Edit3", "😀", Expect::Message, "Błędnie wypełnione pole KURS!"},
    {"waluty", "Edit3", "-5", Expect::Message, "Błędna wartość w polu Kurs"},
    {"waluty", "Edit3", Overflow, Expect::Message, "Zbyt duża wartosc w polu KURS!"},
    {"waluty", "Edit4", "", Expect::Hint, " Wprowadź symbol!"},
    {"waluty", "Edit4", nullptr, Expect::Message, "Symbol"},
    {"waluty", "Edit4", "CZKX", Expect::Stored, "CZK", 27},
    // Product groups: name (21).
    {"grupy", "Edit1", "", Expect::Hint, "Wprowadź nazwę!"},
    {"grupy", "Edit1", nullptr, Expect::Message, "Nazwa"},
    {"grupy", "Edit1", Long50, Expect::Stored, "AąBćCęDłEńFóGśHźIżJAą", 1},
    // Packaging: name (42), price (10).
    {"opakowania", "Edit2", "", Expect::Hint, " Wprowadź nazwę!"},
    {"opakowania", "Edit2", nullptr, Expect::Message, "Nazwa"},
    {"opakowania", "Edit2", Long50, Expect::Stored, "AąBćCęDłEńFóGśHźIżJAąBćCęDłEńFóGśHźIżJAąBć",
     1},
    {"opakowania", "Edit3", "", Expect::Hint, " Wprowadź cenę!"},
    {"opakowania", "Edit3", "abc", Expect::Message, "     Błędna wartość w polu Cena     "},
    {"opakowania", "Edit3", "-5", Expect::Message, "     Błędna wartość w polu Cena     "},
    {"opakowania", "Edit3", "😀", Expect::Message, "     Błędna wartość w polu Cena     "},
    {"opakowania", "Edit3", Overflow, Expect::Message, "     Błędna wartość w polu Cena     "},
    {"opakowania", "Edit3", "0", Expect::Message, "     Cena musi mieć wartość niezerową     "},
};

const FormKind& kindOf(const char* name)
{
    for (const FormKind& k : Kinds)
        if (qstrcmp(k.name, name) == 0)
            return k;
    ADD_FAILURE() << name;
    return Kinds[0];
}

// Runs one typed value through a table form and checks the outcome.
void runTableCase(const FieldCase& c, const QString& typed)
{
    const QString what =
        QString::fromLatin1(c.form) + u' ' + QLatin1String(c.field) + QStringLiteral(" = ") + typed;
    SCOPED_TRACE(what.toStdString());
    Bench b;
    ASSERT_TRUE(b.ok);
    const FormKind& kind = kindOf(c.form);
    std::unique_ptr<TableForm> form = kind.make(*b.app);
    form->show();
    for (const auto& [field, value] : kind.good) {
        auto* edit = form->findChild<QLineEdit*>(QLatin1String(field));
        ASSERT_NE(edit, nullptr) << field;
        edit->setText(u8(value));
    }
    auto* edit = form->findChild<QLineEdit*>(QLatin1String(c.field));
    ASSERT_NE(edit, nullptr);
    edit->setText(typed);
    const QByteArray before = b.db().contents();
    form->addButton->click();

    const QByteArray after = b.db().contents();
    if (c.expect == Expect::Stored) {
        EXPECT_TRUE(b.ui.messages.isEmpty()) << b.ui.messages.join(u'|').toStdString();
        const int at = kind.table->offsetOf(kind.number);
        const int size = kind.table->recordSize;
        // Nothing outside the record moved.
        EXPECT_TRUE(onlyWithin(before, after, at, size))
            << changed(before, after).join(u' ').toStdString() << " record at " << at;
        const QByteArray expected = cp1250::encode(u8(c.text));
        EXPECT_EQ(after.mid(at + c.offset, expected.size()), expected);
        EXPECT_EQ(quint8(after[at]), kind.number);
        EXPECT_TRUE(b.session->isModified());
        return;
    }
    EXPECT_EQ(changed(before, after), QStringList());
    EXPECT_FALSE(b.session->isModified());
    if (c.expect == Expect::Hint) {
        EXPECT_TRUE(b.ui.messages.isEmpty());
        QLabel* hint = form->hint(QLatin1String(c.field));
        ASSERT_NE(hint, nullptr);
        EXPECT_FALSE(hint->isHidden());
        EXPECT_EQ(hint->text(), u8(c.text));
    } else {
        const QString message = c.typed ? u8(c.text) : unsupported(c.text);
        EXPECT_EQ(b.ui.messages, QStringList{message});
        // The field stays as typed (cut to its width), for the user to correct.
        EXPECT_EQ(edit->text(), typed.left(edit->maxLength()));
    }
}

TEST(BadInputTableForms, EveryFieldAndBadValue)
{
    for (const FieldCase& c : FieldCases) {
        if (c.typed) {
            runTableCase(c, u8(c.typed));
        } else {
            for (const char* t : Foreign)
                runTableCase(c, u8(t));
            // Foreign text after good Polish text, too.
            runTableCase(c, u8("Zł") + u8(Foreign[1]).left(1));
        }
    }
}

TEST(BadInputTableForms, GoodValuesOfEachFormAreStored)
{
    // The baseline every refusal above starts from really is accepted.
    for (const FormKind& kind : Kinds) {
        SCOPED_TRACE(kind.name);
        Bench b;
        ASSERT_TRUE(b.ok);
        std::unique_ptr<TableForm> form = kind.make(*b.app);
        form->show();
        for (const auto& [field, value] : kind.good)
            form->findChild<QLineEdit*>(QLatin1String(field))->setText(u8(value));
        form->addButton->click();
        EXPECT_TRUE(b.ui.messages.isEmpty()) << b.ui.messages.join(u'|').toStdString();
        EXPECT_EQ(quint8(b.db().contents()[kind.table->offsetOf(kind.number)]), kind.number);
    }
}

// ---- VAT rates

TEST(BadInputVatRates, EveryBadRateIsRefusedAndNothingWritten)
{
    const char* const bad[] = {"", "abc", "-5", Overflow, "100,00", "😀", "1,2,3"};
    for (const char* typed : bad) {
        SCOPED_TRACE(typed);
        Bench b(OperatingState::OnlineWithDatabase);
        ASSERT_TRUE(b.ok);
        TProgramowanieStawekPTU form(*b.app);
        form.setLink(&b.link);
        form.show();
        form.letters[0].taxed->click();
        form.letters[0].rate->setText(u8(typed));
        const QByteArray before = b.db().contents();
        form.saveButton->click();
        EXPECT_EQ(b.ui.messages, QStringList{u8("Błędnie wypełnione pola!")});
        EXPECT_EQ(changed(before, b.db().contents()), QStringList());
        b.ui.messages.clear();
        // Sending refuses the typed rates the same way; the table already stored goes out as
        // it is.
        form.sendButton->click();
        ASSERT_FALSE(b.ui.messages.isEmpty());
        EXPECT_EQ(b.ui.messages.first(), u8("Błędnie wypełnione pola!"));
        EXPECT_EQ(changed(before, b.db().contents()), QStringList());
    }
}

// ---- accounting currency

TEST(BadInputAccountingCurrency, BadRatesAndForeignSymbolsChangeNothing)
{
    const struct {
        const char *rate, *symbol, *message;
    } cases[] = {
        {"abc", "EUR", nullptr}, {"-5", "EUR", nullptr}, {Overflow, "EUR", nullptr},
        {"0", "EUR", nullptr},   {"😀", "EUR", nullptr},  {"4,5", "😀", "x"},
        {"4,5", "При", "x"},     {"4,5", "日本", "x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rate) + " / " + c.symbol);
        Bench b(OperatingState::OnlineWithDatabase);
        ASSERT_TRUE(b.ok);
        TProgramowanieWalutyEwidencyjnej form(*b.app);
        form.setLink(&b.link);
        form.show();
        form.Edit1->setText(u8(c.rate));
        form.Edit2->setText(u8(c.symbol));
        const QByteArray before = b.db().contents();
        const QString symbolBefore = b.session->currencySymbol();
        form.databaseButton->click();
        ASSERT_EQ(b.ui.messages.size(), 1);
        if (c.message) {
            EXPECT_EQ(b.ui.messages[0], unsupported("Symbol nowej waluty ewidencyjnej"));
        }
        EXPECT_EQ(changed(before, b.db().contents()), QStringList());
        EXPECT_EQ(b.session->currencySymbol(), symbolBefore);
        if (c.message) {
            b.ui.messages.clear();
            form.registerButton->click();
            EXPECT_EQ(b.ui.messages, QStringList{unsupported("Symbol nowej waluty ewidencyjnej")});
            EXPECT_TRUE(b.script.written.isEmpty());
        }
    }
}

// ---- articles

struct ArticleCase {
    QLineEdit* TProgramowanieTowarow::*field;
    const char* typed;
    Expect expect;
    const char* text;
    int offset = 0;
    int width = 0;
};

const char* const BadNumber = "     Błędna wartość : Numer towaru w kasie \n"
                              " Pole musi zawierać liczbę z przedziału 1-2000.     ";
const char* const BadRange = "Błąd! Cena musi zawierać się w przedziale 0,00 - 999999,99";

const ArticleCase ArticleCases[] = {
    {&TProgramowanieTowarow::Edit4, "", Expect::Hint, "Edit4"},
    {&TProgramowanieTowarow::Edit4, "ab", Expect::Message, BadNumber},
    {&TProgramowanieTowarow::Edit4, "-5", Expect::Message, BadNumber},
    {&TProgramowanieTowarow::Edit4, Overflow, Expect::Message, BadNumber},
    {&TProgramowanieTowarow::Edit4, "😀", Expect::Message, BadNumber},
    {&TProgramowanieTowarow::Edit5, "", Expect::Hint, "Edit5"},
    {&TProgramowanieTowarow::Edit5, nullptr, Expect::Message, "Nazwa"},
    {&TProgramowanieTowarow::Edit5, Long50, Expect::Stored,
     "AąBćCęDłEńFóGśHźIżJAąBćCęDłEńFóGśHźIżJAąBć", 2, 42},
    {&TProgramowanieTowarow::Edit1, "", Expect::Hint, "Edit1"},
    {&TProgramowanieTowarow::Edit1, "abc", Expect::Message, "     Błędna wartość w polu Cena     "},
    {&TProgramowanieTowarow::Edit1, "😀", Expect::Message, "     Błędna wartość w polu Cena     "},
    {&TProgramowanieTowarow::Edit1, "-5", Expect::Message, BadRange},
    {&TProgramowanieTowarow::Edit1, Overflow, Expect::Message, BadRange},
    {&TProgramowanieTowarow::Edit1, "1000000", Expect::Message, BadRange},
    {&TProgramowanieTowarow::Edit2, nullptr, Expect::Message, "Kod kreskowy"},
    {&TProgramowanieTowarow::Edit2, Overflow, Expect::Stored, "9999999999999", 49, 13},
};

void runArticleCase(const ArticleCase& c, const QString& typed)
{
    SCOPED_TRACE(typed.toStdString());
    Bench b;
    ASSERT_TRUE(b.ok);
    TProgramowanieTowarow form(*b.app);
    form.show();
    form.Edit4->setText(QStringLiteral("7"));
    form.Edit5->setText(u8("Chleb żytni"));
    form.Edit1->setText(QStringLiteral("3,50"));
    form.Edit2->setText(QStringLiteral("590123"));
    QLineEdit* edit = form.*c.field;
    edit->setText(typed);
    const QByteArray before = b.db().contents();
    const bool added = form.DodajDoBazyClick();
    const QByteArray after = b.db().contents();
    const int at = layout::Articles.offsetOf(7);
    if (c.expect == Expect::Stored) {
        EXPECT_TRUE(added);
        // Thirteen nines are no valid EAN-13: stored, with a warning.
        const QStringList warned =
            c.field == &TProgramowanieTowarow::Edit2
                ? QStringList{u8("Towar 7: kod kreskowy 9999999999999 ma błędną cyfrę kontrolną")}
                : QStringList{};
        EXPECT_EQ(b.ui.messages, warned) << b.ui.messages.join(u'|').toStdString();
        EXPECT_TRUE(onlyWithin(before, after, at, 68))
            << changed(before, after).join(u' ').toStdString();
        EXPECT_EQ(after.mid(at + c.offset, c.width), cp1250::encode(u8(c.text)));
        return;
    }
    EXPECT_FALSE(added);
    EXPECT_EQ(changed(before, after), QStringList());
    EXPECT_FALSE(b.session->isModified());
    if (c.expect == Expect::Hint) {
        EXPECT_TRUE(b.ui.messages.isEmpty());
        const QLatin1String which(c.text);
        QLabel* hint = which == QLatin1String("Edit4")   ? form.Hint4
                       : which == QLatin1String("Edit5") ? form.Hint5
                                                         : form.Hint1;
        EXPECT_FALSE(hint->isHidden());
    } else {
        EXPECT_EQ(b.ui.messages, QStringList{c.typed ? u8(c.text) : unsupported(c.text)});
        EXPECT_EQ(edit->text(), typed.left(edit->maxLength()));
        if (c.field == &TProgramowanieTowarow::Edit2 || c.field == &TProgramowanieTowarow::Edit5) {
            EXPECT_EQ(form.focusWidget(), edit); // the field to correct
        }
    }
}

TEST(BadInputArticleForm, EveryFieldAndBadValue)
{
    for (const ArticleCase& c : ArticleCases) {
        if (c.typed) {
            runArticleCase(c, u8(c.typed));
        } else {
            for (const char* t : Foreign)
                runArticleCase(c, u8("Mleko ") + u8(t));
        }
    }
}

TEST(BadInputArticleForm, SearchWithForeignOrOverlongTextFindsNothingAndChangesNothing)
{
    for (const char* typed : {"😀", "Привет", "日本語", Overflow, Long50}) {
        SCOPED_TRACE(typed);
        Bench b;
        ASSERT_TRUE(b.ok);
        TProgramowanieTowarow form(*b.app);
        form.show();
        form.Edit4->setText(QStringLiteral("3"));
        form.Edit5->setText(u8("Mleko"));
        ASSERT_TRUE(form.DodajDoBazyClick());
        const QByteArray before = b.db().contents();
        form.Edit6->setText(u8(typed));
        form.SzukajClick();
        // The header's empty row only: nothing matches.
        EXPECT_EQ(form.model()->rowCount(), 1);
        EXPECT_EQ(changed(before, b.db().contents()), QStringList());
        EXPECT_TRUE(b.ui.messages.isEmpty());
    }
}

// ---- forms that send texts to the register

TEST(BadInputTextForms, NipWithForeignCharactersIsNotSent)
{
    for (const char* t : Foreign) {
        Bench b(OperatingState::OnlineWithDatabase);
        TProgramowanieNIP form(*b.app);
        form.setLink(&b.link);
        form.show();
        form.Edit1->setText(u8("123") + u8(t));
        form.programButton->click();
        EXPECT_EQ(b.ui.messages, QStringList{unsupported("NIP")}) << t;
        EXPECT_TRUE(b.script.written.isEmpty());
        EXPECT_TRUE(form.isEnabled());
    }
}

TEST(BadInputTextForms, ManagerPasswordsWithForeignCharactersAreNotSent)
{
    const struct {
        const char *old, *fresh, *label;
    } cases[] = {
        {"1234", "😀", "Nowe hasło"},
        {"Привет", "1234", "Stare hasło"},
        {"日本", "語", "Stare hasło"},
    };
    for (const auto& c : cases) {
        Bench b(OperatingState::OnlineWithDatabase);
        TProgramowanieHaslaKierownika form(*b.app);
        form.setLink(&b.link);
        form.show();
        form.oldPassword->setText(u8(c.old));
        form.newPassword->setText(u8(c.fresh));
        form.sendButton->click();
        EXPECT_EQ(b.ui.messages, QStringList{unsupported(c.label)}) << c.label;
        EXPECT_TRUE(b.script.written.isEmpty());
    }
}

TEST(BadInputTextForms, UnitsWithForeignCharactersAreNotSent)
{
    for (int i = 0; i < 3; ++i)
        for (const char* t : Foreign) {
            Bench b(OperatingState::OnlineWithDatabase);
            TJednostkiTowarowe form(*b.app);
            form.setLink(&b.link);
            form.show();
            for (QLineEdit* e : form.units)
                e->setText(QStringLiteral("kg"));
            form.units[size_t(i)]->setText(u8(t));
            form.sendButton->click();
            const QByteArray label = "Jednostka nr " + QByteArray::number(i + 1);
            EXPECT_EQ(b.ui.messages, QStringList{unsupported(label.constData())}) << t;
            EXPECT_TRUE(b.script.written.isEmpty());
        }
}

TEST(BadInputTextForms, HeaderAndFooterWithForeignCharactersAreNeitherStoredNorSent)
{
    for (const char* t : Foreign) {
        for (const bool header : {true, false}) {
            Bench b(OperatingState::OnlineWithDatabase);
            std::unique_ptr<ReceiptEditor> form;
            if (header)
                form = std::make_unique<TProgramowanieNaglowka>(*b.app);
            else
                form = std::make_unique<TProgramowanieStopki>(*b.app);
            form->setLink(&b.link);
            form->show();
            form->RichEdit1->setPlainText(u8("SKLEP U ZOSI\nul. Długa ") + u8(t));
            const QByteArray before = b.db().contents();
            form->sendButton->click();
            EXPECT_EQ(b.ui.messages, QStringList{unsupported(header ? "Nagłówek" : "Stopka")});
            EXPECT_EQ(changed(before, b.db().contents()), QStringList());
            EXPECT_TRUE(b.script.written.isEmpty());
            EXPECT_FALSE(b.session->isModified());
        }
    }
}

TEST(BadInputTextForms, HaloFieldsRefuseEveryBadValue)
{
    const char* const bad[] = {"", "abc", "😀", "Привет", "1,2,3", "99999999999999999999"};
    for (int k = 0; k < 9; k += 4)
        for (const char* typed : bad) {
            SCOPED_TRACE(typed);
            Bench b(OperatingState::OfflineWithDatabase);
            TProgramowanieTablicyHalo form(*b.app);
            form.setLink(&b.link);
            form.show();
            form.fields[size_t(k)]->setText(u8(typed));
            const QByteArray before = b.db().contents();
            form.saveButton->click();
            EXPECT_EQ(b.ui.messages, QStringList{u8("Błędnie wypełnione pola!")});
            EXPECT_EQ(changed(before, b.db().contents()), QStringList());
            EXPECT_FALSE(b.session->isModified());
        }
    // Nine characters that fit the 32-bit entry are stored exactly; a negative amount is a
    // valid signed entry.
    Bench b(OperatingState::OfflineWithDatabase);
    TProgramowanieTablicyHalo form(*b.app);
    form.show();
    form.fields[0]->setText(QStringLiteral("9999999,999"));
    EXPECT_EQ(form.fields[0]->text(), QStringLiteral("9999999,9"));
    form.fields[1]->setText(QStringLiteral("-5"));
    const QByteArray before = b.db().contents();
    form.saveButton->click();
    EXPECT_TRUE(b.ui.messages.isEmpty());
    const QByteArray after = b.db().contents();
    // Entry 1 at 149064: 999999990 = 0x3B9AC9F6; entry 2: -500 = 0xFFFFFE0C.
    EXPECT_EQ(after.mid(149064, 8), QByteArray("\xF6\xC9\x9A\x3B\x0C\xFE\xFF\xFF", 8));
    EXPECT_TRUE(onlyWithin(before, after, 149064, 8))
        << changed(before, after).join(u' ').toStdString();
}

TEST(BadInputTextForms, QuickKeyQuantityRefusesBadValues)
{
    const char* const bad[] = {
        "", "abc", "😀", "Привет", "-1", "0", "0,00001", "1,2,3", "99999999999999999999"};
    for (const char* typed : bad) {
        SCOPED_TRACE(typed);
        Bench b(OperatingState::OfflineWithDatabase);
        TProgramowanieKlawiszySzybkich2 form(*b.app);
        form.setLink(&b.link);
        form.show();
        form.quantity->setText(u8(typed));
        const QByteArray before = b.db().contents();
        EXPECT_FALSE(form.addArticle(1, 5));
        EXPECT_EQ(changed(before, b.db().contents()), QStringList());
        EXPECT_FALSE(b.session->isModified());
        // The field stays for correction.
        EXPECT_EQ(form.quantity->text(), u8(typed).left(9));
    }
    // The largest quantity the field takes is stored.
    Bench b(OperatingState::OfflineWithDatabase);
    TProgramowanieKlawiszySzybkich2 form(*b.app);
    form.show();
    form.quantity->setText(QStringLiteral("99,9999"));
    const QByteArray before = b.db().contents();
    EXPECT_TRUE(form.addArticle(1, 5));
    const QByteArray after = b.db().contents();
    EXPECT_FALSE(changed(before, after).isEmpty());
    EXPECT_TRUE(onlyWithin(before, after, layout::QuickKeys.base, layout::QuickKeys.bytes()))
        << changed(before, after).join(u' ').toStdString();
}

} // namespace

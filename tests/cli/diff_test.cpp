// vduno diff: two files made by "vduno db new", edited here through the record code, compared
// table by table. Neither file may change, whatever the outcome.
#include "database/databasesession.h"
#include "tables/articlerecord.h"
#include "tables/cashierrecord.h"
#include "tables/quickkeys.h"
#include "tables/receipttext.h"
#include "tables/tablelayout.h"
#include "tables/vatrates.h"
#include "vdunoprocess.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>
#include <ostream>

#include <gtest/gtest.h>

namespace {

Outcome vduno(const QStringList& args, const QString& temp)
{
    return runVduno(args, temp);
}

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

using Edit = std::function<void(RegisterDatabase&)>;

// Opens the file as the program does, applies the edit and saves it.
void edit(const QString& path, const Edit& change)
{
    if (!change)
        return;
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    DatabaseSession session(work.filePath(DatabaseSession::WorkingCopyName));
    ASSERT_TRUE(session.openDatabaseFile(path).ok);
    change(session.database());
    ASSERT_TRUE(session.saveDatabaseFile(path).ok);
}

void putArticle(RegisterDatabase& db, int number, qint32 price)
{
    ArticleRecord r;
    r.number = number;
    r.name = s("Towar ") + QString::number(number);
    r.price = price;
    ASSERT_TRUE(storeRecord(db, layout::Articles, number, r));
}

void articlesA(RegisterDatabase& db)
{
    putArticle(db, 12, 100);
    putArticle(db, 14, 250);
}

void articlesB(RegisterDatabase& db)
{
    putArticle(db, 13, 100);
    putArticle(db, 14, 300);
}

void renamedCashier(RegisterDatabase& db)
{
    CashierRecord c = loadRecord<CashierRecord>(db, layout::Cashiers, 1);
    c.name = s("Szef");
    c.password = s("1234");
    ASSERT_TRUE(storeRecord(db, layout::Cashiers, 1, c));
}

void articlesAndCashierB(RegisterDatabase& db)
{
    articlesB(db);
    renamedCashier(db);
}

// The VAT rate B, the header's first line and a quick key of the manager.
void textsB(RegisterDatabase& db)
{
    VatRates v = VatRates::decode(db.readBytes(layout::VatRates.base, VatRates::Size));
    v.values[1] = 700;
    ASSERT_TRUE(db.writeRecord(layout::VatRates.base, v.encode()));
    receipt::Block header = receipt::loadBlock(db, receipt::Kind::Header);
    header.lines.replace(0, 5, "SKLEP");
    ASSERT_TRUE(receipt::storeBlock(db, receipt::Kind::Header, header));
    QuickKeyRecord key;
    key.addArticle(1, 2, 5, 10000, false);
    ASSERT_TRUE(quickkeys::store(db, 1, 2, key));
}

struct DiffCase {
    const char* title;
    Edit editA, editB;
    QStringList args; // "%A", "%B": the two files, "%D": their directory
    int exitCode;
    const char* out; // the whole stdout
    const char* err; // a part of stderr; "" when nothing may be there
};

void PrintTo(const DiffCase& c, std::ostream* os)
{
    *os << c.title;
}

struct Snapshot {
    QByteArray bytes;
    QDateTime modified;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return {f.readAll(), QFileInfo(path).lastModified()};
}

class CliDiffTest : public ::testing::TestWithParam<DiffCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(temp.isValid());
        a = dir.filePath(s("a.vkf"));
        b = dir.filePath(s("b.vkf"));
        ASSERT_EQ(vduno({s("db"), s("new"), a}, temp.path()).exitCode, 0);
        ASSERT_TRUE(QFile::copy(a, b));
        QFile notes(dir.filePath(s("notatki.txt")));
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
        notes.write("zakupy\n");
    }

    Outcome diff(const QStringList& args)
    {
        QStringList all;
        for (const QString& arg : args)
            all.append(
                QString(arg).replace(s("%A"), a).replace(s("%B"), b).replace(s("%D"), dir.path()));
        return vduno(all, temp.path());
    }

    QTemporaryDir dir, temp;
    QString a, b;
};

TEST_P(CliDiffTest, ListsTheRecordsThatDifferAndLeavesBothFiles)
{
    const DiffCase& c = GetParam();
    edit(a, c.editA);
    edit(b, c.editB);
    const Snapshot beforeA = snapshot(a), beforeB = snapshot(b);

    const Outcome r = diff(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(), std::string(c.out));
    if (*c.err)
        EXPECT_TRUE(r.err.contains(s(c.err))) << r.err.toStdString();
    else
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();

    EXPECT_TRUE(snapshot(a) == beforeA);
    EXPECT_TRUE(snapshot(b) == beforeB);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CliDiffTest,
    ::testing::Values(
        DiffCase{"equal", {}, {}, {s("diff"), s("%A"), s("%B")}, 0, "Bazy zgodne.\n", ""},
        DiffCase{"articles",
                 articlesA,
                 articlesB,
                 {s("diff"), s("%A"), s("%B")},
                 1,
                 "Towary (articles):\n"
                 "  12: tylko w A\n"
                 "  13: tylko w B\n"
                 "  14: różne (cena)\n",
                 ""},
        DiffCase{"cashier",
                 {},
                 renamedCashier,
                 {s("diff"), s("%A"), s("%B")},
                 1,
                 "Kasjerzy (cashiers):\n"
                 "  1: różne (nazwa, hasło)\n",
                 ""},
        DiffCase{"vat header and quick keys",
                 {},
                 textsB,
                 {s("diff"), s("%A"), s("%B")},
                 1,
                 "Stawki PTU (vat):\n"
                 "  1: różne (PTU B)\n"
                 "Nagłówek paragonu (header):\n"
                 "  1: różne (linia 1)\n"
                 "Klawisze szybkie (quickkeys):\n"
                 "  kasjer 1, F2: tylko w B\n",
                 ""},
        DiffCase{"table limits the output",
                 articlesA,
                 articlesAndCashierB,
                 {s("diff"), s("%A"), s("%B"), s("cashiers")},
                 1,
                 "Kasjerzy (cashiers):\n"
                 "  1: różne (nazwa, hasło)\n",
                 ""},
        DiffCase{"an equal table among differing ones",
                 articlesA,
                 articlesB,
                 {s("diff"), s("%A"), s("%B"), s("groups")},
                 0,
                 "Bazy zgodne.\n",
                 ""},
        DiffCase{"missing file",
                 {},
                 {},
                 {s("diff"), s("%A"), s("%D/brak.vkf")},
                 2,
                 "",
                 "brak.vkf nie istnieje."},
        DiffCase{"not a database",
                 {},
                 {},
                 {s("diff"), s("%D/notatki.txt"), s("%B")},
                 2,
                 "",
                 "notatki.txt nie jest bazą danych Vorn Duno"},
        DiffCase{"unknown table",
                 {},
                 {},
                 {s("diff"), s("%A"), s("%B"), s("towary")},
                 2,
                 "",
                 "Tabele: articles, groups, packaging, cashiers, discounts, payments, currencies, "
                 "vat, header, footer, quickkeys, halo, reportset"}),
    [](const ::testing::TestParamInfo<DiffCase>& info) {
        std::string name = info.param.title;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST_F(CliDiffTest, JsonNamesEveryTableAndTheRecordsThatDiffer)
{
    edit(a, articlesA);
    edit(b, articlesB);
    const Outcome r = diff({s("--json"), s("diff"), s("%A"), s("%B")});
    ASSERT_EQ(r.exitCode, 1) << r.err.toStdString();
    QJsonParseError error{};
    const QJsonObject doc = QJsonDocument::fromJson(r.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    EXPECT_FALSE(doc.value(s("equal")).toBool(true));

    const QJsonArray tables = doc.value(s("tables")).toArray();
    ASSERT_EQ(tables.size(), 13);
    const QJsonObject articles = tables.at(0).toObject();
    EXPECT_EQ(articles.value(s("table")).toString(), s("articles"));
    EXPECT_FALSE(articles.value(s("equal")).toBool(true));
    const QJsonArray records = articles.value(s("records")).toArray();
    ASSERT_EQ(records.size(), 3);
    const char* states[] = {"onlyA", "onlyB", "different"};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject rec = records.at(i).toObject();
        EXPECT_EQ(rec.value(s("number")).toInt(), 12 + i);
        EXPECT_EQ(rec.value(s("state")).toString(), s(states[i]));
    }
    EXPECT_EQ(records.at(2).toObject().value(s("fields")).toArray(), QJsonArray{s("cena")});

    const QJsonObject cashiers = tables.at(3).toObject();
    EXPECT_EQ(cashiers.value(s("table")).toString(), s("cashiers"));
    EXPECT_TRUE(cashiers.value(s("equal")).toBool());
    EXPECT_TRUE(cashiers.value(s("records")).toArray().isEmpty());
}

} // namespace

// vduno --json: each subcommand prints its result as JSON, run against the built-in emulator
// (and a fresh database file); stdout must hold one JSON document and nothing else. Those
// without a document of their own give the common one: command, ok, exit, output, errors and
// their own fields.
#include "vdunoprocess.h"

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

QJsonObject recordNumbered(const QJsonArray& records, int number)
{
    for (const QJsonValue& v : records)
        if (v.toObject().value(QStringLiteral("number")).toInt() == number)
            return v.toObject();
    return {};
}

struct JsonCase {
    const char* title;
    QStringList args; // after "--emulator --json"; %1 stands for the database file
    int exitCode;
    std::function<void(const QJsonObject&)> check;
};

void PrintTo(const JsonCase& c, std::ostream* os)
{
    *os << c.title;
}

class CliJsonTest : public ::testing::TestWithParam<JsonCase> {};

TEST_P(CliJsonTest, PrintsOneDocumentWithTheRegistersData)
{
    QTemporaryDir dir, temp;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(temp.isValid());
    const QString db = dir.filePath(QStringLiteral("sklep.vkf"));
    ASSERT_EQ(vduno({QStringLiteral("db"), QStringLiteral("new"), db}, temp.path()).exitCode, 0);

    QStringList args{QStringLiteral("--emulator"), QStringLiteral("--json")};
    for (const QString& a : GetParam().args)
        args.append(a == QLatin1String("%1") ? db
                    : a.startsWith(u'%')     ? dir.filePath(a.mid(1))
                                             : a);
    const Outcome r = vduno(args, temp.path());
    ASSERT_EQ(r.exitCode, GetParam().exitCode) << r.err.toStdString();
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n"
                                                     << r.out.toStdString();
    ASSERT_TRUE(doc.isObject());
    GetParam().check(doc.object());
}

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

INSTANTIATE_TEST_SUITE_P(
    Subcommands, CliJsonTest,
    ::testing::Values(
        JsonCase{"probe",
                 {s("probe")},
                 0,
                 [](const QJsonObject& o) {
                     EXPECT_EQ(o.value(s("model")).toString(), s("DUNO BIS"));
                     EXPECT_EQ(o.value(s("type")).toInt(), 2);
                 }},
        JsonCase{"info",
                 {s("info")},
                 0,
                 [](const QJsonObject& o) {
                     EXPECT_EQ(o.value(s("model")).toString(), s("DUNO BIS"));
                     EXPECT_EQ(o.value(s("nip")).toString(), s("1234567890"));
                     EXPECT_EQ(o.value(s("currencySymbol")).toString(), s("PLN"));
                     EXPECT_TRUE(o.value(s("vatRecords")).isDouble());
                     EXPECT_EQ(o.value(s("vatRecords")).toInt(), 7);
                 }},
        JsonCase{"sales",
                 {s("sales")},
                 0,
                 [](const QJsonObject& o) {
                     EXPECT_TRUE(o.value(s("complete")).toBool());
                     const QJsonObject bread = recordNumbered(o.value(s("records")).toArray(), 2);
                     EXPECT_EQ(bread.value(s("name")).toString(), s("Bułka 2"));
                     EXPECT_EQ(bread.value(s("vat")).toString(), s("D"));
                     EXPECT_EQ(bread.value(s("quantity")).toInt(), 2500);
                     EXPECT_EQ(bread.value(s("quantityText")).toString(), s("0,2500"));
                     EXPECT_EQ(bread.value(s("value")).toInt(), 622);
                     EXPECT_EQ(bread.value(s("valueText")).toString(), s("6,22"));
                 }},
        JsonCase{"compare",
                 {s("compare"), s("%1"), s("cashiers")},
                 1, // the new file's cashiers differ from the register's
                 [](const QJsonObject& o) {
                     EXPECT_EQ(o.value(s("table")).toString(), s("cashiers"));
                     EXPECT_FALSE(o.value(s("equal")).toBool(true));
                     const QJsonArray records = o.value(s("records")).toArray();
                     const QJsonObject second = recordNumbered(records, 2);
                     EXPECT_EQ(second.value(s("state")).toString(), s("onlyRegister"));
                     EXPECT_EQ(second.value(s("text")).toString(), s("2: tylko w kasie"));
                     const QJsonObject first = recordNumbered(records, 1);
                     EXPECT_EQ(first.value(s("state")).toString(), s("different"));
                     EXPECT_TRUE(first.value(s("fields")).toArray().contains(s("hasło")));
                 }},
        JsonCase{"db show",
                 {s("db"), s("show"), s("%1"), s("cashiers")},
                 0,
                 [](const QJsonObject& o) {
                     EXPECT_EQ(o.value(s("table")).toString(), s("cashiers"));
                     const QJsonObject first = recordNumbered(o.value(s("records")).toArray(), 1);
                     EXPECT_EQ(first.value(s("name")).toString(), s("Kierownik"));
                     EXPECT_TRUE(first.value(s("password")).isString());
                     EXPECT_TRUE(
                         first.value(s("rights")).toObject().value(s("cashInOut")).toBool());
                 }},
        JsonCase{"backup",
                 {s("backup"), s("%kopia.vkf")},
                 0,
                 [](const QJsonObject& o) {
                     EXPECT_EQ(o.value(s("command")).toString(), s("backup"));
                     EXPECT_TRUE(o.value(s("ok")).toBool());
                     EXPECT_TRUE(o.value(s("complete")).toBool());
                     const QJsonArray tables = o.value(s("tables")).toArray();
                     ASSERT_FALSE(tables.isEmpty());
                     bool articles = false;
                     for (const QJsonValue& t : tables)
                         if (t.toObject().value(s("table")).toString() == s("Towary")) {
                             articles = true;
                             EXPECT_EQ(t.toObject().value(s("records")).toInt(), 300);
                             EXPECT_EQ(t.toObject().value(s("state")).toString(), s("wykonano"));
                         }
                     EXPECT_TRUE(articles);
                 }},
        JsonCase{"settings_get",
                 {s("settings"), s("get")},
                 0,
                 [](const QJsonObject& o) {
                     EXPECT_TRUE(o.value(s("settings")).toObject().contains(s("numer_kasy")));
                     EXPECT_TRUE(o.value(s("errors")).toArray().isEmpty());
                 }},
        JsonCase{"units_get",
                 {s("units"), s("get")},
                 0,
                 [](const QJsonObject& o) { EXPECT_EQ(o.value(s("units")).toArray().size(), 3); }},
        JsonCase{"clock_set",
                 {s("clock"), s("set"), s("2026-12-10"), s("08:00:00")},
                 0,
                 [](const QJsonObject& o) {
                     EXPECT_EQ(o.value(s("clock")).toString(), s("2026-12-10T08:00:00"));
                 }},
        JsonCase{"read",
                 {s("read"), s("%1"), s("articles")},
                 0,
                 [](const QJsonObject& o) {
                     EXPECT_EQ(o.value(s("table")).toString(), s("articles"));
                     EXPECT_TRUE(o.value(s("ok")).toBool());
                 }},
        JsonCase{"delete_register",
                 {s("delete-register"), s("articles"), s("3")},
                 0,
                 [](const QJsonObject& o) {
                     EXPECT_EQ(o.value(s("asked")).toInt(), 1);
                     EXPECT_EQ(o.value(s("deleted")).toInt(), 1);
                 }},
        JsonCase{"export",
                 {s("export"), s("%1"), s("cashiers"), s("%kasjerzy.csv")},
                 0,
                 [](const QJsonObject& o) {
                     EXPECT_TRUE(o.value(s("file")).toString().endsWith(s("kasjerzy.csv")));
                 }},
        JsonCase{"sales_clear",
                 {s("sales"), s("clear"), s("--yes")},
                 0,
                 [](const QJsonObject& o) {
                     EXPECT_EQ(o.value(s("command")).toString(), s("sales"));
                     EXPECT_EQ(o.value(s("exit")).toInt(), 0);
                     EXPECT_TRUE(o.value(s("output")).isArray());
                 }},
        JsonCase{"failed_run",
                 {s("send"), s("%brak.vkf"), s("vat")},
                 1,
                 [](const QJsonObject& o) {
                     EXPECT_FALSE(o.value(s("ok")).toBool(true));
                     EXPECT_EQ(o.value(s("exit")).toInt(), 1);
                     const QJsonArray errors = o.value(s("errors")).toArray();
                     ASSERT_FALSE(errors.isEmpty());
                     EXPECT_EQ(errors.first().toObject().value(s("code")).toInt(), 1);
                     EXPECT_FALSE(
                         errors.first().toObject().value(s("message")).toString().isEmpty());
                 }}),
    [](const ::testing::TestParamInfo<JsonCase>& info) {
        std::string name = info.param.title;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST(CliJson, PlainOutputStaysAsItWas)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const Outcome r = vduno({QStringLiteral("--emulator"), QStringLiteral("probe")}, temp.path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QByteArray("DUNO BIS\n"));
}

// The options stand on either side of the command: the same document either way.
TEST(CliJson, RestoreGivesTheSameDocumentWhereverTheOptionsStand)
{
    QTemporaryDir dir, temp;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(temp.isValid());
    const QString db = dir.filePath(QStringLiteral("w.vkf"));
    ASSERT_EQ(vduno({s("--emulator"), s("backup"), db}, temp.path()).exitCode, 0);
    const Outcome after = vduno(
        {s("--emulator"), s("restore"), db, s("--fast"), s("--yes"), s("--json")}, temp.path());
    const Outcome before =
        vduno({s("--json"), s("-y"), s("--fast"), s("--emulator"), s("restore"), db}, temp.path());
    ASSERT_EQ(after.exitCode, 0) << after.err.toStdString();
    ASSERT_EQ(before.exitCode, 0) << before.err.toStdString();
    const QJsonObject a = QJsonDocument::fromJson(after.out).object();
    EXPECT_EQ(a, QJsonDocument::fromJson(before.out).object());
    EXPECT_EQ(a.value(s("command")).toString(), s("restore"));
    EXPECT_TRUE(a.value(s("finished")).toBool());
    EXPECT_TRUE(a.value(s("resume")).isNull());
    EXPECT_FALSE(a.value(s("tables")).toArray().isEmpty());
}

} // namespace

// vduno --json: each subcommand that can print its result as JSON, run against the built-in
// emulator (and a fresh database file); stdout must hold one JSON document and nothing else.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>
#include <ostream>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Outcome vduno(const QStringList& args, const QString& temp)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TEMP"), temp);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VDUNO_BINARY), args);
    Outcome r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
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
        args.append(a == QLatin1String("%1") ? db : a);
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

TEST(CliJson, RefusedForASubcommandWithoutJsonAndPrintsNothing)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const Outcome r =
        vduno({QStringLiteral("--emulator"), QStringLiteral("--json"), QStringLiteral("sales"),
               QStringLiteral("clear"), QStringLiteral("--yes")},
              temp.path());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(QStringLiteral("--json"))) << r.err.toStdString();
}

} // namespace

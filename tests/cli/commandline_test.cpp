// The command line as a person types it, run through the built vduno: options on either side
// of the command, "--opt=value", "--", short names, help per command, usage errors that say
// what was not understood (exit 2, nothing on stdout), and the shells' completions made from
// the same definitions as the help.
#include "vdunoprocess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

Outcome vduno(const QStringList& args, const QString& dir = {})
{
    return runVduno(args, {}, dir);
}

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

struct UsageCase {
    const char* title;
    QStringList args;
    const char* message; // on stderr, exactly as a line
    const char* pointer; // the line that says where the help is
};

class CliUsageError : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliUsageError, ExitsTwoSaysWhatAndWhereTheHelpIs)
{
    const Outcome r = vduno(GetParam().args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    const QStringList lines = r.err.split(u'\n');
    EXPECT_TRUE(lines.contains(s(GetParam().message))) << r.err.toStdString();
    EXPECT_TRUE(lines.contains(s(GetParam().pointer))) << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, CliUsageError,
    ::testing::Values(UsageCase{"mistyped_command",
                                {s("restor"), s("w.vkf")},
                                "Nieznane polecenie „restor”. Czy chodziło o „restore”?",
                                "Więcej: vduno --help"},
                      UsageCase{"unknown_command",
                                {s("--yes"), s("frobnicate")},
                                "Nieznane polecenie „frobnicate”.",
                                "Więcej: vduno --help"},
                      UsageCase{"unknown_option",
                                {s("restore"), s("w.vkf"), s("--bogus")},
                                "Nieznana opcja „--bogus”.",
                                "Więcej: vduno restore --help"},
                      UsageCase{"another_commands_option",
                                {s("backup"), s("w.vkf"), s("--changed")},
                                "Nieznana opcja „--changed”.",
                                "Więcej: vduno backup --help"},
                      UsageCase{"value_missing",
                                {s("restore"), s("w.vkf"), s("--resume")},
                                "Brak wartości po „--resume”.",
                                "Więcej: vduno restore --help"},
                      UsageCase{"value_on_a_switch",
                                {s("info"), s("--yes=1")},
                                "Opcja „--yes” nie przyjmuje wartości.",
                                "Więcej: vduno info --help"},
                      UsageCase{"wrong_address",
                                {s("--address=12"), s("probe")},
                                "Błędna wartość opcji --address: 12",
                                "Więcej: vduno probe --help"},
                      UsageCase{"unknown_encoding",
                                {s("import"), s("a.vkf"), s("b.csv"), s("--encoding=latin2")},
                                "Nieznane kodowanie „latin2”: utf-8 albo cp1250.",
                                "Więcej: vduno import --help"},
                      UsageCase{"too_many_arguments",
                                {s("probe"), s("extra")},
                                "Użycie: vduno probe [opcje]",
                                "Więcej: vduno probe --help"},
                      UsageCase{
                          "nothing_at_all",
                          {},
                          "Użycie: vduno [opcje] POLECENIE [argumenty] [opcje]",
                          "Pomoc polecenia: vduno POLECENIE --help albo vduno help POLECENIE."}),
    [](const ::testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.title); });

TEST(CliHelp, EveryWayOfAskingGivesTheCommandsOwnHelp)
{
    const Outcome asked = vduno({s("restore"), s("--help")});
    ASSERT_EQ(asked.exitCode, 0) << asked.err.toStdString();
    const QString help = QString::fromUtf8(asked.out);
    EXPECT_TRUE(help.startsWith(s("Użycie: vduno restore PLIK.vkf [opcje]\n")))
        << help.toStdString();
    for (const char* option : {"--changed", "--resume KROK:REKORD", "--delete-extra", "--verify"})
        EXPECT_TRUE(help.contains(s(option))) << option;
    EXPECT_TRUE(help.contains(s("Przykłady:")));
    for (const QStringList& other :
         {QStringList{s("help"), s("restore")}, QStringList{s("-h"), s("restore")},
          QStringList{s("restore"), s("w.vkf"), s("-h")}}) {
        const Outcome r = vduno(other);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, asked.out) << other.join(u' ').toStdString();
    }
}

TEST(CliHelp, CommandsStandInAlignedColumnsUnderTheirGroups)
{
    const Outcome r = vduno({s("--help")});
    ASSERT_EQ(r.exitCode, 0);
    const QStringList lines = QString::fromUtf8(r.out).split(u'\n');
    for (const char* group :
         {"Kasa:", "Baza i programowanie kasy:", "Raporty i sprzedaż:", "Pliki:", "Kod wyjścia:"})
        EXPECT_TRUE(lines.contains(s(group))) << group;
    static const QRegularExpression command(s("^  ([a-z-]+)( +)\\S"));
    qsizetype column = -1;
    int commands = 0;
    for (const QString& line : lines) {
        const auto m = command.match(line);
        if (!m.hasMatch())
            continue;
        ++commands;
        const qsizetype start = m.capturedEnd(2);
        if (column < 0)
            column = start;
        EXPECT_EQ(start, column) << line.toStdString();
    }
    EXPECT_GE(commands, 24);
    EXPECT_TRUE(r.out.contains("  delete-register  "));
}

TEST(CliHelp, VersionIsTheProjects)
{
    const Outcome r = vduno({s("--version")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QByteArray("vduno " VDUNO_VERSION "\n"));
}

// The same database made with the options written every way a person writes them.
TEST(CliOptions, StandAnywhereInEitherForm)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QList<QStringList> ways{
        {s("db"), s("new"), s("a.vkf"), s("--currency"), s("EUR"), s("--name"), s("Rynek")},
        {s("db"), s("new"), s("--currency=EUR"), s("b.vkf"), s("--name=Rynek")},
        {s("--yes"), s("db"), s("--name"), s("Rynek"), s("new"), s("c.vkf"), s("--currency=EUR")},
        {s("db"), s("new"), s("--currency=EUR"), s("--name=Rynek"), s("--"), s("-d.vkf")},
    };
    for (const QStringList& way : ways) {
        const Outcome r = vduno(way, dir.path());
        EXPECT_EQ(r.exitCode, 0) << way.join(u' ').toStdString() << "\n" << r.err.toStdString();
    }
    QByteArray first;
    for (const char* name : {"a.vkf", "b.vkf", "c.vkf", "-d.vkf"}) {
        QFile f(dir.filePath(s(name)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = f.readAll();
        if (first.isEmpty())
            first = bytes;
        EXPECT_EQ(bytes, first) << name;
    }
}

TEST(CliOptions, ShortYesAnswersTheQuestion)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(vduno({s("db"), s("new"), s("a.vkf")}, dir.path()).exitCode, 0);
    // The file exists: without a Yes it is left alone.
    const Outcome no = vduno({s("db"), s("new"), s("a.vkf")}, dir.path());
    EXPECT_EQ(no.exitCode, 1);
    EXPECT_TRUE(no.err.contains(s("Nie zapisano pliku a.vkf"))) << no.err.toStdString();
    EXPECT_EQ(vduno({s("db"), s("new"), s("a.vkf"), s("-y")}, dir.path()).exitCode, 0);
}

// Exit status 3 is for a register that was not reached; a command that never asked the
// register anything (the report set is kept in the database only) fails with 1.
TEST(CliExitStatus, NothingAskedIsNoMissingRegister)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(vduno({s("db"), s("new"), s("a.vkf")}, dir.path()).exitCode, 0);
    const Outcome r = vduno({s("--emulator"), s("send"), s("a.vkf"), s("reportset")}, dir.path());
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(s("Zestaw raportów jest zapisywany tylko w bazie")));
}

QString script(const char* name)
{
    QFile f(QDir(s(VDUNO_COMPLETIONS)).filePath(s(name)));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Every command and every option the help names is in each shell's completion.
TEST(CliCompletion, KnowsEveryCommandAndOptionOfTheHelp)
{
    const QString bash = script("vduno"), zsh = script("_vduno"), fish = script("vduno.fish");
    ASSERT_FALSE(bash.isEmpty());
    ASSERT_FALSE(zsh.isEmpty());
    ASSERT_FALSE(fish.isEmpty());
    const QString general = QString::fromUtf8(vduno({s("--help")}).out);
    static const QRegularExpression commandLine(s("^  ([a-z-]+)  +\\S"),
                                                QRegularExpression::MultilineOption);
    // The options as the help lists them, one a line.
    static const QRegularExpression option(s("^ +(?:-[a-z], )?--([a-z][a-z-]*)"),
                                           QRegularExpression::MultilineOption);
    QStringList commands;
    for (auto it = commandLine.globalMatch(general); it.hasNext();)
        commands << it.next().captured(1);
    ASSERT_GE(commands.size(), 24);
    auto optionsIn = [](const QString& help) {
        QStringList names;
        for (auto it = option.globalMatch(help); it.hasNext();)
            names << it.next().captured(1);
        names.removeDuplicates();
        return names;
    };
    for (const QString& c : commands) {
        EXPECT_TRUE(bash.contains(QRegularExpression(s("[\" ]") + c + s("[\" ]"))))
            << "bash " << c.toStdString();
        EXPECT_TRUE(zsh.contains(u'\'' + c + u':')) << "zsh " << c.toStdString();
        EXPECT_TRUE(fish.contains(s("-a ") + c + u' ')) << "fish " << c.toStdString();
        const QString own = QString::fromUtf8(vduno({c, s("--help")}).out);
        for (const QString& o : optionsIn(own)) {
            EXPECT_TRUE(bash.contains(s("--") + o)) << c.toStdString() << " --" << o.toStdString();
            EXPECT_TRUE(zsh.contains(s("--") + o + u'['))
                << c.toStdString() << " --" << o.toStdString();
            EXPECT_TRUE(fish.contains(s("-l ") + o)) << c.toStdString() << " --" << o.toStdString();
        }
    }
    for (const QString& o : optionsIn(general))
        EXPECT_TRUE(fish.contains(s("-l ") + o)) << "--" << o.toStdString();
}

// What bash offers after the words typed, through the generated completion itself.
QString bashOffers(const QStringList& words)
{
    QProcess p;
    const QString line = s("source '%1'; COMP_WORDS=(%2); COMP_CWORD=%3; _vduno; "
                           "echo \"${COMPREPLY[*]}\"")
                             .arg(QDir(s(VDUNO_COMPLETIONS)).filePath(s("vduno")), words.join(u' '),
                                  QString::number(words.size() - 1));
    p.start(s("bash"), {s("-c"), line});
    if (!p.waitForFinished(10000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

TEST(CliCompletion, BashCompletesCommandsOptionsAndWords)
{
    struct Case {
        QStringList words;
        const char* offered;
    };
    const Case cases[] = {
        {{s("vduno"), s("res")}, "restore"},
        {{s("vduno"), s("--yes"), s("del")}, "delete-register"},
        {{s("vduno"), s("restore"), s("w.vkf"), s("--ch")}, "--changed"},
        {{s("vduno"), s("--device"), s("/dev/ttyUSB0"), s("units"), s("g")}, "get"},
        {{s("vduno"), s("--emulator-model"), s("duno-")}, "duno-bis"},
        {{s("vduno"), s("--js")}, "--json"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bashOffers(c.words), s(c.offered)) << c.words.join(u' ').toStdString();
}

} // namespace

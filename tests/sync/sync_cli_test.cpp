#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The built vduno against its own in-process emulator.
namespace {

struct CliRun {
    int exit = -1;
    QString out, err;
};

CliRun vduno(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VDUNO_EXE), args);
    CliRun r;
    if (!p.waitForFinished(120000))
        return r;
    r.exit = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

TEST(CompareCommand, WrongUsageAndUnknownTable)
{
    EXPECT_EQ(vduno({QStringLiteral("compare")}).exit, 2);
    const CliRun r =
        vduno({QStringLiteral("compare"), QStringLiteral("x.vkf"), QStringLiteral("nic")});
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Nieznana tabela: nic")));
}

TEST(CompareCommand, NewDatabaseAgainstTheEmulatorsGroups)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("b.vkf"));
    ASSERT_EQ(vduno({QStringLiteral("db"), QStringLiteral("new"), file}).exit, 0);
    const CliRun r = vduno(
        {QStringLiteral("--emulator"), QStringLiteral("compare"), file, QStringLiteral("groups")});
    // The new file's "Grupa podstawowa" is not the register's group 1.
    EXPECT_EQ(r.exit, 1) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("1: różne (nazwa)"))) << r.out.toStdString();
}

TEST(DeleteRegisterCommand, UsageAndRefusals)
{
    EXPECT_EQ(vduno({QStringLiteral("delete-register")}).exit, 2);
    EXPECT_EQ(
        vduno({QStringLiteral("delete-register"), QStringLiteral("groups"), QStringLiteral("0")})
            .exit,
        2);
    EXPECT_EQ(
        vduno({QStringLiteral("delete-register"), QStringLiteral("groups"), QStringLiteral("21")})
            .exit,
        2);
    // Group 1 of the register is the base group: refused by the register.
    const CliRun base = vduno({QStringLiteral("--emulator"), QStringLiteral("delete-register"),
                               QStringLiteral("groups"), QStringLiteral("1")});
    EXPECT_EQ(base.exit, 1);
    EXPECT_TRUE(base.out.contains(QStringLiteral("Usunięto 0 z 1"))) << base.out.toStdString();
    // A record the register does not hold.
    const CliRun missing = vduno({QStringLiteral("--emulator"), QStringLiteral("delete-register"),
                                  QStringLiteral("discounts"), QStringLiteral("19")});
    EXPECT_EQ(missing.exit, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Brak rekordu 19 w kasie.")))
        << missing.err.toStdString();
}

#include "app/instancelock.h"

#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

TEST(InstanceLock, SecondCopyRefusedUntilFirstEnds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        InstanceLock first(dir.path());
        ASSERT_TRUE(first.acquire());
        InstanceLock second(dir.path());
        EXPECT_FALSE(second.acquire());
    }
    InstanceLock third(dir.path());
    EXPECT_TRUE(third.acquire());
}

TEST(InstanceLock, LockOfCrashedCopyIsTakenOver)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    InstanceLock probe(dir.path());
    // A lock file left by a process that no longer runs (pid far beyond any real one).
    QFile f(probe.path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("2147480000\nvorn-duno\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    f.close();
    EXPECT_TRUE(probe.acquire());
}

TEST(InstanceLock, Message)
{
    EXPECT_EQ(InstanceLock::SecondCopyMessage,
              QStringLiteral("Błąd! Próbujesz uruchomić program, który już działa. "));
}

#ifdef Q_OS_UNIX
// Without XDG_RUNTIME_DIR the program names a private directory of the user's own before Qt
// starts (Qt would warn and take the same one); one already set, or a directory of that name
// that is not private, is left alone.
TEST(InstanceLock, RuntimeDirectoryWhenTheVariableIsNotSet)
{
    struct Restore {
        QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
        bool hadXdg = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
        QByteArray tmp = qgetenv("TMPDIR");
        bool hadTmp = qEnvironmentVariableIsSet("TMPDIR");
        ~Restore()
        {
            hadXdg ? qputenv("XDG_RUNTIME_DIR", xdg) : qunsetenv("XDG_RUNTIME_DIR");
            hadTmp ? qputenv("TMPDIR", tmp) : qunsetenv("TMPDIR");
        }
    } restore;
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));

    qputenv("XDG_RUNTIME_DIR", "/somewhere/else");
    EXPECT_EQ(InstanceLock::prepareRuntimeDirectory(), QString());
    EXPECT_EQ(qgetenv("XDG_RUNTIME_DIR"), QByteArray("/somewhere/else"));

    qunsetenv("XDG_RUNTIME_DIR");
    const QString dir = InstanceLock::prepareRuntimeDirectory();
    ASSERT_FALSE(dir.isEmpty());
    EXPECT_TRUE(dir.startsWith(tmp.path() + QStringLiteral("/runtime-")));
    EXPECT_EQ(qgetenv("XDG_RUNTIME_DIR"), QFile::encodeName(dir));
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(dir).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // The lock then lives there.
    EXPECT_TRUE(InstanceLock().path().startsWith(dir + u'/'));

    // Again, with the directory there: the same.
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(InstanceLock::prepareRuntimeDirectory(), dir);

    // Open to others: not taken (Qt will say what is wrong with it).
    ASSERT_TRUE(
        QFile::setPermissions(dir, QFile::permissions(dir) | QFile::ReadOther | QFile::ExeOther));
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(InstanceLock::prepareRuntimeDirectory(), QString());
    EXPECT_FALSE(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"));
}
#endif

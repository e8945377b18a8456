#include "app/instancelock.h"

#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

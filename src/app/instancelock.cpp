#include "instancelock.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

InstanceLock::InstanceLock(const QString& directory)
{
    QString dir = directory;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    m_path = QDir(dir).filePath(QStringLiteral("vorn-duno-serw.lock"));
    m_lock = std::make_unique<QLockFile>(m_path);
    m_lock->setStaleLockTime(0); // stale only when its owner is gone, never by age
}

bool InstanceLock::acquire()
{
    if (m_lock->isLocked())
        return true;
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() == QLockFile::LockFailedError) {
        // A lock of a copy that died is removed and taken once more.
        if (m_lock->removeStaleLockFile())
            return m_lock->tryLock(0);
    }
    return false;
}

QString InstanceLock::prepareRuntimeDirectory()
{
#ifdef Q_OS_UNIX
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return QString();
    // The name Qt itself would take: the user's login name, or the user number without one.
    const uid_t uid = geteuid();
    const passwd* user = getpwuid(uid);
    const QString name = user && user->pw_name && *user->pw_name
                             ? QString::fromLocal8Bit(user->pw_name)
                             : QString::number(uid);
    const QString dir = QDir::tempPath() + QStringLiteral("/runtime-") + name;
    const QByteArray path = QFile::encodeName(dir);
    if (mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return QString();
    struct stat st {};
    if (lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid ||
        (st.st_mode & 0777) != 0700)
        return QString();
    qputenv("XDG_RUNTIME_DIR", path);
    return dir;
#else
    return QString();
#endif
}

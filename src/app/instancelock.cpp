#include "instancelock.h"

#include <QDir>
#include <QStandardPaths>

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

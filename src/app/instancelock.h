#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// One running copy per user: a lock file in the user's runtime directory. The lock is
// released when the program ends, and a lock left by a crashed copy is taken over (its
// owner no longer runs).
class InstanceLock {
public:
    // `directory` empty: the per-user runtime directory.
    explicit InstanceLock(const QString& directory = QString());
    // True when this copy holds the lock; false when another copy is running.
    bool acquire();
    QString path() const { return m_path; }

    static inline const QString SecondCopyMessage =
        QStringLiteral("Błąd! Próbujesz uruchomić program, który już działa. ");

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

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

    // Qt warns on stderr when XDG_RUNTIME_DIR is not set (as in a root console) and then uses
    // <temporary directory>/runtime-<user>. To be called before the application object: when
    // the variable is not set, creates that same directory private to the user (0700) and
    // names it in XDG_RUNTIME_DIR, so that Qt and the lock use it without a warning. A
    // directory of that name that is not the user's own private directory is left alone, and
    // Qt says what is wrong with it. Returns the directory set, or an empty text.
    static QString prepareRuntimeDirectory();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

#pragma once

// What the property-checking fuzz targets share: a broken property aborts with its name (the
// fuzzer keeps the input, the replay in the test suite fails), and Qt's application object
// exists once per process for what needs it.
#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace fuzzcheck {

inline void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz property broken: %s\n", what);
        std::abort();
    }
}

inline void application()
{
    static int argc = 1;
    static char name[] = "vduno_fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// A private directory for the files of one process's inputs.
inline const QTemporaryDir& scratch()
{
    application();
    static QTemporaryDir dir;
    check(dir.isValid(), "no temporary directory");
    return dir;
}

// True when the text holds a control character (a message must not).
inline bool hasControl(const QString& text)
{
    for (QChar c : text)
        if (c.category() == QChar::Other_Control)
            return true;
    return false;
}

} // namespace fuzzcheck

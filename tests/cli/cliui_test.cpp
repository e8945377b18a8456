#include "cli/cliui.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Everything written to stderr while `body` runs (stderr goes to a file meanwhile, which
// is what a log or a pipe looks like to the program).
template <typename Body> QString capturedStderr(Body body)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("err.txt"));
    std::fflush(stderr);
    const int saved = dup(fileno(stderr));
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "w");
    dup2(fileno(file), fileno(stderr));
    body();
    std::fflush(stderr);
    dup2(saved, fileno(stderr));
    close(saved);
    std::fclose(file);
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

} // namespace

// A log or a pipe gets the messages and the results, never the progress.
TEST(CliUi, NoProgressWhenStderrIsNoTerminal)
{
    const QString err = capturedStderr([] {
        CliUi ui(false);
        CliUi chained(false, QStringLiteral("[rynek-1] "));
        for (int done = 1; done <= 2000; ++done) {
            ui.progress(done, 2000);
            chained.progress(done, 2000);
            ui.progress(done, 0);
        }
    });
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
}

#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The built vduno run as a person runs it: its exit status, standard output as bytes and
// standard error as text. `temp` (when given) is its TEMP, `dir` its working directory.
struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

inline Outcome runVduno(const QStringList& args, const QString& temp = {}, const QString& dir = {})
{
    QProcess p;
    if (!temp.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TEMP"), temp);
        p.setProcessEnvironment(env);
    }
    if (!dir.isEmpty())
        p.setWorkingDirectory(dir);
    p.start(QStringLiteral(VDUNO_BINARY), args);
    Outcome r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

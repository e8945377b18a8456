#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// Debian's ser2net in the foreground, without the UUCP lock files of a system service, with a
// configuration of the caller's: accepters on loopback ports in front of pseudo-terminals.
class Ser2net {
public:
    // The program, or empty when it is not installed (apt-get install ser2net).
    static QString program()
    {
        const QString inPath = QStandardPaths::findExecutable(QStringLiteral("ser2net"));
        if (!inPath.isEmpty())
            return inPath;
        // A program of the system's, outside an ordinary user's PATH.
        return QStandardPaths::findExecutable(
            QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    }

    // Starts it with the configuration `yaml` and waits until it listens on every one of
    // `ports` (a trial connection would make ser2net open the device, and its closing could
    // swallow the register's first answers).
    bool start(const QByteArray& yaml, const QList<quint16>& ports)
    {
        const QString config = m_dir.filePath(QStringLiteral("ser2net.yaml"));
        QFile f(config);
        if (!f.open(QIODevice::WriteOnly) || f.write(yaml) != yaml.size())
            return false;
        f.close();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program(), {QStringLiteral("-n"), QStringLiteral("-d"),
                                    QStringLiteral("-u"), QStringLiteral("-c"), config});
        if (!m_process.waitForStarted(5000))
            return false;
        QElapsedTimer waited;
        waited.start();
        auto all = [&] {
            for (const quint16 port : ports)
                if (!listening(port))
                    return false;
            return true;
        };
        while (!all() && waited.elapsed() < 10000 && m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(50);
        return all();
    }
    ~Ser2net()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    // What it said so far.
    QByteArray output() { return m_process.readAll(); }

private:
    static bool listening(quint16 port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool taken = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0;
        ::close(fd);
        return taken;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
};

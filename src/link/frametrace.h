#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>

class QFile;

// A diagnostic log of the line: one line per frame sent ('>') or bytes received ('<'),
//   2026-12-08 20:51:02.123 > 54 01 80 ...
// and the run's own notes ('#') as text,
//   2026-12-08 20:51:04.560 # ponowny odczyt (przejście 2)
// written and flushed at once, so that the file is complete even if the program dies.
class FrameTrace {
public:
    // Opens `path` for appending; false (with `error` set) when it cannot be written.
    bool open(const QString& path, QString* error = nullptr);
    void close();
    bool isOpen() const;
    QString path() const { return m_path; }

    // The function to put into Link::trace; it keeps the file open while it lives. A write
    // that fails (a full disk, a removed stick) ends the trace: `failed` is told once, with the
    // message for the user, from the thread of the run, and nothing more is written.
    std::function<void(char, QByteArrayView)>
    hook(std::function<void(const QString&)> failed = {}) const;
    static QString failedMessage(const QString& path);

    // One trace line (without the line feed) for the given time in milliseconds since the
    // epoch; exposed for the tests.
    static QByteArray line(qint64 msecsSinceEpoch, char direction, QByteArrayView bytes);

private:
    std::shared_ptr<QFile> m_file;
    QString m_path;
};

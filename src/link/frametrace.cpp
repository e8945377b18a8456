#include "frametrace.h"

#include <QDateTime>
#include <QFile>

bool FrameTrace::open(const QString& path, QString* error)
{
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("Nie mogę otworzyć pliku ") + path;
        return false;
    }
    m_file = std::move(file);
    m_path = path;
    return true;
}

void FrameTrace::close()
{
    m_file.reset();
    m_path.clear();
}

bool FrameTrace::isOpen() const
{
    return m_file != nullptr;
}

QString FrameTrace::failedMessage(const QString& path)
{
    return QStringLiteral("Nie mogę pisać do pliku zapisu ramek ") + path +
           QStringLiteral("; zapis ramek przerwany.");
}

std::function<void(char, QByteArrayView)>
FrameTrace::hook(std::function<void(const QString&)> failed) const
{
    std::shared_ptr<QFile> file = m_file;
    if (!file)
        return {};
    auto broken = std::make_shared<bool>(false);
    return [file, broken, failed = std::move(failed), path = m_path](char direction,
                                                                     QByteArrayView bytes) {
        if (bytes.isEmpty() || *broken)
            return;
        const QByteArray text = line(QDateTime::currentMSecsSinceEpoch(), direction, bytes) + '\n';
        if (file->write(text) != text.size() || !file->flush()) {
            *broken = true;
            if (failed)
                failed(failedMessage(path));
        }
    };
}

QByteArray FrameTrace::line(qint64 msecsSinceEpoch, char direction, QByteArrayView bytes)
{
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch);
    // A note is already text; only line bytes are written out in hex.
    const QByteArray payload =
        direction == '#' ? bytes.toByteArray() : bytes.toByteArray().toHex(' ');
    return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1() + ' ' +
           QByteArray(1, direction) + ' ' + payload;
}

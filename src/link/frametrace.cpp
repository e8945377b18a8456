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

std::function<void(char, QByteArrayView)> FrameTrace::hook() const
{
    std::shared_ptr<QFile> file = m_file;
    if (!file)
        return {};
    return [file](char direction, QByteArrayView bytes) {
        if (bytes.isEmpty())
            return;
        file->write(line(QDateTime::currentMSecsSinceEpoch(), direction, bytes) + '\n');
        file->flush();
    };
}

QByteArray FrameTrace::line(qint64 msecsSinceEpoch, char direction, QByteArrayView bytes)
{
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch);
    return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1() + ' ' +
           QByteArray(1, direction) + ' ' + bytes.toByteArray().toHex(' ');
}

#include "portsettings.h"

#include "link/portmap.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace settingsfile {

QByteArray encode(const PortSettings& s)
{
    QByteArray out(Size, '\0');
    out[1] = char(s.port);
    for (int i = 0; i < 4; ++i)
        out[2 + i] = char((s.baud >> (8 * i)) & 0xFF);
    out[6] = char(s.dataBits);
    out[7] = char(s.parity);
    out[8] = char(s.stopBits);
    out[9] = char(s.xonXoff);
    out[10] = char(s.rtsCts);
    for (int i = 0; i < 3; ++i)
        out[11 + i] = char(s.spare[size_t(i)]);
    return out;
}

PortSettings decode(const QByteArray& bytes)
{
    const PortSettings defaults;
    PortSettings s;
    const auto has = [&](int offset) { return offset < bytes.size(); };
    const auto at = [&](int offset) { return quint8(bytes[offset]); };

    if (has(1)) {
        const quint8 port = at(1);
        s.port = (port >= 1 && port <= 99) ? port : PortSettings::NoPort;
    }
    if (has(5)) {
        quint32 baud = 0;
        for (int i = 0; i < 4; ++i)
            baud |= quint32(at(2 + i)) << (8 * i);
        s.baud = baud != 0 ? baud : defaults.baud;
    }
    if (has(6))
        s.dataBits = (at(6) >= 5 && at(6) <= 8) ? at(6) : defaults.dataBits;
    if (has(7))
        s.parity = at(7) <= 4 ? at(7) : defaults.parity;
    if (has(8))
        s.stopBits = at(8) <= 2 ? at(8) : defaults.stopBits;
    if (has(9))
        s.xonXoff = at(9) != 0 ? 1 : 0;
    if (has(10))
        s.rtsCts = at(10) != 0 ? 1 : 0;
    for (int i = 0; i < 3; ++i)
        if (has(11 + i))
            s.spare[size_t(i)] = at(11 + i);
    return s;
}

namespace {

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString readNetworkAddress(const QString& directory)
{
    QFile file(QDir(directory).filePath(NetworkFileName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString address = QString::fromUtf8(file.readLine(1024)).trimmed();
    return portmap::isNetworkAddress(address) ? address : QString();
}

} // namespace

PortSettings read(const QString& directory)
{
    PortSettings settings;
    QFile file(QDir(directory).filePath(FileName));
    if (file.open(QIODevice::ReadOnly))
        settings = decode(file.read(Size));
    settings.networkAddress = readNetworkAddress(directory);
    return settings;
}

bool write(const QString& directory, const PortSettings& settings)
{
    const QDir dir(directory);
    if (!writeWhole(dir.filePath(FileName), encode(settings)))
        return false;
    const QString side = dir.filePath(NetworkFileName);
    if (settings.networkAddress.isEmpty())
        return !QFile::exists(side) || QFile::remove(side);
    return writeWhole(side, settings.networkAddress.toUtf8() + '\n');
}

} // namespace settingsfile

#include "portsettings.h"

#include "link/portmap.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

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
    return decodeNetworkFile(file.readLine(1024));
}

} // namespace

QString decodeNetworkFile(const QByteArray& bytes)
{
    const qsizetype end = bytes.indexOf('\n');
    const QByteArray line = bytes.left(qMin(end < 0 ? bytes.size() : end, qsizetype(1023)));
    // The program writes the address in UTF-8; other bytes are no address of its own.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString address = QString(utf8(line)).trimmed();
    return !utf8.hasError() && portmap::isNetworkAddress(address) ? address : QString();
}

QByteArray encodeNetworkFile(const QString& address)
{
    return address.toUtf8() + '\n';
}

TlsTrust decodeNetworkTrust(const QByteArray& bytes)
{
    TlsTrust trust;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines.at(i)).trimmed();
        if (line.startsWith(QLatin1String("ca=")))
            trust.caFile = line.mid(3);
        else if (line.startsWith(QLatin1String("pin=")))
            trust.pin = parseTlsPin(line.mid(4)).value_or(QByteArray());
    }
    return trust;
}

QByteArray encodeNetworkTrust(const TlsTrust& trust)
{
    QByteArray lines;
    if (!trust.caFile.isEmpty())
        lines += "ca=" + trust.caFile.toUtf8() + '\n';
    if (!trust.pin.isEmpty())
        lines += "pin=" + tlsPinText(trust.pin).toLatin1() + '\n';
    return lines;
}

PortSettings read(const QString& directory)
{
    PortSettings settings;
    QFile file(QDir(directory).filePath(FileName));
    if (file.open(QIODevice::ReadOnly))
        settings = decode(file.read(Size));
    settings.networkAddress = readNetworkAddress(directory);
    if (!settings.networkAddress.isEmpty()) {
        QFile side(QDir(directory).filePath(NetworkFileName));
        if (side.open(QIODevice::ReadOnly))
            settings.tls = decodeNetworkTrust(side.read(16 * 1024));
    }
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
    return writeWhole(side, encodeNetworkFile(settings.networkAddress) +
                                encodeNetworkTrust(settings.tls));
}

} // namespace settingsfile

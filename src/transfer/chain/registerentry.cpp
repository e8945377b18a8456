#include "registerentry.h"

#include <QDir>
#include <QFileInfo>

namespace chain {

namespace {

QString quote(const QString& text)
{
    return QStringLiteral("„") + text + QStringLiteral("”");
}

// The list's own reasons begin in lower case, to follow a line number; here they stand alone.
QString sentence(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text + u'.';
}

} // namespace

std::optional<ChainRegister> checkedRegister(const RegisterEntry& entry,
                                             const QList<ChainRegister>& others,
                                             const QString& baseDir, QString* error)
{
    ChainRegister reg;
    reg.name = entry.name.trimmed();
    reg.port = entry.port.trimmed();
    reg.address = entry.address;
    if (reg.name.isEmpty()) {
        *error = QStringLiteral("Wpisz nazwę kasy.");
        return std::nullopt;
    }
    // The list file has no way to write a quote inside a quoted field.
    if (reg.name.contains(u'"')) {
        *error = QStringLiteral("Nazwa kasy nie może zawierać cudzysłowu.");
        return std::nullopt;
    }
    for (const ChainRegister& other : others)
        if (other.name == reg.name) {
            *error = QStringLiteral("Kasa o nazwie ") + quote(reg.name) +
                     QStringLiteral(" jest już na liście.");
            return std::nullopt;
        }
    if (reg.port.isEmpty()) {
        *error = QStringLiteral("Wpisz port kasy (COM3, /dev/ttyUSB0, tcp://HOST:PORT, "
                                "rfc2217://HOST:PORT, tls://HOST:PORT albo "
                                "rfc2217+tls://HOST:PORT).");
        return std::nullopt;
    }
    QString why;
    reg.device = deviceOfPort(reg.port, &why);
    if (!why.isEmpty()) {
        *error = sentence(why);
        return std::nullopt;
    }
    if (!setTlsTrust(reg, QDir::fromNativeSeparators(entry.caFile.trimmed()), entry.pin.trimmed(),
                     baseDir, &why)) {
        *error = sentence(why);
        return std::nullopt;
    }
    if (reg.address < 1 || reg.address > 9) {
        *error = QStringLiteral("Adres kasy musi być liczbą od 1 do 9.");
        return std::nullopt;
    }
    for (const ChainRegister& other : others)
        if (other.address == reg.address && other.lineKey() == reg.lineKey()) {
            *error = QStringLiteral("Kasa ") + quote(other.name) +
                     QStringLiteral(" ma już ten port i adres.");
            return std::nullopt;
        }
    const QString database = QDir::fromNativeSeparators(entry.database.trimmed());
    if (!database.isEmpty()) {
        reg.database = QDir::cleanPath(QDir(baseDir).absoluteFilePath(database));
        const QString dir = QFileInfo(reg.database).absolutePath();
        if (!QFileInfo(dir).isDir()) {
            *error = QStringLiteral("Nie ma katalogu ") + QDir::toNativeSeparators(dir) + u'.';
            return std::nullopt;
        }
    }
    return reg;
}

} // namespace chain

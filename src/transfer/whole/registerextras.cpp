#include "registerextras.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace wholereg {

namespace {
const QByteArray Title = "# Vorn Duno Serwis: dane kasy spoza bazy";
const QString TypeKey = QStringLiteral("typ=");
const QString SettingsKey = QStringLiteral("ustawienia=");
const QString UnitKey = QStringLiteral("jednostka=");
const QString InfoKey = QStringLiteral("informacja=");
const QString DefaultKey = QStringLiteral("domyslne=");
} // namespace

QString extrasPath(const QString& databasePath)
{
    const QFileInfo info(databasePath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".kasa"));
}

QByteArray extrasBytes(const RegisterExtras& extras)
{
    QStringList lines;
    lines << QString::fromLatin1(Title) << TypeKey + QString::number(extras.registerType);
    if (!extras.settings.isEmpty())
        lines << SettingsKey + QString::fromLatin1(extras.settings.toHex());
    // Unit names end in padding spaces that must come back as they were.
    for (const QString& unit : extras.units)
        lines << UnitKey + u'"' + unit + u'"';
    for (auto it = extras.keptDefaults.cbegin(); it != extras.keptDefaults.cend(); ++it)
        lines << DefaultKey + it.key() + u':' + QString::fromLatin1(it.value().toHex());
    for (const QString& line : extras.information)
        lines << InfoKey + line;
    return (lines.join(u'\n') + u'\n').toUtf8();
}

bool writeExtras(const QString& path, const RegisterExtras& extras, QString* error)
{
    const QByteArray bytes = extrasBytes(extras);
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("Nie mogę zapisać pliku ") + QFileInfo(path).fileName();
        return false;
    }
    return true;
}

std::optional<RegisterExtras> readExtras(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(64 * 1024);
    if (!bytes.startsWith(Title))
        return std::nullopt;
    RegisterExtras extras;
    for (const QString& line : QString::fromUtf8(bytes).split(u'\n')) {
        if (line.startsWith(TypeKey))
            extras.registerType = line.mid(TypeKey.size()).toInt();
        else if (line.startsWith(SettingsKey))
            extras.settings = QByteArray::fromHex(line.mid(SettingsKey.size()).toLatin1());
        else if (line.startsWith(UnitKey) && line.endsWith(u'"') &&
                 line.size() > UnitKey.size() + 1)
            extras.units << line.mid(UnitKey.size() + 1).chopped(1);
        else if (line.startsWith(InfoKey))
            extras.information << line.mid(InfoKey.size());
        else if (line.startsWith(DefaultKey) && line.indexOf(u':') > DefaultKey.size())
            extras.keptDefaults.insert(
                line.mid(DefaultKey.size(), line.indexOf(u':') - DefaultKey.size()),
                QByteArray::fromHex(line.mid(line.indexOf(u':') + 1).toLatin1()));
    }
    if (extras.settings.size() != 21)
        extras.settings.clear();
    if (extras.units.size() != 3)
        extras.units.clear();
    return extras;
}

} // namespace wholereg

#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// What a copy of the register holds beyond the database file's fixed layout: the register's
// model, its information record, its operating settings block and its unit names. They go
// into a small text file beside the database ("sklep.vkf" and "sklep.kasa"), written whole
// or not at all.
namespace wholereg {

struct RegisterExtras {
    int registerType = 0;    // 1 DUNO, 2 DUNO BIS, 0 unknown
    QStringList information; // "caption: value", as the information form shows them
    QByteArray settings;     // the 21 settings bytes as the register reported them
    QStringList units;       // the three unit names; empty when they were not read
    // The blocks the register cannot send, as the new database holds them by default
    // ("footer", "halo"): programming that database back leaves the register's own alone
    // while they are still these bytes.
    QMap<QString, QByteArray> keptDefaults;
    bool operator==(const RegisterExtras&) const = default;
};

QString extrasPath(const QString& databasePath);
// False with a Polish message when the file could not be written; an older file stays.
bool writeExtras(const QString& path, const RegisterExtras& extras, QString* error);
// The bytes of the side file that writeExtras writes.
QByteArray extrasBytes(const RegisterExtras& extras);
// Nothing when there is no such file or it is not one of ours.
std::optional<RegisterExtras> readExtras(const QString& path);

} // namespace wholereg

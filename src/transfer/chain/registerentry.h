#pragma once

#include "registerlist.h"

#include <QList>
#include <QString>

#include <optional>

// A register of the list as a person types it in the window: checked as the list file is
// read, and against the list's other registers, before it goes into the list.
namespace chain {

struct RegisterEntry {
    QString name;
    QString port;
    int address = 1;
    QString database; // empty: none; relative to the list's directory
    // With a TLS port: a PEM file relative to the list's directory and the certificate's
    // SHA-256 fingerprint as typed; either may be empty.
    QString caFile = {};
    QString pin = {};
};

// The register the entry stands for, or nothing and the reason in `error` (one Polish
// sentence). `others` are the list's registers but the one being changed; a relative database
// is taken from `baseDir`.
std::optional<ChainRegister> checkedRegister(const RegisterEntry& entry,
                                             const QList<ChainRegister>& others,
                                             const QString& baseDir, QString* error);

} // namespace chain

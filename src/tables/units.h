#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

// The register's three programmable units: three names of three bytes, padded with spaces at
// the end. They live in the register only (read with "J", sent with "q").
namespace units {
inline constexpr int Count = 3;
inline constexpr int Width = 3;
QStringList decode(QByteArrayView nineBytes);
QByteArray encode(const QStringList& names);
} // namespace units

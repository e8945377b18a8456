#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What a serial device server's TLS certificate is checked against (tls:// and
// rfc2217+tls:// ports). By default the system's store of trusted certificates and the
// server's name, as a web browser does; a shop's own device server usually has a certificate
// of its own making, trusted by a file of it (or of the CA that signed it) or by its pinned
// fingerprint.
struct TlsTrust {
    // PEM certificates trusted instead of the system's store: a CA's, or the server's own
    // self-signed one. Empty: the system's store.
    QString caFile;
    // The SHA-256 fingerprint of the server's certificate (32 bytes), as
    // `openssl x509 -noout -fingerprint -sha256` shows it. A pinned certificate needs no
    // trusted issuer and no name of the server (unless caFile is given too), only to be in
    // its dates. Empty: none.
    QByteArray pin;

    bool operator==(const TlsTrust&) const = default;
};

// A fingerprint as typed: 64 hexadecimal digits, pairs separated by colons or not, either
// case ("7F:23:8A:…", "7f238a…"). Nothing when the text is not one.
std::optional<QByteArray> parseTlsPin(const QString& text);
// "7F:23:8A:…", as openssl prints it.
QString tlsPinText(const QByteArray& pin);

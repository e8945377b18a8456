#pragma once

#include "link/tlstrust.h"

#include <QList>
#include <QString>
#include <QStringList>

// The registers of a shop chain, kept by their owner in a small text file, one register a
// line:
//
//   # NAZWA  PORT  ADRES  [BAZA]  [ca=PLIK]  [pin=ODCISK]
//   rynek-1  tcp://10.0.0.5:4001  1  rynek.vkf
//   "Sklep Dworcowa"  COM3  2
//   zdroj  tls://sklep3.example.pl:4443  1  ca=sklep3.pem
//
// Fields are separated by spaces or tabs; a field with spaces stands in double quotes. The
// port is a COM number, a device path, tcp://HOST:PORT, rfc2217://HOST:PORT, tls://HOST:PORT
// or rfc2217+tls://HOST:PORT; the address 1..9; the database (optional) the file that
// register should hold, relative to the list's directory; without one it is NAME.vkf beside
// the list. A TLS port may say how its server's certificate is trusted (TlsTrust): ca= a PEM
// file relative to the list's directory, pin= the certificate's SHA-256 fingerprint; without
// either, by the system's store. "#" begins a comment. The file is UTF-8.
namespace chain {

struct ChainRegister {
    QString name;
    QString port;     // as written in the list
    QString device;   // the device path or network address the link opens
    int address = 1;  // 1..9
    QString database; // absolute path: the one the list names, or NAME.vkf beside the list
    bool databaseListed = false; // the list names it
    TlsTrust tls;                // with a TLS port: the list's ca= (absolute) and pin=
    int lineNumber = 0;

    // Registers with the same line key hang on one line (one serial device, one device
    // server's port) and must take turns on it.
    QString lineKey() const;
    // "COM3, adres 2"
    QString title() const;
};

struct RegisterList {
    QString path; // the list file
    QList<ChainRegister> registers;
    QStringList errors; // "sklepy.txt:4: zły adres „0” (1..9)"
    bool ok() const { return errors.isEmpty(); }
};

// `fileName` names the file in the errors; relative databases are taken from `baseDir`.
RegisterList parseRegisterList(const QByteArray& bytes, const QString& fileName,
                               const QString& baseDir);
RegisterList loadRegisterList(const QString& path);

// The list as a file of its own, with the comment that tells how it is written; databases
// inside `baseDir` are written relative to it.
QByteArray formatRegisterList(const QList<ChainRegister>& registers, const QString& baseDir);
// Written whole or not at all: an older list stays when the write fails.
bool saveRegisterList(const QString& path, const QList<ChainRegister>& registers, QString* error);

// NAME.vkf beside the list: the register's name with what a file name cannot hold replaced.
QString defaultDatabase(const QString& name, const QString& baseDir);

// Why the register's database must not be programmed into a register of `registerType`: the
// copy beside it (the .kasa file) was taken from the other model. Empty when it may.
QString wrongModel(const ChainRegister& reg, int registerType);

// A port as the list takes it: the device or address it stands for, or an empty string and
// the reason in `error`.
QString deviceOfPort(const QString& port, QString* error);
// The trust of a TLS port as the list writes it (ca= relative to `baseDir`, pin=), put into
// `reg`; an empty text leaves that part out. False with the reason in `error` (a port that is
// no TLS port, no such file, a malformed fingerprint).
bool setTlsTrust(ChainRegister& reg, const QString& caFile, const QString& pin,
                 const QString& baseDir, QString* error);

// Of the registers named in `names` ("rynek-1,rynek-2"), in list order; `error` names the
// first name the list does not have.
QList<ChainRegister> onlyNamed(const QList<ChainRegister>& registers, const QString& names,
                               QString* error);

// The index of an earlier register on the same line at the same address (the same register
// listed twice), or -1.
int sameRegisterAs(const QList<ChainRegister>& registers, int index);

} // namespace chain

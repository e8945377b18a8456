#include "registerlist.h"

#include "link/networkline.h"
#include "link/portmap.h"
#include "transfer/whole/registerextras.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QUrl>

#include <algorithm>

namespace chain {

namespace {

const QString Header = QStringLiteral(
    "# Kasy sieci sklepów (vduno --registers PLIK). Jedna kasa w wierszu:\n"
    "#   NAZWA  PORT  ADRES  [BAZA]  [ca=PLIK]  [pin=ODCISK]\n"
    "# PORT: COM3, /dev/ttyUSB0, tcp://HOST:PORT albo rfc2217://HOST:PORT, w TLS\n"
    "# tls://HOST:PORT albo rfc2217+tls://HOST:PORT; ADRES 1..9;\n"
    "# BAZA (nieobowiązkowa): plik .vkf tej kasy, względem katalogu tej listy.\n"
    "# ca= i pin= (przy porcie TLS, nieobowiązkowe): plik PEM z certyfikatem serwera lub jego\n"
    "# wystawcy, względem katalogu listy, i odcisk SHA-256 certyfikatu serwera; bez nich\n"
    "# certyfikat sprawdza się według zaufanych certyfikatów systemu.\n"
    "# Pola rozdziela odstęp; pole z odstępami w cudzysłowie (\"Sklep Rynek\").\n");

// A field as a message shows it: a control character (a 0 byte, an escape) as "�", so that it
// cannot cut or garble the line the user reads.
QString quote(QString text)
{
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    return QStringLiteral("„") + text + QStringLiteral("”");
}

// Splits a line into fields; a comment ends it. False on a quote left open.
bool splitFields(const QString& line, QStringList& fields)
{
    fields.clear();
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        while (i < n && (line[i] == u' ' || line[i] == u'\t'))
            ++i;
        if (i >= n || line[i] == u'#')
            break;
        QString field;
        if (line[i] == u'"') {
            const qsizetype close = line.indexOf(u'"', i + 1);
            if (close < 0)
                return false;
            field = line.mid(i + 1, close - i - 1);
            i = close + 1;
        } else {
            const qsizetype from = i;
            while (i < n && line[i] != u' ' && line[i] != u'\t')
                ++i;
            field = line.mid(from, i - from);
        }
        fields.append(field);
    }
    return true;
}

bool isNetworkPort(const QString& port)
{
    for (const char* scheme : {"tcp://", "rfc2217://", "tls://", "rfc2217+tls://"})
        if (port.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return true;
    return false;
}

// A path as the list writes it: relative when inside the list's directory.
QString listedPath(const QString& path, const QDir& base)
{
    const QString relative = base.relativeFilePath(path);
    return relative.startsWith(QLatin1String("..")) ? path : relative;
}

} // namespace

QString deviceOfPort(const QString& port, QString* error)
{
    static const QRegularExpression com(QStringLiteral("^COM\\s*(\\d{1,2})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(port);
    if (m.hasMatch()) {
        const int number = m.captured(1).toInt();
        if (number < 1 || number > 99) {
            *error = QStringLiteral("zły numer portu ") + quote(port) + QStringLiteral(" (1..99)");
            return {};
        }
        const QString device = portmap::devicePath(number);
        if (device.isEmpty())
            *error = QStringLiteral("port ") + quote(port) + QStringLiteral(" nie ma urządzenia");
        return device;
    }
    if (isNetworkPort(port)) {
        const QUrl url(port);
        if (!url.isValid() || url.host().isEmpty() || url.port() < 1 || !url.path().isEmpty()) {
            *error = QStringLiteral("zły adres sieciowy ") + quote(port) +
                     QStringLiteral(" (tcp://HOST:PORT, rfc2217://HOST:PORT, tls://HOST:PORT "
                                    "albo rfc2217+tls://HOST:PORT)");
            return {};
        }
        return port;
    }
    if (port.startsWith(u'/'))
        return port;
    *error = QStringLiteral("nieznany port ") + quote(port) +
             QStringLiteral(" (COM3, /dev/ttyUSB0, tcp://HOST:PORT, rfc2217://HOST:PORT, "
                            "tls://HOST:PORT, rfc2217+tls://HOST:PORT)");
    return {};
}

bool setTlsTrust(ChainRegister& reg, const QString& caFile, const QString& pin,
                 const QString& baseDir, QString* error)
{
    if (caFile.isEmpty() && pin.isEmpty())
        return true;
    const std::optional<NetworkAddress> address = parseNetworkAddress(reg.device);
    if (!address || !address->tls) {
        *error = QStringLiteral("plik certyfikatu (ca=) i odcisk (pin=) podaje się tylko przy "
                                "porcie tls:// albo rfc2217+tls://");
        return false;
    }
    if (!caFile.isEmpty()) {
        const QString path = QDir::cleanPath(QDir(baseDir).absoluteFilePath(caFile));
        if (!QFileInfo(path).isFile()) {
            *error = QStringLiteral("nie ma pliku certyfikatów ") + quote(caFile);
            return false;
        }
        reg.tls.caFile = path;
    }
    if (!pin.isEmpty()) {
        const std::optional<QByteArray> digest = parseTlsPin(pin);
        if (!digest) {
            *error = QStringLiteral("zły odcisk certyfikatu ") + quote(pin) +
                     QStringLiteral(" (64 cyfry szesnastkowe SHA-256, pary rozdzielone "
                                    "dwukropkiem albo nie)");
            return false;
        }
        reg.tls.pin = *digest;
    }
    return true;
}

QString defaultDatabase(const QString& name, const QString& baseDir)
{
    QString safe;
    for (const QChar c : name)
        safe += c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.' ? c : QChar(u'_');
    return QDir::cleanPath(QDir(baseDir).absoluteFilePath(safe + QStringLiteral(".vkf")));
}

QString wrongModel(const ChainRegister& reg, int registerType)
{
    const auto extras = wholereg::readExtras(wholereg::extrasPath(reg.database));
    if (!extras || extras->registerType == 0 || registerType == 0 ||
        extras->registerType == registerType)
        return {};
    const QString copy =
        extras->registerType == 2 ? QStringLiteral("DUNO BIS") : QStringLiteral("DUNO");
    const QString here = registerType == 2 ? QStringLiteral("DUNO BIS") : QStringLiteral("DUNO");
    return QStringLiteral("Baza ") + QFileInfo(reg.database).fileName() +
           QStringLiteral(" jest kopią kasy ") + copy + QStringLiteral(", a ta kasa to ") + here +
           QStringLiteral("; nie zaprogramowano.");
}

QString ChainRegister::lineKey() const
{
    if (portmap::isNetworkAddress(device)) {
        // One device server port is one line, whichever way the program talks to it.
        const QUrl url(device);
        return url.host().toLower() + QLatin1Char(':') + QString::number(url.port());
    }
    const QString canonical = QFileInfo(device).canonicalFilePath();
    return canonical.isEmpty() ? device : canonical;
}

QString ChainRegister::title() const
{
    return port + QStringLiteral(", adres ") + QString::number(address);
}

RegisterList parseRegisterList(const QByteArray& bytes, const QString& fileName,
                               const QString& baseDir)
{
    RegisterList list;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        list.errors << fileName + QStringLiteral(": plik nie jest zapisany w UTF-8");
        return list;
    }
    QHash<QString, int> nameLine;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int number = int(i + 1);
        QString line = lines.at(i);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        const QString where =
            fileName + QLatin1Char(':') + QString::number(number) + QStringLiteral(": ");
        QStringList fields;
        if (!splitFields(line, fields)) {
            list.errors << where + QStringLiteral("niezamknięty cudzysłów");
            continue;
        }
        if (fields.isEmpty())
            continue;
        // A quote inside a field, or a control character, is nothing the list can write back.
        const auto badField = std::find_if(fields.cbegin(), fields.cend(), [](const QString& f) {
            return f.contains(u'"') || std::any_of(f.cbegin(), f.cend(), [](QChar c) {
                       return c.category() == QChar::Other_Control;
                   });
        });
        if (badField != fields.cend()) {
            list.errors << where + QStringLiteral("niedozwolony znak w polu ") + quote(*badField) +
                               QStringLiteral(" (cudzysłów w środku pola albo znak sterujący)");
            continue;
        }
        if (fields.size() < 3) {
            list.errors << where + QStringLiteral("za mało pól (potrzebne: NAZWA PORT ADRES)");
            continue;
        }
        // The trust of a TLS port, wherever it stands after the address.
        QString caFile, pin;
        for (qsizetype f = fields.size() - 1; f >= 3; --f) {
            const QString& field = fields.at(f);
            if (field.startsWith(QLatin1String("ca="))) {
                caFile = field.mid(3);
                fields.removeAt(f);
            } else if (field.startsWith(QLatin1String("pin="))) {
                pin = field.mid(4);
                fields.removeAt(f);
            }
        }
        if (fields.size() > 4) {
            list.errors << where + QStringLiteral("za dużo pól (NAZWA PORT ADRES [BAZA])");
            continue;
        }
        ChainRegister reg;
        reg.lineNumber = number;
        reg.name = fields.at(0).trimmed();
        reg.port = fields.at(1);
        if (reg.name.isEmpty()) {
            list.errors << where + QStringLiteral("pusta nazwa kasy");
            continue;
        }
        if (const auto seen = nameLine.constFind(reg.name); seen != nameLine.constEnd()) {
            list.errors << where + QStringLiteral("nazwa ") + quote(reg.name) +
                               QStringLiteral(" już była w wierszu ") + QString::number(*seen);
            continue;
        }
        QString error;
        reg.device = deviceOfPort(reg.port, &error);
        if (!error.isEmpty()) {
            list.errors << where + error;
            continue;
        }
        bool ok = false;
        reg.address = fields.at(2).toInt(&ok);
        if (!ok || reg.address < 1 || reg.address > 9) {
            list.errors << where + QStringLiteral("zły adres kasy ") + quote(fields.at(2)) +
                               QStringLiteral(" (1..9)");
            continue;
        }
        if (!setTlsTrust(reg, caFile, pin, baseDir, &error)) {
            list.errors << where + error;
            continue;
        }
        reg.databaseListed = fields.size() == 4;
        reg.database = reg.databaseListed
                           ? QDir::cleanPath(QDir(baseDir).absoluteFilePath(fields.at(3)))
                           : defaultDatabase(reg.name, baseDir);
        nameLine.insert(reg.name, number);
        list.registers.append(reg);
    }
    if (list.errors.isEmpty() && list.registers.isEmpty())
        list.errors << fileName + QStringLiteral(": lista nie zawiera żadnej kasy");
    return list;
}

RegisterList loadRegisterList(const QString& path)
{
    QFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::ReadOnly)) {
        RegisterList list;
        list.path = path;
        list.errors << QStringLiteral("Nie mogę odczytać listy kas ") + path;
        return list;
    }
    // A list is a few lines; a file far beyond that is not one.
    const QByteArray bytes = file.read(1 << 20);
    RegisterList list = parseRegisterList(bytes, name, QFileInfo(path).absolutePath());
    list.path = path;
    return list;
}

QByteArray formatRegisterList(const QList<ChainRegister>& registers, const QString& baseDir)
{
    auto field = [](const QString& text) {
        return text.contains(u' ') || text.contains(u'\t') || text.contains(u'#') || text.isEmpty()
                   ? QLatin1Char('"') + text + QLatin1Char('"')
                   : text;
    };
    QString text = Header;
    const QDir base(baseDir);
    for (const ChainRegister& reg : registers) {
        text += field(reg.name) + QLatin1Char(' ') + field(reg.port) + QLatin1Char(' ') +
                QString::number(reg.address);
        if (reg.databaseListed && !reg.database.isEmpty())
            text += QLatin1Char(' ') + field(listedPath(reg.database, base));
        if (!reg.tls.caFile.isEmpty())
            text +=
                QLatin1Char(' ') + field(QStringLiteral("ca=") + listedPath(reg.tls.caFile, base));
        if (!reg.tls.pin.isEmpty())
            text += QStringLiteral(" pin=") + tlsPinText(reg.tls.pin);
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

bool saveRegisterList(const QString& path, const QList<ChainRegister>& registers, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(formatRegisterList(registers, QFileInfo(path).absolutePath())) < 0 ||
        !file.commit()) {
        if (error)
            *error = QStringLiteral("Nie mogę zapisać listy kas ") + path;
        return false;
    }
    return true;
}

QList<ChainRegister> onlyNamed(const QList<ChainRegister>& registers, const QString& names,
                               QString* error)
{
    const QStringList wanted = names.split(u',', Qt::SkipEmptyParts);
    for (const QString& name : wanted) {
        const bool known = std::any_of(registers.begin(), registers.end(),
                                       [&](const ChainRegister& r) { return r.name == name; });
        if (!known) {
            *error = QStringLiteral("Lista nie zawiera kasy ") + quote(name) + QLatin1Char('.');
            return {};
        }
    }
    QList<ChainRegister> chosen;
    for (const ChainRegister& reg : registers)
        if (wanted.contains(reg.name))
            chosen.append(reg);
    return chosen;
}

int sameRegisterAs(const QList<ChainRegister>& registers, int index)
{
    const ChainRegister& reg = registers.at(index);
    const QString key = reg.lineKey();
    for (int i = 0; i < index; ++i)
        if (registers.at(i).address == reg.address && registers.at(i).lineKey() == key)
            return i;
    return -1;
}

} // namespace chain

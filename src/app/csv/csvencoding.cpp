#include "csvencoding.h"

#include "common/cp1250.h"

namespace csv {

namespace {

constexpr char Bom[] = "\xEF\xBB\xBF";

bool startsWithBom(QByteArrayView file)
{
    return file.startsWith(QByteArrayView(Bom, 3));
}

bool hasHighBytes(QByteArrayView file)
{
    for (char c : file)
        if (quint8(c) > 127)
            return true;
    return false;
}

// Line (from 1) and byte (from 1) of the offset in the file.
QString placeOf(QByteArrayView file, qsizetype at)
{
    const QByteArrayView before = file.first(at);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    return QStringLiteral("w wierszu %1, na pozycji %2")
        .arg(before.count('\n') + 1)
        .arg(at - lineStart + 1);
}

} // namespace

std::optional<Encoding> encodingFromName(const QString& name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("utf-8") || n == QLatin1String("utf8"))
        return Encoding::Utf8;
    if (n == QLatin1String("cp1250") || n == QLatin1String("windows-1250"))
        return Encoding::Cp1250;
    return std::nullopt;
}

qsizetype firstInvalidUtf8(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const quint8 b = quint8(bytes[i]);
        int more = 0;
        quint8 low = 0x80, high = 0xBF; // the range of the second byte
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            more = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2;
            low = b == 0xE0 ? 0xA0 : 0x80;  // overlong
            high = b == 0xED ? 0x9F : 0xBF; // surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3;
            low = b == 0xF0 ? 0x90 : 0x80;  // overlong
            high = b == 0xF4 ? 0x8F : 0xBF; // above U+10FFFF
        } else {
            return i;
        }
        if (i + more >= n)
            return i;
        for (int k = 1; k <= more; ++k) {
            const quint8 c = quint8(bytes[i + k]);
            if (k == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF))
                return i;
        }
        i += more + 1;
    }
    return -1;
}

bool readsAsUtf8(QByteArrayView file)
{
    return hasHighBytes(file) && firstInvalidUtf8(file) < 0 &&
           cp1250::representable(QString::fromUtf8(file));
}

DecodedFile decodeFile(QByteArrayView file, Encoding encoding)
{
    DecodedFile out;
    const bool bom = startsWithBom(file);
    if (bom && encoding == Encoding::Cp1250) {
        out.error = QStringLiteral("Plik zaczyna się znacznikiem kodowania UTF-8 (BOM), a wybrano "
                                   "kodowanie cp1250.");
        return out;
    }
    const QByteArrayView body = bom ? file.sliced(3) : file;
    out.utf8 =
        bom || encoding == Encoding::Utf8 || (encoding == Encoding::Automatic && readsAsUtf8(body));
    if (!out.utf8) {
        out.text = cp1250::decode(body);
        return out;
    }
    if (const qsizetype bad = firstInvalidUtf8(body); bad >= 0) {
        const qsizetype at = bad + (bom ? 3 : 0);
        out.error = QStringLiteral("Plik nie jest zapisany w UTF-8: ") + placeOf(file, at) +
                    QStringLiteral(" stoi bajt 0x") +
                    QString::number(quint8(file[at]), 16).toUpper().rightJustified(2, u'0') +
                    QStringLiteral(", który nie należy do tekstu UTF-8.");
        return out;
    }
    out.text = QString::fromUtf8(body);
    return out;
}

QByteArray encodeFile(const QString& text)
{
    const QByteArray bytes = cp1250::encode(text);
    if (!readsAsUtf8(bytes))
        return bytes;
    return QByteArray(Bom, 3) + text.toUtf8();
}

} // namespace csv

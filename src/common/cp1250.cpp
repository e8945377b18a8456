#include "cp1250.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace cp1250 {

bool available()
{
    return QStringEncoder("windows-1250").isValid() && QStringDecoder("windows-1250").isValid();
}

QString missingMessage()
{
    return QStringLiteral("Biblioteka Qt nie zna kodowania windows-1250 (cp1250), w którym kasa "
                          "i pliki programu zapisują teksty; program nie może działać.");
}

QByteArray encode(const QString& text)
{
    QStringEncoder enc("windows-1250", QStringEncoder::Flag::Default);
    QByteArray out = enc.encode(text);
    return out;
}

QString decode(QByteArrayView bytes)
{
    QStringDecoder dec("windows-1250");
    return dec.decode(bytes);
}

bool representable(const QString& text)
{
    QStringEncoder enc("windows-1250", QStringEncoder::Flag::Stateless);
    QByteArray out = enc.encode(text);
    return !enc.hasError();
}

QString unsupportedMessage(const QString& label)
{
    return QStringLiteral("Pole „") + label +
           QStringLiteral("” zawiera znaki, których kasa nie obsługuje.");
}

QString refusal(const QString& text, const QString& label)
{
    return representable(text) ? QString() : unsupportedMessage(label);
}

QString readField(QByteArrayView field)
{
    const qsizetype end = field.indexOf('\0');
    return decode(end < 0 ? field : field.first(end));
}

QByteArray padRight(const QString& text, int width, char pad)
{
    QByteArray bytes = encode(text);
    if (bytes.size() > width)
        bytes.truncate(width);
    bytes.append(width - bytes.size(), pad);
    return bytes;
}

QByteArray padLeftZeros(const QString& digits, int width)
{
    QByteArray bytes = encode(digits);
    if (bytes.size() > width)
        bytes = bytes.right(width);
    bytes.prepend(width - bytes.size(), '0');
    return bytes;
}

void putField(QByteArray& dest, int offset, const QString& text, int width, char pad)
{
    const QByteArray field = padRight(text, width, pad);
    dest.replace(offset, width, field);
}

} // namespace cp1250

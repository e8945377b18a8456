#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The register, the database file and the CSV files speak cp1250; inside the
// program every text is a QString. These helpers are the only crossing points.
namespace cp1250 {

// False when the Qt in use has no cp1250 converter: then every text would come out empty, so
// the programs check it once at start and stop with missingMessage().
bool available();
QString missingMessage();

QByteArray encode(const QString& text);
QString decode(QByteArrayView bytes);

// True when every character of the text has a cp1250 byte.
bool representable(const QString& text);

// The refusal of a field whose text the register cannot hold (emoji, Cyrillic, CJK...):
// "Pole „<label>” zawiera znaki, których kasa nie obsługuje.", the label as the form shows it.
QString unsupportedMessage(const QString& label);
// Empty when the text is representable, otherwise unsupportedMessage(label). Forms check their
// texts with this before anything is stored or sent, so nothing is silently turned into "?".
QString refusal(const QString& text, const QString& label);

// A fixed-width text field: the bytes up to the first 0 or the whole width.
QString readField(QByteArrayView field);

// Fixed-width field padded on the right with `pad`; a longer text is cut to the width.
QByteArray padRight(const QString& text, int width, char pad = '\0');

// Barcodes: digits padded on the left with "0" to the width (13 in the article record).
QByteArray padLeftZeros(const QString& digits, int width);

// Three-character symbols and unit names: padded on the right with spaces.
inline QByteArray padSpaces(const QString& text, int width)
{
    return padRight(text, width, ' ');
}

// Writes the padded field into `dest` at `offset` (dest must be long enough).
void putField(QByteArray& dest, int offset, const QString& text, int width, char pad = '\0');

} // namespace cp1250

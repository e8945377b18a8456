#pragma once

#include <QString>
#include <QStringList>

// What is worth a warning about an article before it reaches the register, without refusing
// it: a shop may well keep an odd barcode or name on purpose.
namespace articlewarnings {

// An EAN-8, UPC-A or EAN-13 barcode (8, 12 or 13 digits) whose last digit is not the check
// digit of the others (weights 3, 1, 3, ... from the right, the check digit excluded). A
// 13-character text that is a shorter code padded with "0" on the left (as the article record
// stores it) counts as a barcode only when at least 8 digits remain after the zeros, so that
// short in-shop codes are not taken for broken EAN codes. Anything else is not checked.
bool wrongCheckDigit(const QString& barcode);

// The characters of a name that the register cannot print: those without a cp1250 byte and
// control characters. Empty when there are none.
QString unprintableCharacters(const QString& name);

// The warnings for one article, one line each: "Towar 12: kod kreskowy 5901234123458 ma błędną
// cyfrę kontrolną" and "Towar 12: nazwa zawiera znaki, których kasa nie wydrukuje: ☺".
QStringList warnings(int number, const QString& name, const QString& barcode);

} // namespace articlewarnings

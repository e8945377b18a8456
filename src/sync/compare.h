#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class RegisterDatabase;

// The PC's table beside the register's copy, record number by record number: what "vduno
// compare" prints.
namespace basesync {

class ArticleSync;
class TableSync;

struct Comparison {
    enum Kind { OnlyPc, OnlyRegister, Equal, Different };
    int number = 0;
    Kind kind = Equal;
    QStringList fields; // the fields that differ
};

// Every number used on either side, in number order. Fields are compared as the PC record
// holds them, the register's image mapped onto the record first.
QList<Comparison> compareArticles(RegisterDatabase& db, const ArticleSync& sync, int registerType);
QList<Comparison> compareTable(RegisterDatabase& db, const TableSync& sync);

// "12: tylko w PC", "12: tylko w kasie", "12: zgodne", "12: różne (nazwa, cena)".
QString comparisonText(const Comparison& c);
bool allEqual(const QList<Comparison>& list);

} // namespace basesync

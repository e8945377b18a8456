#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class RegisterDatabase;

// The PC's table beside the register's copy, record number by record number: what "vduno
// compare" prints.
namespace basesync {

class ArticleSync;
class TableSync;
struct RecordField;

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

// What both run on: record n of either side for n = 1..count (an empty array is an unused
// slot), the used ones compared field by field.
QList<Comparison> compareRecords(int count, const std::function<QByteArray(int)>& pc,
                                 const std::function<QByteArray(int)>& reg,
                                 const QList<RecordField>& fields);
// The article record's fields; a DUNO keeps no unit.
QList<RecordField> articleFields(bool withUnit);

// "12: tylko w PC", "12: tylko w kasie", "12: zgodne", "12: różne (nazwa, cena)".
QString comparisonText(const Comparison& c);
bool allEqual(const QList<Comparison>& list);

} // namespace basesync

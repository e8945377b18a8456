#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class RegisterDatabase;

// What the register would refuse, or take with consequences, if the whole database were
// programmed as it is: checked before anything is sent, so the person can put it right first.
namespace wholereg {

struct Problem {
    QString table;  // "Towary", "Grupy towarowe" ...
    int number = 0; // the record it concerns (0: the table as a whole)
    QString text;   // one line, naming the record
};

// `registerVat` is the register's own rate table (21 bytes) when it could be read: a database
// whose rates differ asks for a VAT change, which the register writes into its fiscal memory
// and may refuse (after sales since the last daily report). Without it the change cannot be
// ruled out and is listed too.
QList<Problem> preflight(RegisterDatabase& db, const std::optional<QByteArray>& registerVat);

// The question asked before programming: the problems, one a line, and whether to go on.
QString preflightQuestion(const QList<Problem>& problems);

} // namespace wholereg

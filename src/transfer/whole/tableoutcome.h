#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a whole-register run did with each table: the rows of its closing summary.
namespace wholereg {

struct RefusedRecord {
    int number = 0;
    int deviceError = 0;
};

struct TableOutcome {
    enum class State {
        Done,    // read or programmed whole
        Empty,   // the register holds none of them / the database has none to send
        Kept,    // the register cannot send it: the new database keeps its default
        Refused, // done, but the register refused some records
        Failed,  // the line broke or the register did not answer
        Stopped, // the person stopped the run here
        Waiting, // not reached: the run ended before it
    };
    QString table; // "Towary", "Stawki PTU" ...
    State state = State::Waiting;
    int records = 0; // read, or programmed
    int listed = 0;  // to send (0 for reads)
    QList<RefusedRecord> refused;
    QString note; // what the register said, or why nothing was done
};

// "wykonano", "pusta", "domyślna", "odmowy", "błąd", "przerwano", "pominięto".
QString stateText(TableOutcome::State state);
// "300" for a read, "2/3" for a send (programmed of listed).
QString recordsText(const TableOutcome& table);
// A line per refused record: "Towary 12: Błąd 97: ..." (the register's device error).
QStringList refusedLines(const QList<TableOutcome>& tables);
// The summary as text lines, a table with a column each for the table, the records and the
// outcome, then a line per refused record with the register's device error.
QStringList summaryLines(const QList<TableOutcome>& tables);
// The whole run in a few words: "350 rekordów" for a copy, "50 z 52 rekordów, odmowy: 2" for
// programming.
QString totalsText(const QList<TableOutcome>& tables);
// True when every table ended Done, Empty or Kept.
bool allDone(const QList<TableOutcome>& tables);

} // namespace wholereg

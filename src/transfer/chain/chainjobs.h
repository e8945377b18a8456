#pragma once

#include "chainrun.h"

#include "transfer/whole/wholerestore.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The work the program does on every ticked register of a chain, each on the register's own
// open link: programming from the database the list names for it (all of it or only what
// changed), a copy of the register into that database, the register's information data, and
// the test of its line that does nothing beyond what every run does first.
namespace chain {

// What a register's job has to show beyond its one-line result: the summary per table, the
// information data. Called on the register's thread.
using Details = std::function<void(int index, const QStringList& lines)>;

// A job and why a register cannot take it at all (asked before its line is opened).
struct ChainJob {
    Job run;
    std::function<QString(int index)> precheck;
};

struct Programming {
    bool changedOnly = false;
    // Where each register goes on from, by index; a register beyond the list, or at the start,
    // gets the whole run with the check before it.
    QList<wholereg::ResumePoint> from;
    // Each register read back after its programming and mended where it differs; its result
    // is then the check's verdict ("Kasa zgodna z bazą.") and its details the check's lines.
    bool verify = false;
};

// Each register's own database, with the extras of its copy (the ".kasa" file beside it); a
// register the list gives no database fails with "Lista nie podaje bazy tej kasy.". The check
// before programming asks through the register's own user interface. A run that ends early
// gives its resume point (ResumePoint::text()).
ChainJob programmingJob(const QList<ChainRegister>& registers, const Programming& programming,
                        Details details = {});
// The register copied into its database (and its ".kasa" file), written only when every table
// came. Two registers naming the same file copy into neither.
ChainJob backupJob(const QList<ChainRegister>& registers, Details details = {});
// The information data, one "caption: value" line a field, to `details`.
ChainJob informationJob(Details details = {});
// Succeeds at once: the run has opened the line and asked the model by then.
ChainJob probeJob();

// The "wynik" of a register: "OK", "OK: 350 rekordów", the check's verdict after a checked
// programming, or what went wrong with what was done before it ("Przerwano.; 120 z 300
// rekordów").
QString resultText(const RegisterOutcome& outcome);
// "Towary, wysłano 120" for "3:120", "od początku" at the start; empty for none.
QString resumeText(const QString& resume);
// "Zakończono: 4 z 5 kas bez błędów."
QString closingText(const QList<RegisterOutcome>& outcomes);

} // namespace chain

#pragma once

#include "preflight.h"
#include "registerextras.h"
#include "tableoutcome.h"

#include <QMap>

#include <optional>

class Link;
class RegisterDatabase;
class TransferUi;

// "Programowanie całej kasy": every table of a database programmed into the register in one
// run, in an order that never sends a record before what it refers to (VAT rates, groups and
// packaging before articles; articles and cashiers before quick keys).
namespace wholereg {

enum class Step {
    Vat,
    Groups,
    Packaging,
    Articles,
    Cashiers,
    Discounts,
    PaymentForms,
    Currencies,
    QuickKeys,
    Header,
    Footer,
    Halo,
    Units,
};
inline constexpr int StepCount = int(Step::Units) + 1;
QString stepTitle(Step step);
// The command-line names ("vat", "groups", "articles" ...); nothing when unknown.
std::optional<Step> stepOf(const QString& name);
QString stepName(Step step);

// Where a run that ended early goes on: the step, and how many of its records were handled.
struct ResumePoint {
    int step = 0;
    int done = 0;
    bool atStart() const { return step == 0 && done == 0; }
    bool operator==(const ResumePoint&) const = default;
    // "4:120", as `vduno restore --resume` takes it.
    QString text() const;
    static std::optional<ResumePoint> parse(const QString& text);
};

struct RestoreOptions {
    // Reads each table from the register first and sends only new and changed records.
    bool changedOnly = false;
    // With changedOnly: deletes in the register the records the database does not have.
    bool deleteOnlyInRegister = false;
    ResumePoint from;
    // Only these steps (all when empty), in the run's order.
    QList<Step> only;
    // The unit names to send (from the copy's extras file); none: the units are left alone.
    QStringList units;
    // Blocks the register cannot send that the database still holds as a copy of the register
    // left them by default: they are not sent over the register's own.
    QMap<Step, QByteArray> keptDefaults;
    // Problems of the check the person has already accepted (for another register): a check
    // that finds only these does not ask again.
    QStringList accepted;
    // With changedOnly: compares and sends nothing; each table lists what differs.
    bool checkOnly = false;
    // Only these articles (all when empty): a check of the articles a person sent, and of no
    // others.
    QList<int> articles;
};

struct OnlyInRegister {
    Step step = Step::Articles;
    QList<int> numbers;
    bool deleted = false;
};

struct RestoreResult {
    QList<Problem> problems;
    bool declined = false; // the person chose not to go on after the check
    QList<TableOutcome> tables;
    QList<OnlyInRegister> onlyInRegister;
    bool finished = false; // every step ran to its end (some records may have been refused)
    ResumePoint resume;    // where the next run goes on when it did not finish
};

// Checks the database (the register's VAT rates are read for it), asks before going on when
// it found a problem, then programs the steps from `options.from`. A stop or a fault ends the
// run at the record it reached; `resume` says where to go on. Refused records are noted and
// the run goes on.
RestoreResult restore(Link& link, TransferUi& ui, RegisterDatabase& db, int registerType,
                      const RestoreOptions& options);

// Takes the unit names and the kept defaults of a copy's extras file into the options.
void applyExtras(RestoreOptions& options, const RegisterExtras& extras);

// "12, 15, 300"
QString numbersText(const QList<int>& numbers);

// "Rekordy tylko w kasie:" and a line per table.
QStringList onlyInRegisterLines(const QList<OnlyInRegister>& list);

} // namespace wholereg

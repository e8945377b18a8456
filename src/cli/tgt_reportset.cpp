// vduno send FILE.vkf reportset: the report set is kept in the database file only; the
// register has no command that takes it. The target shows the stored choices and says so, and
// ends with a failure so that no script takes it for programmed.
#include "command.h"
#include "tabletarget.h"

#include "database/databasesession.h"
#include "tables/reportset.h"

namespace {

int sendReportSet(DatabaseSession& db, const std::vector<int>&, CliContext&, Link&, TransferUi&)
{
    const ReportSet set = loadReportSet(db.database());
    for (int i = 0; i < ReportSet::Size; ++i) {
        const int c = set.choices[size_t(i)];
        cli::out(reportSetNames()[i] + QStringLiteral(": ") +
                 (c >= 0 && c <= 2 ? reportSetChoices()[c] : QString::number(c)));
    }
    cli::err(QStringLiteral("Zestaw raportów jest zapisywany tylko w bazie; kasa nie ma "
                            "rozkazu, który by go przyjął."));
    return ExitFailure;
}

} // namespace

namespace {
const bool tableTarget_reportset = TableTargets::add(
    {"reportset", "zestaw raportów (tylko w bazie)", sendReportSet, nullptr, true});
}

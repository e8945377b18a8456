#include "tabletarget.h"
#include "tgt_registers.h"

// vduno send FILE groups: the used records of the file's table, one frame each.
namespace {
int sendGroups(DatabaseSession& db, const std::vector<int>& numbers, CliContext&, Link& link,
               TransferUi& ui)
{
    return cli::sendTableRun(db, numbers, link, ui, recordsend::groups(),
                             QStringLiteral(" grup towarowych."));
}
} // namespace

VDUNO_TABLE_TARGET(groups, "grupy towarowe", sendGroups, nullptr)

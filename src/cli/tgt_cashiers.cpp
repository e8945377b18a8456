#include "tabletarget.h"
#include "tgt_registers.h"

// vduno send FILE cashiers: the cashiers 1..10 of the file, one frame each.
namespace {
int sendCashiers(DatabaseSession& db, const std::vector<int>& numbers, CliContext&, Link& link,
                 TransferUi& ui)
{
    return cli::sendTableRun(db, numbers, link, ui, recordsend::cashiers(),
                             QStringLiteral(" kasjerów."));
}
} // namespace

VDUNO_TABLE_TARGET(cashiers, "kasjerzy", sendCashiers, nullptr)

#include "tabletarget.h"
#include "tgt_registers.h"

// vduno send FILE discounts: the used records of the file's table, one frame each.
namespace {
int sendDiscounts(DatabaseSession& db, const std::vector<int>& numbers, CliContext&, Link& link,
                  TransferUi& ui)
{
    return cli::sendTableRun(db, numbers, link, ui, recordsend::discounts(),
                             QStringLiteral(" rabatów."));
}
} // namespace

VDUNO_TABLE_TARGET(discounts, "rabaty i narzuty", sendDiscounts, nullptr)

#include "tabletarget.h"
#include "tgt_registers.h"

// vduno send FILE payments: the used records of the file's table, one frame each.
namespace {
int sendPayments(DatabaseSession& db, const std::vector<int>& numbers, CliContext&, Link& link,
                 TransferUi& ui)
{
    return cli::sendTableRun(db, numbers, link, ui, recordsend::paymentForms(),
                             QStringLiteral(" form płatnosci."));
}
} // namespace

VDUNO_TABLE_TARGET(payments, "formy płatności", sendPayments, nullptr)

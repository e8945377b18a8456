#include "tabletarget.h"
#include "tgt_registers.h"

// vduno send FILE currencies: the used records of the file's table, one frame each.
namespace {
int sendCurrencies(DatabaseSession& db, const std::vector<int>& numbers, CliContext&, Link& link,
                   TransferUi& ui)
{
    return cli::sendTableRun(db, numbers, link, ui, recordsend::currencies(),
                             QStringLiteral(" walut."));
}
} // namespace

VDUNO_TABLE_TARGET(currencies, "waluty obce", sendCurrencies, nullptr)

#include "tabletarget.h"
#include "tgt_registers.h"

// vduno send FILE packaging: the used records of the file's table, one frame each.
namespace {
int sendPackaging(DatabaseSession& db, const std::vector<int>& numbers, CliContext&, Link& link,
                  TransferUi& ui)
{
    return cli::sendTableRun(db, numbers, link, ui, recordsend::packaging(),
                             QStringLiteral(" opakowań."));
}
} // namespace

VDUNO_TABLE_TARGET(packaging, "opakowania zwrotne", sendPackaging, nullptr)

#include "tabletarget.h"

#include "database/databasesession.h"
#include "link/commands.h"
#include "link/link.h"
#include "tables/recordsend.h"
#include "tables/vatrates.h"

// vduno send FILE vat: the seven VAT rates of the file as one "P" frame.
namespace {
int sendVat(DatabaseSession& db, const std::vector<int>&, CliContext&, Link& link, TransferUi& ui)
{
    const QByteArray table = db.database().readBytes(layout::VatRates.base, VatRates::Size);
    const int result = recordsend::sendFrame(
        link, ui, commands::vatRates(link.address, 0x8001, table, 0), {true, 0, -1});
    if (result == recordsend::NotSent) {
        cli::err(QStringLiteral("Brak stawek PTU w pliku."));
        return ExitFailure;
    }
    if (result < 0)
        return ExitFailure;
    const QString text = vatSendMessage(result, link.at(8), false);
    (result == 0 || result == 3 ? cli::out : cli::err)(
        text.isEmpty() ? QStringLiteral("Kasa nie potwierdziła zapisu stawek PTU.") : text);
    return result == 0 || result == 3 ? ExitOk : ExitFailure;
}
} // namespace

VDUNO_TABLE_TARGET(vat, "stawki PTU", sendVat, nullptr)

// vduno send FILE.vkf halo: amounts 1..9 of the halo table.
#include "command.h"
#include "tabletarget.h"

#include "database/databasesession.h"
#include "link/answers.h"
#include "link/link.h"
#include "tables/halo.h"

namespace {

int sendHalo(DatabaseSession& db, const std::vector<int>&, CliContext&, Link& link, TransferUi& ui)
{
    link.drainInput(ui);
    const int r = halo::send(link, ui, halo::load(db.database()));
    if (!answers::confirmed(r)) {
        if (r == answers::DeviceError)
            answers::showDeviceError(ui, link.at(8));
        else if (r == answers::NoAnswer)
            cli::err(QStringLiteral("Brak komunikacji."));
        return ExitFailure;
    }
    cli::out(QStringLiteral("Tablica HALO zaprogramowana"));
    return ExitOk;
}

} // namespace

VDUNO_TABLE_TARGET(halo, "tablica HALO", sendHalo, nullptr)

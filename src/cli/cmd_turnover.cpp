// vduno turnover: the register's monthly turnover of the product groups as text.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "link/link.h"
#include "transfer/sales.h"

namespace {

int runTurnover(const QStringList& args, CliContext& context)
{
    if (!args.isEmpty()) {
        cli::err(QStringLiteral("Użycie: vduno [opcje łącza] turnover"));
        return ExitUsage;
    }
    Link& link = Link::instance();
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    const transfer::TurnoverRead r = transfer::readGroupTurnover(link, ui);
    link.closePort();
    for (const QString& line : r.lines)
        cli::out(line);
    return r.ok ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(turnover, "turnover: obrót grup towarowych z kasy", runTurnover)

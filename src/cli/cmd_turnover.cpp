// vduno turnover: the register's monthly turnover of the product groups as text.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "link/link.h"
#include "transfer/sales.h"

#include <QJsonArray>

namespace {

int runTurnover(const CliArgs& parsed, CliContext& context)
{
    if (!parsed.positional.isEmpty())
        return cli::usage(context);
    Link& link = cli::commandLink(context);
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    const transfer::TurnoverRead r = transfer::readGroupTurnover(link, ui);
    link.closePort();
    for (const QString& line : r.lines)
        cli::out(line);
    cli::jsonField(QStringLiteral("lines"), QJsonArray::fromStringList(r.lines));
    return r.ok ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(turnover, {"turnover",
                         CommandGroup::Reports,
                         "",
                         "obrót grup towarowych z kasy",
                         {},
                         {"--device /dev/ttyUSB0 turnover"},
                         runTurnover})

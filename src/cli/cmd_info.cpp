// vduno info: the register's information data, one "caption: value" line a field.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "common/transferui.h"
#include "link/link.h"
#include "transfer/information.h"

namespace {

int runInfo(const QStringList& args, CliContext& context)
{
    if (!args.isEmpty()) {
        cli::err(QStringLiteral("Użycie: vduno [opcje łącza] info"));
        return ExitUsage;
    }
    Link& link = Link::instance();
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    const auto info = transfer::fetchInformation(link, ui);
    link.closePort();
    if (!info)
        return ExitFailure;
    cli::out(QStringLiteral("Typ kasy: ") +
             (info->registerType == 2 ? QStringLiteral("DUNO BIS") : QStringLiteral("DUNO")));
    for (int i = 0; i < transfer::kInfoFieldCount; ++i) {
        const auto field = transfer::InfoField(i);
        if (const auto value = info->value(field))
            cli::out(transfer::infoCaption(field) + QStringLiteral(": ") + *value);
    }
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(info, "info: dane informacyjne kasy", runInfo)

// vduno nip NIP: the taxpayer number of a register in training mode.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "link/link.h"
#include "tables/nip.h"

namespace {

int runNip(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    if (args.size() != 1)
        return cli::usage(context);
    TransferUi& ui = *context.ui;
    if (args.first().size() > nip::MaxLength) {
        ui.showMessage(QStringLiteral("Zbyt długi NIP!"), TransferUi::Icon::Warning);
        return ExitUsage;
    }
    Link& link = cli::commandLink(context);
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    const nip::Result r = nip::program(link, ui, args.first());
    link.closePort();
    if (r != nip::Result::Accepted) {
        if (r == nip::Result::Rejected)
            cli::err(QStringLiteral("Kasa nie przyjęła numeru NIP"));
        return ExitFailure;
    }
    cli::out(QStringLiteral("NIP zaprogramowany: ") + nip::padded(args.first()));
    cli::jsonField(QStringLiteral("nip"), nip::padded(args.first()));
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(nip, {"nip",
                    CommandGroup::Register,
                    "NIP",
                    "programuje NIP (kasa w trybie szkoleniowym)",
                    {},
                    {"--device /dev/ttyUSB0 nip 1234567890"},
                    runNip})

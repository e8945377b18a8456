// vduno password OLD NEW [--confirm]: changes the manager's password in the register.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "common/cp1250.h"
#include "link/link.h"
#include "tables/managerpassword.h"
#include "tables/recordsend.h"

namespace {

int runPassword(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    const bool confirm = parsed.isSet(QStringLiteral("confirm"));
    if (args.size() != 2)
        return cli::usage(context);
    for (const QString& p : args) {
        if (p.size() > managerpassword::Width || !cp1250::representable(p)) {
            cli::err(QStringLiteral("Hasło może mieć najwyżej 10 znaków"));
            return ExitUsage;
        }
    }
    Link& link = cli::commandLink(context);
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    const int r = managerpassword::send(link, ui, args.at(0), args.at(1), confirm, true);
    const bool confirmed =
        recordsend::reportOutcome(ui, r, link.at(8), managerpassword::sendTexts(), confirm);
    link.closePort();
    return confirmed ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(password, {"password",
                         CommandGroup::Register,
                         "STARE NOWE",
                         "zmienia hasło kierownika",
                         {{"confirm", nullptr, "kasa potwierdza zmianę wydrukiem"}},
                         {"--device /dev/ttyUSB0 password 1234 5678 --confirm"},
                         runPassword})

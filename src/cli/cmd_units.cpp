// vduno units get | units set U1 U2 U3: the register's three programmable units.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "common/cp1250.h"
#include "link/link.h"
#include "tables/recordsend.h"
#include "tables/units.h"

namespace {

int usage()
{
    cli::err(QStringLiteral("Użycie: vduno [opcje łącza] units get"));
    cli::err(QStringLiteral("        vduno [opcje łącza] units set J1 J2 J3"));
    return ExitUsage;
}

int runUnits(const QStringList& args, CliContext& context)
{
    const bool get = args.size() == 1 && args.first() == QLatin1String("get");
    const bool set = args.size() == 4 && args.first() == QLatin1String("set");
    if (!get && !set)
        return usage();
    const QStringList names = set ? args.mid(1) : QStringList();
    for (const QString& n : names) {
        if (n.size() > units::Width || !cp1250::representable(n)) {
            cli::err(QStringLiteral("Jednostka może mieć najwyżej 3 znaki: ") + n);
            return ExitUsage;
        }
    }
    Link& link = Link::instance();
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    int result = ExitOk;
    if (get) {
        const auto read = units::read(link, ui);
        if (read) {
            for (int i = 0; i < units::Count; ++i)
                cli::out(QStringLiteral("Jednostka nr ") + QString::number(i + 1) +
                         QStringLiteral(": \"") + read->value(i) + u'"');
        } else {
            result = ExitFailure;
        }
    } else {
        const int r = units::send(link, ui, names, true);
        result =
            recordsend::reportOutcome(ui, r, link.at(8), units::sendTexts()) ? ExitOk : ExitFailure;
    }
    link.closePort();
    return result;
}

} // namespace

VDUNO_COMMAND(units, "units get | units set J1 J2 J3  jednostki programowalne kasy", runUnits)

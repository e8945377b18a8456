// vduno units get | units set U1 U2 U3: the register's three programmable units.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "common/cp1250.h"
#include "link/link.h"
#include "tables/recordsend.h"
#include "tables/units.h"

#include <QJsonArray>

namespace {

QStringList words()
{
    return {QStringLiteral("get"), QStringLiteral("set")};
}

int runUnits(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    const bool get = args.size() == 1 && args.first() == QLatin1String("get");
    const bool set = args.size() == 4 && args.first() == QLatin1String("set");
    if (!get && !set)
        return cli::usage(context);
    const QStringList names = set ? args.mid(1) : QStringList();
    for (const QString& n : names) {
        if (n.size() > units::Width || !cp1250::representable(n)) {
            cli::err(QStringLiteral("Jednostka może mieć najwyżej 3 znaki: ") + n);
            return ExitUsage;
        }
    }
    Link& link = cli::commandLink(context);
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    int result = ExitOk;
    if (get) {
        const auto read = units::read(link, ui);
        if (read) {
            QJsonArray values;
            for (int i = 0; i < units::Count; ++i) {
                cli::out(QStringLiteral("Jednostka nr ") + QString::number(i + 1) +
                         QStringLiteral(": \"") + read->value(i) + u'"');
                values.append(read->value(i));
            }
            cli::jsonField(QStringLiteral("units"), values);
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

VDUNO_COMMAND(units, {"units",
                      CommandGroup::Register,
                      "get | set J1 J2 J3",
                      "jednostki programowalne kasy",
                      {},
                      {"--device /dev/ttyUSB0 units get", "--device /dev/ttyUSB0 units set kg l m"},
                      runUnits,
                      nullptr,
                      words})

// vduno clock set [YYYY-MM-DD HH:MM:SS]: sets the register's clock (default: the PC's now).
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "link/answers.h"
#include "link/link.h"
#include "tables/clock.h"

#include <QDateTime>

namespace {

QStringList words()
{
    return {QStringLiteral("set")};
}

int runClock(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    if (args.isEmpty() || args.first() != QLatin1String("set") || args.size() > 3)
        return cli::usage(context);
    QDateTime when = QDateTime::currentDateTime();
    if (args.size() > 1) {
        const QString text = args.mid(1).join(u' ');
        when = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!when.isValid()) {
            return cli::usage(context, QStringLiteral("Błędna data lub godzina: ") + text);
        }
    }
    Link& link = cli::commandLink(context);
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    const int r = regclock::set(link, ui, when);
    link.closePort();
    if (!answers::confirmed(r))
        return ExitFailure;
    cli::out(QStringLiteral("Zegar ustawiony: ") +
             when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    cli::jsonField(QStringLiteral("clock"), when.toString(Qt::ISODate));
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(clock, {"clock",
                      CommandGroup::Register,
                      "set [RRRR-MM-DD GG:MM:SS]",
                      "ustawia zegar kasy (domyślnie na czas komputera)",
                      {},
                      {"--device /dev/ttyUSB0 clock set", "--port 1 clock set 2026-12-10 08:00:00"},
                      runClock,
                      nullptr,
                      words})

// vduno clock set [YYYY-MM-DD HH:MM:SS]: sets the register's clock (default: the PC's now).
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "link/answers.h"
#include "link/link.h"
#include "tables/clock.h"

#include <QDateTime>

namespace {

int usage()
{
    cli::err(QStringLiteral("Użycie: vduno [opcje łącza] clock set [RRRR-MM-DD GG:MM:SS]"));
    return ExitUsage;
}

int runClock(const QStringList& args, CliContext& context)
{
    if (args.isEmpty() || args.first() != QLatin1String("set") || args.size() > 3)
        return usage();
    QDateTime when = QDateTime::currentDateTime();
    if (args.size() > 1) {
        const QString text = args.mid(1).join(u' ');
        when = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!when.isValid()) {
            cli::err(QStringLiteral("Błędna data lub godzina: ") + text);
            return usage();
        }
    }
    Link& link = Link::instance();
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    const int r = regclock::set(link, ui, when);
    link.closePort();
    if (!answers::confirmed(r))
        return ExitFailure;
    cli::out(QStringLiteral("Zegar ustawiony: ") +
             when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(clock, "clock set [RRRR-MM-DD GG:MM:SS]  ustawia zegar kasy", runClock)

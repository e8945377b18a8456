// vduno cache-dump [FILE.bin]: dumps the register's cache memory into a file.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "link/link.h"
#include "transfer/cachedump.h"

namespace {

int runCacheDump(const QStringList& args, CliContext& context)
{
    if (args.size() > 1 || (!args.isEmpty() && args.first().startsWith(u'-'))) {
        cli::err(QStringLiteral("Użycie: vduno [opcje łącza] cache-dump [PLIK.bin] "
                                "(domyślnie Kopia_cache.bin)"));
        return ExitUsage;
    }
    const QString path = args.isEmpty() ? transfer::defaultCacheDumpName() : args.first();
    Link& link = Link::instance();
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    const transfer::CacheDump dump = transfer::dumpCacheMemory(link, ui, path);
    link.closePort();
    cli::out(QStringLiteral("Odebrane pakiety danych: %1 / %2")
                 .arg(dump.frames)
                 .arg(transfer::kCacheMaxFrames));
    return dump.complete && dump.written ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND_NAMED(cachedump, "cache-dump", "cache-dump [PLIK.bin]: zrzut pamięci podręcznej kasy",
                    runCacheDump)

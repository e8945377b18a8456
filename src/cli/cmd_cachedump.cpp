// vduno cache-dump [FILE.bin]: dumps the register's cache memory into a file.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "link/link.h"
#include "transfer/cachedump.h"

namespace {

int runCacheDump(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    if (args.size() > 1)
        return cli::usage(context);
    const QString path = args.isEmpty() ? transfer::defaultCacheDumpName() : args.first();
    Link& link = cli::commandLink(context);
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    const transfer::CacheDump dump = transfer::dumpCacheMemory(link, ui, path);
    link.closePort();
    cli::out(QStringLiteral("Odebrane pakiety danych: %1 / %2")
                 .arg(dump.frames)
                 .arg(transfer::kCacheMaxFrames));
    cli::jsonField(QStringLiteral("file"), path);
    cli::jsonField(QStringLiteral("frames"), dump.frames);
    cli::jsonField(QStringLiteral("complete"), dump.complete && dump.written);
    return dump.complete && dump.written ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(cachedump, {"cache-dump",
                          CommandGroup::Register,
                          "[PLIK.bin]",
                          "zrzut pamięci podręcznej kasy (domyślnie do Kopia_cache.bin)",
                          {},
                          {"--device /dev/ttyUSB0 cache-dump kasa1.bin"},
                          runCacheDump})

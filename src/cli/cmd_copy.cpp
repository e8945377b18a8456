// vduno copy last|numbers|dates|cache ...: replays part of the register's electronic copy,
// printed at the register or sent here and printed as text.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "link/link.h"
#include "transfer/copyread.h"

#include <QDateTime>

namespace {

using namespace transfer;

const QString kUsage = QStringLiteral(
    "Użycie: vduno [opcje łącza] copy RODZAJ [opcje]\n"
    "  copy last                        ostatni dokument\n"
    "  copy numbers --reports A-B [--receipts C-D]\n"
    "                                   według numerów (raporty 1-2000, paragony 1-99999)\n"
    "  copy dates --from 'RRRR-MM-DD GG:MM' --to 'RRRR-MM-DD GG:MM'\n"
    "                                   według dat\n"
    "  copy cache                       wydruk pamięci podręcznej\n"
    "  --reports-only                   tylko raporty (numbers, dates; domyślnie całość kopii)\n"
    "  --print                          drukowanie na kasie (domyślnie wysyłanie do komputera)");

bool splitRange(const QString& text, QString& from, QString& to)
{
    const QStringList parts = text.split(u'-');
    if (parts.size() != 2)
        return false;
    from = parts[0];
    to = parts[1];
    return true;
}

int runCopy(const QStringList& arguments, CliContext& context)
{
    QStringList args = arguments;
    if (args.isEmpty()) {
        cli::err(kUsage);
        return ExitUsage;
    }
    const QString kind = args.takeFirst();
    const CopyHandling handling = cli::takeFlag(args, QStringLiteral("--print"))
                                      ? CopyHandling::PrintAtRegister
                                      : CopyHandling::SendToComputer;
    const CopyScope scope = cli::takeFlag(args, QStringLiteral("--reports-only"))
                                ? CopyScope::ReportsOnly
                                : CopyScope::Whole;
    std::optional<CopyQuery> query;
    bool missing = false;
    if (kind == QLatin1String("last")) {
        query = copySimple(CopyKind::LastDocument, handling);
    } else if (kind == QLatin1String("cache")) {
        query = copySimple(CopyKind::CacheMemory, handling);
    } else if (kind == QLatin1String("numbers")) {
        const QString reports = cli::takeOption(args, QStringLiteral("--reports"), &missing);
        QString receipts = cli::takeOption(args, QStringLiteral("--receipts"), &missing);
        if (receipts.isNull())
            receipts = QStringLiteral("1-99999");
        QString r1, r2, p1, p2;
        if (missing || reports.isNull() || !splitRange(reports, r1, r2) ||
            !splitRange(receipts, p1, p2)) {
            cli::err(kUsage);
            return ExitUsage;
        }
        QString error;
        query = copyByNumbers(r1, r2, p1, p2, scope, handling, &error);
        if (!query) {
            context.ui->showMessage(error, TransferUi::Icon::Error);
            return ExitFailure;
        }
    } else if (kind == QLatin1String("dates")) {
        const QString format = QStringLiteral("yyyy-MM-dd HH:mm");
        const QDateTime from = QDateTime::fromString(
            cli::takeOption(args, QStringLiteral("--from"), &missing), format);
        const bool fromMissing = missing;
        const QDateTime to =
            QDateTime::fromString(cli::takeOption(args, QStringLiteral("--to"), &missing), format);
        if (missing || fromMissing || !from.isValid() || !to.isValid()) {
            cli::err(kUsage);
            return ExitUsage;
        }
        query = copyByDates(from.date(), from.time(), to.date(), to.time(), scope, handling);
    }
    if (!query || !args.isEmpty()) {
        cli::err(kUsage);
        return ExitUsage;
    }
    Link& link = Link::instance();
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    CopyReception reception;
    const bool sent = runCopyRead(link, ui, *query, &reception);
    link.closePort();
    if (!reception.text.isEmpty())
        cli::out(reception.text);
    return sent && reception.end == CopyEnd::Complete ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(copy, "copy last|numbers|dates|cache ...: odczyt kopii elektronicznej", runCopy)

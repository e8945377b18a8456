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

QStringList words()
{
    return {QStringLiteral("last"), QStringLiteral("numbers"), QStringLiteral("dates"),
            QStringLiteral("cache")};
}

QStringList details()
{
    return {QStringLiteral("Rodzaje:"),
            QStringLiteral("  last                          ostatni dokument"),
            QStringLiteral("  numbers --reports A-B [--receipts C-D]"),
            QStringLiteral("                                według numerów (raporty 1-2000, "
                           "paragony 1-99999)"),
            QStringLiteral("  dates --from 'RRRR-MM-DD GG:MM' --to 'RRRR-MM-DD GG:MM'"),
            QStringLiteral("                                według dat"),
            QStringLiteral("  cache                         wydruk pamięci podręcznej")};
}

bool splitRange(const QString& text, QString& from, QString& to)
{
    const QStringList parts = text.split(u'-');
    if (parts.size() != 2)
        return false;
    from = parts[0];
    to = parts[1];
    return true;
}

int runCopy(const CliArgs& parsed, CliContext& context)
{
    QStringList args = parsed.positional;
    if (args.isEmpty())
        return cli::usage(context);
    const QString kind = args.takeFirst();
    const CopyHandling handling = parsed.isSet(QStringLiteral("print"))
                                      ? CopyHandling::PrintAtRegister
                                      : CopyHandling::SendToComputer;
    const CopyScope scope =
        parsed.isSet(QStringLiteral("reports-only")) ? CopyScope::ReportsOnly : CopyScope::Whole;
    std::optional<CopyQuery> query;
    if (kind == QLatin1String("last")) {
        query = copySimple(CopyKind::LastDocument, handling);
    } else if (kind == QLatin1String("cache")) {
        query = copySimple(CopyKind::CacheMemory, handling);
    } else if (kind == QLatin1String("numbers")) {
        const QString reports = parsed.value(QStringLiteral("reports"));
        QString receipts = parsed.value(QStringLiteral("receipts"));
        if (receipts.isNull())
            receipts = QStringLiteral("1-99999");
        QString r1, r2, p1, p2;
        if (reports.isNull() || !splitRange(reports, r1, r2) || !splitRange(receipts, p1, p2))
            return cli::usage(context);
        QString error;
        query = copyByNumbers(r1, r2, p1, p2, scope, handling, &error);
        if (!query) {
            context.ui->showMessage(error, TransferUi::Icon::Error);
            return ExitFailure;
        }
    } else if (kind == QLatin1String("dates")) {
        const QString format = QStringLiteral("yyyy-MM-dd HH:mm");
        const QDateTime from = QDateTime::fromString(parsed.value(QStringLiteral("from")), format);
        const QDateTime to = QDateTime::fromString(parsed.value(QStringLiteral("to")), format);
        if (!from.isValid() || !to.isValid())
            return cli::usage(context);
        query = copyByDates(from.date(), from.time(), to.date(), to.time(), scope, handling);
    }
    if (!query || !args.isEmpty())
        return cli::usage(context);
    Link& link = cli::commandLink(context);
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    CopyReception reception;
    const bool sent = runCopyRead(link, ui, *query, &reception);
    link.closePort();
    if (!reception.text.isEmpty())
        cli::out(reception.text);
    cli::jsonField(QStringLiteral("complete"), sent && reception.end == CopyEnd::Complete);
    return sent && reception.end == CopyEnd::Complete ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(copy,
              {"copy",
               CommandGroup::Reports,
               "RODZAJ",
               "odczyt kopii elektronicznej",
               {{"reports", "A-B", "numbers: numery raportów"},
                {"receipts", "C-D", "numbers: numery paragonów (domyślnie 1-99999)"},
                {"from", "'RRRR-MM-DD GG:MM'", "dates: od"},
                {"to", "'RRRR-MM-DD GG:MM'", "dates: do"},
                {"reports-only", nullptr, "tylko raporty (numbers, dates; domyślnie całość kopii)"},
                {"print", nullptr, "drukowanie na kasie (domyślnie wysyłanie do komputera)"}},
               {"--device /dev/ttyUSB0 copy last",
                "--device /dev/ttyUSB0 copy numbers --reports 10-12"},
               runCopy,
               details,
               words})

// vduno sales [--all] [--csv OUT.csv]: the register's sales records as list lines (and a CSV
// file); vduno sales clear --yes: clears the register's sales.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "common/amount.h"
#include "link/link.h"
#include "transfer/sales.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kUsage = QStringLiteral(
    "Użycie: vduno [opcje łącza] sales [--all] [--csv PLIK.csv]\n"
    "        vduno [opcje łącza] sales clear --yes\n"
    "  --all   wszystkie rekordy sprzedaży, także zerowe (domyślnie tylko niezerowe)\n"
    "  --csv   zapisuje pobraną sprzedaż do pliku CSV\n"
    "  clear   kasuje sprzedaż w kasie; wymaga potwierdzenia przez --yes");

int runClear(QStringList args, CliContext& context)
{
    const bool yes = cli::takeFlag(args, QStringLiteral("--yes")) || context.yes;
    if (!args.isEmpty()) {
        cli::err(kUsage);
        return ExitUsage;
    }
    if (!yes) {
        cli::err(transfer::clearSalesQuestion() +
                 QStringLiteral(" Potwierdź, dodając --yes. Nic nie wysłano."));
        return ExitFailure;
    }
    Link& link = Link::instance();
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    const bool ok = transfer::clearRegisterSales(link, ui, false);
    link.closePort();
    return ok ? ExitOk : ExitFailure;
}

// Quantities in ten-thousandths and values in hundredths (grosze), each with its shown text.
void printJson(const transfer::SalesBuffer& buffer, bool complete)
{
    QJsonArray records;
    for (const transfer::SalesRecord& r : buffer.records()) {
        if (r.number == 0)
            continue;
        records.append(QJsonObject{
            {QStringLiteral("number"), r.number},
            {QStringLiteral("name"), r.name},
            {QStringLiteral("vat"), QString(r.vat)},
            {QStringLiteral("quantity"), r.quantity},
            {QStringLiteral("quantityText"), amount::quantityText(r.quantity)},
            {QStringLiteral("value"), r.value},
            {QStringLiteral("valueText"), amount::text(r.value)},
        });
    }
    cli::outJson(QJsonDocument(
        QJsonObject{{QStringLiteral("complete"), complete}, {QStringLiteral("records"), records}}));
}

int runSales(const QStringList& arguments, CliContext& context)
{
    QStringList args = arguments;
    if (!args.isEmpty() && args.first() == QLatin1String("clear"))
        return runClear(args.mid(1), context);
    const bool all = cli::takeFlag(args, QStringLiteral("--all"));
    bool missing = false;
    const QString csv = cli::takeOption(args, QStringLiteral("--csv"), &missing);
    if (missing || !args.isEmpty()) {
        cli::err(kUsage);
        return ExitUsage;
    }
    Link& link = Link::instance();
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    transfer::SalesBuffer buffer;
    const transfer::SalesDownload result = transfer::downloadSales(link, ui, buffer, !all);
    link.closePort();
    if (context.json)
        printJson(buffer, result.complete);
    else
        for (const QString& line : transfer::salesList(buffer))
            cli::out(line);
    if (!csv.isNull() && !transfer::writeSalesCsv(csv, buffer)) {
        cli::err(QStringLiteral("Nie można zapisać pliku ") + csv + QLatin1Char('.'));
        return ExitFailure;
    }
    return result.complete ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(sales, "sales [--all] [--csv PLIK.csv] | sales clear --yes: sprzedaż z kasy",
              runSales)

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

QStringList details()
{
    return {QStringLiteral("sales clear kasuje sprzedaż w kasie; wymaga potwierdzenia przez "
                           "--yes.")};
}

QStringList words()
{
    return {QStringLiteral("clear")};
}

int runClear(const CliArgs& parsed, CliContext& context)
{
    if (parsed.positional.size() != 1 || parsed.isSet(QStringLiteral("all")) ||
        parsed.isSet(QStringLiteral("csv")))
        return cli::usage(context);
    if (!context.yes) {
        cli::err(transfer::clearSalesQuestion() +
                 QStringLiteral(" Potwierdź, dodając --yes. Nic nie wysłano."));
        return ExitFailure;
    }
    Link& link = cli::commandLink(context);
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

int runSales(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    if (!args.isEmpty() && args.first() == QLatin1String("clear"))
        return runClear(parsed, context);
    const bool all = parsed.isSet(QStringLiteral("all"));
    const QString csv = parsed.value(QStringLiteral("csv"));
    if (!args.isEmpty() || (!csv.isNull() && csv.isEmpty()))
        return cli::usage(context);
    Link& link = cli::commandLink(context);
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    transfer::SalesBuffer buffer;
    const transfer::SalesDownload result = transfer::downloadSales(link, ui, buffer, !all);
    link.closePort();
    if (context.report) {
        int count = 0;
        for (const transfer::SalesRecord& r : buffer.records())
            count += r.number != 0 ? 1 : 0;
        context.report->counts = QString::number(count) + QStringLiteral(" rekordów sprzedaży");
    }
    if (context.json)
        printJson(buffer, result.complete);
    else
        for (const QString& line : transfer::salesList(buffer))
            cli::out(line);
    if (!result.rereadText().isEmpty())
        cli::err(result.rereadText());
    if (!csv.isNull() && !transfer::writeSalesCsv(csv, buffer)) {
        cli::err(QStringLiteral("Nie można zapisać pliku ") + csv + QLatin1Char('.'));
        return ExitFailure;
    }
    return result.complete ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(sales,
              {"sales",
               CommandGroup::Reports,
               "[clear]",
               "sprzedaż z kasy (sales clear --yes: kasuje ją w kasie)",
               {{"all", nullptr, "wszystkie rekordy sprzedaży, także zerowe (domyślnie niezerowe)"},
                {"csv", "PLIK.csv", "zapisuje pobraną sprzedaż do pliku CSV"}},
               {"--device /dev/ttyUSB0 sales --csv sprzedaz.csv",
                "--device /dev/ttyUSB0 sales --json", "--device /dev/ttyUSB0 sales clear --yes"},
               runSales,
               details,
               words})

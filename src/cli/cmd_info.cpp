// vduno info: the register's information data, one "caption: value" line a field.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "common/transferui.h"
#include "link/link.h"
#include "transfer/information.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// JSON keys of the information fields, in field order, and whether the value is a count
// (printed as a number) rather than a text.
struct JsonField {
    const char* key;
    bool number;
};
constexpr JsonField kJsonFields[transfer::kInfoFieldCount] = {
    {"version", false},
    {"programMemory", false},
    {"uniqueNumber", false},
    {"nip", false},
    {"fiscalSignature", false},
    {"workingMode", false},
    {"memoryState", false},
    {"lastFiscalWrite", false},
    {"lastDailyReport", false},
    {"lastReportNumber", true},
    {"copyMedium", false},
    {"ramResets", true},
    {"receiptsSinceDailyReport", true},
    {"receiptsSinceFiscalization", true},
    {"saleStarted", false},
    {"serviceMode", false},
    {"headerProgrammed", false},
    {"vatRecords", true},
    {"registerNumber", true},
    {"cashierName", false},
    {"currencySymbol", false},
    {"currencyProgrammed", false},
    {"currencyChange", false},
    {"newCurrencySymbol", false},
    {"currencyChangeDate", false},
    {"portA", false},
    {"portB", false},
    {"usb", false},
    {"cardSize", true},
};

void printJson(const transfer::Information& info)
{
    QJsonObject object;
    object.insert(QStringLiteral("model"),
                  info.registerType == 2 ? QStringLiteral("DUNO BIS") : QStringLiteral("DUNO"));
    object.insert(QStringLiteral("type"), info.registerType);
    for (int i = 0; i < transfer::kInfoFieldCount; ++i) {
        const auto value = info.value(transfer::InfoField(i));
        if (!value)
            continue;
        const QString key = QString::fromLatin1(kJsonFields[i].key);
        bool isNumber = false;
        const qlonglong n = kJsonFields[i].number ? value->trimmed().toLongLong(&isNumber) : 0;
        if (isNumber)
            object.insert(key, n);
        else
            object.insert(key, *value);
    }
    cli::outJson(QJsonDocument(object));
}

int runInfo(const CliArgs& parsed, CliContext& context)
{
    if (!parsed.positional.isEmpty())
        return cli::usage(context);
    Link& link = cli::commandLink(context);
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    const auto info = transfer::fetchInformation(link, ui);
    link.closePort();
    if (!info)
        return ExitFailure;
    if (context.json) {
        printJson(*info);
        return ExitOk;
    }
    cli::out(QStringLiteral("Typ kasy: ") +
             (info->registerType == 2 ? QStringLiteral("DUNO BIS") : QStringLiteral("DUNO")));
    for (int i = 0; i < transfer::kInfoFieldCount; ++i) {
        const auto field = transfer::InfoField(i);
        if (const auto value = info->value(field))
            cli::out(transfer::infoCaption(field) + QStringLiteral(": ") + *value);
    }
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(info, {"info",
                     CommandGroup::Register,
                     "",
                     "dane informacyjne kasy",
                     {},
                     {"--device /dev/ttyUSB0 info", "--emulator info --json"},
                     runInfo})

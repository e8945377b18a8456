// vduno probe: is there a register on the line, and which model is it.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "link/answers.h"
#include "link/link.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

int runProbe(const CliArgs& parsed, CliContext& context)
{
    if (!parsed.positional.isEmpty())
        return cli::usage(context);
    Link& link = cli::commandLink(context);
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    link.drainInput(ui);
    if (!answers::probe(link, ui, 0x8001)) {
        ui.showMessage(QStringLiteral("Nie wykryto żadnej kasy podłączonej do tego komputera."));
        link.closePort();
        return ExitFailure;
    }
    const int type = answers::detectRegisterType(link, ui);
    link.closePort();
    if (type == 0) {
        ui.showMessage(QStringLiteral("Brak komunikacji."));
        return ExitFailure;
    }
    const QString model = type == 2 ? QStringLiteral("DUNO BIS") : QStringLiteral("DUNO");
    if (context.json)
        cli::outJson(QJsonDocument(
            QJsonObject{{QStringLiteral("model"), model}, {QStringLiteral("type"), type}}));
    else
        cli::out(model);
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(probe, {"probe",
                      CommandGroup::Register,
                      "",
                      "sprawdza, czy kasa odpowiada, i podaje jej typ",
                      {},
                      {"--device /dev/ttyUSB0 probe", "--device tcp://192.168.1.50:4001 probe"},
                      runProbe})

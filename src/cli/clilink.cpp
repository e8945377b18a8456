#include "clilink.h"

#include "link/answers.h"
#include "link/frametrace.h"
#include "link/link.h"
#include "link/portmap.h"

namespace cli {

Link& commandLink(CliContext& context)
{
    return context.link ? *context.link : Link::instance();
}

bool openLink(CliContext& context, Link& link, TransferUi& ui)
{
    if (context.link == &link) {
        // A chain's register: its line was opened by the chain, or is opened again on the
        // register's own device when a command before closed it.
        const bool open = link.isOpen() || link.openPort(ui, true) == 0;
        context.linkFailed = !open;
        return open;
    }
    int port = context.port;
    if (!context.device.isEmpty()) {
        if (port < 1 || port > 99)
            port = 99;
        portmap::setPortOverride(port, context.device);
    }
    if (port < 1 || port > 99) {
        ui.showMessage(QStringLiteral("Nie wybrano portu komunikacyjnego."),
                       TransferUi::Icon::Error);
        context.linkFailed = true;
        return false;
    }
    link.port = port;
    link.line.baud = quint32(context.baud);
    link.address = quint8(context.address);
    link.fastTransfers = context.fast;
    link.tls.caFile = context.tlsCa;
    link.tls.pin = parseTlsPin(context.tlsPin).value_or(QByteArray());
    if (!context.trace.isEmpty()) {
        FrameTrace trace;
        QString error;
        if (!trace.open(context.trace, &error)) {
            ui.showMessage(error, TransferUi::Icon::Error);
            return false;
        }
        link.trace = trace.hook([](const QString& message) { cli::err(message); });
    }
    const bool open = link.openPort(ui, true) == 0;
    context.linkFailed = !open;
    return open;
}

int registerType(Link& link, TransferUi& ui)
{
    const int type = answers::detectRegisterType(link, ui);
    if (type == 1 || type == 2)
        return type;
    ui.showMessage(QStringLiteral("Nie można ustalić typu kasy (DUNO czy DUNO BIS). Sprawdź "
                                  "połączenie z kasą i spróbuj ponownie."),
                   TransferUi::Icon::Error);
    return 0;
}

} // namespace cli

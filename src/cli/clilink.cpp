#include "clilink.h"

#include "link/link.h"
#include "link/portmap.h"

#include <QFile>
#include <memory>

namespace cli {

bool openLink(CliContext& context, Link& link, TransferUi& ui)
{
    int port = context.port;
    if (!context.device.isEmpty()) {
        if (port < 1 || port > 99)
            port = 99;
        portmap::setPortOverride(port, context.device);
    }
    if (port < 1 || port > 99) {
        ui.showMessage(QStringLiteral("Nie wybrano portu komunikacyjnego."),
                       TransferUi::Icon::Error);
        return false;
    }
    link.port = port;
    link.line.baud = quint32(context.baud);
    link.address = quint8(context.address);
    if (!context.trace.isEmpty()) {
        auto file = std::make_shared<QFile>(context.trace);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Append)) {
            ui.showMessage(QStringLiteral("Nie mogę otworzyć pliku ") + context.trace,
                           TransferUi::Icon::Error);
            return false;
        }
        link.trace = [file](char direction, QByteArrayView bytes) {
            if (bytes.isEmpty())
                return;
            file->write(QByteArray(1, direction) + ' ' + bytes.toByteArray().toHex(' ') + '\n');
            file->flush();
        };
    }
    return link.openPort(ui, true) == 0;
}

} // namespace cli

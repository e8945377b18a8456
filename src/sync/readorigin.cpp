#include "readorigin.h"

#include "common/transferui.h"
#include "link/link.h"
#include "link/portmap.h"

namespace basesync {

namespace {

// The device a link opens: its own one, else the one its port number stands for.
QString deviceOf(const Link& link)
{
    return link.device.isEmpty() ? portmap::devicePath(link.port) : link.device;
}

} // namespace

ReadOrigin ReadOrigin::of(const Link& link, const QDateTime& when)
{
    return {link.port, deviceOf(link), link.address, when};
}

bool ReadOrigin::sameConnection(const Link& link) const
{
    return read() && port == link.port && address == link.address && device == deviceOf(link);
}

bool ReadOrigin::allowsCopy(const Link& link, TransferUi& ui) const
{
    if (sameConnection(link))
        return true;
    const QString readAgain = QStringLiteral("Najpierw odczytaj dane z kasy (Odśwież).");
    if (!read()) {
        ui.showMessage(readAgain, TransferUi::Icon::Warning);
        return false;
    }
    ui.showMessage(QStringLiteral("Lista kasy została odczytana %1 z kasy nr %2 przez %3, a "
                                  "połączenie zmieniło się od tego czasu. ")
                           .arg(when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                           .arg(address)
                           .arg(device.isEmpty()
                                    ? QStringLiteral("COM%1").arg(port)
                                    : QStringLiteral("COM%1 (%2)").arg(port).arg(device)) +
                       readAgain,
                   TransferUi::Icon::Warning);
    return false;
}

} // namespace basesync

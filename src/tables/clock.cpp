#include "clock.h"

#include "common/transferui.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/link.h"

namespace regclock {

QByteArray frame(quint8 address, const QDateTime& when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    return commands::setClock(address, 0x8001, quint16(d.year()), quint8(d.month()),
                              quint8(d.day()), quint8(t.hour()), quint8(t.minute()),
                              quint8(t.second()));
}

int set(Link& link, TransferUi& ui, const QDateTime& when)
{
    link.drainInput(ui);
    if (commands::send(link, ui, frame(link.address, when)) != 0)
        return -1;
    const int r = answers::reportConfirmationWait(link, ui);
    if (r == answers::NoAnswer)
        ui.showMessage(QStringLiteral("Błąd transmisji!"), TransferUi::Icon::Error);
    return r;
}

} // namespace regclock

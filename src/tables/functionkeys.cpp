#include "functionkeys.h"

#include "common/transferrun.h"

#include "common/transferui.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/link.h"

namespace functionkeys {

const QStringList& functionNames()
{
    static const QStringList names{QStringLiteral("Brak funkcji"),
                                   QStringLiteral("Raport dobowy"),
                                   QStringLiteral("Raport miesięczny (niezerujący)"),
                                   QStringLiteral("Raport okresowy (niezerujący)"),
                                   QStringLiteral("Raport towarów nieaktywnych (niezerujący)"),
                                   QStringLiteral("Raport bazy z PTU (niezerujący)"),
                                   QStringLiteral("Raport sprzedaży (niezerujący)"),
                                   QStringLiteral("Raport kasjera (niezerujący)"),
                                   QStringLiteral("Raport zmianowy (niezerujący)"),
                                   QStringLiteral("Raport rabatów (niezerujący)"),
                                   QStringLiteral("Raport opakowań (niezerujący)"),
                                   QStringLiteral("Raport form płatności (niezerujący)"),
                                   QStringLiteral("Raport grup towarowych (niezerujący)"),
                                   QStringLiteral("Raport napisów stałych"),
                                   QStringLiteral("Raport PTU"),
                                   QStringLiteral("Raport klawiszy szybkich"),
                                   QStringLiteral("Raport sprzedaży (zerujący)"),
                                   QStringLiteral("Raport kasjera (zerujący)"),
                                   QStringLiteral("Raport zmianowy (zerujący)"),
                                   QStringLiteral("Raport rabatów (zerujący)"),
                                   QStringLiteral("Raport opakowań (zerujący)"),
                                   QStringLiteral("Raport form płatności (zerujący)"),
                                   QStringLiteral("Raport grup towarowych (zerujący)")};
    return names;
}

int functionCode(int position)
{
    if (position == 0)
        return 16;
    if (position >= 1 && position <= 15)
        return position;
    if (position >= 16 && position <= 22)
        return position + 9;
    return -1;
}

bool sendKey(Link& link, TransferUi& ui, int cashier, int key, int position)
{
    const int code = functionCode(position);
    if (code < 0 || cashier < 1 || cashier > 10 || key < 1 || key > 10)
        return false;
    link.drainInput(ui);
    if (commands::send(
            link, ui,
            commands::setFunctionKey(0x8001, quint8(cashier), quint8(key), quint8(code))) != 0)
        return false;
    int r = answers::reportConfirmationWait(link, ui);
    if (r == answers::Busy) {
        ui.waitMs(650);
        r = answers::reportConfirmationWait(link, ui);
    }
    if (!answers::confirmed(r))
        return false;
    link.pauseBetweenFrames(ui, 650);
    return true;
}

int sendAllKeys(Link& link, TransferUi& caller, int cashier, const std::array<int, 10>& positions)
{
    TransferRun ui(caller);
    int accepted = 0;
    for (int key = 1; key <= 10; ++key) {
        ui.processEvents();
        if (ui.stopRequested())
            break;
        if (!sendKey(link, ui, cashier, key, positions[size_t(key - 1)]))
            break;
        ++accepted;
    }
    return accepted;
}

const QStringList& salesFunctionNames()
{
    static const QStringList names{QStringLiteral("Brak"),
                                   QStringLiteral("Szybki rabat/narzut z bazy"),
                                   QStringLiteral("Szybkie storno"),
                                   QStringLiteral("Szybki rabat z ręki"),
                                   QStringLiteral("Szybki narzut z ręki"),
                                   QStringLiteral("Szybkie wpłaty form płatności"),
                                   QStringLiteral("Szybki zwrot opakowań"),
                                   QStringLiteral("Szybkie wydanie opakowań")};
    return names;
}

int salesFunctionCode(int position)
{
    if (position < 0 || position > 7)
        return -1;
    return position < 2 ? position : position + 1;
}

int sendSalesFunction(Link& link, TransferUi& ui, int cashier, int position, int kind, int number)
{
    const commands::Frame f = commands::setQuickSalesFunctionKey(
        link.address, 0x8001, quint8(cashier), position, quint8(kind), quint8(number));
    if (!f)
        return 1;
    link.drainInput(ui);
    return commands::send(link, ui, *f);
}

} // namespace functionkeys

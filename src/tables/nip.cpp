#include "nip.h"

#include "common/cp1250.h"
#include "common/transferui.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/link.h"

namespace nip {

QString padded(const QString& text)
{
    return text.size() >= 10 ? text : text + QString(10 - text.size(), u'0');
}

Result program(Link& link, TransferUi& ui, const QString& text)
{
    if (text.size() > MaxLength) {
        ui.showMessage(QStringLiteral("Zbyt długi NIP!"), TransferUi::Icon::Warning);
        return Result::Refused;
    }
    if (const QString refused = cp1250::refusal(text, QStringLiteral("NIP")); !refused.isEmpty()) {
        ui.showMessage(refused, TransferUi::Icon::Warning);
        return Result::Refused;
    }
    link.drainInput(ui);
    if (commands::sendTaxpayerNumber(link, ui, 0x8001, padded(text)) != 0)
        return Result::NotSent;
    link.pauseForAnswer(ui, 1000);
    const int r = answers::confirmationWait(link, ui);
    if (r == answers::NoAnswer) {
        ui.showMessage(QStringLiteral("Brak komunikacji"), TransferUi::Icon::Error);
        return Result::NoAnswer;
    }
    return answers::confirmed(r) ? Result::Accepted : Result::Rejected;
}

} // namespace nip

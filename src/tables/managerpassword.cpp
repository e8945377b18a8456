#include "managerpassword.h"

#include "common/cp1250.h"
#include "common/transferui.h"
#include "link/commands.h"
#include "link/link.h"
#include "tables/recordsend.h"

#include <utility>

namespace managerpassword {

QString padded(const QString& password)
{
    if (password.isEmpty())
        return QString(Width, u' ');
    if (password.size() >= Width)
        return password.left(Width);
    QString p = password;
    p.insert(p.size() - 1, QString(Width - p.size(), u' '));
    return p;
}

int send(Link& link, TransferUi& ui, const QString& oldPassword, const QString& newPassword,
         bool confirm, bool awaitAnswer)
{
    for (const auto& [text, label] : {std::pair{oldPassword, QStringLiteral("Stare hasło")},
                                      std::pair{newPassword, QStringLiteral("Nowe hasło")}})
        if (const QString refused = cp1250::refusal(text, label); !refused.isEmpty()) {
            ui.showMessage(refused, TransferUi::Icon::Warning);
            return -1;
        }
    const QByteArray frame = commands::setManagerPassword(link.address, 0x8001, padded(oldPassword),
                                                          padded(newPassword), confirm ? 1 : 0);
    if (awaitAnswer)
        return recordsend::sendFrame(link, ui, frame);
    link.drainInput(ui);
    return commands::send(link, ui, frame);
}

recordsend::OutcomeTexts sendTexts()
{
    return {QStringLiteral("Hasło kierownika zapisano w kasie"),
            QStringLiteral("Błąd! Kasa nie potwierdziła zmiany hasła kierownika!")};
}

} // namespace managerpassword

#include "units.h"

#include "common/cp1250.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/link.h"
#include "tables/recordsend.h"

namespace units {

QStringList decode(QByteArrayView b)
{
    QStringList names;
    for (int i = 0; i < Count; ++i)
        names.append(cp1250::readField(b.sliced(i * Width, Width)));
    return names;
}

QByteArray encode(const QStringList& names)
{
    QByteArray b;
    for (int i = 0; i < Count; ++i)
        b.append(cp1250::padSpaces(names.value(i), Width));
    return b;
}

std::optional<QStringList> read(Link& link, TransferUi& ui)
{
    constexpr int Length = 18;
    if (!answers::readSingleFrame(link, ui, commands::requestTable(link.address, 0x8001, 'J'),
                                  Length))
        return std::nullopt;
    return decode(link.received(Length).sliced(7, Count * Width));
}

int send(Link& link, TransferUi& ui, const QStringList& names, bool awaitAnswer)
{
    for (int i = 0; i < Count; ++i)
        if (const QString refused = cp1250::refusal(
                names.value(i), QStringLiteral("Jednostka nr ") + QString::number(i + 1));
            !refused.isEmpty()) {
            ui.showMessage(refused, TransferUi::Icon::Warning);
            return -1;
        }
    const QByteArray frame = commands::setUnitNames(link.address, 0x8001, names.value(0),
                                                    names.value(1), names.value(2));
    if (awaitAnswer)
        return recordsend::sendFrame(link, ui, frame);
    link.drainInput(ui);
    return commands::send(link, ui, frame);
}

recordsend::OutcomeTexts sendTexts()
{
    return {QStringLiteral("Jednostki zapisano w kasie"),
            QStringLiteral("Błąd! Kasa nie potwierdziła zapisu jednostek!")};
}

} // namespace units

#include "units.h"

#include "common/cp1250.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/frame.h"
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
    link.drainInput(ui);
    if (commands::send(link, ui, commands::requestTable(link.address, 0x8001, 'J')) != 0)
        return std::nullopt;
    const int r = answers::readAnswer(link, ui, Length);
    if (r == answers::CheckError) {
        answers::sendAcknowledgement(link, ui, 1);
        return std::nullopt;
    }
    if (r != answers::More && r != answers::Done)
        return std::nullopt;
    // A check byte alone is weak (a stream of frame starts passes it): the frame must also
    // begin, end and give its length as the units frame does.
    if (link.at(0) != quint8(frame::Start) || link.at(2) != Length || link.at(3) != 0 ||
        link.at(Length - 1) != quint8(frame::End)) {
        ui.showMessage(QStringLiteral("Kasa odpowiedziała nieprawidłową ramką."),
                       TransferUi::Icon::Error);
        return std::nullopt;
    }
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

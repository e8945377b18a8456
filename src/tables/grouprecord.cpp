#include "grouprecord.h"

#include "common/cp1250.h"
#include "link/answers.h"
#include "tables/recordsend.h"

GroupRecord GroupRecord::decode(QByteArrayView b)
{
    GroupRecord r;
    r.number = quint8(b[0]);
    r.name = cp1250::readField(b.sliced(1, 21));
    return r;
}

QByteArray GroupRecord::encode() const
{
    QByteArray b(Size, '\0');
    b[0] = char(number);
    cp1250::putField(b, 1, name, 21);
    return b;
}

Validated<GroupRecord> validateGroup(const GroupInput& in, QByteArrayView table)
{
    using V = Validated<GroupRecord>;
    if (in.name.isEmpty())
        return V::fromHints({{QStringLiteral("Edit1"), QStringLiteral("Wprowadź nazwę!"), true}});
    const QString name = input::paddedSpaces(in.name, 21);
    if (name == QString(21, u' '))
        return V::fail({QStringLiteral("Edit1"),
                        QStringLiteral("Nazwa grupy towarowej nie może składać się z samych "
                                       "znaków spacji!")});
    if (const QString refused = cp1250::refusal(in.name, QStringLiteral("Nazwa"));
        !refused.isEmpty())
        return V::fail({QStringLiteral("Edit1"), refused});
    for (int n = 1; n <= 20 && table.size() >= layout::Groups.bytes(); ++n)
        if (input::paddedSpaces(cp1250::readField(layout::Groups.record(table, n).sliced(1, 21)),
                                21) == name)
            return V::fail({QStringLiteral("Edit1"),
                            QStringLiteral("Grupa towarowa o takiej nazwie już istnieje! Wybierz "
                                           "inną nazwę.")});
    return V::success({in.number, in.name});
}

QString groupDeleteRefusal(int number)
{
    return number == 1 ? QStringLiteral(" Nie można usunąć grupy towarowej nr  1") : QString();
}

QStringList groupChoiceItems(QByteArrayView table)
{
    QStringList items;
    for (int n = 1; n <= 20; ++n) {
        const GroupRecord g = GroupRecord::decode(layout::Groups.record(table, n));
        items.append(g.number != 0 ? QString::number(g.number) + QStringLiteral(". ") + g.name
                                   : QString::number(n));
    }
    return items;
}

QString groupSendMessage(int waitResult, int deviceError)
{
    if (waitResult == answers::DeviceError && (deviceError == 5 || deviceError == 40))
        return QStringLiteral("Nazwa grupy towarowej już występuje w bazie towarowej kasy.");
    return recordsend::outcomeText(
        waitResult, deviceError,
        {QStringLiteral("Grupę towarową zapisano w kasie"),
         QStringLiteral("Błąd! Kasa nie potwierdziła zapisu grupy towarowej!")});
}

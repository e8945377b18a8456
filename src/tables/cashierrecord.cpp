#include "cashierrecord.h"

#include "common/cp1250.h"

CashierRecord CashierRecord::decode(QByteArrayView b)
{
    CashierRecord r;
    r.number = quint8(b[0]);
    r.name = cp1250::readField(b.sliced(1, 21));
    r.password = cp1250::readField(b.sliced(22, 4));
    for (int i = 0; i < RightCount; ++i)
        r.rights[i] = b[26 + i] != 0;
    return r;
}

QByteArray CashierRecord::encode() const
{
    QByteArray b(Size, '\0');
    b[0] = char(number);
    cp1250::putField(b, 1, name, 21);
    cp1250::putField(b, 22, password, 4);
    for (int i = 0; i < RightCount; ++i)
        b[26 + i] = rights[i] ? 1 : 0;
    return b;
}

const QStringList& cashierRightNames()
{
    static const QStringList names{QStringLiteral("Wykonywanie raportów niezerujących"),
                                   QStringLiteral("Wykonywanie raportów zerujących"),
                                   QStringLiteral("Udzielanie rabatów ręcznie"),
                                   QStringLiteral("Udzielanie rabatów z bazy"),
                                   QStringLiteral("Możliwosc anulowania paragonu"),
                                   QStringLiteral("Możliwość wykonywania operacji storno"),
                                   QStringLiteral("Wykonywania wpłat i wypłat z kasy")};
    return names;
}

Validated<CashierRecord> validateCashier(const CashierInput& in, QByteArrayView table)
{
    using V = Validated<CashierRecord>;
    QList<Failure> hints;
    if (in.number.isEmpty())
        hints.append({QStringLiteral("Edit1"), QStringLiteral(" Wprowadź numer!"), true});
    if (in.name.isEmpty())
        hints.append({QStringLiteral("Edit2"), QStringLiteral(" Wprowadź nazwę!"), true});
    if (!hints.isEmpty())
        return V::fromHints(hints);
    if (input::onlySpaces(in.name))
        return V::fail(
            {QStringLiteral("Edit2"),
             QStringLiteral("Nazwa kasjera nie może składać się z samych znaków spacji!")});
    if (const QString refused = cp1250::refusal(in.name, QStringLiteral("Nazwa kasjera"));
        !refused.isEmpty())
        return V::fail({QStringLiteral("Edit2"), refused});
    const auto number = input::integer(in.number);
    if (!number || *number < 1 || *number > 10)
        return V::fail(
            {QStringLiteral("Edit1"),
             QStringLiteral(
                 "Wartość pola 'Numer kasjera' powinna zawierać się w przedziale 1-10")});
    QString password = in.password.trimmed();
    // The mask allows four digits; anything else (signs, letters, more digits) is refused.
    bool digits = password.size() <= 4;
    for (QChar c : password)
        digits = digits && c >= u'0' && c <= u'9';
    if (!password.isEmpty() && !digits)
        return V::fail({QStringLiteral("MaskEdit1"), QStringLiteral("Błędne hasło!")});
    CashierRecord r;
    r.number = int(*number);
    r.name = in.name;
    r.password = password;
    if (r.number == 1 && table.size() >= layout::Cashiers.bytes())
        r.password = CashierRecord::decode(layout::Cashiers.record(table, 1)).password;
    r.rights = in.rights;
    return V::success(r);
}

QString cashierDeleteRefusal(int number)
{
    return number == 1 ? QStringLiteral("Nie można usunąć kasjera nr 1") : QString();
}

QString cashierPasswordText(const CashierRecord& r)
{
    return r.password.isEmpty() ? QStringLiteral("Brak") : r.password;
}

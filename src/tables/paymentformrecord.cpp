#include "paymentformrecord.h"

#include "common/cp1250.h"

PaymentFormRecord PaymentFormRecord::decode(QByteArrayView b)
{
    PaymentFormRecord r;
    r.number = quint8(b[0]);
    r.name = cp1250::readField(b.sliced(1, 21));
    r.type = quint8(b[22]);
    return r;
}

QByteArray PaymentFormRecord::encode() const
{
    QByteArray b(Size, '\0');
    b[0] = char(number);
    cp1250::putField(b, 1, name, 21);
    b[22] = char(type);
    return b;
}

const QStringList& paymentTypeNames()
{
    static const QStringList names{QStringLiteral("Karta płatnicza"), QStringLiteral("Czek"),
                                   QStringLiteral("Bon"), QStringLiteral("Kredyt"),
                                   QStringLiteral("Inna")};
    return names;
}

QString paymentTypeName(int type)
{
    return type >= 1 && type <= 5 ? paymentTypeNames()[type - 1] : QString();
}

Validated<PaymentFormRecord> validatePaymentForm(const PaymentFormInput& in, QByteArrayView table)
{
    using V = Validated<PaymentFormRecord>;
    QList<Failure> hints;
    if (in.number.isEmpty())
        hints.append({QStringLiteral("Edit1"), QStringLiteral("Podaj numer!"), true});
    if (in.name.isEmpty())
        hints.append({QStringLiteral("Edit2"), QStringLiteral("Podaj nazwę!"), true});
    if (!hints.isEmpty())
        return V::fromHints(hints);
    const auto number = input::integer(in.number);
    if (!number || *number < 1 || *number > 10)
        return V::fail({QStringLiteral("Edit1"),
                        QStringLiteral(" Błędna wartość w polu Numer. Numer musi zawierać się w "
                                       "przedziale 1 - 10")});
    if (input::onlySpaces(in.name))
        return V::fail(
            {QStringLiteral("Edit2"),
             QStringLiteral("Nazwa waluty nie może składać się z samych znaków spacji!")});
    if (const QString refused = cp1250::refusal(in.name, QStringLiteral("Nazwa"));
        !refused.isEmpty())
        return V::fail({QStringLiteral("Edit2"), refused});
    const QString name = input::withoutTrailingSpaces(in.name);
    for (int n = 1; n <= 10 && table.size() >= layout::PaymentForms.bytes(); ++n) {
        const QByteArrayView rec = layout::PaymentForms.record(table, n);
        if (rec[0] != 0 && n != *number &&
            input::withoutTrailingSpaces(cp1250::readField(rec.sliced(1, 21))) == name)
            return V::fail({QStringLiteral("Edit2"),
                            QStringLiteral("Forma platności o takiej nazwie już istnieje! Wybierz "
                                           "inną nazwę.")});
    }
    PaymentFormRecord r;
    r.number = int(*number);
    r.name = in.name;
    r.type = in.typeIndex + 1;
    return V::success(r);
}

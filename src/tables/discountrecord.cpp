#include "discountrecord.h"

#include "common/amount.h"
#include "common/cp1250.h"

#include <algorithm>

DiscountRecord DiscountRecord::decode(QByteArrayView b)
{
    DiscountRecord r;
    r.number = quint8(b[0]);
    r.name = cp1250::readField(b.sliced(1, 21));
    r.kind = quint8(b[22]);
    r.type = quint8(b[23]);
    r.value = le::i32(b, 24);
    return r;
}

QByteArray DiscountRecord::encode() const
{
    QByteArray b(Size, '\0');
    b[0] = char(number);
    cp1250::putField(b, 1, name, 21);
    b[22] = char(kind);
    b[23] = char(type);
    le::put32(b, 24, value);
    return b;
}

Validated<DiscountRecord> validateDiscount(const DiscountInput& in, QByteArrayView table)
{
    using V = Validated<DiscountRecord>;
    QList<Failure> hints;
    if (in.number.isEmpty())
        hints.append({QStringLiteral("Edit1"), QStringLiteral(" Wprowadź numer!"), true});
    if (in.name.isEmpty())
        hints.append({QStringLiteral("Edit2"), QStringLiteral(" Wprowadź nazwę!"), true});
    if (in.value.isEmpty())
        hints.append({QStringLiteral("Edit3"), QStringLiteral(" Wprowadź wartość!"), true});
    if (!hints.isEmpty())
        return V::fromHints(hints);
    const auto number = input::integer(in.number);
    if (!number || *number < 1 || *number > 20)
        return V::fail({QStringLiteral("Edit1"),
                        QStringLiteral(" Błędna wartość w polu Numer. Numer musi zawierać się w "
                                       "przedziale 1 - 20")});
    if (input::onlySpaces(in.name))
        return V::fail(
            {QStringLiteral("Edit2"),
             QStringLiteral("Nazwa rabatu/narzutu nie może składać się z samych znaków spacji!")});
    if (const QString refused = cp1250::refusal(in.name, QStringLiteral("Nazwa"));
        !refused.isEmpty())
        return V::fail({QStringLiteral("Edit2"), refused});
    const QString name = input::withoutTrailingSpaces(in.name);
    for (int n = 1; n <= 20 && table.size() >= layout::Discounts.bytes(); ++n) {
        const QByteArrayView rec = layout::Discounts.record(table, n);
        if (rec[0] != 0 && n != *number &&
            input::withoutTrailingSpaces(cp1250::readField(rec.sliced(1, 21))) == name)
            return V::fail({QStringLiteral("Edit2"),
                            QStringLiteral("Rabat/narzut o takiej nazwie już istnieje! Wybierz "
                                           "inną nazwę.")});
    }
    // Only digits and one decimal comma; the value is read digit by digit.
    const QString& t = in.value;
    qsizetype comma = -1;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == u',' && comma < 0)
            comma = i;
        else if (t[i] < u'0' || t[i] > u'9')
            return V::fail(
                {QStringLiteral("Edit3"), QStringLiteral("Błędna wartość w polu Wartosc")});
    }
    if (comma >= 0 && t.size() - comma - 1 > 2)
        return V::fail({QStringLiteral("Edit3"), QStringLiteral("Błędna wartość w polu Wartość")});
    qint64 hundredths = 0;
    int fracDigits = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (i == comma)
            continue;
        hundredths = std::min<qint64>(hundredths * 10 + (t[i].unicode() - u'0'), 1'000'000'000'000);
        if (comma >= 0 && i > comma)
            ++fracDigits;
    }
    for (; fracDigits < 2; ++fracDigits)
        hundredths *= 10;
    if (in.type == DiscountRecord::Percentage) {
        if (hundredths < 1 || hundredths > 9999)
            return V::fail({QStringLiteral("Edit3"),
                            QStringLiteral("    Wartość rabatu/narzutu procentowego musi zawierać "
                                           "się w przedziale: 0,01 % - 99,99 %      ")});
    } else if (hundredths < 1) {
        return V::fail({QStringLiteral("Edit3"),
                        QStringLiteral("    Wartość rabatu/narzutu kwotowego nie może być "
                                       "mniejsza lub równa 0     ")});
    } else if (hundredths > 99999998) {
        return V::fail(
            {QStringLiteral("Edit3"),
             QStringLiteral("    Maksymalna wartość rabatu/narzutu kwotowego to 999999,98     ")});
    }
    DiscountRecord r;
    r.number = int(*number);
    r.name = in.name;
    r.kind = in.kind;
    r.type = in.type;
    r.value = qint32(hundredths);
    return V::success(r);
}

QStringList discountGridRow(const DiscountRecord& r, const QString& currencySymbol)
{
    return {QString::number(r.number), r.name,
            r.kind == DiscountRecord::Markup ? QStringLiteral("Narzut") : QStringLiteral("Rabat"),
            amount::text(r.value).rightJustified(10, u' '),
            r.type == DiscountRecord::Amount ? currencySymbol : QStringLiteral("%")};
}

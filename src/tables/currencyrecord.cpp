#include "currencyrecord.h"

#include "common/amount.h"
#include "common/cp1250.h"

CurrencyRecord CurrencyRecord::decode(QByteArrayView b)
{
    CurrencyRecord r;
    r.number = quint8(b[0]);
    r.name = cp1250::readField(b.sliced(1, 21));
    r.mantissa = le::i32(b, 22);
    r.decimals = quint8(b[26]);
    r.symbol = input::withoutTrailingSpaces(cp1250::readField(b.sliced(27, 3)));
    return r;
}

QByteArray CurrencyRecord::encode() const
{
    QByteArray b(Size, '\0');
    b[0] = char(number);
    cp1250::putField(b, 1, name, 21);
    le::put32(b, 22, mantissa);
    b[26] = char(decimals);
    b.replace(27, 3, cp1250::padSpaces(symbol, 3));
    return b;
}

QString rateText(qint32 mantissa, int decimals)
{
    const bool negative = mantissa < 0;
    QString digits = QString::number(negative ? -qint64(mantissa) : qint64(mantissa));
    if (digits.size() < decimals + 1)
        digits = QString(decimals + 1 - digits.size(), u'0') + digits;
    if (decimals > 0)
        digits.insert(digits.size() - decimals, u',');
    return negative ? u'-' + digits : digits;
}

QString rateFromText(const QString& t, RateParts& out)
{
    const QString bad = QStringLiteral("Błędna wartość w polu Kurs");
    if (t.isEmpty() || t.front() == u',' || (t.front() == u'0' && (t.size() < 2 || t[1] != u',')))
        return bad;
    qsizetype comma = -1;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == u',' && comma < 0)
            comma = i;
        else if (t[i] < u'0' || t[i] > u'9')
            return bad;
    }
    QString digits = t;
    int decimals = 0;
    if (comma >= 0) {
        decimals = int(t.size() - comma - 1);
        digits.remove(comma, 1);
    }
    while (digits.size() < 8) {
        digits.append(u'0');
        ++decimals;
    }
    bool ok = false;
    const int mantissa = digits.toInt(&ok);
    if (!ok || decimals > 255)
        return QStringLiteral("     Błędna wartość w polu Kurs     ");
    out = {mantissa, decimals};
    return QString();
}

Validated<CurrencyRecord> validateCurrency(const CurrencyInput& in, QByteArrayView table)
{
    using V = Validated<CurrencyRecord>;
    QList<Failure> hints;
    if (in.number.isEmpty())
        hints.append({QStringLiteral("Edit1"), QStringLiteral(" Wprowadź numer!"), true});
    if (in.name.isEmpty())
        hints.append({QStringLiteral("Edit2"), QStringLiteral(" Wprowadź nazwę!"), true});
    if (in.rate.isEmpty())
        hints.append({QStringLiteral("Edit3"), QStringLiteral(" Wprowadź kurs!"), true});
    if (in.symbol.isEmpty())
        hints.append({QStringLiteral("Edit4"), QStringLiteral(" Wprowadź symbol!"), true});
    if (!hints.isEmpty())
        return V::fromHints(hints);
    const auto number = input::integer(in.number);
    if (!number || *number < 1 || *number > 10)
        return V::fail({QStringLiteral("Edit1"),
                        QStringLiteral(" Błędna wartość w polu Numer. Numer musi zawierać się w "
                                       "przedziale 1 - 10")});
    const QString name = input::paddedSpaces(in.name, 21);
    if (name == QString(21, u' '))
        return V::fail(
            {QStringLiteral("Edit2"),
             QStringLiteral("Nazwa waluty nie może składać się z samych znaków spacji!")});
    if (const QString refused = cp1250::refusal(in.name, QStringLiteral("Nazwa"));
        !refused.isEmpty())
        return V::fail({QStringLiteral("Edit2"), refused});
    QString rate = in.rate;
    const qsizetype dot = rate.indexOf(u'.');
    if (dot >= 0)
        rate[dot] = u',';
    const auto value = amount::parse(rate);
    if (!value)
        return V::fail({QStringLiteral("Edit3"), QStringLiteral("Błędnie wypełnione pole KURS!")});
    if (*value > 99999999)
        return V::fail({QStringLiteral("Edit3"), QStringLiteral("Zbyt duża wartosc w polu KURS!")});
    const bool haveTable = table.size() >= layout::Currencies.bytes();
    for (int n = 1; n <= 20 && haveTable; ++n) {
        const QByteArrayView rec = layout::Currencies.record(table, n);
        if (input::paddedSpaces(cp1250::readField(rec.sliced(1, 21)), 21) == name)
            return V::fail({QStringLiteral("Edit2"),
                            QStringLiteral("Waluta o takiej nazwie już istnieje! Wybierz inną "
                                           "nazwę.")});
    }
    const QString symbol = input::paddedSpaces(in.symbol, 3);
    if (symbol == QStringLiteral("   "))
        return V::fail({QStringLiteral("Edit4"),
                        QStringLiteral("Symbol nie może składać się z samych znaków spacji!")});
    if (const QString refused = cp1250::refusal(in.symbol, QStringLiteral("Symbol"));
        !refused.isEmpty())
        return V::fail({QStringLiteral("Edit4"), refused});
    for (int n = 1; n <= 20 && haveTable; ++n) {
        const QByteArrayView rec = layout::Currencies.record(table, n);
        if (rec[0] != 0 && cp1250::decode(rec.sliced(27, 3)) == symbol)
            return V::fail({QStringLiteral("Edit4"),
                            QStringLiteral("Waluta o takim symbolu już istnieje! Wybierz inny "
                                           "symbol.")});
    }
    rate.replace(u'.', u',');
    RateParts parts;
    const QString refusal = rateFromText(rate, parts);
    if (!refusal.isEmpty())
        return V::fail({QStringLiteral("Edit3"), refusal});
    CurrencyRecord r;
    r.number = int(*number);
    r.name = in.name;
    r.mantissa = parts.mantissa;
    r.decimals = parts.decimals;
    r.symbol = in.symbol;
    return V::success(r);
}

#include "packagingrecord.h"

#include "common/cp1250.h"
#include "tables/articlerecord.h"

#include <limits>

PackagingRecord PackagingRecord::decode(QByteArrayView b)
{
    PackagingRecord r;
    r.number = quint8(b[0]);
    r.name = cp1250::readField(b.sliced(1, 42));
    r.price = le::i32(b, 43);
    r.priceChange = b[47] != 0;
    return r;
}

QByteArray PackagingRecord::encode() const
{
    QByteArray b(Size, '\0');
    b[0] = char(number);
    cp1250::putField(b, 1, name, 42);
    le::put32(b, 43, price);
    b[47] = priceChange ? 1 : 0;
    return b;
}

Validated<PackagingRecord> validatePackaging(const PackagingInput& in)
{
    using V = Validated<PackagingRecord>;
    QList<Failure> hints;
    if (in.name.isEmpty())
        hints.append({QStringLiteral("Edit2"), QStringLiteral(" Wprowadź nazwę!"), true});
    if (in.price.isEmpty())
        hints.append({QStringLiteral("Edit3"), QStringLiteral(" Wprowadź cenę!"), true});
    if (!hints.isEmpty())
        return V::fromHints(hints);
    if (const QString refused = cp1250::refusal(in.name, QStringLiteral("Nazwa"));
        !refused.isEmpty())
        return V::fail({QStringLiteral("Edit2"), refused});
    const Failure bad{QStringLiteral("Edit3"),
                      QStringLiteral("     Błędna wartość w polu Cena     ")};
    const auto price = input::truncated(in.price, 2);
    // Negative prices and prices beyond the 32-bit field are refused alike.
    if (!price || *price < 0 || *price > std::numeric_limits<qint32>::max())
        return V::fail(bad);
    if (*price == 0)
        return V::fail({QStringLiteral("Edit3"),
                        QStringLiteral("     Cena musi mieć wartość niezerową     ")});
    PackagingRecord r;
    r.number = in.number;
    r.name = in.name;
    r.price = qint32(*price);
    return V::success(r);
}

QList<int> articlesWithTandem(QByteArrayView table, int packaging)
{
    QList<int> out;
    for (int n = 1; n <= layout::Articles.count; ++n) {
        const QByteArrayView rec = layout::Articles.record(table, n);
        if (quint8(rec[63]) == packaging && packaging != 0)
            out.append(n);
    }
    return out;
}

QStringList tandemLines(QByteArrayView table, int packaging)
{
    QStringList lines;
    for (int n : articlesWithTandem(table, packaging))
        lines.append(QString::number(n) + QStringLiteral(". ") +
                     ArticleRecord::decode(layout::Articles.record(table, n)).name);
    if (lines.isEmpty())
        lines = {QStringLiteral("Z opakowaniem nie są powiązane"), QStringLiteral("żadne towary.")};
    return lines;
}

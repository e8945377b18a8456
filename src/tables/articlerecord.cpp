#include "articlerecord.h"

#include "common/amount.h"
#include "common/cp1250.h"
#include "tables/grouprecord.h"
#include "tables/packagingrecord.h"

#include <algorithm>

ArticleRecord ArticleRecord::decode(QByteArrayView b)
{
    ArticleRecord r;
    r.number = le::u16(b, 0);
    r.name = cp1250::readField(b.sliced(2, 42));
    r.vat = b[44];
    r.price = le::i32(b, 45);
    r.barcode = cp1250::readField(b.sliced(49, 13));
    r.group = quint8(b[62]);
    r.tandem = quint8(b[63]);
    r.fixedPrice = b[64] != 0;
    r.wholeQuantity = b[65] != 0;
    r.halo = quint8(b[66]);
    r.unit = quint8(b[67]);
    return r;
}

QByteArray ArticleRecord::encode() const
{
    QByteArray b(Size, '\0');
    le::put16(b, 0, quint16(number));
    cp1250::putField(b, 2, name, 42);
    b[44] = vat;
    le::put32(b, 45, price);
    b.replace(49, 13, cp1250::padLeftZeros(barcode, 13));
    b[62] = char(group);
    b[63] = char(tandem);
    b[64] = fixedPrice ? 1 : 0;
    b[65] = wholeQuantity ? 1 : 0;
    b[66] = char(halo);
    b[67] = char(unit);
    return b;
}

QString articleNameKey(const QString& name)
{
    static const QString lower = QStringLiteral("ąćęłńóśźż");
    static const QString upper = QStringLiteral("ĄĆĘŁŃÓŚŹŻ");
    QString key;
    key.reserve(name.size());
    for (QChar c : name) {
        const qsizetype p = lower.indexOf(c);
        if (p >= 0)
            c = upper[p];
        const char16_t u = c.unicode();
        const bool keep = u == u'\\' || u == u'/' || u == u'.' || u == u',' ||
                          (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') ||
                          (u >= u'a' && u <= u'z') || upper.contains(c);
        if (keep)
            key.append(c);
    }
    return key.toUpper();
}

ArticleIndex::ArticleIndex(QByteArrayView table)
{
    for (int n = 1; n <= layout::Articles.count; ++n) {
        const QByteArrayView rec = layout::Articles.record(table, n);
        if (ArticleRecord::used(rec))
            set(n, cp1250::readField(rec.sliced(2, 42)));
    }
}

void ArticleIndex::set(int number, const QString& name)
{
    remove(number);
    const QString key = articleNameKey(name);
    m_keyOf[number] = key;
    QList<int>& numbers = m_slotsOf[key];
    numbers.insert(std::lower_bound(numbers.begin(), numbers.end(), number), number);
}

void ArticleIndex::remove(int number)
{
    if (number < 1 || number > layout::Articles.count)
        return;
    QString& key = m_keyOf[number];
    if (key.isNull())
        return;
    auto it = m_slotsOf.find(key);
    if (it != m_slotsOf.end()) {
        it->removeOne(number);
        if (it->isEmpty())
            m_slotsOf.erase(it);
    }
    key = QString();
}

int ArticleIndex::otherWithKey(const QString& key, int number) const
{
    const auto it = m_slotsOf.constFind(key);
    if (it == m_slotsOf.constEnd())
        return 0;
    for (int n : *it)
        if (n != number)
            return n;
    return 0;
}

Validated<ArticleRecord> validateArticle(const ArticleInput& in, const ArticleIndex& index)
{
    using V = Validated<ArticleRecord>;
    QList<Failure> hints;
    if (in.number.isEmpty())
        hints.append({QStringLiteral("Edit4"), QStringLiteral("Wprowadź numer!"), true});
    if (in.name.isEmpty())
        hints.append({QStringLiteral("Edit5"), QStringLiteral("Wprowadź nazwę!"), true});
    if (in.price.isEmpty())
        hints.append({QStringLiteral("Edit1"), QStringLiteral("Wprowadź cenę!"), true});
    if (!hints.isEmpty())
        return V::fromHints(hints);

    const auto number = input::integer(in.number);
    if (!number || *number < 1 || *number > layout::Articles.count)
        return V::fail({QStringLiteral("Edit4"),
                        QStringLiteral("     Błędna wartość : Numer towaru w kasie \n"
                                       " Pole musi zawierać liczbę z przedziału 1-2000.     ")});
    if (input::onlySpaces(in.name))
        return V::fail(
            {QStringLiteral("Edit5"),
             QStringLiteral("Nazwa towaru nie może składać się z samych znaków spacji!")});
    if (const QString refused = cp1250::refusal(in.name, QStringLiteral("Nazwa"));
        !refused.isEmpty())
        return V::fail({QStringLiteral("Edit5"), refused});
    const QString key = articleNameKey(in.name);
    if (const int other = index.otherWithKey(key, int(*number)))
        return V::fail({QStringLiteral("Edit5"),
                        QStringLiteral("Towar ") + key +
                            QStringLiteral(" jest już zapisany w bazie pod numerem ") +
                            QString::number(other)});
    const auto price = amount::parse(in.price);
    if (!price)
        return V::fail(
            {QStringLiteral("Edit1"), QStringLiteral("     Błędna wartość w polu Cena     ")});
    if (*price < 0 || *price > ArticleRecord::MaxPrice)
        return V::fail(
            {QStringLiteral("Edit1"),
             QStringLiteral("Błąd! Cena musi zawierać się w przedziale 0,00 - 999999,99")});
    if (*price == 0 && in.fixedPrice)
        return V::fail({QStringLiteral("Edit1"),
                        QStringLiteral("Cena sztywna musi mieć wartość większą od 0,00. Wprowadz "
                                       "inną wartość, lub odznacz pole \"Cena sztywna\"")});
    if (const QString refused = cp1250::refusal(in.barcode, QStringLiteral("Kod kreskowy"));
        !refused.isEmpty())
        return V::fail({QStringLiteral("Edit2"), refused});
    ArticleRecord r;
    r.number = int(*number);
    r.name = in.name;
    r.vat = char('A' + std::clamp(in.vatIndex, 0, 6));
    r.price = qint32(*price);
    r.barcode = cp1250::decode(cp1250::padLeftZeros(in.barcode, 13));
    r.group = in.groupIndex + 1;
    r.tandem = in.tandemIndex;
    r.fixedPrice = in.fixedPrice;
    r.wholeQuantity = in.wholeQuantity;
    r.halo = in.haloIndex;
    r.unit = in.unitIndex;
    return V::success(r);
}

int nextFreeArticle(QByteArrayView table, int typedNumber)
{
    for (int slot = std::max(typedNumber, 0); slot < layout::Articles.count; ++slot)
        if (!ArticleRecord::used(layout::Articles.record(table, slot + 1)))
            return slot + 1;
    return 0;
}

QByteArray articleFromImage(QByteArrayView image)
{
    QByteArray r(ArticleRecord::Size, '\0');
    r.replace(0, 49, image.first(49).toByteArray());
    QByteArray tail = image.sliced(57, 18).toByteArray();
    for (int i = 0; i < 13; ++i)
        if (tail[i] == ' ')
            tail[i] = '0';
    r.replace(49, 18, tail);
    r[67] = image.size() > 81 ? image[81] : '\0';
    return r;
}

QStringList articleGridRow(const ArticleRecord& r, QByteArrayView groupTable,
                           QByteArrayView packagingTable)
{
    const QString none = QStringLiteral("Brak");
    const QString yes = QStringLiteral("Tak"), no = QStringLiteral("Nie");
    QString group = QString::number(r.group);
    if (r.group >= 1 && r.group <= 20 && groupTable.size() >= layout::Groups.bytes())
        group += u' ' + GroupRecord::decode(layout::Groups.record(groupTable, r.group)).name;
    QString tandem = none;
    if (r.tandem != 0) {
        tandem = QString::number(r.tandem);
        if (r.tandem <= 20 && packagingTable.size() >= layout::Packaging.bytes())
            tandem =
                PackagingRecord::decode(layout::Packaging.record(packagingTable, r.tandem)).name;
    }
    return {QString::number(r.number),
            r.name,
            QString(QLatin1Char(r.vat)),
            amount::text(r.price),
            r.barcode,
            group,
            tandem,
            r.fixedPrice ? yes : no,
            r.wholeQuantity ? yes : no,
            r.halo ? QString::number(r.halo) : none,
            r.unit ? QString::number(r.unit) : none};
}

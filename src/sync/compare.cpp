#include "compare.h"

#include "articlesync.h"
#include "tablesync.h"

#include "database/registerdatabase.h"
#include "tables/articlerecord.h"

namespace basesync {

QList<Comparison> compareRecords(int count, const std::function<QByteArray(int)>& pc,
                                 const std::function<QByteArray(int)>& reg,
                                 const QList<RecordField>& fields)
{
    QList<Comparison> list;
    for (int n = 1; n <= count; ++n) {
        const QByteArray a = pc(n), b = reg(n);
        if (a.isEmpty() && b.isEmpty())
            continue;
        Comparison c;
        c.number = n;
        if (b.isEmpty()) {
            c.kind = Comparison::OnlyPc;
        } else if (a.isEmpty()) {
            c.kind = Comparison::OnlyRegister;
        } else {
            for (const RecordField& f : fields)
                if (a.mid(f.offset, f.width) != b.mid(f.offset, f.width))
                    c.fields.append(f.caption);
            c.kind = c.fields.isEmpty() ? Comparison::Equal : Comparison::Different;
        }
        list.append(c);
    }
    return list;
}

QList<RecordField> articleFields(bool withUnit)
{
    QList<RecordField> fields{
        {QStringLiteral("nazwa"), 2, 42},        {QStringLiteral("PTU"), 44, 1},
        {QStringLiteral("cena"), 45, 4},         {QStringLiteral("kod kreskowy"), 49, 13},
        {QStringLiteral("grupa"), 62, 1},        {QStringLiteral("tandem"), 63, 1},
        {QStringLiteral("cena sztywna"), 64, 1}, {QStringLiteral("sprzedaż na sztuki"), 65, 1},
        {QStringLiteral("indeks HALO"), 66, 1},
    };
    if (withUnit)
        fields.append({QStringLiteral("jednostka"), 67, 1});
    return fields;
}

QList<Comparison> compareArticles(RegisterDatabase& db, const ArticleSync& sync, int registerType)
{
    const QByteArray table = readTable(db, layout::Articles);
    return compareRecords(
        ArticleSync::Count,
        [&](int n) {
            const QByteArrayView r = layout::Articles.record(table, n);
            return ArticleRecord::used(r) ? r.toByteArray() : QByteArray();
        },
        [&](int n) {
            const QByteArray& image = sync.image(n);
            return image[0] != 0 || image[1] != 0 ? articleFromImage(image) : QByteArray();
        },
        articleFields(registerType != 1));
}

QList<Comparison> compareTable(RegisterDatabase& db, const TableSync& sync)
{
    const TableMember& m = sync.member();
    const QByteArray table = db.readBytes(m.pc.base, m.pc.recordSize * m.pcLines);
    return compareRecords(
        qMax(m.pcLines, m.registerLines),
        [&](int n) {
            if (n > m.pcLines)
                return QByteArray();
            const QByteArrayView r = m.pc.record(table, n);
            return r[0] != 0 ? r.toByteArray() : QByteArray();
        },
        [&](int n) {
            if (n > m.registerLines)
                return QByteArray();
            const QByteArray& image = sync.image(n);
            return image[0] != 0 ? m.recordOfImage(image) : QByteArray();
        },
        m.fields);
}

QString comparisonText(const Comparison& c)
{
    const QString head = QString::number(c.number) + QStringLiteral(": ");
    switch (c.kind) {
    case Comparison::OnlyPc:
        return head + QStringLiteral("tylko w PC");
    case Comparison::OnlyRegister:
        return head + QStringLiteral("tylko w kasie");
    case Comparison::Equal:
        return head + QStringLiteral("zgodne");
    case Comparison::Different:
        break;
    }
    return head + QStringLiteral("różne (") + c.fields.join(QStringLiteral(", ")) + u')';
}

bool allEqual(const QList<Comparison>& list)
{
    for (const Comparison& c : list)
        if (c.kind != Comparison::Equal)
            return false;
    return true;
}

} // namespace basesync

#include "articlebase.h"

#include "common/amount.h"
#include "database/registerdatabase.h"
#include "tables/grouprecord.h"
#include "tables/halo.h"
#include "tables/packagingrecord.h"
#include "tables/tablelayout.h"

ArticleChoices articleChoices(RegisterDatabase& db)
{
    ArticleChoices c;
    c.groups = groupChoiceItems(readTable(db, layout::Groups));
    const QByteArray packaging = readTable(db, layout::Packaging);
    c.tandems.append(QStringLiteral("Brak"));
    for (int n = 1; n <= layout::Packaging.count; ++n) {
        const PackagingRecord p = PackagingRecord::decode(layout::Packaging.record(packaging, n));
        c.tandems.append(p.number != 0 ? QString::number(p.number) + QStringLiteral(". ") + p.name
                                       : QString::number(n));
    }
    c.halos = haloChoiceItems(HaloTable::decode(readTable(db, layout::Halo)));
    return c;
}

QStringList editorGroupItems(RegisterDatabase& db)
{
    const QByteArray groups = readTable(db, layout::Groups);
    QStringList items;
    for (int n = 1; n <= layout::Groups.count; ++n) {
        const GroupRecord g = GroupRecord::decode(layout::Groups.record(groups, n));
        items.append(g.number != 0 ? QString::number(g.number) + u' ' + g.name
                                   : QString::number(n));
    }
    return items;
}

QStringList editorTandemItems(RegisterDatabase& db)
{
    const QByteArray packaging = readTable(db, layout::Packaging);
    QStringList items{QStringLiteral("brak")};
    for (int n = 1; n <= layout::Packaging.count; ++n) {
        const PackagingRecord p = PackagingRecord::decode(layout::Packaging.record(packaging, n));
        items.append(p.number != 0 ? QString::number(p.number) + u' ' + p.name.left(41)
                                   : QString::number(n));
    }
    return items;
}

ArticleInput inputFromRecord(const ArticleRecord& r, const ArticleInput& current)
{
    ArticleInput in = current;
    in.number = QString::number(r.number);
    in.name = r.name;
    in.price = amount::text(r.price);
    in.barcode = r.barcode;
    if (r.vat >= 'A' && r.vat <= 'G')
        in.vatIndex = r.vat - 'A';
    if (r.group >= 1 && r.group <= 20)
        in.groupIndex = r.group - 1;
    if (r.tandem >= 0 && r.tandem <= 20)
        in.tandemIndex = r.tandem;
    if (r.halo >= 0 && r.halo <= 9)
        in.haloIndex = r.halo;
    if (r.unit >= 0 && r.unit <= 9)
        in.unitIndex = r.unit;
    in.fixedPrice = r.fixedPrice;
    in.wholeQuantity = r.wholeQuantity;
    return in;
}

QString ArticleBase::AddResult::message() const
{
    switch (status) {
    case Status::FileClosed:
        return QStringLiteral("     Plik zamknięty.     ");
    case Status::WriteFailed:
        return QStringLiteral("     Błąd! Nie dodano towaru     ");
    case Status::Refused:
        if (validation.failure && !validation.failure->hint)
            return validation.failure->message;
        return QString();
    case Status::Written:
        break;
    }
    return QString();
}

ArticleBase::ArticleBase(RegisterDatabase& db) : m_db(db)
{
    rebuildIndex();
}

void ArticleBase::rebuildIndex()
{
    const QByteArray table = readTable(m_db, layout::Articles);
    m_index = table.size() >= layout::Articles.bytes() ? ArticleIndex(table) : ArticleIndex();
}

ArticleBase::AddResult ArticleBase::add(const ArticleInput& input)
{
    AddResult result;
    result.validation = validateArticle(input, m_index);
    if (!result.validation.ok())
        return result;
    if (!m_db.isOpen()) {
        result.status = Status::FileClosed;
        return result;
    }
    const ArticleRecord& r = *result.validation.record;
    if (!storeRecord(m_db, layout::Articles, r.number, r)) {
        result.status = Status::WriteFailed;
        return result;
    }
    m_index.set(r.number, r.name);
    result.status = Status::Written;
    return result;
}

bool ArticleBase::remove(int number)
{
    if (number < 1 || number > layout::Articles.count)
        return false;
    if (!clearRecord(m_db, layout::Articles, number))
        return false;
    m_index.remove(number);
    return true;
}

ArticleRecord ArticleBase::load(int number)
{
    return loadRecord<ArticleRecord>(m_db, layout::Articles, number);
}

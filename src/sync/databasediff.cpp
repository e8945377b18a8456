#include "databasediff.h"

#include "tablemembers.h"

#include "database/registerdatabase.h"
#include "tables/articlerecord.h"
#include "tables/receipttext.h"
#include "tables/reportset.h"
#include "tables/tablelayout.h"

#include <QHash>

namespace basesync {

namespace {

// One table as both files hold it: `count` slots of `layout`, those for which `used` holds
// compared field by field.
struct DiffTable {
    QString id;
    QString title;
    TableLayout layout;
    int count = 0;
    bool (*used)(QByteArrayView record) = nullptr;
    QList<RecordField> fields;
};

bool firstByteSet(QByteArrayView record)
{
    return record[0] != 0;
}

// A block written whole is always there, in either file.
bool always(QByteArrayView)
{
    return true;
}

// The VAT rates and the halo table are written whole too: compared as one record.
constexpr TableLayout wholeBlock(const TableLayout& table)
{
    return {table.base, table.bytes(), 1};
}

QList<RecordField> vatFields()
{
    QList<RecordField> fields;
    for (int i = 0; i < 7; ++i)
        fields.append({QStringLiteral("PTU ") + QChar(u'A' + i), 3 * i, 3});
    return fields;
}

QList<RecordField> receiptFields(int lines)
{
    QList<RecordField> fields;
    for (int i = 0; i < lines; ++i)
        fields.append({QStringLiteral("linia ") + QString::number(i + 1), i * receipt::LineWidth,
                       receipt::LineWidth});
    const int count = lines * receipt::LineWidth;
    fields.append({QStringLiteral("liczba linii"), count, 1});
    fields.append({QStringLiteral("linie wysokie"), count + 1, lines});
    return fields;
}

// Bytes 0 and 1 (cashier and key) are the record's place.
QList<RecordField> quickKeyFields()
{
    QList<RecordField> fields{{QStringLiteral("kolejna pozycja"), 2, 1}};
    for (int i = 0; i < 5; ++i)
        fields.append({QStringLiteral("pozycja ") + QString::number(i + 1), 3 + 6 * i, 6});
    fields.append({QStringLiteral("kończenie paragonu"), 33, 1});
    return fields;
}

// Entry 0 is named by no article and never sent.
QList<RecordField> haloFields()
{
    QList<RecordField> fields;
    for (int k = 1; k <= 9; ++k)
        fields.append({QStringLiteral("HALO ") + QString::number(k), 4 * k, 4});
    return fields;
}

QList<RecordField> reportSetFields()
{
    QList<RecordField> fields;
    const QStringList& names = reportSetNames();
    for (int i = 0; i < names.size(); ++i)
        fields.append({names[i].trimmed(), i, 1});
    return fields;
}

QString memberTitle(const QString& id)
{
    static const QHash<QString, QString> titles{
        {QStringLiteral("groups"), QStringLiteral("Grupy towarowe")},
        {QStringLiteral("packaging"), QStringLiteral("Opakowania zwrotne")},
        {QStringLiteral("cashiers"), QStringLiteral("Kasjerzy")},
        {QStringLiteral("discounts"), QStringLiteral("Rabaty i narzuty")},
        {QStringLiteral("payments"), QStringLiteral("Formy płatności")},
        {QStringLiteral("currencies"), QStringLiteral("Waluty obce")},
    };
    return titles.value(id, id);
}

const QList<DiffTable>& diffTables()
{
    static const QList<DiffTable> tables = [] {
        QList<DiffTable> t{{QStringLiteral("articles"), QStringLiteral("Towary"), layout::Articles,
                            layout::Articles.count, ArticleRecord::used, articleFields(true)}};
        for (const TableMember* m : tableMembers())
            t.append({m->id, memberTitle(m->id), m->pc, m->pcLines, firstByteSet, m->fields});
        t.append({QStringLiteral("vat"), QStringLiteral("Stawki PTU"), wholeBlock(layout::VatRates),
                  1, always, vatFields()});
        t.append({QStringLiteral("header"), QStringLiteral("Nagłówek paragonu"), layout::Header, 1,
                  always, receiptFields(receipt::HeaderLines)});
        t.append({QStringLiteral("footer"), QStringLiteral("Stopka paragonu"), layout::Footer, 1,
                  always, receiptFields(receipt::FooterLines)});
        t.append({QStringLiteral("quickkeys"), QStringLiteral("Klawisze szybkie"),
                  layout::QuickKeys, layout::QuickKeys.count, firstByteSet, quickKeyFields()});
        t.append({QStringLiteral("halo"), QStringLiteral("Tablica HALO"), wholeBlock(layout::Halo),
                  1, always, haloFields()});
        t.append({QStringLiteral("reportset"), QStringLiteral("Zestaw raportów"), layout::ReportSet,
                  1, always, reportSetFields()});
        return t;
    }();
    return tables;
}

// The record's bytes when its slot is used, otherwise nothing.
QByteArray usedRecord(const DiffTable& t, const QByteArray& table, int n)
{
    const QByteArrayView r = t.layout.record(table, n);
    return t.used(r) ? r.toByteArray() : QByteArray();
}

} // namespace

QString TableDiff::text(const Comparison& c) const
{
    const QString number = QString::number(c.number);
    const QString place = table == QLatin1String("quickkeys")
                              ? QStringLiteral("kasjer %1, F%2")
                                    .arg((c.number - 1) / layout::QuickKeysPerCashier + 1)
                                    .arg((c.number - 1) % layout::QuickKeysPerCashier + 1)
                              : number;
    switch (c.kind) {
    case Comparison::OnlyPc:
        return place + QStringLiteral(": tylko w A");
    case Comparison::OnlyRegister:
        return place + QStringLiteral(": tylko w B");
    case Comparison::Equal:
    case Comparison::Different:
        break;
    }
    // "12: różne (nazwa, cena)" as compare words it, under this table's name for the record.
    return place + comparisonText(c).mid(number.size());
}

const QStringList& diffTableNames()
{
    static const QStringList names = [] {
        QStringList n;
        for (const DiffTable& t : diffTables())
            n.append(t.id);
        return n;
    }();
    return names;
}

QList<TableDiff> diffDatabases(RegisterDatabase& a, RegisterDatabase& b, const QString& table)
{
    QList<TableDiff> result;
    for (const DiffTable& t : diffTables()) {
        if (!table.isEmpty() && t.id != table)
            continue;
        const QByteArray first = readTable(a, t.layout), second = readTable(b, t.layout);
        TableDiff diff{t.id, t.title, {}};
        const QList<Comparison> all = compareRecords(
            t.count, [&](int n) { return usedRecord(t, first, n); },
            [&](int n) { return usedRecord(t, second, n); }, t.fields);
        for (const Comparison& c : all)
            if (c.kind != Comparison::Equal)
                diff.records.append(c);
        result.append(diff);
    }
    return result;
}

bool allEqual(const QList<TableDiff>& tables)
{
    for (const TableDiff& t : tables)
        if (!t.equal())
            return false;
    return true;
}

} // namespace basesync

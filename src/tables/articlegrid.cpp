#include "articlegrid.h"

#include "common/amount.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

ArticleGridModel::ArticleGridModel(Columns columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(columns)
{
}

QStringList ArticleGridModel::headers(Columns columns)
{
    if (columns == Columns::Picker)
        return {QStringLiteral("Nr"),
                QStringLiteral("Nazwa"),
                QStringLiteral("VAT"),
                QStringLiteral("Cena"),
                QStringLiteral("Kod kreskowy"),
                QStringLiteral("Grupa"),
                QStringLiteral("Tandem"),
                QStringLiteral("Cena sztywna"),
                QStringLiteral("Ilość całkowita")};
    return {
        QStringLiteral("Nr"),     QStringLiteral("Nazwa"),        QStringLiteral("VAT"),
        QStringLiteral("Cena"),   QStringLiteral("Kod kreskowy"), QStringLiteral("Grupa"),
        QStringLiteral("Tandem"), QStringLiteral("Cena sztywna"), QStringLiteral("Sprz. na sztuki"),
        QStringLiteral("HALO"),   QStringLiteral("Jedn.")};
}

namespace {

QStringList pickerRow(const ArticleRecord& r)
{
    const QString yes = QStringLiteral("Tak"), no = QStringLiteral("Nie");
    return {QString::number(r.number),
            r.name,
            QString(QLatin1Char(r.vat)),
            amount::text(r.price),
            r.barcode,
            QString::number(r.group),
            QString::number(r.tandem),
            r.fixedPrice ? yes : no,
            r.wholeQuantity ? yes : no};
}

} // namespace

void ArticleGridModel::refill(QByteArrayView articles, QByteArrayView groups,
                              QByteArrayView packaging)
{
    beginResetModel();
    m_rows.clear();
    m_shown.clear();
    if (articles.size() >= layout::Articles.bytes()) {
        m_rows.reserve(size_t(layout::Articles.count));
        for (int n = 1; n <= layout::Articles.count; ++n) {
            const QByteArrayView bytes = layout::Articles.record(articles, n);
            if (!ArticleRecord::used(bytes))
                continue;
            const ArticleRecord r = ArticleRecord::decode(bytes);
            Row row;
            row.number = r.number;
            row.upperName = r.name.toUpper();
            row.cells =
                m_columns == Columns::Picker ? pickerRow(r) : articleGridRow(r, groups, packaging);
            m_rows.push_back(std::move(row));
        }
    }
    m_shown.resize(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_shown[i] = int(i);
    endResetModel();
}

void ArticleGridModel::search(const QString& text)
{
    beginResetModel();
    m_shown.clear();
    const QString wanted = text.toUpper();
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (wanted.isEmpty() || m_rows[i].upperName.contains(wanted))
            m_shown.push_back(int(i));
    endResetModel();
}

int ArticleGridModel::numberAt(int row) const
{
    if (row < 0 || row >= int(m_shown.size()))
        return 0;
    return m_rows[size_t(m_shown[size_t(row)])].number;
}

QList<int> ArticleGridModel::shownNumbers() const
{
    QList<int> numbers;
    numbers.reserve(qsizetype(m_shown.size()));
    for (int i : m_shown)
        numbers.append(m_rows[size_t(i)].number);
    return numbers;
}

int ArticleGridModel::rowOf(int number) const
{
    for (size_t r = 0; r < m_shown.size(); ++r)
        if (m_rows[size_t(m_shown[r])].number == number)
            return int(r);
    return -1;
}

QString ArticleGridModel::cell(int row, int column) const
{
    if (row < 0 || row >= int(m_shown.size()) || column < 0 || column >= columnCount())
        return QString();
    return m_rows[size_t(m_shown[size_t(row)])].cells.value(column);
}

int ArticleGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size()) + 1;
}

int ArticleGridModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_columns == Columns::Picker ? 9 : 11;
}

QVariant ArticleGridModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    return cell(index.row(), index.column());
}

QVariant ArticleGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    return headers(m_columns).value(section);
}

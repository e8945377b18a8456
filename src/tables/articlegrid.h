#pragma once

#include "database/tables.h"

#include <QAbstractTableModel>
#include <QByteArrayView>
#include <QStringList>

#include <vector>

// The article grids as a table model: one row per used slot in slot order, and always one
// empty row at the end. The base editor shows eleven columns with the group and packaging
// names; the article picker nine with their numbers. Search keeps, in order, the rows whose
// upper-cased name contains the upper-cased text.
class ArticleGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Columns {
        BaseEditor, // "Nr" .. "Jedn."
        Picker,     // "Nr" .. "Ilość całkowita"
    };

    explicit ArticleGridModel(Columns columns = Columns::BaseEditor, QObject* parent = nullptr);

    static QStringList headers(Columns columns);

    // Rebuilds every row from the 2000 article records (and, for the base editor, the group
    // and packaging tables the names come from); shows all of them.
    void refill(QByteArrayView articleTable, QByteArrayView groupTable = {},
                QByteArrayView packagingTable = {});
    // Shows all rows again, then keeps those that match; an empty text keeps all.
    void search(const QString& text);

    // Used articles in the database (all rows, whatever the search shows).
    int usedCount() const { return int(m_rows.size()); }
    // The free-space display: 2000 less the used articles.
    int freeCount() const { return layout::Articles.count - usedCount(); }
    // Shown article rows (without the empty last row).
    int shownCount() const { return int(m_shown.size()); }
    // The article number in column 0 of a row; 0 for the empty row and rows beyond.
    int numberAt(int row) const;
    // The shown article numbers in row order (what "send all" sends).
    QList<int> shownNumbers() const;
    // The row that shows article `number`, -1 when it is not shown.
    int rowOf(int number) const;
    QString cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row {
        int number = 0;
        QString upperName;
        QStringList cells;
    };
    Columns m_columns;
    std::vector<Row> m_rows;
    std::vector<int> m_shown; // indexes into m_rows
};

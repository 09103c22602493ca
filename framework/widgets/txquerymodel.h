#pragma once

#include "data/txquery.h" // QPointer<TXQuery> needs the whole class

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QString>
#include <vector>

/** One run-time column of a data grid: the query field it shows, its title, width and alignment. */
struct TXGridColumn
{
    QString FieldName;
    QString Title;
    int Width = 64; // pixels
    Qt::Alignment Alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

/**
 * Read-only table model over a query's static cursor: one row per record seen
 * through the query's filter, one column per grid column (or, with no columns
 * set, one per query field titled by the field name). Cells read the query
 * directly, so a million rows cost nothing beyond the query's own result.
 * A column naming no field of the query shows empty cells.
 *
 * Call Refresh after the query is opened, closed, requeried or refiltered.
 */
class TXQueryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TXQueryModel(QObject* parent = nullptr);

    TXQuery* Query() const { return m_query; }
    /** Shows another query (null: none); resets the model. */
    void SetQuery(TXQuery* query);

    const QList<TXGridColumn>& Columns() const { return m_columns; }
    /** Replaces the run-time columns (empty: one per query field); resets the model. */
    void SetColumns(const QList<TXGridColumn>& columns);
    /** The columns shown: the set ones, or those made from the query's fields. */
    QList<TXGridColumn> EffectiveColumns() const;

    /** Re-reads the query's fields and record count (model reset). */
    void Refresh();
    /**
     * Inserts the source's rows into the query before row position
     * (TXQuery::InsertRows) and tells the views of them as inserted rows, not
     * a reset, so their cost does not grow with the rows already shown.
     * Answers the number inserted; 0, changing nothing, when the query cannot
     * take them.
     */
    int InsertRows(int position, const TXQuery& source);

    /** The typed value of a cell (null, qint64, double or QString); null outside the table. */
    QVariant TypedValue(int row, int column) const;
    /** Query field index of a model column; -1 when it names no field. */
    int FieldIndexOf(int column) const;

    /** Row (0-based) the vertical header marks as current; -1 for none. */
    void SetIndicatorRow(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void ResolveFields();
    const QList<TXGridColumn>& Shown() const
    {
        return m_columns.isEmpty() ? m_fieldColumns : m_columns;
    }

    QPointer<TXQuery> m_query;
    QList<TXGridColumn> m_columns;
    QList<TXGridColumn> m_fieldColumns; // made from the fields when no columns are set
    std::vector<int> m_fieldIndex;      // query field index per model column
    int m_rowCount = 0;
    int m_indicatorRow = -1;
};

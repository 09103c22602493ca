#pragma once

#include "txquerymodel.h"

#include <QColor>
#include <QTableView>
#include <functional>

/** Colours a draw hook picks for one cell; an invalid colour keeps the grid's own. */
struct TXCellColors
{
    QColor Background;
    QColor Foreground;
};

/** Picks the colours of a cell from its 0-based row and column and whether it is selected. */
using TXCellDrawHook = std::function<TXCellColors(int row, int column, bool selected)>;

/**
 * Data grid bound to a query: a read-only table view over its own
 * TXQueryModel with run-time columns (titles centred, cell alignment and
 * width per column), whole-row selection, a row indicator and an optional
 * per-cell draw hook. The grid's current row is the query's current record:
 * moving in the grid moves the query's RecNo, and Refresh puts the grid on the
 * query's RecNo.
 */
class TXDBGrid : public QTableView
{
    Q_OBJECT

public:
    explicit TXDBGrid(QWidget* parent = nullptr);

    TXQueryModel* Model() const { return m_model; }
    TXQuery* Query() const { return m_model->Query(); }
    /** Binds the grid to a query (null: none) and refreshes. */
    void SetQuery(TXQuery* query);

    const QList<TXGridColumn>& Columns() const { return m_model->Columns(); }
    /** Replaces the run-time columns and applies their widths. */
    void SetColumns(const QList<TXGridColumn>& columns);
    /** Removes every run-time column (the grid then shows all query fields). */
    void ClearColumns() { SetColumns({}); }

    /** Re-reads the query after it was opened, closed or requeried. */
    void Refresh();
    /**
     * Shows rows just written without re-reading the others: opens source (a
     * statement reading those rows with the grid query's fields), inserts its
     * rows before row position and makes the first of them current. When that
     * cannot be done (source fails or reads nothing, the grid query is closed
     * or cannot take them) the grid query is requeried and the grid refreshed
     * instead, which shows them too. Answers whether the rows were inserted.
     */
    bool InsertRowsOrRequery(int position, TXQuery& source);

    /** 1-based number of the grid's current record; 0 when there is none. */
    int CurrentRecNo() const;
    /** Moves the grid (and the query) to a record, clamped to those that exist. */
    void SetCurrentRecNo(int recNo);

    void SetDrawHook(TXCellDrawHook hook);
    const TXCellDrawHook& DrawHook() const { return m_drawHook; }

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void ApplyWidths();

    TXQueryModel* m_model;
    TXCellDrawHook m_drawHook;
};

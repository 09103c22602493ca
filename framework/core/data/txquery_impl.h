#pragma once

#include "txquery.h"
#include "txrowstore.h"

#include <QPointer>
#include <vector>

// State of a TXQuery, shared with TXField, which reads the current row.
struct TXQuery::Impl
{
    QPointer<TXConnection> connection;
    QString sql;
    TXParameters parameters;
    bool active = false;
    TXRowStore rows;
    QStringList names;
    QString filter;
    bool filtered = false;
    std::vector<int> visible; // rows through the filter while useVisible
    bool useVisible = false;
    int current = -1; // position among the visible rows
    bool eof = true;
    bool bof = true;

    int Count() const { return useVisible ? int(visible.size()) : rows.RowCount(); }
    int RowAt(int position) const { return useVisible ? visible[size_t(position)] : position; }
    bool ValidCell(int position, int column) const
    {
        return active && position >= 0 && position < Count() && column >= 0 &&
               column < rows.ColumnCount();
    }
    /** Recomputes the visible rows; raises (changing nothing) for a bad filter. */
    void Refilter(const QString& text, bool on);
};

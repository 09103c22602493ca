#include "txquerymodel.h"

#include "data/txquery.h"

#include <algorithm>

TXQueryModel::TXQueryModel(QObject* parent) : QAbstractTableModel(parent) {}

void TXQueryModel::SetQuery(TXQuery* query)
{
    m_query = query;
    Refresh();
}

void TXQueryModel::SetColumns(const QList<TXGridColumn>& columns)
{
    m_columns = columns;
    Refresh();
}

QList<TXGridColumn> TXQueryModel::EffectiveColumns() const
{
    return Shown();
}

void TXQueryModel::Refresh()
{
    beginResetModel();
    ResolveFields();
    m_indicatorRow = -1;
    endResetModel();
}

int TXQueryModel::InsertRows(int position, const TXQuery& source)
{
    // Checked before beginInsertRows: once begun, the insert must happen.
    if (!m_query || m_query->RecordCount() != m_rowCount || !m_query->CanInsertRows(source) ||
        source.RecordCount() == 0)
        return 0;
    const int count = source.RecordCount();
    position = std::clamp(position, 0, m_rowCount);
    beginInsertRows({}, position, position + count - 1);
    m_query->InsertRows(position, source);
    m_rowCount += count;
    if (m_indicatorRow >= position)
        m_indicatorRow += count; // the mark stays on its record
    endInsertRows();
    return count;
}

void TXQueryModel::ResolveFields()
{
    m_fieldColumns.clear();
    m_fieldIndex.clear();
    const bool active = m_query && m_query->Active();
    m_rowCount = active ? m_query->RecordCount() : 0;
    if (m_columns.isEmpty()) {
        if (!active)
            return;
        const QStringList names = m_query->FieldNames();
        for (int i = 0; i < names.size(); ++i) {
            m_fieldColumns.append({names[i], names[i]});
            m_fieldIndex.push_back(i);
        }
        return;
    }
    // Looked up once here: the cells of a million rows must not search by name.
    for (const TXGridColumn& column : m_columns)
        m_fieldIndex.push_back(active ? m_query->FieldIndex(column.FieldName) : -1);
}

int TXQueryModel::FieldIndexOf(int column) const
{
    return column >= 0 && size_t(column) < m_fieldIndex.size() ? m_fieldIndex[size_t(column)] : -1;
}

QVariant TXQueryModel::TypedValue(int row, int column) const
{
    const int field = FieldIndexOf(column);
    if (!m_query || field < 0 || row < 0 || row >= m_rowCount)
        return {};
    return m_query->Value(row, field);
}

void TXQueryModel::SetIndicatorRow(int row)
{
    if (row == m_indicatorRow)
        return;
    const int previous = m_indicatorRow;
    m_indicatorRow = row;
    if (previous >= 0 && previous < m_rowCount)
        emit headerDataChanged(Qt::Vertical, previous, previous);
    if (row >= 0 && row < m_rowCount)
        emit headerDataChanged(Qt::Vertical, row, row);
}

int TXQueryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int TXQueryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_fieldIndex.size());
}

QVariant TXQueryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole) {
        const int field = FieldIndexOf(index.column());
        if (!m_query || field < 0 || index.row() >= m_rowCount)
            return {};
        return m_query->DisplayText(index.row(), field);
    }
    if (role == Qt::TextAlignmentRole && !m_columns.isEmpty())
        return QVariant::fromValue(m_columns[index.column()].Alignment);
    return {};
}

QVariant TXQueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        // The row indicator: a mark on the current record, nothing on the others.
        if (role == Qt::DisplayRole)
            return section == m_indicatorRow ? QStringLiteral("▶") : QString();
        return {};
    }
    if (section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return Shown()[section].Title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

Qt::ItemFlags TXQueryModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

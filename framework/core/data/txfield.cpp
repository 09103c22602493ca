#include "txfield.h"

#include "txquery_impl.h"

int TXField::CurrentRow() const
{
    if (!m_query)
        return -1;
    const TXQuery::Impl& q = *m_query->d;
    return q.ValidCell(q.current, m_column) ? q.RowAt(q.current) : -1;
}

QString TXField::FieldName() const
{
    if (!m_query || m_column < 0 || m_column >= m_query->d->names.size())
        return QString();
    return m_query->d->names[m_column];
}

bool TXField::IsNull() const
{
    const int row = CurrentRow();
    return row < 0 || m_query->d->rows.IsNull(row, m_column);
}

QString TXField::AsString() const
{
    const int row = CurrentRow();
    return row < 0 ? QString() : m_query->d->rows.AsString(row, m_column);
}

int TXField::AsInteger() const
{
    return int(AsLargeInt());
}

qint64 TXField::AsLargeInt() const
{
    const int row = CurrentRow();
    return row < 0 ? 0 : m_query->d->rows.AsLargeInt(row, m_column);
}

double TXField::AsFloat() const
{
    const int row = CurrentRow();
    return row < 0 ? 0 : m_query->d->rows.AsFloat(row, m_column);
}

QVariant TXField::Value() const
{
    const int row = CurrentRow();
    return row < 0 ? QVariant() : m_query->d->rows.Value(row, m_column);
}

QString TXField::DisplayText() const
{
    const int row = CurrentRow();
    return row < 0 ? QString() : m_query->d->rows.DisplayText(row, m_column);
}

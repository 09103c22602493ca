#pragma once

#include <QString>
#include <QVariant>

/**
 * Read-only view of one column of the current row of an open query.
 * Valid until the query moves or closes.
 */
class TXField
{
public:
    TXField() = default;

    QString FieldName() const;
    bool IsNull() const;
    /** Text of the value; empty for null. Floats in general form ("123456789012", "10.5"). */
    QString AsString() const;
    /** Null reads as 0. */
    int AsInteger() const;
    qint64 AsLargeInt() const;
    double AsFloat() const;
    /** The typed value: null QVariant, qint64, double or QString (QByteArray for blobs). */
    QVariant Value() const;
    /** What a grid shows: floats in general form with up to 15 significant digits and the
        regional decimal separator (10.5 -> "10,5"); empty for null. */
    QString DisplayText() const;

private:
    friend class TXQuery;
    TXField(const class TXQuery* query, int column) : m_query(query), m_column(column) {}
    /** Row of the query's store under its current record; -1 when there is none. */
    int CurrentRow() const;
    const class TXQuery* m_query = nullptr;
    int m_column = -1;
};

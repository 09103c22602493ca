#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <vector>

struct sqlite3_stmt;

/**
 * The rows of a static cursor, stored compactly: per cell one 8-byte value
 * (integer, double, or the offset of a UTF-8 text or blob in a shared byte
 * pool) plus a one-byte tag. Rows and columns are 0-based; indexes are not
 * checked here, callers keep them in range.
 */
class TXRowStore
{
public:
    enum class CellType : std::uint8_t { Null, Integer, Float, Text, Blob };

    void Reset(int columnCount);
    /** Appends the statement's current row. */
    void AppendRow(sqlite3_stmt* statement);
    /** Inserts every row of another store (same column count, not this one) before row
     *  position (0..RowCount). */
    void InsertRows(int position, const TXRowStore& source);

    int RowCount() const { return m_columns ? int(m_types.size() / m_columns) : 0; }
    int ColumnCount() const { return m_columns; }

    CellType Type(int row, int column) const { return m_types[Index(row, column)]; }
    bool IsNull(int row, int column) const { return Type(row, column) == CellType::Null; }

    /** Null reads as 0; floats are rounded; text is parsed (EConvertError when it is no number). */
    qint64 AsLargeInt(int row, int column) const;
    /** Null reads as 0; text is parsed (EConvertError when it is no number). */
    double AsFloat(int row, int column) const;
    /** Empty for null; floats in general form with "." ("10.5", "123456789012"). */
    QString AsString(int row, int column) const;
    /** As AsString, but floats use the regional decimal separator ("10,5"). */
    QString DisplayText(int row, int column) const;
    /** Null QVariant, qint64, double, QString or QByteArray. */
    QVariant Value(int row, int column) const;

private:
    size_t Index(int row, int column) const { return size_t(row) * size_t(m_columns) + column; }
    QByteArray PoolBytes(size_t cell) const;
    void AppendBytes(const void* data, int size);

    int m_columns = 0;
    std::vector<std::uint64_t> m_cells; // bit pattern of the value, or pool offset
    std::vector<CellType> m_types;
    std::vector<char> m_pool; // per entry: 4-byte length, then the bytes
};

/** General decimal form of a double with up to 15 significant digits, "." as separator. */
QString FormatGeneralFloat(double value);

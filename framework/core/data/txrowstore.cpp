#include "txrowstore.h"

#include "xexception.h"
#include "xformat.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <sqlite3.h>

namespace {

[[noreturn]] void RaiseConvertError(const QString& text, const char* what)
{
    throw XException(QStringLiteral("'%1' is not a valid %2 value").arg(text, QLatin1String(what)),
                     QStringLiteral("EConvertError"));
}

// Round half to even, as the provider's float-to-integer conversion does.
qint64 RoundToInteger(double value)
{
    return qint64(std::nearbyint(value));
}

} // namespace

QString FormatGeneralFloat(double value)
{
    return QString::number(value, 'g', 15);
}

void TXRowStore::Reset(int columnCount)
{
    m_columns = columnCount;
    m_cells = {};
    m_types = {};
    m_pool = {};
}

void TXRowStore::AppendBytes(const void* data, int size)
{
    const std::uint32_t length = std::uint32_t(size);
    const size_t at = m_pool.size();
    m_pool.resize(at + sizeof length + length);
    std::memcpy(m_pool.data() + at, &length, sizeof length);
    if (length)
        std::memcpy(m_pool.data() + at + sizeof length, data, length);
}

void TXRowStore::AppendRow(sqlite3_stmt* statement)
{
    for (int c = 0; c < m_columns; ++c) {
        switch (sqlite3_column_type(statement, c)) {
        case SQLITE_INTEGER:
            m_cells.push_back(std::uint64_t(sqlite3_column_int64(statement, c)));
            m_types.push_back(CellType::Integer);
            break;
        case SQLITE_FLOAT:
            m_cells.push_back(std::bit_cast<std::uint64_t>(sqlite3_column_double(statement, c)));
            m_types.push_back(CellType::Float);
            break;
        case SQLITE_TEXT: {
            const unsigned char* text = sqlite3_column_text(statement, c);
            m_cells.push_back(m_pool.size());
            AppendBytes(text, sqlite3_column_bytes(statement, c));
            m_types.push_back(CellType::Text);
            break;
        }
        case SQLITE_BLOB: {
            const void* blob = sqlite3_column_blob(statement, c);
            m_cells.push_back(m_pool.size());
            AppendBytes(blob, sqlite3_column_bytes(statement, c));
            m_types.push_back(CellType::Blob);
            break;
        }
        default:
            m_cells.push_back(0);
            m_types.push_back(CellType::Null);
            break;
        }
    }
}

namespace {

// Room for `extra` more elements, growing geometrically: an exact reserve would
// copy the whole store on every insert of one row.
template <typename T> void ReserveMore(std::vector<T>& values, size_t extra)
{
    if (values.size() + extra > values.capacity())
        values.reserve(std::max(values.size() + extra, 2 * values.capacity()));
}

} // namespace

void TXRowStore::InsertRows(int position, const TXRowStore& source)
{
    // Reserved first, so that no insert below can fail halfway and leave cells without tags.
    ReserveMore(m_cells, source.m_cells.size());
    ReserveMore(m_types, source.m_types.size());
    ReserveMore(m_pool, source.m_pool.size());
    const size_t at = Index(position, 0);
    const std::uint64_t base = m_pool.size(); // the source's texts go after this store's
    m_cells.insert(m_cells.begin() + std::ptrdiff_t(at), source.m_cells.begin(),
                   source.m_cells.end());
    for (size_t i = 0; i < source.m_types.size(); ++i) {
        const CellType type = source.m_types[i];
        if (type == CellType::Text || type == CellType::Blob)
            m_cells[at + i] += base;
    }
    m_types.insert(m_types.begin() + std::ptrdiff_t(at), source.m_types.begin(),
                   source.m_types.end());
    m_pool.insert(m_pool.end(), source.m_pool.begin(), source.m_pool.end());
}

QByteArray TXRowStore::PoolBytes(size_t cell) const
{
    const size_t at = size_t(m_cells[cell]);
    std::uint32_t length;
    std::memcpy(&length, m_pool.data() + at, sizeof length);
    return QByteArray(m_pool.data() + at + sizeof length, qsizetype(length));
}

qint64 TXRowStore::AsLargeInt(int row, int column) const
{
    const size_t cell = Index(row, column);
    switch (m_types[cell]) {
    case CellType::Integer:
        return qint64(m_cells[cell]);
    case CellType::Float:
        return RoundToInteger(std::bit_cast<double>(m_cells[cell]));
    case CellType::Text: {
        const QString text = AsString(row, column);
        bool ok = false;
        const qint64 value = text.trimmed().toLongLong(&ok);
        if (!ok)
            RaiseConvertError(text, "integer");
        return value;
    }
    case CellType::Null:
    case CellType::Blob:
        break;
    }
    return 0;
}

double TXRowStore::AsFloat(int row, int column) const
{
    const size_t cell = Index(row, column);
    switch (m_types[cell]) {
    case CellType::Integer:
        return double(qint64(m_cells[cell]));
    case CellType::Float:
        return std::bit_cast<double>(m_cells[cell]);
    case CellType::Text: {
        const QString text = AsString(row, column);
        bool ok = false;
        const double value = text.trimmed().toDouble(&ok);
        if (!ok)
            RaiseConvertError(text, "floating point");
        return value;
    }
    case CellType::Null:
    case CellType::Blob:
        break;
    }
    return 0;
}

QString TXRowStore::AsString(int row, int column) const
{
    const size_t cell = Index(row, column);
    switch (m_types[cell]) {
    case CellType::Integer:
        return QString::number(qint64(m_cells[cell]));
    case CellType::Float:
        return FormatGeneralFloat(std::bit_cast<double>(m_cells[cell]));
    case CellType::Text:
    case CellType::Blob:
        return QString::fromUtf8(PoolBytes(cell));
    case CellType::Null:
        break;
    }
    return QString();
}

QString TXRowStore::DisplayText(int row, int column) const
{
    const size_t cell = Index(row, column);
    if (m_types[cell] == CellType::Blob)
        return QStringLiteral("(BLOB)");
    QString text = AsString(row, column);
    if (m_types[cell] == CellType::Float)
        text.replace(u'.', XFormatSettings().DecimalSeparator);
    return text;
}

QVariant TXRowStore::Value(int row, int column) const
{
    const size_t cell = Index(row, column);
    switch (m_types[cell]) {
    case CellType::Integer:
        return QVariant(qint64(m_cells[cell]));
    case CellType::Float:
        return QVariant(std::bit_cast<double>(m_cells[cell]));
    case CellType::Text:
        return QVariant(QString::fromUtf8(PoolBytes(cell)));
    case CellType::Blob:
        return QVariant(PoolBytes(cell));
    case CellType::Null:
        break;
    }
    return QVariant();
}

#include "xschema.h"

#include "xsqlite.h"
#include "xstationfile.h"

#include <QRegularExpression>
#include <algorithm>
#include <memory>
#include <sqlite3.h>
#include <utility>

namespace {

using StatementPtr = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

// Catalogue queries bypass the Jet rewrite and the statement cache.
StatementPtr PrepareRaw(sqlite3* db, const char* sql, const QString& argument)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        RaiseEngineError(db);
    StatementPtr owned(statement, &sqlite3_finalize);
    const QByteArray text = argument.toUtf8();
    sqlite3_bind_text(statement, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    return owned;
}

bool NextRow(sqlite3_stmt* statement)
{
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        RaiseEngineError(sqlite3_db_handle(statement));
    return rc == SQLITE_ROW;
}

QString ColumnText(sqlite3_stmt* statement, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                             sqlite3_column_bytes(statement, column));
}

struct TypeName
{
    const char* name;
    TXFieldType type;
    bool sized;
};

// Jet type names as the provisioning tool declares them.
constexpr TypeName kTypeNames[] = {
    {"TEXT", TXFieldType::String, true},
    {"VARCHAR", TXFieldType::String, true},
    {"CHAR", TXFieldType::String, true},
    {"LONG", TXFieldType::Integer, false},
    {"INTEGER", TXFieldType::Integer, false},
    {"INT", TXFieldType::Integer, false},
    {"SHORT", TXFieldType::SmallInt, false},
    {"SMALLINT", TXFieldType::SmallInt, false},
    {"BYTE", TXFieldType::SmallInt, false},
    {"DOUBLE", TXFieldType::Float, false},
    {"FLOAT", TXFieldType::Float, false},
    {"SINGLE", TXFieldType::Float, false},
    {"REAL", TXFieldType::Float, false},
    {"CURRENCY", TXFieldType::Currency, false},
    {"DATETIME", TXFieldType::DateTime, false},
    {"COUNTER", TXFieldType::AutoInc, false},
    {"AUTOINCREMENT", TXFieldType::AutoInc, false},
    {"MEMO", TXFieldType::Memo, false},
    {"LONGTEXT", TXFieldType::Memo, false},
    {"LONGBINARY", TXFieldType::Blob, false},
    {"BLOB", TXFieldType::Blob, false},
    {"YESNO", TXFieldType::Boolean, false},
    {"BIT", TXFieldType::Boolean, false},
};

// Jet's TEXT without a length holds 255 characters.
constexpr int kDefaultTextSize = 255;

void MapDeclaredType(const QString& declared, TXColumnDef& column)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*([A-Za-z]+)[^(]*(?:\(\s*(\d+))?)"));
    const QRegularExpressionMatch match = pattern.match(declared);
    const QString base = match.captured(1).toUpper();
    for (const TypeName& entry : kTypeNames) {
        if (base != QLatin1String(entry.name))
            continue;
        column.DataType = entry.type;
        if (entry.sized)
            column.Size = match.hasCaptured(2) ? match.captured(2).toInt() : kDefaultTextSize;
        return;
    }
}

QString Unquote(QString name)
{
    name = name.trimmed();
    if (name.size() >= 2) {
        const QChar first = name.front();
        const QChar last = name.back();
        if ((first == u'"' && last == u'"') || (first == u'`' && last == u'`') ||
            (first == u'[' && last == u']'))
            return name.mid(1, name.size() - 2);
    }
    return name;
}

struct NamedConstraint
{
    QString name;
    bool primary = false;
    QStringList columns; // empty for a column constraint
};

// SQLite's pragmas forget constraint names; the CREATE text keeps them.
QList<NamedConstraint> NamedConstraints(const QString& createSql)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(\bCONSTRAINT\s+("(?:[^"]|"")+"|\[[^\]]+\]|`[^`]+`|\w+)\s+)"
                       R"((PRIMARY\s+KEY|UNIQUE)\b\s*(?:\(([^)]*)\))?)"),
        QRegularExpression::CaseInsensitiveOption);
    QList<NamedConstraint> result;
    for (auto it = pattern.globalMatch(createSql); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        NamedConstraint constraint;
        constraint.name = Unquote(m.captured(1));
        constraint.primary = m.captured(2).startsWith(u'P', Qt::CaseInsensitive);
        const QStringList items = m.captured(3).split(u',', Qt::SkipEmptyParts);
        for (const QString& item : items) // "col COLLATE x DESC" -> "col"
            constraint.columns.append(Unquote(item.trimmed().section(u' ', 0, 0)));
        result.append(constraint);
    }
    return result;
}

bool SameColumns(const QStringList& a, const QStringList& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].compare(b[i], Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

QStringList IndexColumns(sqlite3* db, const QString& indexName)
{
    QStringList columns;
    StatementPtr info =
        PrepareRaw(db, "SELECT name FROM pragma_index_info(?1) ORDER BY seqno", indexName);
    while (NextRow(info.get()))
        columns.append(ColumnText(info.get(), 0));
    return columns;
}

} // namespace

QString TablesRowsetSql()
{
    return QStringLiteral("SELECT name AS TABLE_NAME, "
                          "CASE WHEN type = 'view' THEN 'VIEW' "
                          "WHEN name LIKE 'sqlite!_%' ESCAPE '!' OR name = '%1' "
                          "THEN 'SYSTEM TABLE' ELSE 'TABLE' END AS TABLE_TYPE "
                          "FROM sqlite_master WHERE type IN ('table', 'view') "
                          "ORDER BY 2, 1 COLLATE NOCASE")
        .arg(QLatin1String(kStationVerifierTable));
}

TXTableDefs ReadTableDefinitions(sqlite3* db, const QString& tableName)
{
    StatementPtr table = PrepareRaw(db,
                                    "SELECT name, sql FROM sqlite_master WHERE type IN "
                                    "('table', 'view') AND name = ?1 COLLATE NOCASE",
                                    tableName);
    if (!NextRow(table.get()))
        RaiseProviderError(QStringLiteral("The database engine cannot find the input table or "
                                          "query '%1'. Make sure it exists and that its name is "
                                          "spelled correctly.")
                               .arg(tableName));
    const QString name = ColumnText(table.get(), 0);
    const QList<NamedConstraint> constraints = NamedConstraints(ColumnText(table.get(), 1));

    TXTableDefs defs;
    QList<std::pair<int, QString>> keyColumns;
    StatementPtr columns = PrepareRaw(
        db, "SELECT name, type, \"notnull\", pk FROM pragma_table_info(?1) ORDER BY cid", name);
    while (NextRow(columns.get())) {
        TXColumnDef column;
        column.Name = ColumnText(columns.get(), 0);
        MapDeclaredType(ColumnText(columns.get(), 1), column);
        column.Required = sqlite3_column_int(columns.get(), 2) != 0;
        if (const int position = sqlite3_column_int(columns.get(), 3))
            keyColumns.append({position, column.Name});
        defs.Columns.append(column);
    }

    if (!keyColumns.isEmpty()) {
        std::sort(keyColumns.begin(), keyColumns.end());
        TXIndexDef key{QStringLiteral("PrimaryKey"), QString(), true, true};
        QStringList names;
        for (const auto& entry : keyColumns)
            names.append(entry.second);
        key.Fields = names.join(u';');
        for (const NamedConstraint& c : constraints) {
            if (c.primary) {
                key.Name = c.name;
                break;
            }
        }
        defs.Indexes.append(key);
    }

    StatementPtr indexes = PrepareRaw(db,
                                      "SELECT il.name, il.\"unique\", il.origin "
                                      "FROM pragma_index_list(?1) il "
                                      "JOIN sqlite_master m ON m.name = il.name "
                                      "WHERE il.origin <> 'pk' ORDER BY m.rowid",
                                      name);
    while (NextRow(indexes.get())) {
        TXIndexDef index;
        index.Name = ColumnText(indexes.get(), 0);
        index.Unique = sqlite3_column_int(indexes.get(), 1) != 0;
        const QStringList fields = IndexColumns(db, index.Name);
        index.Fields = fields.join(u';');
        if (ColumnText(indexes.get(), 2) == u"u") {
            for (const NamedConstraint& c : constraints) {
                if (!c.primary && SameColumns(c.columns, fields)) {
                    index.Name = c.name;
                    break;
                }
            }
        }
        defs.Indexes.append(index);
    }
    return defs;
}

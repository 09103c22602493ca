#include "txquery.h"

#include "txconnection.h"
#include "txquery_impl.h"
#include "txrowfilter.h"
#include "xexception.h"
#include "xsqlite.h"

#include <algorithm>
#include <sqlite3.h>

namespace {

// Shared by NewQuery and NewCommand; lives for the whole run, never reset.
quint32 ComponentCounter = 0;

QString NextComponentName()
{
    return QStringLiteral("q%1").arg(ComponentCounter++);
}

[[noreturn]] void RaiseDatabaseError(const QObject* owner, const QString& message)
{
    const QString name = owner->objectName();
    throw XException(name.isEmpty() ? message : name + QStringLiteral(": ") + message,
                     QStringLiteral("EDatabaseError"));
}

} // namespace

TXQuery::TXQuery(TXConnection* connection, QObject* parent)
    : QObject(parent), d(std::make_unique<Impl>())
{
    d->connection = connection;
}

TXQuery::~TXQuery()
{
    Close();
}

TXConnection* TXQuery::Connection() const
{
    return d->connection;
}

void TXQuery::SetConnection(TXConnection* connection)
{
    Close();
    d->connection = connection;
}

QString TXQuery::SQL() const
{
    return d->sql;
}

void TXQuery::SetSQL(const QString& sql)
{
    Close();
    d->sql = sql;
    d->parameters.ParseSQL(sql);
}

TXParameters& TXQuery::Parameters()
{
    return d->parameters;
}

TXParameter& TXQuery::ParamByName(const QString& name)
{
    return d->parameters.ParamByName(name);
}

void TXQuery::Open()
{
    if (d->active)
        return;
    if (!d->connection)
        RaiseDatabaseError(this, QStringLiteral("Missing Connection or ConnectionString"));
    TXConnection::Statement statement = d->connection->Prepare(d->sql);
    sqlite3_stmt* s = statement.get();
    const int columns = sqlite3_column_count(s);
    if (columns == 0)
        RaiseProviderError(QStringLiteral("Command text does not return a result set."));
    BindParameters(s, d->parameters);

    QStringList names;
    for (int c = 0; c < columns; ++c)
        names.append(QString::fromUtf8(sqlite3_column_name(s, c)));
    d->rows.Reset(columns);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        d->rows.AppendRow(s);
    if (rc != SQLITE_DONE) {
        d->rows.Reset(0);
        RaiseEngineError(sqlite3_db_handle(s));
    }
    statement.reset(); // releases the read lock at once: the cursor is static
    d->names = names;
    try {
        d->Refilter(d->filter, d->filtered);
    } catch (...) {
        d->rows.Reset(0);
        d->names.clear();
        throw;
    }
    d->active = true;
    d->connection->AttachDataSet(this);
    First();
}

void TXQuery::Close()
{
    if (!d->active)
        return;
    d->active = false;
    d->rows.Reset(0);
    d->names.clear();
    d->visible.clear();
    d->useVisible = false;
    d->current = -1;
    d->eof = d->bof = true;
    if (d->connection)
        d->connection->DetachDataSet(this);
}

void TXQuery::Requery()
{
    Close();
    Open();
}

bool TXQuery::Active() const
{
    return d->active;
}

int TXQuery::RecordCount() const
{
    return d->active ? d->Count() : 0;
}

int TXQuery::RecNo() const
{
    return d->active && d->current >= 0 ? d->current + 1 : 0;
}

void TXQuery::SetRecNo(int recNo)
{
    const int count = RecordCount();
    if (count == 0)
        return;
    d->current = std::clamp(recNo, 1, count) - 1;
    d->eof = d->bof = false;
}

void TXQuery::First()
{
    const int count = RecordCount();
    d->current = count ? 0 : -1;
    d->bof = true;
    d->eof = count == 0;
}

void TXQuery::Next()
{
    if (d->current + 1 < RecordCount()) {
        ++d->current;
        d->bof = false;
    } else {
        d->eof = true;
    }
}

void TXQuery::Prior()
{
    if (d->current > 0) {
        --d->current;
        d->eof = false;
    } else {
        d->bof = true;
    }
}

void TXQuery::Last()
{
    const int count = RecordCount();
    d->current = count - 1;
    d->eof = true;
    d->bof = count == 0;
}

bool TXQuery::Eof() const
{
    return !d->active || d->eof;
}

bool TXQuery::Bof() const
{
    return !d->active || d->bof;
}

int TXQuery::FieldCount() const
{
    return int(d->names.size());
}

QStringList TXQuery::FieldNames() const
{
    return d->names;
}

TXField TXQuery::FieldByName(const QString& name) const
{
    const int column = FieldIndex(name);
    if (column < 0)
        RaiseDatabaseError(this, QStringLiteral("Field '%1' not found").arg(name));
    return TXField(this, column);
}

int TXQuery::FieldIndex(const QString& name) const
{
    for (qsizetype i = 0; i < d->names.size(); ++i) {
        if (d->names[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

TXField TXQuery::Fields(int column) const
{
    if (column < 0 || column >= FieldCount())
        RaiseDatabaseError(this, QStringLiteral("Field index out of range"));
    return TXField(this, column);
}

bool TXQuery::CanInsertRows(const TXQuery& source) const
{
    return &source != this && d->active && source.d->active && !d->useVisible &&
           !source.d->useVisible && d->names == source.d->names;
}

int TXQuery::InsertRows(int position, const TXQuery& source)
{
    if (!CanInsertRows(source))
        RaiseDatabaseError(this,
                           QStringLiteral("Cannot insert the rows of %1").arg(source.objectName()));
    const int count = source.d->rows.RowCount();
    if (count == 0)
        return 0;
    position = std::clamp(position, 0, d->rows.RowCount());
    d->rows.InsertRows(position, source.d->rows);
    d->current = position;
    d->eof = d->bof = false;
    return count;
}

QVariant TXQuery::Value(int row, int column) const
{
    if (!d->ValidCell(row, column))
        return QVariant();
    return d->rows.Value(d->RowAt(row), column);
}

QString TXQuery::DisplayText(int row, int column) const
{
    if (!d->ValidCell(row, column))
        return QString();
    return d->rows.DisplayText(d->RowAt(row), column);
}

QString TXQuery::Filter() const
{
    return d->filter;
}

void TXQuery::SetFilter(const QString& filter)
{
    if (d->active)
        d->Refilter(filter, d->filtered);
    d->filter = filter;
    if (d->active)
        First();
}

bool TXQuery::Filtered() const
{
    return d->filtered;
}

void TXQuery::SetFiltered(bool on)
{
    if (d->active)
        d->Refilter(d->filter, on);
    d->filtered = on;
    if (d->active)
        First();
}

void TXQuery::Impl::Refilter(const QString& text, bool on)
{
    if (!on || text.trimmed().isEmpty()) {
        visible.clear();
        useVisible = false;
        return;
    }
    const TXRowFilter filter(text, names); // compiles first: a bad filter changes nothing
    std::vector<int> kept;
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (filter.Matches(rows, row))
            kept.push_back(row);
    }
    visible = std::move(kept);
    useVisible = true;
}

TXCommand::TXCommand(TXConnection* connection, QObject* parent)
    : QObject(parent), m_connection(connection)
{
}

TXCommand::~TXCommand() = default;

TXConnection* TXCommand::Connection() const
{
    return m_connection;
}

void TXCommand::SetConnection(TXConnection* connection)
{
    m_connection = connection;
}

QString TXCommand::CommandText() const
{
    return m_text;
}

void TXCommand::SetCommandText(const QString& sql)
{
    m_text = sql;
    m_parameters.ParseSQL(sql);
}

TXParameters& TXCommand::Parameters()
{
    return m_parameters;
}

TXParameter& TXCommand::ParamByName(const QString& name)
{
    return m_parameters.ParamByName(name);
}

int TXCommand::Execute()
{
    if (!m_connection)
        RaiseDatabaseError(this, QStringLiteral("Missing Connection or ConnectionString"));
    TXConnection::Statement statement = m_connection->Prepare(m_text);
    sqlite3* db = sqlite3_db_handle(statement.get());
    BindParameters(statement.get(), m_parameters);
    // Total changes, because sqlite3_changes keeps a stale count across DDL.
    const qint64 before = sqlite3_total_changes64(db);
    StepToEnd(statement.get());
    return int(sqlite3_total_changes64(db) - before);
}

std::unique_ptr<TXQuery> NewQuery(TXConnection* connection)
{
    auto query = std::make_unique<TXQuery>(connection);
    query->setObjectName(NextComponentName());
    return query;
}

std::unique_ptr<TXCommand> NewCommand(TXConnection* connection)
{
    auto command = std::make_unique<TXCommand>(connection);
    command->setObjectName(NextComponentName());
    return command;
}

#include "txconnection.h"

#include "txquery.h"
#include "xjetdialect.h"
#include "xschema.h"
#include "xsqlite.h"
#include "xstationfile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <list>
#include <sqlite3.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

constexpr int kDefaultTimeoutSeconds = 15;
// Enough for every fixed statement of a screen; older ones are finalized.
constexpr size_t kStatementCacheSize = 64;

// What the layer takes from a connection string; the rest is ignored, as the
// provider ignores the items it does not know.
struct ConnectionSettings
{
    QString provider;
    QString dataSource;
    QString password; // null when there is no password item
};

ConnectionSettings ParseConnectionString(const QString& text)
{
    ConnectionSettings settings;
    const QStringList items = text.split(u';');
    for (const QString& item : items) {
        const qsizetype eq = item.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = item.left(eq).trimmed();
        const QString value = item.mid(eq + 1).trimmed();
        if (key.compare(u"Provider", Qt::CaseInsensitive) == 0)
            settings.provider = value;
        else if (key.compare(u"Data Source", Qt::CaseInsensitive) == 0)
            settings.dataSource = value;
        else if (key.compare(u"Jet OLEDB:Database Password", Qt::CaseInsensitive) == 0)
            settings.password = value.isNull() ? QStringLiteral("") : value;
    }
    return settings;
}

bool IsStationProvider(const QString& provider)
{
    return provider.compare(u"Microsoft.Jet.OLEDB.4.0", Qt::CaseInsensitive) == 0 ||
           provider.compare(u"Microsoft.ACE.OLEDB.12.0", Qt::CaseInsensitive) == 0;
}

void Exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        RaiseEngineError(db);
}

} // namespace

struct TXConnection::Impl
{
    QString connectionString;
    int tag = 0;
    int timeoutSeconds = kDefaultTimeoutSeconds;
    sqlite3* db = nullptr;
    quint64 openings = 0;
    std::vector<TXQuery*> dataSets;

    // Idle prepared statements, most recently used first.
    using Entry = std::pair<QString, sqlite3_stmt*>;
    std::list<Entry> cache;
    std::unordered_map<QString, std::list<Entry>::iterator> cacheIndex;

    void ClearCache()
    {
        for (Entry& entry : cache)
            sqlite3_finalize(entry.second);
        cache.clear();
        cacheIndex.clear();
    }
};

TXConnection::TXConnection(QObject* parent) : QObject(parent), d(std::make_unique<Impl>()) {}

TXConnection::~TXConnection()
{
    Close();
}

QString TXConnection::ConnectionString() const
{
    return d->connectionString;
}

void TXConnection::SetConnectionString(const QString& text)
{
    if (!d->db)
        d->connectionString = text;
}

int TXConnection::Tag() const
{
    return d->tag;
}

void TXConnection::SetTag(int tag)
{
    d->tag = tag;
}

int TXConnection::ConnectionTimeout() const
{
    return d->timeoutSeconds;
}

void TXConnection::SetConnectionTimeout(int seconds)
{
    d->timeoutSeconds = std::max(0, seconds);
    if (d->db)
        sqlite3_busy_timeout(d->db, d->timeoutSeconds * 1000);
}

void TXConnection::Open()
{
    if (d->db)
        return;
    const ConnectionSettings settings = ParseConnectionString(d->connectionString);
    if (!IsStationProvider(settings.provider))
        RaiseProviderError(
            QStringLiteral("Provider cannot be found. It may not be properly installed."));
    if (settings.dataSource.isEmpty())
        RaiseProviderError(QStringLiteral("No Data Source was given in the connection string."));
    if (!QFileInfo::exists(settings.dataSource))
        RaiseProviderError(QStringLiteral("Could not find file '%1'.").arg(settings.dataSource));

    // Without SQLITE_OPEN_CREATE a missing file is never created behind our back.
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(settings.dataSource).constData(), &db,
                                   SQLITE_OPEN_READWRITE, nullptr);
    try {
        if (rc != SQLITE_OK)
            RaiseProviderError(
                QStringLiteral("Could not use '%1'; %2.")
                    .arg(settings.dataSource,
                         QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc))));
        sqlite3_busy_timeout(db, d->timeoutSeconds * 1000);
        DisableQuotedStringFallback(db);
        CheckStationFile(db, settings.dataSource, settings.password);
        // One self-contained file that can be copied after any write: no WAL.
        Exec(db, "PRAGMA journal_mode=DELETE");
        Exec(db, "PRAGMA synchronous=FULL");
        // A grid reopened whole looks each row's plant up at random in the plant
        // table; the default 2 MiB page cache makes those re-read from the OS.
        Exec(db, "PRAGMA cache_size=-32768");
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    d->db = db;
    ++d->openings;
}

void TXConnection::Close()
{
    if (!d->db)
        return;
    const std::vector<TXQuery*> open = d->dataSets;
    for (TXQuery* query : open)
        query->Close();
    d->dataSets.clear();
    d->ClearCache();
    // Rolls back an open transaction; close_v2 tolerates leased statements.
    sqlite3_close_v2(d->db);
    d->db = nullptr;
}

bool TXConnection::Connected() const
{
    return d->db != nullptr;
}

int TXConnection::DataSetCount() const
{
    return int(d->dataSets.size());
}

void TXConnection::BeginTrans()
{
    if (!d->db)
        RaiseProviderError(QStringLiteral("Operation is not allowed when the object is closed."));
    if (InTransaction())
        RaiseProviderError(QStringLiteral("Cannot start more transactions on this session."));
    // IMMEDIATE takes the write lock now (waiting up to the timeout), so a
    // writer never fails half-way for a lock it could have waited for.
    Exec(d->db, "BEGIN IMMEDIATE");
}

void TXConnection::CommitTrans()
{
    if (!InTransaction())
        RaiseProviderError(QStringLiteral("No transaction is active."));
    Exec(d->db, "COMMIT");
}

void TXConnection::RollbackTrans()
{
    if (!InTransaction())
        RaiseProviderError(QStringLiteral("No transaction is active."));
    Exec(d->db, "ROLLBACK");
}

bool TXConnection::InTransaction() const
{
    // Asked from the engine: some errors end a transaction on their own.
    return d->db && !sqlite3_get_autocommit(d->db);
}

std::unique_ptr<TXQuery> TXConnection::OpenSchemaTables()
{
    auto query = std::make_unique<TXQuery>(this);
    query->SetSQL(TablesRowsetSql());
    query->Open();
    return query;
}

TXTableDefs TXConnection::TableDefinitions(const QString& tableName)
{
    if (!d->db)
        RaiseProviderError(QStringLiteral("Operation is not allowed when the object is closed."));
    return ReadTableDefinitions(d->db, tableName);
}

TXChangeStamp TXConnection::ChangeStamp()
{
    // data_version leaves out this connection's own commits; its change count has them.
    Statement statement = Prepare(QStringLiteral("PRAGMA data_version"));
    if (sqlite3_step(statement.get()) != SQLITE_ROW)
        RaiseEngineError(d->db);
    return {d->openings, OwnChanges(), sqlite3_column_int64(statement.get(), 0)};
}

qint64 TXConnection::OwnChanges() const
{
    return d->db ? sqlite3_total_changes64(d->db) : 0;
}

sqlite3* TXConnection::Handle() const
{
    return d->db;
}

void TXConnection::AttachDataSet(TXQuery* query)
{
    if (std::find(d->dataSets.begin(), d->dataSets.end(), query) == d->dataSets.end())
        d->dataSets.push_back(query);
}

void TXConnection::DetachDataSet(TXQuery* query)
{
    std::erase(d->dataSets, query);
}

TXConnection::Statement TXConnection::Prepare(const QString& jetSql)
{
    if (!d->db)
        RaiseProviderError(QStringLiteral("Operation is not allowed when the object is closed."));
    const auto found = d->cacheIndex.find(jetSql);
    if (found != d->cacheIndex.end()) {
        sqlite3_stmt* statement = found->second->second;
        d->cache.erase(found->second);
        d->cacheIndex.erase(found);
        return Statement(statement, StatementRelease{this, jetSql});
    }

    const QByteArray sql = JetToSqlite(jetSql).toUtf8();
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v3(d->db, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT,
                           &statement, &tail) != SQLITE_OK)
        RaiseEngineError(d->db);
    if (!statement)
        RaiseProviderError(QStringLiteral("Command text was not set for the command object."));
    // One statement per text, as the provider runs them; a trailing ";" is fine.
    for (const char* p = tail; p && *p; ++p) {
        if (*p != ';' && !QChar::isSpace(uchar(*p))) {
            sqlite3_finalize(statement);
            RaiseProviderError(QStringLiteral("Characters found after end of SQL statement."));
        }
    }
    return Statement(statement, StatementRelease{this, jetSql});
}

void TXConnection::StatementRelease::operator()(sqlite3_stmt* statement) const
{
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    Impl* d = connection ? connection->d.get() : nullptr;
    if (!d || !d->db || sqlite3_db_handle(statement) != d->db || d->cacheIndex.count(key)) {
        sqlite3_finalize(statement);
        return;
    }
    d->cache.emplace_front(key, statement);
    d->cacheIndex.emplace(key, d->cache.begin());
    if (d->cache.size() > kStatementCacheSize) {
        sqlite3_finalize(d->cache.back().second);
        d->cacheIndex.erase(d->cache.back().first);
        d->cache.pop_back();
    }
}

#pragma once

#include "xfieldtype.h"

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;
class TXQuery;

/** One column of a table as the provider describes it. */
struct TXColumnDef
{
    QString Name;
    TXFieldType DataType = TXFieldType::Unknown;
    int Size = 0;          // declared length of text columns, 0 otherwise
    bool Required = false; // NOT NULL
};

/** One index of a table. Fields are separated by ";" as the provider lists them. */
struct TXIndexDef
{
    QString Name;
    QString Fields;
    bool Primary = false;
    bool Unique = false;
};

/** Column and index definitions of one table, in column / declaration order. */
struct TXTableDefs
{
    QList<TXColumnDef> Columns;
    QList<TXIndexDef> Indexes;
};

/** What TXConnection::ChangeStamp compares. */
struct TXChangeStamp
{
    quint64 Opening = 0;    // which opening of the connection
    qint64 OwnChanges = 0;  // rows changed through it since then
    qint64 DataVersion = 0; // moves with every commit of another connection to the file
    bool operator==(const TXChangeStamp&) const = default;
};

/**
 * A connection to one station database file (SQLite underneath), driven by a
 * Jet-style connection string: "Provider=...;Data Source=path;...;
 * Jet OLEDB:Database Password=pw". Open failures of the provider raise
 * XException with the class name "EOleException".
 */
class TXConnection : public QObject
{
    Q_OBJECT
public:
    explicit TXConnection(QObject* parent = nullptr);
    ~TXConnection() override;

    QString ConnectionString() const;
    /** Ignored while open, as the provider refuses it. */
    void SetConnectionString(const QString& text);

    int Tag() const;
    void SetTag(int tag);

    /** Busy timeout in seconds; 15 by default. */
    int ConnectionTimeout() const;
    void SetConnectionTimeout(int seconds);

    /** Opens the file named by Data Source. Raises XException("EOleException") on failure. */
    void Open();
    /** Closes; open queries on this connection are closed first. */
    void Close();
    bool Connected() const;

    /** Number of open queries attached to this connection. */
    int DataSetCount() const;

    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const;

    /**
     * The provider's tables rowset: columns TABLE_NAME and TABLE_TYPE
     * ('TABLE', 'SYSTEM TABLE' or 'VIEW'), one row per table or view. The caller
     * owns the returned query (open, static); it may set a filter on it.
     */
    std::unique_ptr<TXQuery> OpenSchemaTables();

    /** Column and index definitions of a table; raises a provider error when it does not exist. */
    TXTableDefs TableDefinitions(const QString& tableName);

    /**
     * Changes whenever the file's data may have changed: a row changed through
     * this connection, or a commit of any other connection or process. Equal
     * stamps mean nothing changed in between, so a result read before can be
     * kept. Raises a provider error while closed.
     */
    TXChangeStamp ChangeStamp();
    /** Rows changed through this connection since it was opened (ChangeStamp's OwnChanges,
     *  without reading the file); 0 while closed. */
    qint64 OwnChanges() const;

    /** The open SQLite handle, for the layer's own classes; null while closed. */
    sqlite3* Handle() const;

    /** Gives a statement from Prepare back to the connection's cache. */
    struct StatementRelease
    {
        TXConnection* connection = nullptr;
        QString key;
        void operator()(sqlite3_stmt* statement) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, StatementRelease>;

    /**
     * For the layer's own classes: the Jet SQL text rewritten for SQLite and
     * prepared, unbound, taken from a per-connection cache keyed by the text
     * (the statement returns to the cache when released). Raises a provider
     * error when the connection is closed, the text is empty, does not compile,
     * or holds more than one statement.
     */
    Statement Prepare(const QString& jetSql);

    // Called by queries as they open and close.
    void AttachDataSet(TXQuery* query);
    void DetachDataSet(TXQuery* query);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

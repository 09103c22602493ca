#pragma once

#include "xexception.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

struct pg_conn;
struct pg_result;

/** A bound parameter or a column value; empty means NULL. */
using PgValue = std::optional<QString>;
using PgParams = QList<PgValue>;

/** A server error: the Portuguese message, and the SQLSTATE when the server sent one. */
class PgError : public XException
{
public:
    PgError(const QString& message, QString sqlState);
    const QString& SqlState() const noexcept { return m_sqlState; }

private:
    QString m_sqlState;
};

/** The result of one statement; owns the libpq result. */
class PgResult
{
public:
    explicit PgResult(pg_result* result);
    int Rows() const;
    int Columns() const;
    bool IsNull(int row, int column) const;
    QString Text(int row, int column) const;
    PgValue Value(int row, int column) const;
    qint64 Int(int row, int column) const;

private:
    struct Clear
    {
        void operator()(pg_result* result) const;
    };
    std::unique_ptr<pg_result, Clear> m_result;
};

/**
 * One connection to the lab server. The URL goes to libpq as given (sslmode
 * and the rest included); passwords come from libpq's own sources (~/.pgpass,
 * PGPASSWORD). Every call raises PgError with a Portuguese message.
 */
class PgConnection
{
public:
    explicit PgConnection(const QString& url);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    /** Runs one statement with its parameters bound (text format, NULL for empty). */
    PgResult Exec(const QString& sql, const PgParams& params = {});

    /** Runs "COPY ... FROM STDIN" feeding it data in COPY's text format. */
    void CopyIn(const QString& copySql, const QByteArray& data);

    /** The login role of the connection. */
    QString User() const;

private:
    [[noreturn]] void Fail(pg_result* result);
    pg_conn* m_connection = nullptr;
};

/** A transaction: begun on construction, rolled back on destruction unless committed. */
class PgTransaction
{
public:
    /** begin: the statement that opens it, e.g. "BEGIN ISOLATION LEVEL REPEATABLE READ". */
    explicit PgTransaction(PgConnection& connection,
                           const QString& begin = QStringLiteral("BEGIN"));
    ~PgTransaction();
    PgTransaction(const PgTransaction&) = delete;
    PgTransaction& operator=(const PgTransaction&) = delete;
    void Commit();

private:
    PgConnection& m_connection;
    bool m_open = true;
};

/** Appends one row in COPY's text format (tab separated, \N for NULL, escapes). */
void AppendCopyRow(QByteArray& out, const QList<PgValue>& fields);

#pragma once

#include <QString>
#include <sys/types.h>

/**
 * A private PostgreSQL cluster for the tests: initdb + pg_ctl in a temporary
 * folder, listening on a Unix socket there only, run as "nobody" when the
 * tests run as root. A watchdog process stops it and removes the folder when
 * the test process ends, however it ends. Missing PostgreSQL binaries fail the
 * tests; they are never skipped.
 */
class PgCluster
{
public:
    /** The running cluster, started on first use. Raises std::runtime_error. */
    static PgCluster& Instance();

    /** A new empty database; returns its URL for the cluster's superuser. */
    QString NewDatabase();
    /** The URL of a database for another role. */
    QString Url(const QString& database, const QString& role) const;
    /** The database name of a URL from NewDatabase. */
    static QString DatabaseOf(const QString& url);

    void Stop();
    void Start();

private:
    PgCluster();
    QString RunTool(const QString& tool, const QStringList& arguments) const;

    QString m_bin;
    QString m_folder;
    bool m_asNobody = false;
    int m_databases = 0;
    int m_watchdogPipe = -1; // closing it starts the clean-up
    int m_watchdogDone = -1; // reads end of file once the clean-up is over
};

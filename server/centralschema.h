#pragma once

#include <QString>
#include <QStringList>

class PgConnection;

/** The group role every station's role belongs to; it holds the stations' rights. */
inline const QString kStationGroupRole = QStringLiteral("tressalin_estacao");

/** What creating the central schema did: one line per table, created or checked. */
struct CentralSchemaReport
{
    QStringList Created;
    QStringList Checked;
    QStringList Problems; // a table that exists without an expected column
};

/**
 * Creates what is missing of the central schema (tables, keys, the stations'
 * group role, rights and row policies) in one transaction, and checks the
 * tables that were already there. Never drops or alters an existing table.
 * Raises PgError.
 */
CentralSchemaReport CreateCentralSchema(PgConnection& connection);

/** Raises XException when the server holds no central schema (criar not run). */
void RequireCentralSchema(PgConnection& connection);

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
    QStringList Problems; // what is missing or different, "Tabela x: ..." or "Função y: ..."
    QStringList Repaired; // what a repair put back
    QString Migrated;     // an older version's schema brought up to this one
};

/**
 * Creates the missing tables of the central schema (with their keys, rights
 * and row policies, the stations' group role and the functions) in one
 * transaction, then checks what the guarantees rest on: unique keys, row-level
 * security and its policies, rights, the functions' definitions and rights,
 * and the lab database's rights. With repair, puts back whatever is missing or
 * different and checks again; it never drops a table or a row. Raises PgError.
 */
CentralSchemaReport CreateCentralSchema(PgConnection& connection, bool repair = false);

/** Raises XException when the server holds no central schema (criar not run). */
void RequireCentralSchema(PgConnection& connection);

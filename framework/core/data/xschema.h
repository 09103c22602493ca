#pragma once

#include "txconnection.h"

#include <QString>

struct sqlite3;

// The schema answers of the provider, read from SQLite's catalogue.

/**
 * SQL of the tables rowset: TABLE_NAME, TABLE_TYPE ('TABLE', 'SYSTEM TABLE'
 * for SQLite's own tables and the station verifier, 'VIEW'), ordered by type
 * and name. Uses single quotes only, so the Jet rewrite leaves it alone.
 */
QString TablesRowsetSql();

/**
 * Column and index definitions of a table or view (name compared without
 * regard to letter case). Columns map their declared Jet type; the primary
 * key comes first, named as its CONSTRAINT clause names it ("PrimaryKey" when
 * unnamed), then the other indexes in creation order, columns joined by ";".
 * Raises a provider error when there is no such table.
 */
TXTableDefs ReadTableDefinitions(sqlite3* db, const QString& tableName);

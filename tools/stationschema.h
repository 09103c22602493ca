#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/** Jet column types the station file is declared with. */
enum class StationColumnType { Text, Long, Double };

/** One column of a station table as the tool declares it. */
struct StationColumn
{
    QString Name;
    StationColumnType Type = StationColumnType::Long;
    int Size = 0; // characters, text columns only
    bool Nullable = false;
};

/** A secondary index the scan lookups of the client rely on. */
struct StationIndex
{
    QString Name;
    QStringList Columns;
    bool Unique = false;
};

/** One table of the station file: columns in declaration order, its key "PK_" + name. */
struct StationTable
{
    QString Name;
    QList<StationColumn> Columns;
    QStringList PrimaryKey;
    QList<StationIndex> Indexes;

    /** Null when the table has no such column; the name ignores letter case. */
    const StationColumn* FindColumn(const QString& name) const;
};

/** The nine tables of a station file, in declaration order. */
const QList<StationTable>& StationTables();

/** Null when there is no such table; the name ignores letter case. */
const StationTable* FindStationTable(const QString& name);

/** "CREATE TABLE ..." with Jet type names, NOT NULL, checked text columns and the named key. */
QString CreateTableSQL(const StationTable& table);

/** One "CREATE [UNIQUE] INDEX ..." per secondary index of the table. */
QStringList CreateIndexSQL(const StationTable& table);

/** The schema version the client expects in Configuracao.VERSION_MDB. */
inline const QString kStationSchemaVersion = QStringLiteral("01.000");

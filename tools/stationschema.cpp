#include "stationschema.h"

#include "data/xstationfile.h"

namespace {

StationColumn Text(const char* name, int size, bool nullable = false)
{
    return {QString::fromLatin1(name), StationColumnType::Text, size, nullable};
}

StationColumn Long(const char* name, bool nullable = false)
{
    return {QString::fromLatin1(name), StationColumnType::Long, 0, nullable};
}

StationColumn Double(const char* name, bool nullable = false)
{
    return {QString::fromLatin1(name), StationColumnType::Double, 0, nullable};
}

QStringList Names(std::initializer_list<const char*> names)
{
    QStringList list;
    for (const char* name : names)
        list << QString::fromLatin1(name);
    return list;
}

StationIndex Index(const char* name, std::initializer_list<const char*> columns,
                   bool unique = false)
{
    return {QString::fromLatin1(name), Names(columns), unique};
}

QList<StationColumn> PlantioColumns()
{
    return {Long("ID_SLOTE"), Double("NC_PLANTIO"),     Double("NCC"),
            Long("ID_USER"),  Text("DATA_PLANTIO", 20), Text("ORIGEM_PLANTIO", 20, true)};
}

QList<StationColumn> PlacaPocoColumns()
{
    return {Long("ID_PLACA"),
            Long("PLACA"),
            Text("POCO", 5),
            Long("LINHA"),
            Long("COLUNA"),
            Long("SEQ_COLETA"),
            Text("AMOSTRA", 1),
            Long("STATUS_POCO"),
            Double("NC_PLANTIO", true),
            Long("USER_COLETA", true),
            Text("DATA_COLETA", 20, true),
            Text("ORIGEM_COLETA", 20, true)};
}

QList<StationTable> BuildTables()
{
    QList<StationTable> tables;
    tables.append({QStringLiteral("Configuracao"),
                   {Long("ID"), Text("MAQUINA", 40, true), Double("RELA_INICIAL"),
                    Double("RELA_FINAL"), Long("ID_LOTE"), Text("DESCRICAO_LOTE", 20),
                    Long("INFO_DB"), Long("ID_TRESSALIN"), Text("VERSION_MDB", 20), Long("CB_NCC"),
                    Long("CB_NC_PLANTIO"), Text("ALERT_SOUND", 100, true)},
                   Names({"ID"}),
                   {}});
    tables.append({QStringLiteral("Lote"),
                   {Long("ID_SLOTE"), Text("NOME", 20), Long("QTE_TRATAMENTO")},
                   Names({"ID_SLOTE"}),
                   {}});
    tables.append(
        {QStringLiteral("Planta"), {Double("NCC"), Double("NC"), Long("REP")}, Names({"NCC"}), {}});
    // The planting screen looks plants up by NCC and lists a sub-batch by date.
    tables.append({QStringLiteral("Plantio"),
                   PlantioColumns(),
                   Names({"NC_PLANTIO", "NCC"}),
                   {Index("IX_Plantio_NCC", {"NCC"}),
                    Index("IX_Plantio_Lote", {"ID_SLOTE", "DATA_PLANTIO"})}});
    QList<StationColumn> plantioExc = PlantioColumns();
    plantioExc << Long("USER_PLANTIO_EXC", true) << Text("DATA_PLANTIO_EXC", 20, true);
    tables.append({QStringLiteral("Plantio_Exc"),
                   plantioExc,
                   Names({"NC_PLANTIO", "NCC", "DATA_PLANTIO_EXC"}),
                   {}});
    // A plate is found by its scanned code; the code must name one plate only.
    tables.append(
        {QStringLiteral("Placa"),
         {Long("ID_PLACA"), Long("PLACA"), Text("CODIGO", 20), Long("TLINHA"), Long("TCOLUNA")},
         Names({"ID_PLACA"}),
         {Index("IX_Placa_Codigo", {"CODIGO"}, true)}});
    // Collection checks look wells up by planting code and walk a plate in collection order.
    tables.append({QStringLiteral("Placa_Poco"),
                   PlacaPocoColumns(),
                   Names({"ID_PLACA", "POCO", "STATUS_POCO"}),
                   {Index("IX_Placa_Poco_NC_Plantio", {"NC_PLANTIO"}),
                    Index("IX_Placa_Poco_Seq", {"ID_PLACA", "SEQ_COLETA"})}});
    QList<StationColumn> pocoExc = PlacaPocoColumns();
    pocoExc << Long("USER_COLETA_EXC", true) << Text("DATA_COLETA_EXC", 20, true);
    tables.append({QStringLiteral("Placa_Poco_Exc"),
                   pocoExc,
                   Names({"ID_PLACA", "POCO", "DATA_COLETA_EXC"}),
                   {}});
    // The login looks a user up by code; two users with one code would make it ambiguous.
    tables.append({QStringLiteral("Usua"),
                   {Long("ID_USER"), Text("NOME", 60), Text("CODIGO", 15), Text("SENHA", 34)},
                   Names({"ID_USER"}),
                   {Index("IX_Usua_Codigo", {"CODIGO"}, true)}});
    return tables;
}

QString ColumnDecl(const StationColumn& column)
{
    switch (column.Type) {
    case StationColumnType::Text:
        return TextColumnDecl(column.Name, column.Size, !column.Nullable);
    case StationColumnType::Long:
        return column.Name +
               (column.Nullable ? QStringLiteral(" LONG") : QStringLiteral(" LONG NOT NULL"));
    case StationColumnType::Double:
        return column.Name +
               (column.Nullable ? QStringLiteral(" DOUBLE") : QStringLiteral(" DOUBLE NOT NULL"));
    }
    return {};
}

} // namespace

const StationColumn* StationTable::FindColumn(const QString& name) const
{
    for (const StationColumn& column : Columns) {
        if (column.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &column;
    }
    return nullptr;
}

const QList<StationTable>& StationTables()
{
    static const QList<StationTable> tables = BuildTables();
    return tables;
}

const StationTable* FindStationTable(const QString& name)
{
    for (const StationTable& table : StationTables()) {
        if (table.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &table;
    }
    return nullptr;
}

QString CreateTableSQL(const StationTable& table)
{
    QStringList parts;
    for (const StationColumn& column : table.Columns)
        parts << ColumnDecl(column);
    parts << QStringLiteral("CONSTRAINT PK_%1 PRIMARY KEY (%2)")
                 .arg(table.Name, table.PrimaryKey.join(QStringLiteral(", ")));
    return QStringLiteral("CREATE TABLE %1 (\n  %2\n)")
        .arg(table.Name, parts.join(QStringLiteral(",\n  ")));
}

QStringList CreateIndexSQL(const StationTable& table)
{
    QStringList statements;
    for (const StationIndex& index : table.Indexes) {
        statements << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                          .arg(index.Unique ? QStringLiteral("UNIQUE ") : QString(), index.Name,
                               table.Name, index.Columns.join(QStringLiteral(", ")));
    }
    return statements;
}

#include "stationdata.h"

namespace {

struct Extract
{
    const char* Table;
    const char* Columns;
    const char* Sql; // $1: the station's batch
    bool Collection; // only for collection stations
};

const Extract kExtracts[] = {
    {"Usua", "ID_USER NOME CODIGO SENHA",
     "SELECT id_user, nome, codigo, senha FROM usua ORDER BY id_user", false},
    {"Lote", "ID_SLOTE NOME QTE_TRATAMENTO",
     "SELECT id_slote, nome, qte_tratamento FROM lote WHERE lote = $1 ORDER BY id_slote", false},
    {"Planta", "NCC NC REP", "SELECT ncc, nc, rep FROM planta ORDER BY ncc", false},
    {"Plantio", "ID_SLOTE NC_PLANTIO NCC ID_USER DATA_PLANTIO ORIGEM_PLANTIO",
     "SELECT p.id_slote, p.nc_plantio, p.ncc, p.id_user, p.data_plantio, p.origem_plantio"
     " FROM plantio p JOIN lote l ON l.id_slote = p.id_slote WHERE l.lote = $1"
     " ORDER BY p.nc_plantio",
     true},
    {"Placa", "ID_PLACA PLACA CODIGO TLINHA TCOLUNA",
     "SELECT id_placa, placa, codigo, tlinha, tcoluna FROM placa WHERE lote = $1"
     " ORDER BY id_placa",
     true},
    {"Placa_Poco",
     "ID_PLACA PLACA POCO LINHA COLUNA SEQ_COLETA AMOSTRA STATUS_POCO NC_PLANTIO USER_COLETA"
     " DATA_COLETA ORIGEM_COLETA",
     "SELECT w.id_placa, w.placa, w.poco, w.linha, w.coluna, w.seq_coleta, w.amostra,"
     " coalesce(c.status_poco, w.status_poco), c.nc_plantio, c.user_coleta, c.data_coleta,"
     " c.origem_coleta"
     " FROM placa_poco w JOIN placa p ON p.id_placa = w.id_placa"
     " LEFT JOIN placa_poco c ON c.id_placa = w.id_placa AND c.poco = w.poco"
     "  AND c.estacao IS NOT NULL"
     " WHERE w.estacao IS NULL AND p.lote = $1 ORDER BY w.id_placa, w.seq_coleta",
     true},
};

} // namespace

std::vector<StationTableData> ReadStationData(PgConnection& connection, const RegisteredStation& station)
{
    const bool collection = station.Operacao == 1;
    PgTransaction transaction(connection,
                              QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    std::vector<StationTableData> data;
    for (const Extract& extract : kExtracts) {
        if (extract.Collection && !collection)
            continue;
        const QString sql = QString::fromLatin1(extract.Sql);
        data.push_back({QString::fromLatin1(extract.Table),
                     QString::fromLatin1(extract.Columns).split(QLatin1Char(' ')),
                     connection.Exec(sql, sql.contains(QLatin1String("$1"))
                                              ? PgParams{station.Lote}
                                              : PgParams{})});
    }
    transaction.Commit();
    return data;
}

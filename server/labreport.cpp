#include "labreport.h"

#include "centralschema.h"
#include "pgconnection.h"

#include <QHash>

namespace {

const QString kNowSql = QStringLiteral(
    "SELECT to_char(coalesce($1::timestamp, localtimestamp(0)), 'YYYY-MM-DD HH24:MI:SS')");

const QString kBatchSql = QStringLiteral(
    "SELECT l.lote, l.id_slote, l.nome, l.qte_tratamento, coalesce(p.n, 0) FROM lote l"
    " LEFT JOIN (SELECT id_slote, count(*) AS n FROM plantio GROUP BY id_slote) p"
    "  USING (id_slote) ORDER BY l.lote, l.id_slote");

// Station times are texts "yyyy-mm-dd hh:mm:ss": their first 10 characters are the day,
// their first 13 the clock hour, so no malformed time can fail the report. Grouped by hour
// first: hashing beats a sort for counting the hours worked.
const QString kWorkSql = QStringLiteral(
    "WITH r AS ("
    "  SELECT estacao, id_user AS usuario, data_plantio AS data, 1 AS plantio, 0 AS poco"
    "  FROM plantio"
    "  UNION ALL"
    "  SELECT estacao, user_coleta, coalesce(data_coleta, ''), 0, 1 FROM placa_poco"
    "  WHERE estacao IS NOT NULL),"
    " h AS (SELECT estacao, usuario, left(data, 13) AS hora, sum(plantio) AS plantios,"
    "  sum(poco) AS pocos, min(data) AS primeiro, max(data) AS ultimo FROM r"
    "  GROUP BY estacao, usuario, left(data, 13))"
    " SELECT h.estacao, coalesce(u.codigo, h.usuario::text, ''), left(h.hora, 10),"
    "  sum(h.plantios), sum(h.pocos), min(h.primeiro), max(h.ultimo), count(*)"
    " FROM h LEFT JOIN usua u ON u.id_user = h.usuario"
    " GROUP BY h.estacao, h.usuario, u.codigo, left(h.hora, 10)"
    " ORDER BY 3, 1, 2");

// A plate's wells are its empty rows (the layout, one per well); the rows received filled
// beside them, one per well too, are its collected wells. Counted per plate and station in
// one pass, then summed per plate.
const QString kPlateSql =
    QStringLiteral("WITH g AS (SELECT id_placa, estacao, count(*) AS pocos,"
                   "  count(*) FILTER (WHERE amostra = 'C') AS controles,"
                   "  count(*) FILTER (WHERE amostra = 'T') AS amostras"
                   "  FROM placa_poco GROUP BY id_placa, estacao)"
                   " SELECT p.codigo, p.lote,"
                   " coalesce(sum(g.pocos) FILTER (WHERE g.estacao IS NULL), 0),"
                   " coalesce(sum(g.controles) FILTER (WHERE g.estacao IS NULL), 0),"
                   " coalesce(sum(g.amostras) FILTER (WHERE g.estacao IS NULL), 0),"
                   " coalesce(sum(g.amostras) FILTER (WHERE g.estacao IS NOT NULL), 0),"
                   " coalesce(sum(g.pocos) FILTER (WHERE g.estacao IS NOT NULL), 0),"
                   " coalesce(string_agg(g.estacao, ', ' ORDER BY g.estacao), '')"
                   " FROM placa p LEFT JOIN g ON g.id_placa = p.id_placa"
                   " GROUP BY p.id_placa, p.codigo, p.lote ORDER BY p.codigo");

// What each station sent is summed from the work rows, not counted again here.
const QString kStationSql = QStringLiteral(
    "SELECT e.nome, e.operacao, e.lote, coalesce(to_char(t.fim, 'YYYY-MM-DD HH24:MI:SS'), ''),"
    " coalesce(extract(epoch FROM ($1::timestamp - t.fim::timestamp)) / 3600, -1),"
    " (SELECT count(*) FROM conflito c WHERE c.estacao = e.nome),"
    " (SELECT count(*) FROM conflito c WHERE c.estacao = e.nome AND NOT c.resolvido)"
    " FROM estacao e LEFT JOIN LATERAL (SELECT max(fim) AS fim FROM transmissao t"
    "  WHERE t.estacao = e.nome) t ON true ORDER BY e.nome");

const QString kConflictSql =
    QStringLiteral("SELECT id, estacao, tabela, motivo, valores_estacao,"
                   " to_char(registrado, 'YYYY-MM-DD HH24:MI:SS') FROM conflito WHERE NOT resolvido"
                   " ORDER BY id");

} // namespace

LabReport ReadLabReport(PgConnection& connection, const QString& now)
{
    RequireCentralSchema(connection);
    // One snapshot: the sections agree with each other though stations keep transmitting.
    PgTransaction transaction(connection,
                              QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    LabReport report;
    report.Agora = connection.Exec(kNowSql, {now.isEmpty() ? PgValue() : PgValue(now)}).Text(0, 0);

    const PgResult batches = connection.Exec(kBatchSql);
    QHash<QString, bool> done; // batch -> nothing left to plant or to collect
    for (int r = 0; r < batches.Rows(); ++r) {
        const BatchProgress batch{batches.Text(r, 0), int(batches.Int(r, 1)), batches.Text(r, 2),
                                  batches.Int(r, 3), batches.Int(r, 4)};
        done[batch.Lote] = done.value(batch.Lote, true) && batch.Faltam() == 0;
        report.SubLotes.append(batch);
    }

    const PgResult work = connection.Exec(kWorkSql);
    for (int r = 0; r < work.Rows(); ++r)
        report.Trabalho.append({work.Text(r, 0), work.Text(r, 1), work.Text(r, 2), work.Int(r, 3),
                                work.Int(r, 4), work.Text(r, 5), work.Text(r, 6), work.Int(r, 7)});

    const PgResult plates = connection.Exec(kPlateSql);
    for (int r = 0; r < plates.Rows(); ++r) {
        const PlateProgress plate{plates.Text(r, 0), plates.Text(r, 1), plates.Int(r, 2),
                                  plates.Int(r, 3),  plates.Int(r, 4),  plates.Int(r, 5),
                                  plates.Int(r, 6),  plates.Text(r, 7)};
        done[plate.Lote] = done.value(plate.Lote, true) && (plate.Amostras == 0 || plate.Pronta());
        report.Placas.append(plate);
    }
    for (auto it = done.cbegin(); it != done.cend(); ++it)
        if (it.value())
            report.LotesConcluidos << it.key();
    report.LotesConcluidos.sort();

    QHash<QString, qint64> received;
    for (const DailyWork& day : report.Trabalho)
        received[day.Estacao] += day.Registros();
    const PgResult stations = connection.Exec(kStationSql, {report.Agora});
    for (int r = 0; r < stations.Rows(); ++r) {
        StationActivity station{stations.Text(r, 0),
                                int(stations.Int(r, 1)),
                                stations.Text(r, 2),
                                stations.Text(r, 3),
                                stations.Text(r, 4).toDouble(),
                                received.value(stations.Text(r, 0)),
                                stations.Int(r, 5),
                                stations.Int(r, 6)};
        const bool silent = station.HorasDesde < 0 || station.HorasDesde > 24;
        station.Silenciosa = silent && !done.value(station.Lote, false);
        report.Estacoes.append(station);
    }

    const PgResult conflicts = connection.Exec(kConflictSql);
    for (int r = 0; r < conflicts.Rows(); ++r)
        report.Conflitos.append({conflicts.Int(r, 0), conflicts.Text(r, 1), conflicts.Text(r, 2),
                                 conflicts.Text(r, 3), conflicts.Text(r, 4), conflicts.Text(r, 5)});
    transaction.Commit();
    return report;
}

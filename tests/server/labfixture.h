#pragma once

#include "pgconnection.h"

// A known lab, stored row by row: 3 stations, 2 operators, 3 days, refusals and conflicts,
// its figures counted by hand in the tests; the clock stands at kLabNow. The names of P1, P2,
// C1, the batch L1 and the sub-batch MILHO are parameters (hostile ones check escaping).
inline const char* const kLabNow = "2024-05-09 12:00:00";

inline const char* const kKnownLabSql[] = {
    "INSERT INTO usua VALUES (1, 'Ana', 'ANA', 'x'), (2, 'Bruno', 'BRUNO', 'x')",
    "INSERT INTO lote SELECT 1, milho, 10, l1 FROM n UNION ALL SELECT 2, 'SOJA', 4, l1 FROM n"
    " UNION ALL VALUES (3, 'TRIGO', 3, 'L2')",
    "INSERT INTO estacao (nome, operacao, lote, papel, cb_ncc, cb_nc_plantio)"
    " SELECT p1, 0, l1, 'r_p1', 1, 1 FROM n UNION ALL SELECT p2, 0, 'L2', 'r_p2', 1, 1 FROM n"
    " UNION ALL SELECT c1, 1, l1, 'r_c1', 1, 1 FROM n",
    // Planting codes 1..9 under plants 1001..1009.
    "INSERT INTO plantio SELECT slote, v.k, 1000 + v.k, usuario, data, 'PC',"
    " CASE WHEN v.k <= 6 THEN p1 ELSE p2 END FROM n, (VALUES (1, 1, 1, '2024-05-07 08:05:00'),"
    " (2, 1, 1, '2024-05-07 08:40:00'), (3, 1, 1, '2024-05-07 09:10:00'),"
    " (4, 1, 1, '2024-05-07 11:59:00'), (5, 2, 2, '2024-05-08 10:00:00'),"
    " (6, 2, 2, '2024-05-08 10:30:00'), (7, 2, 3, '2024-05-07 14:00:00'),"
    " (8, 2, 3, '2024-05-09 07:00:00'), (9, 2, 3, '2024-05-09 07:15:00'))"
    " v (k, usuario, slote, data)",
    // Two 2 x 2 plates of L1: A1, B1, A2 take samples, B2 is a control.
    "INSERT INTO placa SELECT i, i, c, 2, 2, l1 FROM n, (VALUES (1, 'PL-A'), (2, 'PL-B')) v (i, c)",
    "INSERT INTO placa_poco (id_placa, placa, poco, linha, coluna, seq_coleta, amostra,"
    " status_poco) SELECT p, p, w.poco, w.linha, w.coluna, w.seq, w.amostra, 0"
    " FROM generate_series(1, 2) p, (VALUES ('A1', 1, 1, 1, 'T'), ('B1', 2, 1, 2, 'T'),"
    "  ('A2', 1, 2, 3, 'T'), ('B2', 2, 2, 4, 'C')) w (poco, linha, coluna, seq, amostra)",
    // C1 collects PL-A whole and PL-B's A1, with plantings 1 to 4.
    "INSERT INTO placa_poco SELECT w.id_placa, placa, w.poco, linha, coluna, seq_coleta, amostra,"
    " 1, v.k, 1, v.data, 'PC3', c1, now() FROM n, placa_poco w JOIN (VALUES"
    " (1, 'A1', 1, '2024-05-08 09:00:00'), (1, 'B1', 2, '2024-05-08 09:20:00'),"
    " (1, 'A2', 3, '2024-05-08 09:40:00'), (2, 'A1', 4, '2024-05-08 13:00:00'))"
    " v (id_placa, poco, k, data) ON v.id_placa = w.id_placa AND v.poco = w.poco"
    " WHERE w.estacao IS NULL",
    "INSERT INTO transmissao (estacao, inicio, fim, enviados, aceitos, ja_presentes, recusados)"
    " SELECT e, t, t, 1, 1, 0, 0 FROM n, LATERAL (VALUES (p1, '2024-05-08 06:00:00'::timestamp),"
    " (p1, '2024-05-09 06:00:00'), (p2, '2024-05-07 15:00:00'), (c1, '2024-05-08 10:00:00'))"
    " v (e, t)",
    "INSERT INTO conflito (id, estacao, tabela, valores_estacao, valores_servidor, motivo,"
    " registrado, resolvido) SELECT v.* FROM n, LATERAL (VALUES (1, p1, 'plantio', 'a', 'b',"
    " 'planta de outra estação', '2024-05-08 07:00:00'::timestamp, true), (2, p1, 'plantio', 'c',"
    " 'd', 'planta de outra estação', '2024-05-09 06:00:00', false), (3, c1, 'placa_poco', 'e',"
    " 'f', 'poço já coletado', '2024-05-08 10:00:00', false)) v",
};

inline void FillKnownLab(PgConnection& lab,
                         const QStringList& names = {"P1", "P2", "C1", "L1", "MILHO"})
{
    lab.Exec(QStringLiteral("CREATE TEMP TABLE n AS SELECT $1::text p1, $2::text p2, $3::text c1,"
                            " $4::text l1, $5::text milho"),
             {names[0], names[1], names[2], names[3], names[4]});
    for (const char* sql : kKnownLabSql)
        lab.Exec(QString::fromUtf8(sql));
}

#pragma once

#include "pgcluster.h"
#include "pgconnection.h"

#include <QStringList>

// A known lab on the server, stored row by row: 3 stations, 2 operators, 3 days, refusals
// and conflicts. Its figures are counted by hand in the tests. The clock stands still at
// kLabNow. Station and batch names are parameters, for the escaping check.

inline const char* const kLabNow = "2024-05-09 12:00:00";

struct LabNames
{
    QString P1 = QStringLiteral("P1");
    QString P2 = QStringLiteral("P2");
    QString C1 = QStringLiteral("C1");
    QString L1 = QStringLiteral("L1");
    QString Milho = QStringLiteral("MILHO");
};

inline void FillKnownLab(PgConnection& lab, const LabNames& n = {})
{
    const auto exec = [&lab](const char* sql, const PgParams& params = {}) {
        lab.Exec(QString::fromUtf8(sql), params);
    };
    exec("INSERT INTO usua VALUES (1, 'Ana', 'ANA', 'x'), (2, 'Bruno', 'BRUNO', 'x')");
    exec("INSERT INTO lote VALUES (1, $2, 10, $1), (2, 'SOJA', 4, $1), (3, 'TRIGO', 3, 'L2')",
         {n.L1, n.Milho});
    exec("INSERT INTO estacao (nome, operacao, lote, papel, cb_ncc, cb_nc_plantio) VALUES"
         " ($1, 0, $4, 'r_p1', 1, 1), ($2, 0, 'L2', 'r_p2', 1, 1), ($3, 1, $4, 'r_c1', 1, 1)",
         {n.P1, n.P2, n.C1, n.L1});
    // station, user, sub-batch, time: the plantings, codes 1.. in this order.
    const struct
    {
        const QString& Estacao;
        int User;
        int Slote;
        const char* Data;
    } plantings[] = {{n.P1, 1, 1, "2024-05-07 08:05:00"}, {n.P1, 1, 1, "2024-05-07 08:40:00"},
                     {n.P1, 1, 1, "2024-05-07 09:10:00"}, {n.P1, 1, 1, "2024-05-07 11:59:00"},
                     {n.P1, 2, 2, "2024-05-08 10:00:00"}, {n.P1, 2, 2, "2024-05-08 10:30:00"},
                     {n.P2, 2, 3, "2024-05-07 14:00:00"}, {n.P2, 2, 3, "2024-05-09 07:00:00"},
                     {n.P2, 2, 3, "2024-05-09 07:15:00"}};
    int code = 0;
    for (const auto& p : plantings) {
        ++code;
        exec("INSERT INTO plantio VALUES ($1::integer, $2::bigint, $3::bigint, $4::integer, $5,"
             " 'PC', $6)",
             {QString::number(p.Slote), QString::number(code), QString::number(1000 + code),
              QString::number(p.User), QString::fromLatin1(p.Data), p.Estacao});
    }
    // Two 2 x 2 plates of L1: A1, B1, A2 take samples, B2 is a control.
    exec("INSERT INTO placa VALUES (1, 1, 'PL-A', 2, 2, $1), (2, 2, 'PL-B', 2, 2, $1)", {n.L1});
    exec("INSERT INTO placa_poco (id_placa, placa, poco, linha, coluna, seq_coleta, amostra,"
         " status_poco) SELECT p, p, w.poco, w.linha, w.coluna, w.seq, w.amostra, 0"
         " FROM generate_series(1, 2) p, (VALUES ('A1', 1, 1, 1, 'T'), ('B1', 2, 1, 2, 'T'),"
         "  ('A2', 1, 2, 3, 'T'), ('B2', 2, 2, 4, 'C')) w (poco, linha, coluna, seq, amostra)");
    // C1 collects PL-A whole and PL-B's A1, with plantings 1 to 4.
    const struct
    {
        int Plate;
        const char* Poco;
        int Code;
        const char* Data;
    } wells[] = {{1, "A1", 1, "2024-05-08 09:00:00"},
                 {1, "B1", 2, "2024-05-08 09:20:00"},
                 {1, "A2", 3, "2024-05-08 09:40:00"},
                 {2, "A1", 4, "2024-05-08 13:00:00"}};
    for (const auto& w : wells)
        exec("INSERT INTO placa_poco SELECT id_placa, placa, poco, linha, coluna, seq_coleta,"
             " amostra, 1, $3::bigint, 1, $4, 'PC3', $5, now() FROM placa_poco"
             " WHERE id_placa = $1::integer AND poco = $2 AND estacao IS NULL",
             {QString::number(w.Plate), QString::fromLatin1(w.Poco), QString::number(w.Code),
              QString::fromLatin1(w.Data), n.C1});
    exec("INSERT INTO transmissao (estacao, inicio, fim, enviados, aceitos, ja_presentes,"
         " recusados) VALUES ($1, '2024-05-08 06:00:00', '2024-05-08 06:00:00', 1, 1, 0, 0),"
         " ($1, '2024-05-09 06:00:00', '2024-05-09 06:00:00', 1, 1, 0, 0),"
         " ($2, '2024-05-07 15:00:00', '2024-05-07 15:00:00', 1, 1, 0, 0),"
         " ($3, '2024-05-08 10:00:00', '2024-05-08 10:00:00', 1, 1, 0, 0)",
         {n.P1, n.P2, n.C1});
    exec("INSERT INTO conflito (id, estacao, tabela, valores_estacao, valores_servidor, motivo,"
         " registrado, resolvido) VALUES"
         " (1, $1, 'plantio', 'a', 'b', 'planta de outra estação', '2024-05-08 07:00:00', true),"
         " (2, $1, 'plantio', 'c', 'd', 'planta de outra estação', '2024-05-09 06:00:00', false),"
         " (3, $2, 'placa_poco', 'e', 'f', 'poço já coletado', '2024-05-08 10:00:00', false)",
         {n.P1, n.C1});
}

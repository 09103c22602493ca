#include "receive.h"

#include "centralschema.h"

namespace {

struct Reception
{
    QString Table;
    QStringList Columns;
    QString Key;        // the row's identity, on staging s and server row r
    QString Clash;      // a server row r that keeps s out
    QString References; // what must exist before s can be stored
    QString Reason;     // refused with a clash
    QString MissingReason;
    QString Archive;
    QStringList ArchiveColumns;
    QString Origin; // the station's mark, null in the archive of a row deleted unsent
};

const Reception kPlantio = {
    QStringLiteral("plantio"),
    {QStringLiteral("id_slote"), QStringLiteral("nc_plantio"), QStringLiteral("ncc"),
     QStringLiteral("id_user"), QStringLiteral("data_plantio")},
    QStringLiteral("r.nc_plantio = s.nc_plantio AND r.ncc = s.ncc"),
    QStringLiteral("r.nc_plantio = s.nc_plantio OR r.ncc = s.ncc"),
    QStringLiteral("EXISTS (SELECT 1 FROM planta x WHERE x.ncc = s.ncc)"),
    QStringLiteral("a planta já foi plantada ou o código de plantio já foi usado"),
    QStringLiteral("a planta não está cadastrada no servidor"),
    QStringLiteral("plantio_exc"),
    {QStringLiteral("id_slote"), QStringLiteral("nc_plantio"), QStringLiteral("ncc"),
     QStringLiteral("id_user"), QStringLiteral("data_plantio"), QStringLiteral("origem_plantio"),
     QStringLiteral("user_plantio_exc"), QStringLiteral("data_plantio_exc")},
    QStringLiteral("origem_plantio")};

const Reception kPlacaPoco = {
    QStringLiteral("placa_poco"),
    {QStringLiteral("id_placa"), QStringLiteral("placa"), QStringLiteral("poco"),
     QStringLiteral("linha"), QStringLiteral("coluna"), QStringLiteral("seq_coleta"),
     QStringLiteral("amostra"), QStringLiteral("status_poco"), QStringLiteral("nc_plantio"),
     QStringLiteral("user_coleta"), QStringLiteral("data_coleta")},
    QStringLiteral("r.id_placa = s.id_placa AND r.poco = s.poco AND r.estacao IS NOT NULL"),
    QStringLiteral("r.estacao IS NOT NULL AND ((r.id_placa = s.id_placa AND r.poco = s.poco)"
                   " OR r.nc_plantio = s.nc_plantio)"),
    QStringLiteral("EXISTS (SELECT 1 FROM placa x WHERE x.id_placa = s.id_placa)"),
    QStringLiteral("o poço já foi coletado ou o código de plantio já está em outro poço"),
    QStringLiteral("a placa não está cadastrada no servidor"),
    QStringLiteral("placa_poco_exc"),
    {QStringLiteral("id_placa"), QStringLiteral("placa"), QStringLiteral("poco"),
     QStringLiteral("linha"), QStringLiteral("coluna"), QStringLiteral("seq_coleta"),
     QStringLiteral("amostra"), QStringLiteral("status_poco"), QStringLiteral("nc_plantio"),
     QStringLiteral("user_coleta"), QStringLiteral("data_coleta"), QStringLiteral("origem_coleta"),
     QStringLiteral("user_coleta_exc"), QStringLiteral("data_coleta_exc")},
    QStringLiteral("origem_coleta")};

const Reception& ReceptionOf(ReceivedTable table)
{
    return table == ReceivedTable::PlacaPoco ? kPlacaPoco : kPlantio;
}

QString Prefixed(const QStringList& columns, const QString& alias)
{
    QStringList out;
    for (const QString& column : columns)
        out << alias + QLatin1Char('.') + column;
    return out.join(QStringLiteral(", "));
}

QString Described(const QStringList& columns, const QString& alias)
{
    QStringList parts;
    for (const QString& column : columns)
        parts << QStringLiteral("'%1=' || coalesce(%2.%1::text, '')").arg(column, alias);
    return QStringLiteral("concat_ws(', ', %1)").arg(parts.join(QStringLiteral(", ")));
}

void Stage(PgConnection& connection, const QString& staging, const QString& source,
           const QStringList& columns, const QList<QList<PgValue>>& rows)
{
    connection.Exec(QStringLiteral("CREATE TEMP TABLE %1 ON COMMIT DROP AS"
                                   " SELECT 0::integer AS seq, %2 FROM %3 WITH NO DATA")
                        .arg(staging, columns.join(QStringLiteral(", ")), source));
    QByteArray data;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        QList<PgValue> fields{QString::number(i)};
        fields += rows[i];
        AppendCopyRow(data, fields);
    }
    connection.CopyIn(QStringLiteral("COPY %1 FROM STDIN").arg(staging), data);
}

// The computer names a station's rows on every other station, so two stations never share
// one; a second station file on a computer is refused here, before any row is sent.
const QString kMachineOwnerSql =
    QStringLiteral("SELECT nome FROM estacao WHERE maquina = $1 AND nome <> $2");

void BindMachine(PgConnection& connection, const ReceiveBatch& batch)
{
    const PgResult owner = connection.Exec(kMachineOwnerSql, {batch.Maquina, batch.Estacao});
    if (owner.Rows() > 0)
        throw XException(QStringLiteral("O computador %1 já é o da estação %2 no servidor; cada"
                                        " estação precisa de um computador próprio (MAQUINA da"
                                        " configuração do arquivo). Nada foi transmitido.")
                             .arg(batch.Maquina, owner.Text(0, 0)));
    const PgResult bound =
        connection.Exec(QStringLiteral("SELECT vincular_maquina($1::varchar, $2::varchar)"),
                        {batch.Estacao, batch.Maquina});
    const QString registered = bound.Text(0, 0);
    if (registered != batch.Maquina) {
        throw XException(QStringLiteral("A estação %1 está vinculada ao computador %2 no servidor,"
                                        " mas este arquivo é do computador %3; nada foi"
                                        " transmitido.")
                             .arg(batch.Estacao, registered, batch.Maquina));
    }
}

// An archive the server already holds was applied when it came; only new ones remove rows,
// or a row sent again after its deletion, with the same values, would go at every run.
const QString kKnownArchivesSql =
    QStringLiteral("DELETE FROM arquivando s USING %1 r WHERE r.estacao = $1::varchar AND %4"
                   " AND (%2) IS NOT DISTINCT FROM (%3)");
const QString kStoreArchivesSql = QStringLiteral(
    "INSERT INTO %1 (%2, estacao) SELECT %2, $1::varchar FROM arquivando ON CONFLICT DO NOTHING");
// The received row an archive of a row deleted before it was marked stands for; it stays in
// the archive table.
const QString kApplyArchivesSql = QStringLiteral(
    "DELETE FROM %1 r USING arquivando s WHERE r.estacao = $1::varchar AND s.%2 IS NULL AND %3"
    " AND (%4) IS NOT DISTINCT FROM (%5)");

// The station cannot close a conflict itself: the server's function closes those whose row
// it now holds from that station as sent.
const QString kResolveSql = QStringLiteral("SELECT resolver_conflitos($1::varchar)");

void ApplyArchives(PgConnection& connection, const ReceiveBatch& batch, const Reception& reception)
{
    Stage(connection, QStringLiteral("arquivando"), reception.Archive, reception.ArchiveColumns,
          batch.Archives);
    const QString archived = reception.ArchiveColumns.join(QStringLiteral(", "));
    connection.Exec(kKnownArchivesSql.arg(
                        reception.Archive, Prefixed(reception.ArchiveColumns, QStringLiteral("r")),
                        Prefixed(reception.ArchiveColumns, QStringLiteral("s")), reception.Key),
                    {batch.Estacao});
    connection.Exec(kStoreArchivesSql.arg(reception.Archive, archived), {batch.Estacao});
    connection.Exec(kApplyArchivesSql.arg(reception.Table, reception.Origin, reception.Key,
                                          Prefixed(reception.Columns, QStringLiteral("r")),
                                          Prefixed(reception.Columns, QStringLiteral("s"))),
                    {batch.Estacao});
}

} // namespace

QStringList ReceivedColumns(ReceivedTable table)
{
    return ReceptionOf(table).Columns;
}

QStringList ArchiveColumns(ReceivedTable table)
{
    return ReceptionOf(table).ArchiveColumns;
}

QString DescribedRow(ReceivedTable table, const QString& alias)
{
    return Described(ReceptionOf(table).Columns, alias);
}

namespace {

ReceiveResult ReceiveOnce(PgConnection& connection, const ReceiveBatch& batch)
{
    const Reception& reception = ReceptionOf(batch.Table);
    const QString columns = reception.Columns.join(QStringLiteral(", "));
    // A staged row is found on the server by its key, which names one server row at most: the
    // joins stay on that key, so a station the statistics do not know yet (all its rows came in
    // this transaction) never turns them into a scan of its rows for each staged row.
    const QString differs =
        QStringLiteral("r.estacao IS DISTINCT FROM $1::varchar OR (%1) IS DISTINCT FROM (%2)")
            .arg(Prefixed(reception.Columns, QStringLiteral("r")),
                 Prefixed(reception.Columns, QStringLiteral("s")));
    RequireCentralSchema(connection);
    PgTransaction transaction(connection);
    BindMachine(connection, batch);
    // Deletions first: a row deleted at the station and planted or collected again must not
    // be refused as a clash with the deleted one.
    if (!batch.Archives.isEmpty())
        ApplyArchives(connection, batch, reception);
    Stage(connection, QStringLiteral("recebendo"), reception.Table, reception.Columns, batch.Rows);

    // The sort of the insert below stays in memory for a large transmission.
    connection.Exec(QStringLiteral("SET LOCAL work_mem = '64MB'"));
    // Key order keeps two stations' overlapping inserts from deadlocking.
    const PgResult inserted = connection.Exec(
        QStringLiteral("WITH novos AS (INSERT INTO %1 (%2, %3, estacao, recebido)"
                       " SELECT %4, $2::varchar, $1::varchar, now() FROM recebendo s"
                       " LEFT JOIN %1 r ON (%5) WHERE %6 AND (%7)"
                       " ORDER BY %4 ON CONFLICT DO NOTHING RETURNING 1)"
                       " SELECT count(*) FROM novos")
            .arg(reception.Table, columns,
                 batch.Table == ReceivedTable::PlacaPoco ? QStringLiteral("origem_coleta")
                                                         : QStringLiteral("origem_plantio"),
                 Prefixed(reception.Columns, QStringLiteral("s")), reception.Key,
                 reception.References, differs),
        {batch.Estacao, batch.Maquina});

    // A row the server does not now hold from this station as sent is refused; every other
    // row is accepted, inserted now or held from an earlier transmission.
    const PgResult refused = connection.Exec(
        QStringLiteral(
            "WITH fora AS MATERIALIZED ("
            " SELECT s.* FROM recebendo s LEFT JOIN %1 r ON (%6) WHERE %2),"
            " recusa AS ("
            " SELECT s.seq, %3 AS ve,"
            "  coalesce(string_agg(%4 || ' (estação ' || r.estacao || ')', '; '), '') AS vs,"
            "  CASE WHEN count(r.estacao) > 0 THEN $2::varchar ELSE $3::varchar END AS motivo"
            " FROM fora s LEFT JOIN %1 r ON (%5)"
            " GROUP BY s.seq, ve),"
            // A refused row is recorded once by its values, and opened again when a data
            // manager had marked it resolved.
            " registro AS (INSERT INTO conflito (estacao, tabela, valores_estacao,"
            "  valores_servidor, motivo) SELECT DISTINCT ON (ve) $1::varchar, '%1', ve, vs,"
            "  motivo FROM recusa ON CONFLICT (estacao, tabela, valores_estacao)"
            "  DO UPDATE SET resolvido = false WHERE conflito.resolvido)"
            " SELECT seq, ve, vs, motivo FROM recusa ORDER BY seq")
            .arg(reception.Table, differs, Described(reception.Columns, QStringLiteral("s")),
                 Described(reception.Columns, QStringLiteral("r")), reception.Clash, reception.Key),
        {batch.Estacao, reception.Reason, reception.MissingReason});
    ReceiveResult result;
    QList<bool> isRefused(batch.Rows.size(), false);
    for (int r = 0; r < refused.Rows(); ++r) {
        const int index = int(refused.Int(r, 0));
        isRefused[index] = true;
        result.Refused.append({index, refused.Text(r, 1), refused.Text(r, 2), refused.Text(r, 3)});
    }
    for (int index = 0; index < int(batch.Rows.size()); ++index) {
        if (!isRefused[index])
            result.Accepted << index;
    }
    connection.Exec(kResolveSql, {batch.Estacao});
    result.Inserted = int(inserted.Int(0, 0));
    result.AlreadyPresent = int(result.Accepted.size()) - result.Inserted;

    connection.Exec(
        QStringLiteral("INSERT INTO transmissao (estacao, inicio, fim, enviados, aceitos,"
                       " ja_presentes, recusados) VALUES ($1::varchar, now(), clock_timestamp(),"
                       " $2::integer, $3::integer, $4::integer, $5::integer)"),
        {batch.Estacao, QString::number(batch.Rows.size()), QString::number(result.Inserted),
         QString::number(result.AlreadyPresent), QString::number(result.Refused.size())});
    transaction.Commit();
    return result;
}

} // namespace

ReceiveResult ReceiveRows(PgConnection& connection, const ReceiveBatch& batch)
{
    // Two stations whose rows cross on both unique keys can deadlock whatever the order; the
    // victim's transaction was rolled back whole, so it is simply run again.
    constexpr int kAttempts = 5;
    for (int attempt = 1;; ++attempt) {
        try {
            return ReceiveOnce(connection, batch);
        } catch (const PgError& error) {
            if (error.SqlState() != QLatin1String("40P01") || attempt == kAttempts)
                throw;
        }
    }
}

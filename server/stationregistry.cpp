#include "stationregistry.h"

#include "centralschema.h"
#include "pgconnection.h"

#include <QRegularExpression>

namespace {

const QString kStationColumns =
    QStringLiteral("id, nome, operacao, lote, maquina, papel, rela_inicial, rela_final, cb_ncc,"
                   " cb_nc_plantio");

RegisteredStation StationFromRow(const PgResult& result, int row)
{
    RegisteredStation station;
    station.Id = int(result.Int(row, 0));
    station.Nome = result.Text(row, 1);
    station.Operacao = int(result.Int(row, 2));
    station.Lote = result.Text(row, 3);
    station.Maquina = result.Text(row, 4);
    station.Papel = result.Text(row, 5);
    station.RelaInicial = result.Int(row, 6);
    station.RelaFinal = result.Int(row, 7);
    station.CbNcc = int(result.Int(row, 8));
    station.CbNcPlantio = int(result.Int(row, 9));
    return station;
}

std::optional<RegisteredStation> FindWhere(PgConnection& connection, const QString& condition,
                                           const QString& value)
{
    RequireCentralSchema(connection);
    const PgResult result = connection.Exec(
        QStringLiteral("SELECT %1 FROM estacao WHERE %2").arg(kStationColumns, condition), {value});
    if (result.Rows() == 0)
        return std::nullopt;
    return StationFromRow(result, 0);
}

// Why an existing role may not become a station's: a station's rights must come from the
// stations' group only, or row-level security and the per-lab CONNECT no longer hold. Its
// own CONNECT and TEMPORARY on this lab's database are the one thing it may already have.
const QString kRoleRefusalsSql = QStringLiteral(
    "SELECT concat_ws('; ',"
    "  CASE WHEN r.rolsuper THEN 'é superusuário' END,"
    "  CASE WHEN r.rolcreaterole THEN 'pode criar papéis' END,"
    "  CASE WHEN r.rolcreatedb THEN 'pode criar bancos de dados' END,"
    "  CASE WHEN r.rolbypassrls THEN 'não está sujeito à segurança por linha' END,"
    "  CASE WHEN r.rolreplication THEN 'pode replicar o servidor' END,"
    "  CASE WHEN EXISTS (SELECT 1 FROM pg_catalog.pg_shdepend d WHERE d.refobjid = r.oid"
    "    AND d.deptype = 'o') THEN 'é dono de objetos' END,"
    "  CASE WHEN EXISTS (SELECT 1 FROM pg_catalog.pg_shdepend d WHERE d.refobjid = r.oid"
    "    AND d.deptype <> 'o' AND NOT (d.classid = 'pg_catalog.pg_database'::pg_catalog.regclass"
    "     AND d.objid = (SELECT oid FROM pg_catalog.pg_database"
    "      WHERE datname = current_database())))"
    "    THEN 'tem direitos próprios (em objetos ou em outro banco de dados, talvez de outro"
    " laboratório)' END,"
    "  (SELECT 'é membro de ' || string_agg(g.rolname, ', ') FROM pg_catalog.pg_auth_members m"
    "    JOIN pg_catalog.pg_roles g ON g.oid = m.roleid WHERE m.member = r.oid AND g.rolname <> "
    "$2),"
    "  (SELECT 'tem como membros ' || string_agg(u.rolname, ', ')"
    "    FROM pg_catalog.pg_auth_members m JOIN pg_catalog.pg_roles u ON u.oid = m.member"
    "    WHERE m.roleid = r.oid))"
    " FROM pg_catalog.pg_roles r WHERE r.rolname = $1");

} // namespace

QString StationRoleName(const QString& nome)
{
    return QStringLiteral("tressalin_") + nome.toLower();
}

RegisteredStation AddStation(PgConnection& connection, RegisteredStation station)
{
    static const QRegularExpression validName(QStringLiteral("^[A-Za-z0-9_]{1,40}$"));
    station.Nome = station.Nome.trimmed().toUpper();
    if (!validName.match(station.Nome).hasMatch())
        throw XException(QStringLiteral("Nome de estação inválido: \"%1\". Use letras sem acento,"
                                        " algarismos e \"_\", até 40 caracteres.")
                             .arg(station.Nome));
    station.Lote = station.Lote.trimmed();
    if (station.Lote.isEmpty() || station.Lote.size() > 20)
        throw XException(QStringLiteral("Informe o lote com --lote NOME (até 20 caracteres)."));
    station.Maquina = station.Maquina.trimmed().toUpper();
    if (station.Maquina.size() > 20)
        throw XException(QStringLiteral("O computador deve ter no máximo 20 caracteres."));
    station.Papel = StationRoleName(station.Nome);

    RequireCentralSchema(connection);
    PgTransaction transaction(connection);
    if (FindStation(connection, station.Nome))
        throw XException(QStringLiteral("A estação %1 já está cadastrada.").arg(station.Nome));
    if (!station.Maquina.isEmpty() &&
        connection
                .Exec(QStringLiteral("SELECT 1 FROM estacao WHERE maquina = $1"), {station.Maquina})
                .Rows() > 0)
        throw XException(
            QStringLiteral("O computador %1 já é de outra estação.").arg(station.Maquina));
    const PgResult existing = connection.Exec(kRoleRefusalsSql, {station.Papel, kStationGroupRole});
    if (existing.Rows() > 0 && !existing.Text(0, 0).isEmpty())
        throw XException(QStringLiteral("O papel %1 já existe no servidor e não pode ser o de uma"
                                        " estação: %2. Use outro nome de estação ou retire do"
                                        " papel o que ele tem a mais.")
                             .arg(station.Papel, existing.Text(0, 0)));
    // Role names cannot be bound; format's %I quotes them on the server.
    const QString roleSql =
        existing.Rows() > 0 ? QStringLiteral("SELECT format('GRANT %I TO %I', $1::text, $2::text)")
                            : QStringLiteral("SELECT format('CREATE ROLE %I LOGIN NOSUPERUSER"
                                             " NOCREATEDB NOCREATEROLE NOBYPASSRLS IN ROLE %I',"
                                             " $2::text, $1::text)");
    for (const QString& sql :
         {roleSql, QStringLiteral("SELECT format('GRANT CONNECT, TEMPORARY ON DATABASE %I TO %I',"
                                  " current_database(), $2::text, $1::text)")})
        connection.Exec(connection.Exec(sql, {kStationGroupRole, station.Papel}).Text(0, 0));
    const PgResult inserted = connection.Exec(
        QStringLiteral("INSERT INTO estacao (nome, operacao, lote, maquina, papel, rela_inicial,"
                       " rela_final, cb_ncc, cb_nc_plantio)"
                       " VALUES ($1, $2::integer, $3, NULLIF($4, ''), $5, $6::bigint, $7::bigint,"
                       " $8::integer, $9::integer) RETURNING %1")
            .arg(kStationColumns),
        {station.Nome, QString::number(station.Operacao), station.Lote, station.Maquina,
         station.Papel, QString::number(station.RelaInicial), QString::number(station.RelaFinal),
         QString::number(station.CbNcc), QString::number(station.CbNcPlantio)});
    transaction.Commit();
    return StationFromRow(inserted, 0);
}

std::optional<RegisteredStation> FindStation(PgConnection& connection, const QString& nome)
{
    return FindWhere(connection, QStringLiteral("nome = upper($1)"), nome.trimmed());
}

std::optional<RegisteredStation> FindStationById(PgConnection& connection, int id)
{
    return FindWhere(connection, QStringLiteral("id = $1::integer"), QString::number(id));
}

// A refused row is one conflito row, however often it was sent again.
const QString kStationStatusSql = QStringLiteral(
    "SELECT e.nome, e.operacao, e.lote, coalesce(e.maquina, ''),"
    " coalesce(to_char(t.fim, 'YYYY-MM-DD HH24:MI:SS'), ''),"
    " (SELECT count(*) FROM plantio p WHERE p.estacao = e.nome)"
    "   + (SELECT count(*) FROM placa_poco w WHERE w.estacao = e.nome),"
    " (SELECT count(*) FROM conflito c WHERE c.estacao = e.nome),"
    " (SELECT count(*) FROM conflito c WHERE c.estacao = e.nome AND NOT c.resolvido),"
    " coalesce(t.enviados, 0), coalesce(t.aceitos, 0), coalesce(t.ja_presentes, 0),"
    " coalesce(t.recusados, 0)"
    " FROM estacao e LEFT JOIN LATERAL (SELECT * FROM transmissao t WHERE t.estacao = e.nome"
    "  ORDER BY t.fim DESC, t.id DESC LIMIT 1) t ON true ORDER BY e.nome");

const QString kOpenConflictsSql = QStringLiteral(
    "SELECT id, estacao, tabela, valores_estacao, valores_servidor, motivo FROM conflito"
    " WHERE NOT resolvido ORDER BY estacao, id");

const QString kResolveConflictsSql = QStringLiteral(
    "UPDATE conflito SET resolvido = true WHERE id = ANY ($1::bigint[]) AND NOT resolvido"
    " RETURNING 1");

QList<StationStatus> ReadStationStatus(PgConnection& connection)
{
    RequireCentralSchema(connection);
    const PgResult result = connection.Exec(kStationStatusSql);
    QList<StationStatus> list;
    for (int r = 0; r < result.Rows(); ++r) {
        list.append({result.Text(r, 0), int(result.Int(r, 1)), result.Text(r, 2), result.Text(r, 3),
                     result.Text(r, 4), result.Int(r, 5), result.Int(r, 6), result.Int(r, 7),
                     result.Int(r, 8), result.Int(r, 9), result.Int(r, 10), result.Int(r, 11)});
    }
    return list;
}

QList<OpenConflict> ReadOpenConflicts(PgConnection& connection)
{
    RequireCentralSchema(connection);
    const PgResult result = connection.Exec(kOpenConflictsSql);
    QList<OpenConflict> list;
    for (int r = 0; r < result.Rows(); ++r)
        list.append({result.Int(r, 0), result.Text(r, 1), result.Text(r, 2), result.Text(r, 3),
                     result.Text(r, 4), result.Text(r, 5)});
    return list;
}

int ResolveConflicts(PgConnection& connection, const QList<qint64>& ids)
{
    RequireCentralSchema(connection);
    QStringList texts;
    for (const qint64 id : ids)
        texts << QString::number(id);
    // The ids go as one bound array.
    return connection
        .Exec(kResolveConflictsSql,
              {QLatin1Char('{') + texts.join(QLatin1Char(',')) + QLatin1Char('}')})
        .Rows();
}

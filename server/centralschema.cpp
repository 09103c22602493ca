#include "centralschema.h"

#include "pgconnection.h"
#include "receive.h"

#include <QList>

namespace {

struct CentralTable
{
    QString Name;
    QStringList Columns;   // as the station names them, plus the server's own
    QString Definition;    // body of CREATE TABLE
    QStringList Indexes;   // created with the table
    QString StationRights; // granted to the stations' group
    QStringList Policies;  // row policies, created with the table
};

// Codes are whole numbers; the stations keep them as floats, the server as bigint.
const QList<CentralTable>& CentralTables()
{
    static const QList<CentralTable> tables = {
        {QStringLiteral("estacao"),
         {QStringLiteral("id"), QStringLiteral("nome"), QStringLiteral("operacao"),
          QStringLiteral("lote"), QStringLiteral("maquina"), QStringLiteral("papel"),
          QStringLiteral("rela_inicial"), QStringLiteral("rela_final"), QStringLiteral("cb_ncc"),
          QStringLiteral("cb_nc_plantio")},
         QStringLiteral(
             "id serial PRIMARY KEY, nome varchar(40) NOT NULL UNIQUE,"
             " operacao integer NOT NULL CHECK (operacao IN (0, 1)), lote varchar(20) NOT NULL,"
             " maquina varchar(20) UNIQUE, papel name NOT NULL UNIQUE,"
             " rela_inicial bigint NOT NULL DEFAULT 0, rela_final bigint NOT NULL DEFAULT 0,"
             " cb_ncc integer NOT NULL, cb_nc_plantio integer NOT NULL,"
             " criada timestamptz NOT NULL DEFAULT now()"),
         {},
         QStringLiteral("SELECT"),
         {}},
        {QStringLiteral("lote"),
         {QStringLiteral("id_slote"), QStringLiteral("nome"), QStringLiteral("qte_tratamento"),
          QStringLiteral("lote")},
         QStringLiteral("id_slote integer PRIMARY KEY, nome varchar(20) NOT NULL,"
                        " qte_tratamento integer NOT NULL CHECK (qte_tratamento >= 0),"
                        " lote varchar(20) NOT NULL"),
         {QStringLiteral("CREATE INDEX lote_lote ON lote (lote)")},
         QStringLiteral("SELECT"),
         {}},
        {QStringLiteral("planta"),
         {QStringLiteral("ncc"), QStringLiteral("nc"), QStringLiteral("rep")},
         QStringLiteral("ncc bigint PRIMARY KEY, nc bigint NOT NULL, rep integer NOT NULL"),
         {},
         QStringLiteral("SELECT"),
         {}},
        {QStringLiteral("usua"),
         {QStringLiteral("id_user"), QStringLiteral("nome"), QStringLiteral("codigo"),
          QStringLiteral("senha")},
         QStringLiteral("id_user integer PRIMARY KEY, nome varchar(60) NOT NULL,"
                        " codigo varchar(15) NOT NULL UNIQUE, senha varchar(34) NOT NULL"),
         {},
         QStringLiteral("SELECT"),
         {}},
        {QStringLiteral("placa"),
         {QStringLiteral("id_placa"), QStringLiteral("placa"), QStringLiteral("codigo"),
          QStringLiteral("tlinha"), QStringLiteral("tcoluna"), QStringLiteral("lote")},
         QStringLiteral("id_placa integer PRIMARY KEY, placa integer NOT NULL,"
                        " codigo varchar(20) NOT NULL UNIQUE, tlinha integer NOT NULL,"
                        " tcoluna integer NOT NULL, lote varchar(20) NOT NULL"),
         {},
         QStringLiteral("SELECT"),
         {}},
        // Before the received tables: their deletion policies read the archives.
        {QStringLiteral("plantio_exc"),
         {QStringLiteral("id_slote"), QStringLiteral("nc_plantio"), QStringLiteral("ncc"),
          QStringLiteral("id_user"), QStringLiteral("data_plantio"),
          QStringLiteral("origem_plantio"), QStringLiteral("user_plantio_exc"),
          QStringLiteral("data_plantio_exc"), QStringLiteral("estacao")},
         QStringLiteral("id_slote integer NOT NULL, nc_plantio bigint NOT NULL,"
                        " ncc bigint NOT NULL, id_user integer NOT NULL,"
                        " data_plantio varchar(20) NOT NULL, origem_plantio varchar(20),"
                        " user_plantio_exc integer, data_plantio_exc varchar(20),"
                        " estacao varchar(40) NOT NULL REFERENCES estacao (nome),"
                        " recebido timestamptz NOT NULL DEFAULT now(),"
                        " UNIQUE NULLS NOT DISTINCT (estacao, id_slote, nc_plantio, ncc, id_user,"
                        " data_plantio, origem_plantio, user_plantio_exc, data_plantio_exc)"),
         {},
         QStringLiteral("SELECT, INSERT"),
         {QStringLiteral("CREATE POLICY ler ON plantio_exc FOR SELECT USING (true)"),
          QStringLiteral("CREATE POLICY receber ON plantio_exc FOR INSERT WITH CHECK"
                         " (estacao = estacao_atual())")}},
        {QStringLiteral("placa_poco_exc"),
         {QStringLiteral("id_placa"), QStringLiteral("placa"), QStringLiteral("poco"),
          QStringLiteral("linha"), QStringLiteral("coluna"), QStringLiteral("seq_coleta"),
          QStringLiteral("amostra"), QStringLiteral("status_poco"), QStringLiteral("nc_plantio"),
          QStringLiteral("user_coleta"), QStringLiteral("data_coleta"),
          QStringLiteral("origem_coleta"), QStringLiteral("user_coleta_exc"),
          QStringLiteral("data_coleta_exc"), QStringLiteral("estacao")},
         QStringLiteral(
             "id_placa integer NOT NULL, placa integer NOT NULL, poco varchar(5) NOT NULL,"
             " linha integer NOT NULL, coluna integer NOT NULL, seq_coleta integer NOT NULL,"
             " amostra varchar(1) NOT NULL, status_poco integer NOT NULL, nc_plantio bigint,"
             " user_coleta integer, data_coleta varchar(20), origem_coleta varchar(20),"
             " user_coleta_exc integer, data_coleta_exc varchar(20),"
             " estacao varchar(40) NOT NULL REFERENCES estacao (nome),"
             " recebido timestamptz NOT NULL DEFAULT now(),"
             " UNIQUE NULLS NOT DISTINCT (estacao, id_placa, placa, poco, linha, coluna,"
             " seq_coleta, amostra, status_poco, nc_plantio, user_coleta, data_coleta,"
             " origem_coleta, user_coleta_exc, data_coleta_exc)"),
         {},
         QStringLiteral("SELECT, INSERT"),
         {QStringLiteral("CREATE POLICY ler ON placa_poco_exc FOR SELECT USING (true)"),
          QStringLiteral("CREATE POLICY receber ON placa_poco_exc FOR INSERT WITH CHECK"
                         " (estacao = estacao_atual())")}},
        // A plate's empty wells (estacao null) and, beside them, the wells received
        // filled from a station: each well is filled once, each planting code once.
        {QStringLiteral("placa_poco"),
         {QStringLiteral("id_placa"), QStringLiteral("placa"), QStringLiteral("poco"),
          QStringLiteral("linha"), QStringLiteral("coluna"), QStringLiteral("seq_coleta"),
          QStringLiteral("amostra"), QStringLiteral("status_poco"), QStringLiteral("nc_plantio"),
          QStringLiteral("user_coleta"), QStringLiteral("data_coleta"),
          QStringLiteral("origem_coleta"), QStringLiteral("estacao")},
         QStringLiteral(
             "id_placa integer NOT NULL REFERENCES placa, placa integer NOT NULL,"
             " poco varchar(5) NOT NULL, linha integer NOT NULL, coluna integer NOT NULL,"
             " seq_coleta integer NOT NULL, amostra varchar(1) NOT NULL,"
             " status_poco integer NOT NULL, nc_plantio bigint, user_coleta integer,"
             " data_coleta varchar(20), origem_coleta varchar(20),"
             " estacao varchar(40) REFERENCES estacao (nome),"
             " recebido timestamptz,"
             " CHECK ((estacao IS NULL) = (nc_plantio IS NULL))"),
         {QStringLiteral("CREATE UNIQUE INDEX placa_poco_vazio ON placa_poco (id_placa, poco)"
                         " WHERE estacao IS NULL"),
          QStringLiteral("CREATE UNIQUE INDEX placa_poco_coletado ON placa_poco (id_placa, poco)"
                         " WHERE estacao IS NOT NULL"),
          QStringLiteral("CREATE UNIQUE INDEX placa_poco_nc_plantio ON placa_poco (nc_plantio)"
                         " WHERE nc_plantio IS NOT NULL")},
         QStringLiteral("SELECT, INSERT, DELETE"),
         {QStringLiteral("CREATE POLICY ler ON placa_poco FOR SELECT USING (true)"),
          QStringLiteral("CREATE POLICY receber ON placa_poco FOR INSERT WITH CHECK"
                         " (estacao = estacao_atual())"),
          // A station removes only its own rows it archived as deleted before marking them.
          QStringLiteral("CREATE POLICY excluir ON placa_poco FOR DELETE USING"
                         " (estacao = estacao_atual() AND EXISTS (SELECT 1 FROM placa_poco_exc a"
                         " WHERE a.estacao = placa_poco.estacao AND a.origem_coleta IS NULL"
                         " AND a.id_placa = placa_poco.id_placa AND a.poco = placa_poco.poco"
                         " AND a.nc_plantio = placa_poco.nc_plantio))")}},
        {QStringLiteral("plantio"),
         {QStringLiteral("id_slote"), QStringLiteral("nc_plantio"), QStringLiteral("ncc"),
          QStringLiteral("id_user"), QStringLiteral("data_plantio"),
          QStringLiteral("origem_plantio"), QStringLiteral("estacao")},
         QStringLiteral("id_slote integer NOT NULL, nc_plantio bigint NOT NULL UNIQUE,"
                        " ncc bigint NOT NULL UNIQUE, id_user integer NOT NULL,"
                        " data_plantio varchar(20) NOT NULL, origem_plantio varchar(20),"
                        " estacao varchar(40) NOT NULL REFERENCES estacao (nome),"
                        " recebido timestamptz NOT NULL DEFAULT now(),"
                        " PRIMARY KEY (nc_plantio, ncc)"),
         {},
         QStringLiteral("SELECT, INSERT, DELETE"),
         {QStringLiteral("CREATE POLICY ler ON plantio FOR SELECT USING (true)"),
          QStringLiteral("CREATE POLICY receber ON plantio FOR INSERT WITH CHECK"
                         " (estacao = estacao_atual())"),
          QStringLiteral("CREATE POLICY excluir ON plantio FOR DELETE USING"
                         " (estacao = estacao_atual() AND EXISTS (SELECT 1 FROM plantio_exc a"
                         " WHERE a.estacao = plantio.estacao AND a.origem_plantio IS NULL"
                         " AND a.nc_plantio = plantio.nc_plantio AND a.ncc = plantio.ncc))")}},
        {QStringLiteral("transmissao"),
         {QStringLiteral("id"), QStringLiteral("estacao"), QStringLiteral("inicio"),
          QStringLiteral("fim"), QStringLiteral("enviados"), QStringLiteral("aceitos"),
          QStringLiteral("ja_presentes"), QStringLiteral("recusados")},
         QStringLiteral("id bigserial PRIMARY KEY,"
                        " estacao varchar(40) NOT NULL REFERENCES estacao (nome),"
                        " inicio timestamptz NOT NULL, fim timestamptz NOT NULL,"
                        " enviados integer NOT NULL, aceitos integer NOT NULL,"
                        " ja_presentes integer NOT NULL, recusados integer NOT NULL"),
         {QStringLiteral("CREATE INDEX transmissao_estacao ON transmissao (estacao, fim)")},
         QStringLiteral("SELECT, INSERT"),
         {QStringLiteral("CREATE POLICY ler ON transmissao FOR SELECT USING (true)"),
          QStringLiteral("CREATE POLICY registrar ON transmissao FOR INSERT WITH CHECK"
                         " (estacao = estacao_atual())")}},
        // A row a station sent that clashes with what another station sent first.
        {QStringLiteral("conflito"),
         {QStringLiteral("id"), QStringLiteral("estacao"), QStringLiteral("tabela"),
          QStringLiteral("valores_estacao"), QStringLiteral("valores_servidor"),
          QStringLiteral("motivo"), QStringLiteral("registrado"), QStringLiteral("resolvido")},
         QStringLiteral("id bigserial PRIMARY KEY,"
                        " estacao varchar(40) NOT NULL REFERENCES estacao (nome),"
                        " tabela varchar(40) NOT NULL, valores_estacao text NOT NULL,"
                        " valores_servidor text NOT NULL, motivo text NOT NULL,"
                        " registrado timestamptz NOT NULL DEFAULT now(),"
                        " resolvido boolean NOT NULL DEFAULT false,"
                        " UNIQUE (estacao, tabela, valores_estacao)"),
         {},
         QStringLiteral("SELECT, INSERT"),
         {QStringLiteral("CREATE POLICY ler ON conflito FOR SELECT USING (true)"),
          QStringLiteral("CREATE POLICY registrar ON conflito FOR INSERT WITH CHECK"
                         " (estacao = estacao_atual() AND NOT resolvido)"),
          // A station opens its own conflict again when the row is refused again; only
          // resolver_conflitos() closes one, once the server holds the row.
          QStringLiteral("CREATE POLICY reabrir ON conflito FOR UPDATE USING"
                         " (estacao = estacao_atual() AND resolvido) WITH CHECK"
                         " (estacao = estacao_atual() AND NOT resolvido)")}},
    };
    return tables;
}

bool TableExists(PgConnection& connection, const QString& name)
{
    return connection
               .Exec(QStringLiteral("SELECT 1 FROM information_schema.tables"
                                    " WHERE table_schema = current_schema() AND table_name = $1"),
                     {name})
               .Rows() > 0;
}

// The station a login role stands for; the row policies rely on it. Names are qualified and
// the search_path fixed (pg_temp last): a station's temporary "estacao" must not stand in.
const QString kEstacaoAtualSql = QStringLiteral(
    "CREATE OR REPLACE FUNCTION %1$I.estacao_atual() RETURNS varchar LANGUAGE sql STABLE"
    " SET search_path = pg_catalog, %1$I, pg_temp"
    " AS $f$ SELECT nome FROM %1$I.estacao WHERE papel = current_user $f$");

// A station learns its computer on its first transmission; only its own role (or the owner
// of the schema, who is no station) may set it, and only once. SECURITY DEFINER, so it
// follows PostgreSQL's rules for such functions: fixed search_path, qualified names.
// Only the station's own role, or the owner of the schema (who is no station), acts for it.
const QString kOnlyItsStationSql = QStringLiteral(
    "  IF NOT EXISTS (SELECT 1 FROM %1$I.estacao WHERE nome = p_estacao AND papel = session_user)"
    "     AND NOT pg_catalog.pg_has_role(session_user, (SELECT c.relowner FROM pg_catalog.pg_class "
    "c"
    "       WHERE c.oid = %2$L::pg_catalog.regclass), 'MEMBER') THEN"
    "   RAISE EXCEPTION insufficient_privilege USING MESSAGE =");

const QString kVincularMaquinaSql =
    QStringLiteral(
        "CREATE OR REPLACE FUNCTION %1$I.vincular_maquina(p_estacao varchar, p_maquina varchar)"
        " RETURNS varchar LANGUAGE plpgsql SECURITY DEFINER"
        " SET search_path = pg_catalog, %1$I, pg_temp AS $f$"
        " BEGIN") +
    kOnlyItsStationSql +
    QStringLiteral(
        "    'somente a própria estação vincula o seu computador';"
        "  END IF;"
        "  UPDATE %1$I.estacao SET maquina = p_maquina WHERE nome = p_estacao AND maquina IS NULL;"
        "  RETURN (SELECT coalesce(maquina, '') FROM %1$I.estacao WHERE nome = p_estacao);"
        " END $f$");

// Closes a station's open conflicts whose row the server now holds from it, with the values
// it refused; a station may not close them itself, or it could hide them. The row is found by
// the key at the head of the printed values, so only open conflicts are read.
QString ResolverConflitosSql()
{
    QString sql =
        QStringLiteral("CREATE OR REPLACE FUNCTION %1$I.resolver_conflitos(p_estacao varchar)"
                       " RETURNS integer LANGUAGE plpgsql SECURITY DEFINER"
                       " SET search_path = pg_catalog, %1$I, pg_temp"
                       " AS $f$ DECLARE fechados integer; BEGIN") +
        kOnlyItsStationSql +
        QStringLiteral("    'somente a própria estação fecha os seus conflitos';"
                       "  END IF;"
                       "  UPDATE %1$I.conflito c SET resolvido = true"
                       "  WHERE c.estacao = p_estacao AND NOT c.resolvido AND ("
                       "   (c.tabela = 'plantio' AND EXISTS (SELECT 1 FROM %1$I.plantio r"
                       "    WHERE r.nc_plantio = substring(c.valores_estacao,"
                       "     '^id_slote=[0-9]*, nc_plantio=([0-9]+),')::bigint"
                       "    AND r.estacao = c.estacao AND {plantio} = c.valores_estacao))"
                       "   OR (c.tabela = 'placa_poco' AND EXISTS (SELECT 1 FROM %1$I.placa_poco r"
                       "    WHERE r.id_placa = substring(c.valores_estacao,"
                       "     '^id_placa=([0-9]+),')::integer"
                       "    AND r.estacao = c.estacao AND {placa_poco} = c.valores_estacao)));"
                       "  GET DIAGNOSTICS fechados = ROW_COUNT;"
                       "  RETURN fechados;"
                       " END $f$");
    return sql
        .replace(QStringLiteral("{plantio}"),
                 DescribedRow(ReceivedTable::Plantio, QStringLiteral("r")))
        .replace(QStringLiteral("{placa_poco}"),
                 DescribedRow(ReceivedTable::PlacaPoco, QStringLiteral("r")));
}

// Functions run only by the stations and the owner; PUBLIC reaches nothing of the lab.
const QStringList kFunctionRightsSql = {
    QStringLiteral("REVOKE ALL ON FUNCTION %1$I.estacao_atual(),"
                   " %1$I.vincular_maquina(varchar, varchar), %1$I.resolver_conflitos(varchar)"
                   " FROM PUBLIC"),
    QStringLiteral(
        "GRANT EXECUTE ON FUNCTION %1$I.estacao_atual(),"
        " %1$I.vincular_maquina(varchar, varchar), %1$I.resolver_conflitos(varchar) TO %3$I"),
    QStringLiteral("REVOKE CREATE ON SCHEMA %1$I FROM PUBLIC"),
    QStringLiteral("GRANT USAGE ON SCHEMA %1$I TO %3$I"),
    QStringLiteral("REVOKE CONNECT, TEMPORARY ON DATABASE %4$I FROM PUBLIC")};

// The stations' group exists once per cluster, so database rights go to each station's role:
// a station of one lab never reaches another lab's database on the same cluster.
const QString kStationDatabaseRightsSql =
    QStringLiteral("SELECT format('GRANT CONNECT, TEMPORARY ON DATABASE %I TO %I',"
                   " current_database(), papel) FROM estacao e"
                   " WHERE EXISTS (SELECT 1 FROM pg_roles r WHERE r.rolname = e.papel)");

// Identifiers cannot be bound; format() quotes them on the server.
QString Formatted(PgConnection& connection, const QString& sql)
{
    return connection
        .Exec(QStringLiteral("SELECT format($1, current_schema(),"
                             " quote_ident(current_schema()) || '.estacao', $2::text,"
                             " current_database())"),
              {sql, kStationGroupRole})
        .Text(0, 0);
}

void CreateFunctions(PgConnection& connection)
{
    for (const QString& sql :
         QStringList{kEstacaoAtualSql, kVincularMaquinaSql, ResolverConflitosSql()} +
             kFunctionRightsSql)
        connection.Exec(Formatted(connection, sql));
    const PgResult grants = connection.Exec(kStationDatabaseRightsSql);
    for (int r = 0; r < grants.Rows(); ++r)
        connection.Exec(grants.Text(r, 0));
}

// The unique keys the guarantees rest on (a plant planted once, a well filled once, each row
// received once): the columns, a partial index's condition as PostgreSQL prints it, and
// whether NULLs count as equal. Names differ between versions; the columns do not.
struct CentralKey
{
    const char* Table;
    const char* Columns;
    const char* Where = "";
    bool NullsNotDistinct = false;
};

const CentralKey kCentralKeys[] = {
    {"estacao", "id"},
    {"estacao", "nome"},
    {"estacao", "maquina"},
    {"estacao", "papel"},
    {"lote", "id_slote"},
    {"planta", "ncc"},
    {"usua", "id_user"},
    {"usua", "codigo"},
    {"placa", "id_placa"},
    {"placa", "codigo"},
    {"placa_poco", "id_placa,poco", "(estacao IS NULL)"},
    {"placa_poco", "id_placa,poco", "(estacao IS NOT NULL)"},
    {"placa_poco", "nc_plantio", "(nc_plantio IS NOT NULL)"},
    {"plantio", "nc_plantio"},
    {"plantio", "ncc"},
    {"plantio", "nc_plantio,ncc"},
    {"plantio_exc",
     "estacao,id_slote,nc_plantio,ncc,id_user,data_plantio,origem_plantio,user_plantio_exc,"
     "data_plantio_exc",
     "", true},
    {"placa_poco_exc",
     "estacao,id_placa,placa,poco,linha,coluna,seq_coleta,amostra,status_poco,nc_plantio,"
     "user_coleta,data_coleta,origem_coleta,user_coleta_exc,data_coleta_exc",
     "", true},
    {"transmissao", "id"},
    {"conflito", "id"},
    {"conflito", "estacao,tabela,valores_estacao"},
};

const QString kUniqueKeysSql = QStringLiteral(
    "SELECT (SELECT string_agg(a.attname, ',' ORDER BY k.n)"
    "  FROM unnest(i.indkey::int2[]) WITH ORDINALITY k(att, n)"
    "  JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = k.att)"
    " || '|' || coalesce(pg_get_expr(i.indpred, i.indrelid), '') || '|' ||"
    " i.indnullsnotdistinct::text"
    " FROM pg_index i WHERE i.indrelid = to_regclass(quote_ident(current_schema()) || '.' || $1)"
    " AND i.indisunique AND i.indisvalid");

const QStringList kTableRights = {QStringLiteral("SELECT"),   QStringLiteral("INSERT"),
                                  QStringLiteral("UPDATE"),   QStringLiteral("DELETE"),
                                  QStringLiteral("TRUNCATE"), QStringLiteral("REFERENCES"),
                                  QStringLiteral("TRIGGER")};

const QString kTableRightSql = QStringLiteral(
    "SELECT has_table_privilege($1, to_regclass(quote_ident(current_schema()) || '.' || $2), $3)");

// Rights on single columns, beside the table rights: a station changes nothing else.
const struct
{
    const char* Table;
    const char* Column;
    const char* Right;
} kColumnRights[] = {{"conflito", "resolvido", "UPDATE"}};

const QString kColumnRightSql = QStringLiteral(
    "SELECT has_column_privilege($1, to_regclass(quote_ident(current_schema()) || '.' || $2), $3,"
    " $4)");

const QString kRowSecuritySql =
    QStringLiteral("SELECT relrowsecurity FROM pg_class"
                   " WHERE oid = to_regclass(quote_ident(current_schema()) || '.' || $1)");

const QString kPolicySql =
    QStringLiteral("SELECT (cmd, permissive, roles, qual, with_check)::text FROM pg_policies"
                   " WHERE schemaname = current_schema() AND tablename = $1 AND policyname = $2");

const QString kPolicyNamesSql =
    QStringLiteral("SELECT policyname::text, format('DROP POLICY %I ON %I', policyname, tablename)"
                   " FROM pg_policies WHERE schemaname = current_schema() AND tablename = $1");

const QString kFunctionSql = QStringLiteral(
    "SELECT prosrc || '|' || coalesce(proconfig::text, '') || '|' || prosecdef::text || '|' ||"
    " provolatile::text || '|' || pg_get_function_result(oid) FROM pg_proc"
    " WHERE oid = to_regprocedure(quote_ident(current_schema()) || '.' || $1)");

const QString kFunctionRightSql = QStringLiteral(
    "SELECT has_function_privilege($1, to_regprocedure(quote_ident(current_schema()) || '.' ||"
    " $2), 'EXECUTE')");

const QString kPublicLabRightsSql = QStringLiteral(
    "SELECT concat_ws(', ',"
    " CASE WHEN has_database_privilege('public', current_database(), 'CONNECT') THEN 'CONNECT' END,"
    " CASE WHEN has_database_privilege('public', current_database(), 'TEMPORARY')"
    "  THEN 'TEMPORARY' END,"
    " CASE WHEN has_schema_privilege('public', current_schema(), 'CREATE') THEN 'CREATE' END)");

const QString kStationsWithoutConnectSql =
    QStringLiteral("SELECT coalesce(string_agg(papel, ', ' ORDER BY papel), '') FROM estacao e"
                   " WHERE EXISTS (SELECT 1 FROM pg_roles r WHERE r.rolname = e.papel)"
                   " AND NOT (has_database_privilege(e.papel, current_database(), 'CONNECT')"
                   "  AND has_database_privilege(e.papel, current_database(), 'TEMPORARY'))");

/** What is missing or different, and the statements that put it back without losing data. */
struct SchemaProblem
{
    QString Text;
    QStringList Repair;
};

bool Holds(PgConnection& connection, const QString& sql, const PgParams& params)
{
    return connection.Exec(sql, params).Text(0, 0) == QLatin1String("t");
}

// A definition is compared with what this version would create, made under another name
// inside the transaction and dropped again: PostgreSQL prints both the same way.
QString ScratchCompare(PgConnection& connection, const QString& scratchSql, const QString& lookup,
                       const PgParams& real, const PgParams& scratch, const QString& drop)
{
    const PgResult present = connection.Exec(lookup, real);
    if (present.Rows() == 0 || present.IsNull(0, 0))
        return QStringLiteral("falta");
    connection.Exec(scratchSql);
    const QString expected = connection.Exec(lookup, scratch).Text(0, 0);
    connection.Exec(drop);
    return expected == present.Text(0, 0) ? QString() : QStringLiteral("difere desta versão");
}

const QList<std::pair<QString, QString>>& CentralFunctions()
{
    static const QList<std::pair<QString, QString>> functions = {
        {QStringLiteral("estacao_atual()"), kEstacaoAtualSql},
        {QStringLiteral("vincular_maquina(varchar, varchar)"), kVincularMaquinaSql},
        {QStringLiteral("resolver_conflitos(varchar)"), ResolverConflitosSql()}};
    return functions;
}

void CheckFunctions(PgConnection& connection, QList<SchemaProblem>& problems)
{
    QStringList rights;
    for (const QString& sql : kFunctionRightsSql)
        rights << Formatted(connection, sql);
    for (const auto& [signature, sql] : CentralFunctions()) {
        const QString name = signature.section(QLatin1Char('('), 0, 0);
        const QString create = Formatted(connection, sql);
        const QString arguments = signature.section(QLatin1Char('('), 1);
        const QString scratch = name + QStringLiteral("_conferir(");
        const QString state =
            ScratchCompare(connection,
                           QString(create).replace(QLatin1Char('.') + name + QLatin1Char('('),
                                                   QLatin1Char('.') + scratch),
                           kFunctionSql, {signature}, {scratch + arguments},
                           QStringLiteral("DROP FUNCTION %1%2").arg(scratch, arguments));
        if (!state.isEmpty())
            problems.append({state == QLatin1String("falta")
                                 ? QStringLiteral("Função %1: falta.").arg(name)
                                 : QStringLiteral("Função %1: a definição ou o search_path %2.")
                                       .arg(name, state),
                             // A function made anew is PUBLIC's until its rights are set.
                             QStringList{create} + rights});
        else if (Holds(connection, kFunctionRightSql, {QStringLiteral("public"), signature}) ||
                 !Holds(connection, kFunctionRightSql, {kStationGroupRole, signature}))
            problems.append({QStringLiteral("Função %1: deve ser executável pelas estações e não"
                                            " por PUBLIC.")
                                 .arg(name),
                             rights});
    }
    const QString open = connection.Exec(kPublicLabRightsSql).Text(0, 0);
    if (!open.isEmpty())
        problems.append({QStringLiteral("Banco de dados: PUBLIC tem %1.").arg(open), rights});
    const QString missing = connection.Exec(kStationsWithoutConnectSql).Text(0, 0);
    if (!missing.isEmpty()) {
        QStringList grants;
        const PgResult all = connection.Exec(kStationDatabaseRightsSql);
        for (int r = 0; r < all.Rows(); ++r)
            grants << all.Text(r, 0);
        problems.append(
            {QStringLiteral("Banco de dados: sem CONNECT ou TEMPORARY para %1.").arg(missing),
             grants});
    }
}

void CheckTable(PgConnection& connection, const CentralTable& table, QList<SchemaProblem>& problems)
{
    const QString where = QStringLiteral("Tabela %1: ").arg(table.Name);
    const PgResult keys = connection.Exec(kUniqueKeysSql, {table.Name});
    QStringList present;
    for (int r = 0; r < keys.Rows(); ++r)
        present << keys.Text(r, 0);
    for (const CentralKey& key : kCentralKeys) {
        if (table.Name != QLatin1String(key.Table))
            continue;
        const QString columns = QString::fromLatin1(key.Columns);
        const QString condition = QString::fromLatin1(key.Where);
        if (present.contains(
                QStringLiteral("%1|%2|%3")
                    .arg(columns, condition,
                         key.NullsNotDistinct ? QStringLiteral("true") : QStringLiteral("false"))))
            continue;
        const QString list = QString(columns).replace(u',', QStringLiteral(", "));
        problems.append(
            {where + QStringLiteral("falta a chave única (%1)%2.")
                         .arg(list, condition.isEmpty() ? QString() : QLatin1Char(' ') + condition),
             {condition.isEmpty()
                  ? QStringLiteral("ALTER TABLE %1 ADD UNIQUE %2(%3)")
                        .arg(table.Name,
                             key.NullsNotDistinct ? QStringLiteral("NULLS NOT DISTINCT ")
                                                  : QString(),
                             list)
                  : QStringLiteral("CREATE UNIQUE INDEX ON %1 (%2) WHERE %3")
                        .arg(table.Name, list, condition)}});
    }
    const QStringList expected = table.StationRights.split(QStringLiteral(", "));
    for (const QString& role : {kStationGroupRole, QStringLiteral("public")}) {
        const bool stations = role == kStationGroupRole;
        for (const QString& right : kTableRights) {
            const bool should = stations && expected.contains(right);
            if (Holds(connection, kTableRightSql, {role, table.Name, right}) == should)
                continue;
            problems.append(
                should ? SchemaProblem{where + QStringLiteral("falta a permissão %1 das estações.")
                                                   .arg(right),
                                       {QStringLiteral("GRANT %1 ON %2 TO %3")
                                            .arg(right, table.Name, kStationGroupRole)}}
                       : SchemaProblem{where + QStringLiteral("%1 tem a permissão %2, que não"
                                                              " deveria ter.")
                                                   .arg(stations ? QStringLiteral("o grupo das"
                                                                                  " estações")
                                                                 : QStringLiteral("PUBLIC"),
                                                        right),
                                       {QStringLiteral("REVOKE %1 ON %2 FROM %3, PUBLIC")
                                            .arg(right, table.Name, kStationGroupRole)}});
        }
    }
    for (const auto& column : kColumnRights) {
        const QString right = QString::fromLatin1(column.Right);
        const QString name = QString::fromLatin1(column.Column);
        if (table.Name == QLatin1String(column.Table) &&
            !Holds(connection, kColumnRightSql, {kStationGroupRole, table.Name, name, right}))
            problems.append(
                {where + QStringLiteral("falta a permissão %1 (%2) das estações.").arg(right, name),
                 {QStringLiteral("GRANT %1 (%2) ON %3 TO %4")
                      .arg(right, name, table.Name, kStationGroupRole)}});
    }
    if (table.Policies.isEmpty())
        return;
    if (!Holds(connection, kRowSecuritySql, {table.Name}))
        problems.append(
            {where + QStringLiteral("a segurança por linha está desligada."),
             {QStringLiteral("ALTER TABLE %1 ENABLE ROW LEVEL SECURITY").arg(table.Name)}});
    QStringList names;
    for (const QString& policy : table.Policies) {
        const QString name = policy.section(QLatin1Char(' '), 2, 2);
        names << name;
        const QString scratch = name + QStringLiteral("_conferir");
        const QString state =
            ScratchCompare(connection,
                           QString(policy).replace(QStringLiteral(" %1 ON ").arg(name),
                                                   QStringLiteral(" %1 ON ").arg(scratch)),
                           kPolicySql, {table.Name, name}, {table.Name, scratch},
                           QStringLiteral("DROP POLICY %1 ON %2").arg(scratch, table.Name));
        if (state.isEmpty())
            continue;
        QStringList repair{policy};
        if (state != QLatin1String("falta"))
            repair.prepend(QStringLiteral("DROP POLICY %1 ON %2").arg(name, table.Name));
        problems.append({where + (state == QLatin1String("falta")
                                      ? QStringLiteral("falta a política %1.").arg(name)
                                      : QStringLiteral("a política %1 %2.").arg(name, state)),
                         repair});
    }
    // Permissive policies add up: one more could open the table to every station.
    const PgResult all = connection.Exec(kPolicyNamesSql, {table.Name});
    for (int r = 0; r < all.Rows(); ++r) {
        if (!names.contains(all.Text(r, 0)))
            problems.append(
                {where + QStringLiteral("a política %1 não é do Tressalin.").arg(all.Text(r, 0)),
                 {all.Text(r, 1)}});
    }
}

// The schema's versions, in one place. 1: the first, without esquema_versao. 2: least
// privilege (search_path, rights, the lab database's CONNECT), deletions applied on the
// server, conflicts resolved by the stations. 3: conflicts closed only by the server's
// resolver_conflitos(). A version's migration is what --reparar puts back.
constexpr int kSchemaVersion = 3;

// 2 with esquema_versao, 1 with only the tables, 0 without a schema.
const QString kVersionSql = QStringLiteral(
    "SELECT CASE WHEN to_regclass(quote_ident(current_schema()) || '.esquema_versao') IS NOT NULL"
    "  THEN 2 WHEN to_regclass(quote_ident(current_schema()) || '.estacao') IS NOT NULL THEN 1"
    " ELSE 0 END");
const QString kStoredVersionSql =
    QStringLiteral("SELECT coalesce(max(versao), 1) FROM esquema_versao");
const QString kCreateVersionSql =
    QStringLiteral("CREATE TABLE IF NOT EXISTS esquema_versao (versao integer NOT NULL)");
const QString kStoreVersionSql = QStringLiteral(
    "WITH antes AS (DELETE FROM esquema_versao) INSERT INTO esquema_versao VALUES ($1::integer)");

// 0: no schema yet.
int SchemaVersion(PgConnection& connection)
{
    const int found = int(connection.Exec(kVersionSql).Int(0, 0));
    return found < 2 ? found : int(connection.Exec(kStoredVersionSql).Int(0, 0));
}

} // namespace

CentralSchemaReport CreateCentralSchema(PgConnection& connection, bool repair)
{
    CentralSchemaReport report;
    PgTransaction transaction(connection);
    // Two first runs at once would both find nothing and both create.
    connection.Exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('tressalin_criar'))"));
    const int version = SchemaVersion(connection);
    const bool groupExists =
        connection
            .Exec(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = $1"), {kStationGroupRole})
            .Rows() > 0;
    if (!groupExists) {
        const QString create =
            connection
                .Exec(QStringLiteral("SELECT format('CREATE ROLE %I NOLOGIN', $1::text)"),
                      {kStationGroupRole})
                .Text(0, 0);
        connection.Exec(create);
    }
    for (const CentralTable& table : CentralTables()) {
        if (TableExists(connection, table.Name)) {
            const PgResult columns = connection.Exec(
                QStringLiteral("SELECT column_name::text FROM information_schema.columns"
                               " WHERE table_schema = current_schema() AND table_name = $1"),
                {table.Name});
            QStringList present;
            for (int r = 0; r < columns.Rows(); ++r)
                present << columns.Text(r, 0);
            for (const QString& column : table.Columns) {
                if (!present.contains(column))
                    report.Problems
                        << QStringLiteral("Tabela %1: falta a coluna %2.").arg(table.Name, column);
            }
            report.Checked << table.Name;
            continue;
        }
        connection.Exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(table.Name, table.Definition));
        for (const QString& index : table.Indexes)
            connection.Exec(index);
        const QString grant =
            connection
                .Exec(QStringLiteral("SELECT format('GRANT %s ON %I TO %I', $1::text, $2::text,"
                                     " $3::text)"),
                      {table.StationRights, table.Name, kStationGroupRole})
                .Text(0, 0);
        connection.Exec(grant);
        for (const auto& column : kColumnRights) {
            if (table.Name == QLatin1String(column.Table))
                connection.Exec(QStringLiteral("GRANT %1 (%2) ON %3 TO %4")
                                    .arg(QString::fromLatin1(column.Right),
                                         QString::fromLatin1(column.Column), table.Name,
                                         kStationGroupRole));
        }
        if (!table.Policies.isEmpty()) {
            connection.Exec(
                QStringLiteral("ALTER TABLE %1 ENABLE ROW LEVEL SECURITY").arg(table.Name));
            for (const QString& policy : table.Policies)
                connection.Exec(policy);
        }
        if (table.Columns.first() == QLatin1String("id")) {
            const QString sequence =
                connection
                    .Exec(QStringLiteral("SELECT format('GRANT USAGE ON SEQUENCE %s TO %I',"
                                         " pg_get_serial_sequence($1, 'id'), $2::text)"),
                          {table.Name, kStationGroupRole})
                    .Text(0, 0);
            connection.Exec(sequence);
        }
        report.Created << table.Name;
        if (table.Name == QLatin1String("estacao"))
            CreateFunctions(connection);
    }
    // Columns are never added by hand here: their type and data are the data manager's call.
    if (report.Problems.isEmpty()) {
        const auto check = [&connection] {
            QList<SchemaProblem> problems;
            CheckFunctions(connection, problems);
            for (const CentralTable& table : CentralTables())
                CheckTable(connection, table, problems);
            return problems;
        };
        QList<SchemaProblem> problems = check();
        // Each later version's migration is putting back what that version adds.
        const bool migrate = version < kSchemaVersion;
        if ((repair || migrate) && !problems.isEmpty()) {
            for (const SchemaProblem& problem : problems) {
                for (const QString& sql : problem.Repair)
                    connection.Exec(sql);
                report.Repaired << problem.Text;
            }
            problems = check();
        }
        for (const SchemaProblem& problem : problems)
            report.Problems << problem.Text;
        if (problems.isEmpty() && migrate) {
            connection.Exec(kCreateVersionSql);
            connection.Exec(kStoreVersionSql, {QString::number(kSchemaVersion)});
            if (version > 0)
                report.Migrated = QStringLiteral("Esquema atualizado da versão %1 para a %2.")
                                      .arg(version)
                                      .arg(kSchemaVersion);
        }
    }
    transaction.Commit();
    return report;
}

void RequireCentralSchema(PgConnection& connection)
{
    if (!TableExists(connection, QStringLiteral("estacao")))
        throw XException(QStringLiteral("O servidor não tem o esquema do Tressalin; crie-o com"
                                        " \"tressalin-admin servidor criar URL\"."));
}

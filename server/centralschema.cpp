#include "centralschema.h"

#include "pgconnection.h"

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
                         " (estacao = estacao_atual())")}},
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
const QString kVincularMaquinaSql = QStringLiteral(
    "CREATE OR REPLACE FUNCTION %1$I.vincular_maquina(p_estacao varchar, p_maquina varchar)"
    " RETURNS varchar LANGUAGE plpgsql SECURITY DEFINER"
    " SET search_path = pg_catalog, %1$I, pg_temp AS $f$"
    " BEGIN"
    "  IF NOT EXISTS (SELECT 1 FROM %1$I.estacao WHERE nome = p_estacao AND papel = session_user)"
    "     AND NOT pg_catalog.pg_has_role(session_user, (SELECT c.relowner FROM pg_catalog.pg_class "
    "c"
    "       WHERE c.oid = %2$L::pg_catalog.regclass), 'MEMBER') THEN"
    "   RAISE EXCEPTION insufficient_privilege USING MESSAGE ="
    "    'somente a própria estação vincula o seu computador';"
    "  END IF;"
    "  UPDATE %1$I.estacao SET maquina = p_maquina WHERE nome = p_estacao AND maquina IS NULL;"
    "  RETURN (SELECT coalesce(maquina, '') FROM %1$I.estacao WHERE nome = p_estacao);"
    " END $f$");

// Functions run only by the stations and the owner; PUBLIC reaches nothing of the lab.
const QStringList kFunctionRightsSql = {
    QStringLiteral("REVOKE ALL ON FUNCTION %1$I.estacao_atual(),"
                   " %1$I.vincular_maquina(varchar, varchar) FROM PUBLIC"),
    QStringLiteral("GRANT EXECUTE ON FUNCTION %1$I.estacao_atual(),"
                   " %1$I.vincular_maquina(varchar, varchar) TO %3$I"),
    QStringLiteral("REVOKE CREATE ON SCHEMA %1$I FROM PUBLIC"),
    QStringLiteral("GRANT USAGE ON SCHEMA %1$I TO %3$I"),
    QStringLiteral("REVOKE CONNECT, TEMPORARY ON DATABASE %4$I FROM PUBLIC")};

// The stations' group exists once per cluster, so database rights go to each station's role:
// a station of one lab never reaches another lab's database on the same cluster.
const QString kStationDatabaseRightsSql =
    QStringLiteral("SELECT format('GRANT CONNECT, TEMPORARY ON DATABASE %I TO %I',"
                   " current_database(), papel) FROM estacao");

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
         QStringList{kEstacaoAtualSql, kVincularMaquinaSql} + kFunctionRightsSql)
        connection.Exec(Formatted(connection, sql));
    const PgResult grants = connection.Exec(kStationDatabaseRightsSql);
    for (int r = 0; r < grants.Rows(); ++r)
        connection.Exec(grants.Text(r, 0));
}

} // namespace

CentralSchemaReport CreateCentralSchema(PgConnection& connection)
{
    CentralSchemaReport report;
    PgTransaction transaction(connection);
    // Two first runs at once would both find nothing and both create.
    connection.Exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('tressalin_criar'))"));
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
            if (table.Name == QLatin1String("estacao"))
                CreateFunctions(connection);
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
    transaction.Commit();
    return report;
}

void RequireCentralSchema(PgConnection& connection)
{
    if (!TableExists(connection, QStringLiteral("estacao")))
        throw XException(QStringLiteral("O servidor não tem o esquema do Tressalin; crie-o com"
                                        " \"tressalin-admin servidor criar URL\"."));
}

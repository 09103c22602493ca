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
         QStringLiteral("SELECT, INSERT"),
         {QStringLiteral("CREATE POLICY ler ON placa_poco FOR SELECT USING (true)"),
          QStringLiteral("CREATE POLICY receber ON placa_poco FOR INSERT WITH CHECK"
                         " (estacao = estacao_atual())")}},
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
         QStringLiteral("SELECT, INSERT"),
         {QStringLiteral("CREATE POLICY ler ON plantio FOR SELECT USING (true)"),
          QStringLiteral("CREATE POLICY receber ON plantio FOR INSERT WITH CHECK"
                         " (estacao = estacao_atual())")}},
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

// The row policies and the transmission need them; they read estacao, so it comes first.
void CreateFunctions(PgConnection& connection)
{
    // The station a login role stands for.
    connection.Exec(QStringLiteral(
        "CREATE OR REPLACE FUNCTION estacao_atual() RETURNS varchar LANGUAGE sql STABLE"
        " AS $$ SELECT nome FROM estacao WHERE papel = current_user $$"));
    // A station learns its computer on its first transmission; only its own role (or
    // the lab's administrator, who is no station) may set it, and only once.
    connection.Exec(QStringLiteral(
        "CREATE OR REPLACE FUNCTION vincular_maquina(p_estacao varchar, p_maquina varchar)"
        " RETURNS varchar LANGUAGE plpgsql SECURITY DEFINER SET search_path FROM CURRENT AS $$"
        " BEGIN"
        "  UPDATE estacao SET maquina = p_maquina WHERE nome = p_estacao AND maquina IS NULL"
        "   AND (papel = session_user"
        "        OR NOT EXISTS (SELECT 1 FROM estacao WHERE papel = session_user));"
        "  RETURN (SELECT coalesce(maquina, '') FROM estacao WHERE nome = p_estacao);"
        " END $$"));
}

} // namespace

CentralSchemaReport CreateCentralSchema(PgConnection& connection)
{
    CentralSchemaReport report;
    PgTransaction transaction(connection);
    // Two first runs at once would both find nothing and both create.
    connection.Exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('tressalin_criar'))"));
    const bool groupExists =
        connection.Exec(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = $1"),
                        {kStationGroupRole})
            .Rows() > 0;
    if (!groupExists) {
        const QString create =
            connection.Exec(QStringLiteral("SELECT format('CREATE ROLE %I NOLOGIN', $1::text)"),
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
                    report.Problems << QStringLiteral("Tabela %1: falta a coluna %2.")
                                           .arg(table.Name, column);
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
            connection.Exec(QStringLiteral("ALTER TABLE %1 ENABLE ROW LEVEL SECURITY").arg(table.Name));
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

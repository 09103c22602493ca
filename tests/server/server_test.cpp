#include "pgcluster.h"

#include "admintool.h"
#include "pgconnection.h"
#include "plantiosql.h"
#include "shippedsounds.h"
#include "stationbuilder.h"

#include "data/txconnection.h"
#include "data/txquery.h"

#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <signal.h>
#include <thread>

using namespace Qt::StringLiterals;

// The lab server: stations prepared from it, their work transmitted to it exactly once.

namespace {

constexpr qint64 kPlant = Q_INT64_C(789100000000);    // demo plants: kPlant + 1 .. + 300
constexpr qint64 kPlanting = Q_INT64_C(200000000000); // free planting codes

/** NC_PLANTIO -> "NCC|ORIGEM" of a station file's plantings. */
std::map<qint64, QString> LocalPlantings(const QString& path)
{
    auto connection = OpenStation(path);
    auto query = NewQuery(connection.get());
    query->SetSQL(u"SELECT NC_PLANTIO, NCC, ORIGEM_PLANTIO FROM Plantio"_s);
    query->Open();
    std::map<qint64, QString> rows;
    for (; !query->Eof(); query->Next())
        rows[qint64(query->Fields(0).Value().toDouble())] =
            QString::number(qint64(query->Fields(1).Value().toDouble())) + u'|' +
            query->Fields(2).Value().toString();
    return rows;
}

class ServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_url = PgCluster::Instance().NewDatabase();
        const AdminRun demo = RunAdmin({"servidor", "demo", m_url});
        ASSERT_EQ(demo.ExitCode, 0) << demo.Err.toStdString();
    }

    // Roles belong to the cluster: the next test's lab registers the same station names.
    void TearDown() override
    {
        if (HasFatalFailure())
            return;
        PgConnection admin(m_url);
        const PgResult roles = admin.Exec(u"SELECT format('DROP OWNED BY %1$I; DROP ROLE %1$I', "
                                          "papel) FROM estacao"_s);
        for (int r = 0; r < roles.Rows(); ++r)
            for (const QString& sql : roles.Text(r, 0).split(u';'))
                admin.Exec(sql);
    }

    /** A station file prepared from the server, checked, and bound to its computer. */
    QString Prepare(const QString& station, const QString& maquina)
    {
        const QString path = m_dir.filePath(station + u".db"_s);
        EXPECT_EQ(RunAdmin({"preparar", m_url, station, path}).ExitCode, 0);
        EXPECT_EQ(RunAdmin({"verify", path}).ExitCode, 0);
        Execute(OpenStation(path).get(), u"UPDATE Configuracao SET MAQUINA = '%1'"_s.arg(maquina));
        return path;
    }

    /** Plants as the planting screen does: plant kPlant + plant, code kPlanting + code. */
    static void Plant(TXConnection* connection, int plant, qint64 code)
    {
        auto command = NewCommand(connection);
        command->SetCommandText(kPlantioInsertSQL);
        command->ParamByName(u"id_slote"_s).SetInteger(1);
        command->ParamByName(u"nc_plantio"_s).SetFloat(double(kPlanting + code));
        command->ParamByName(u"ncc"_s).SetFloat(double(kPlant + plant));
        command->ParamByName(u"id_user"_s).SetInteger(2);
        command->ParamByName(u"data_plantio"_s).SetString(u"2024-05-06 07:08:09"_s);
        command->Execute();
    }

    /** A transmission as the lab's administrator, or as a station's own role. */
    auto Transmit(const QString& db, const QString& role = {})
    {
        const QString url =
            role.isEmpty() ? m_url : PgCluster::Instance().Url(PgCluster::DatabaseOf(m_url), role);
        return RunAdmin({"transmitir", db, "--servidor", url});
    }
    qint64 ServerCount(const QString& sql) { return PgConnection(m_url).Exec(sql).Int(0, 0); }

    /** NC_PLANTIO -> NCC of what the server received from a station. */
    std::map<qint64, qint64> ServerPlantings(const QString& station = u"PLANTIO1"_s)
    {
        const PgResult result = PgConnection(m_url).Exec(
            u"SELECT nc_plantio, ncc FROM plantio WHERE estacao = $1"_s, {station});
        std::map<qint64, qint64> rows;
        for (int r = 0; r < result.Rows(); ++r)
            rows[result.Int(r, 0)] = result.Int(r, 1);
        return rows;
    }

    /** PLANTIO1's rows marked as sent by PC1 are on the server as sent; it holds no others. */
    void ExpectConsistent(const QString& path)
    {
        const auto local = LocalPlantings(path);
        const auto server = ServerPlantings();
        for (const auto& [code, row] : local) // unmarked, or marked as the server holds it
            EXPECT_TRUE(row.endsWith(u'|') ||
                        row == u"%1|PC1"_s.arg(server.count(code) ? server.at(code) : -1))
                << code << ": " << row.toStdString();
        for (const auto& [code, ncc] : server)
            ASSERT_TRUE(local.count(code)) << "on the server but not in the file: " << code;
    }

    QTemporaryDir m_dir;
    QString m_url;
};

TEST_F(ServerTest, PlantingsReachACollectionStationAndItsWellsTheServer)
{
    const QString plantio = Prepare(u"PLANTIO1"_s, u"PC1"_s);
    const QString coleta = Prepare(u"COLETA1"_s, u"PC3"_s);
    {
        auto connection = OpenStation(plantio);
        for (int i = 1; i <= 5; ++i)
            Plant(connection.get(), i, i);
    }
    ASSERT_EQ(Transmit(plantio).ExitCode, 0);
    EXPECT_EQ(ServerPlantings().size(), 5u);
    ExpectConsistent(plantio);
    for (const auto& [code, row] : LocalPlantings(plantio))
        EXPECT_TRUE(row.endsWith(u"|PC1"_s)) << code;

    ASSERT_EQ(RunAdmin({"atualizar", m_url, coleta}).ExitCode, 0);
    EXPECT_EQ(LocalPlantings(coleta).size(), 5u); // the collection checks codes against these
    CollectWell(OpenStation(coleta).get(), 2, 1, kPlanting + 3, 2, u"2024-05-07 08:00:00"_s);
    ASSERT_EQ(Transmit(coleta).ExitCode, 0);
    EXPECT_EQ(PgConnection(m_url)
                  .Exec(u"SELECT string_agg(poco || '|' || nc_plantio, ',') FROM placa_poco "
                        "WHERE estacao = 'COLETA1'"_s)
                  .Text(0, 0),
              u"A1|%1"_s.arg(kPlanting + 3));
    // The other collection station sees that well as another computer's.
    const QString other = Prepare(u"COLETA2"_s, u"PC4"_s);
    EXPECT_EQ(Count(OpenStation(other).get(), u"SELECT count(*) FROM Placa_Poco WHERE ID_PLACA = "
                                              "2 AND POCO = 'A1' AND ORIGEM_COLETA = 'PC3'"_s),
              1);
    EXPECT_EQ(RunAdmin({"servidor", "criar", m_url}).ExitCode, 0); // the schema checked holds

    // A station added by hand is prepared for its operation; the status lists every station.
    ASSERT_EQ(RunAdmin({"servidor", "estacao", "add", m_url, "COLETA9", "--operacao", "coleta",
                        "--lote", "DEMO"})
                  .ExitCode,
              0);
    EXPECT_EQ(
        Count(OpenStation(Prepare(u"COLETA9"_s, u"PC9"_s)).get(),
              u"SELECT count(*) FROM Configuracao WHERE info_db = 1 AND alert_sound = '%1'"_s.arg(
                  ShippedAlertSound())),
        1);
    const QString status = RunAdmin({"servidor", "status", m_url}).Out;
    EXPECT_TRUE(status.contains(u"COLETA9 (coleta, lote DEMO, computador ainda não vinculado): "
                                "última transmissão nunca; 0 registro(s) recebido(s)"_s))
        << status.toStdString();
}

TEST_F(ServerTest, APlantTakenByOneStationIsRefusedToAnotherWhoseRoleCannotChangeTheFirstsRows)
{
    const QString first = Prepare(u"PLANTIO1"_s, u"PC1"_s);
    const QString second = Prepare(u"PLANTIO2"_s, u"PC2"_s);
    Plant(OpenStation(first).get(), 7, 1);
    {
        auto connection = OpenStation(second);
        Plant(connection.get(), 7, 2);
        Plant(connection.get(), 8, 3);
    }
    ASSERT_EQ(Transmit(first).ExitCode, 0);
    const AdminRun refused = Transmit(second);
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_TRUE(refused.Err.contains(u"PLANTIO1"_s)) << refused.Err.toStdString();
    const auto local = LocalPlantings(second);
    EXPECT_EQ(local.at(kPlanting + 2), u"%1|"_s.arg(kPlant + 7));
    EXPECT_EQ(local.at(kPlanting + 3), u"%1|PC2"_s.arg(kPlant + 8));

    // Its role removes only its own rows it archived as deleted unsent.
    PgConnection(PgCluster::Instance().Url(PgCluster::DatabaseOf(m_url), u"tressalin_plantio2"_s))
        .Exec(u"DELETE FROM plantio"_s);
    EXPECT_EQ(ServerPlantings().size(), 1u);
    EXPECT_EQ(ServerPlantings(u"PLANTIO2"_s).size(), 1u);
}

TEST_F(ServerTest, AttacksOfAStationRoleOrAnOutsiderGetNothingThrough)
{
    const QString lab = PgCluster::DatabaseOf(m_url);
    const QString otherUrl = PgCluster::Instance().NewDatabase();
    ASSERT_EQ(RunAdmin({"servidor", "criar", otherUrl}).ExitCode, 0);
    const QString other = PgCluster::DatabaseOf(otherUrl);
    PgConnection admin(m_url);
    // An analyst may connect to the lab, but is no station.
    admin.Exec(u"CREATE ROLE intruso LOGIN"_s);
    admin.Exec(u"GRANT CONNECT ON DATABASE %1 TO intruso"_s.arg(lab));
    const QString station = u"tressalin_plantio2"_s;
    const QStringList shadow = {u"CREATE TEMP TABLE estacao (nome varchar, papel name)"_s,
                                u"INSERT INTO estacao VALUES ('PLANTIO1', current_user), "
                                "('COLETA2', current_user)"_s};
    const QString bind = u"SELECT vincular_maquina('COLETA2', 'INTRUSO')"_s;
    const QString forged = u"INSERT INTO plantio (id_slote, nc_plantio, ncc, id_user, data_plantio,"
                           " estacao) VALUES (1, 9, 9, 1, 'x', 'PLANTIO1')"_s;
    const struct
    {
        const char* Name;
        QString Role, Database;
        QStringList Setup;
        QString Sql; // empty: the connection itself is the attack
    } attacks[] = {
        {"shadowed estacao, forged planting", station, lab, shadow, forged},
        {"shadowed estacao, forged transmission", station, lab, shadow,
         u"INSERT INTO transmissao (estacao, inicio, fim, enviados, aceitos, ja_presentes, "
         "recusados) VALUES ('PLANTIO1', now(), now(), 0, 0, 0, 0)"_s},
        {"shadowed estacao, another's computer", station, lab, shadow, bind},
        {"planting under another's name", station, lab, {}, forged},
        {"received rows changed", station, lab, {}, u"UPDATE plantio SET id_user = 9"_s},
        {"archives deleted", station, lab, {}, u"DELETE FROM plantio_exc"_s},
        {"conflicts deleted", station, lab, {}, u"DELETE FROM conflito"_s},
        // Fails (by dividing by zero) exactly when the station's open conflict stayed open.
        {"own conflict closed",
         station,
         lab,
         {u"INSERT INTO conflito (estacao, tabela, valores_estacao, valores_servidor, motivo) "
          "VALUES ('PLANTIO2', 'plantio', 'x', '', 'x')"_s},
         u"WITH u AS (UPDATE conflito SET resolvido = true RETURNING 1) "
         "SELECT 1 / (SELECT count(*) FROM u)"_s},
        {"closed conflict recorded",
         station,
         lab,
         {},
         u"INSERT INTO conflito (estacao, tabela, valores_estacao, valores_servidor, motivo, "
         "resolvido) VALUES ('PLANTIO2', 'plantio', 'y', '', 'y', true)"_s},
        {"another's conflicts closed",
         station,
         lab,
         {},
         u"SELECT resolver_conflitos('PLANTIO1')"_s},
        {"outsider closes conflicts",
         u"intruso"_s,
         lab,
         {},
         u"SELECT resolver_conflitos('PLANTIO2')"_s},
        {"own computer changed", station, lab, {}, u"UPDATE estacao SET maquina = 'X'"_s},
        {"master data written", station, lab, {}, u"INSERT INTO planta VALUES (1, 1, 1)"_s},
        {"another station's computer", station, lab, {}, bind},
        {"outsider binds a computer", u"intruso"_s, lab, {}, bind},
        {"outsider's estacao_atual", u"intruso"_s, lab, {}, u"SELECT estacao_atual()"_s},
        {"outsider reads the passwords", u"intruso"_s, lab, {}, u"SELECT senha FROM usua"_s},
        {"station's table in the schema", station, lab, {}, u"CREATE TABLE public.t (a int)"_s},
        {"station in another lab", station, other, {}, {}},
        {"outsider in another lab", u"intruso"_s, other, {}, {}},
        {"outsider's temporary table", u"intruso"_s, lab, {}, u"CREATE TEMP TABLE t (a int)"_s},
    };
    for (const auto& attack : attacks) {
        const QString url = PgCluster::Instance().Url(attack.Database, attack.Role);
        if (attack.Sql.isEmpty()) {
            EXPECT_THROW(PgConnection{url}, PgError) << attack.Name;
            continue;
        }
        PgConnection connection(url);
        for (const QString& sql : attack.Setup)
            ASSERT_NO_THROW(connection.Exec(sql)) << attack.Name;
        EXPECT_THROW(connection.Exec(attack.Sql), PgError) << attack.Name;
    }

    // An existing role becomes a station's only when it has nothing beyond a station's rights.
    const auto add = [](const QString& url, const QString& name) {
        return RunAdmin(
            {"servidor", "estacao", "add", url, name, "--operacao", "plantio", "--lote", "DEMO"});
    };
    ASSERT_EQ(add(otherUrl, u"OUTRO"_s).ExitCode, 0);
    admin.Exec(u"CREATE TABLE de_alguem (a int)"_s);
    const std::pair<const char*, const char*> roles[] = {
        {"CREATE ROLE tressalin_a1 LOGIN SUPERUSER", "é superusuário"},
        {"CREATE ROLE tressalin_a2 LOGIN CREATEROLE", "pode criar papéis"},
        {"CREATE ROLE tressalin_a3 LOGIN CREATEDB", "pode criar bancos de dados"},
        {"CREATE ROLE tressalin_a4 LOGIN BYPASSRLS", "segurança por linha"},
        {"CREATE ROLE tressalin_a5 LOGIN; ALTER TABLE de_alguem OWNER TO tressalin_a5",
         "é dono de objetos"},
        {"CREATE ROLE tressalin_a6 LOGIN IN ROLE pg_read_all_data", "é membro de pg_read_all_data"},
        {"SELECT 1", "outro banco de dados"}, // OUTRO, the other lab's station
    };
    int index = 0;
    for (const auto& [create, reason] : roles) {
        for (const QString& sql : QString::fromUtf8(create).split(u';'))
            admin.Exec(sql);
        const AdminRun run = add(m_url, ++index < 7 ? u"A%1"_s.arg(index) : u"OUTRO"_s);
        EXPECT_EQ(run.ExitCode, 1) << create;
        EXPECT_TRUE(run.Err.contains(QString::fromUtf8(reason))) << run.Err.toStdString();
    }
    EXPECT_EQ(
        ServerCount(u"SELECT (SELECT count(*) FROM plantio) + (SELECT count(*) FROM "
                    "transmissao) + (SELECT count(*) + 9 * count(maquina) FROM estacao) + (SELECT "
                    "count(*) FROM conflito WHERE resolvido)"_s),
        4); // the four demo stations, still unbound
}

TEST_F(ServerTest, AWellOrPlantingDeletedAtItsStationLeavesTheServerAndCanBeRecordedAgain)
{
    const QString path = Prepare(u"COLETA1"_s, u"PC3"_s);
    const auto station = [&](const QString& sql) { Execute(OpenStation(path).get(), sql); };
    const auto collect = [&](int seq) {
        CollectWell(OpenStation(path).get(), 2, seq, kPlanting + seq, 2, u"2024-05-07 08:00:00"_s);
    };
    // As the collection screen deletes an unsent well: archived, then freed.
    const auto remove = [&](int seq) {
        const QString where = u" WHERE SEQ_COLETA = %1 AND NC_PLANTIO > 0 AND ORIGEM_COLETA IS "
                              "NULL"_s.arg(seq);
        station(u"INSERT INTO Placa_Poco_Exc SELECT *, 1, '2024-05-08' FROM Placa_Poco"_s + where);
        station(u"UPDATE Placa_Poco SET STATUS_POCO = 0, NC_PLANTIO = NULL, USER_COLETA = NULL, "
                "DATA_COLETA = NULL"_s +
                where);
    };
    const auto agree = [&](const char* expected) {
        const auto connection = OpenStation(path);
        auto query = NewQuery(connection.get());
        query->SetSQL(u"SELECT coalesce(group_concat(w, ','), '') FROM (SELECT SEQ_COLETA || ':' "
                      "|| coalesce(ORIGEM_COLETA, '-') AS w FROM Placa_Poco WHERE NC_PLANTIO IS "
                      "NOT NULL ORDER BY SEQ_COLETA)"_s);
        query->Open();
        EXPECT_EQ(query->Fields(0).Value().toString(), QString::fromLatin1(expected));
        EXPECT_EQ(PgConnection(m_url)
                      .Exec(u"SELECT coalesce(string_agg(seq_coleta || ':' || origem_coleta, ',' "
                            "ORDER BY seq_coleta), '') FROM placa_poco WHERE estacao = 'COLETA1'"_s)
                      .Text(0, 0),
                  QString::fromLatin1(expected));
    };
    // The server committed, the mark never happened, the operator deleted the well.
    collect(1);
    ASSERT_EQ(Transmit(path, u"tressalin_coleta1"_s).ExitCode, 0);
    station(u"UPDATE Placa_Poco SET ORIGEM_COLETA = NULL"_s);
    remove(1);
    ASSERT_EQ(RunAdmin({"atualizar", m_url, path}).ExitCode, 0);
    ASSERT_EQ(Transmit(path, u"tressalin_coleta1"_s).ExitCode, 0);
    agree("");
    EXPECT_EQ(ServerCount(u"SELECT count(*) FROM placa_poco_exc WHERE seq_coleta = 1"_s), 1);
    // Collected again as before, then a deletion after a transmission marked normally.
    collect(1);
    collect(2);
    ASSERT_EQ(Transmit(path, u"tressalin_coleta1"_s).ExitCode, 0);
    collect(3);
    remove(3);
    ASSERT_EQ(Transmit(path, u"tressalin_coleta1"_s).ExitCode, 0);
    ASSERT_EQ(RunAdmin({"atualizar", m_url, path}).ExitCode, 0);
    agree("1:PC3,2:PC3");
    collect(3);
    for (int run = 0; run < 2; ++run) // an archive is applied once, not to the row sent again
        ASSERT_EQ(Transmit(path, u"tressalin_coleta1"_s).ExitCode, 0);
    agree("1:PC3,2:PC3,3:PC3");

    // A planting the server took unmarked, then deleted and planted again.
    const QString plantio = Prepare(u"PLANTIO1"_s, u"PC1"_s);
    Plant(OpenStation(plantio).get(), 1, 1);
    ASSERT_EQ(Transmit(plantio).ExitCode, 0);
    for (const char* sql :
         {"UPDATE Plantio SET ORIGEM_PLANTIO = NULL",
          "INSERT INTO Plantio_Exc SELECT *, 1, '2024-05-08' FROM Plantio", "DELETE FROM Plantio"})
        Execute(OpenStation(plantio).get(), QString::fromLatin1(sql));
    ASSERT_EQ(Transmit(plantio, u"tressalin_plantio1"_s).ExitCode, 0);
    EXPECT_TRUE(ServerPlantings().empty());
    Plant(OpenStation(plantio).get(), 1, 1);
    ASSERT_EQ(Transmit(plantio, u"tressalin_plantio1"_s).ExitCode, 0);
    ExpectConsistent(plantio);
    EXPECT_EQ(ServerPlantings().size(), 1u);
}

TEST_F(ServerTest, CriarNamesWhatTheGuaranteesLackAndReparaPutsItBack)
{
    const std::pair<const char*, const char*> damages[] = {
        {"ALTER TABLE plantio DROP CONSTRAINT plantio_ncc_key",
         "plantio: falta a chave única (ncc)"},
        {"DROP INDEX placa_poco_coletado", "(id_placa, poco) (estacao IS NOT NULL)"},
        {"ALTER TABLE plantio DISABLE ROW LEVEL SECURITY", "plantio: a segurança por linha"},
        {"DROP POLICY receber ON plantio", "Tabela plantio: falta a política receber"},
        {"ALTER POLICY registrar ON conflito WITH CHECK (true)", "política registrar difere"},
        {"CREATE POLICY tudo ON plantio USING (true)", "a política tudo não é do Tressalin"},
        {"REVOKE INSERT ON placa_poco FROM tressalin_estacao", "falta a permissão INSERT"},
        {"GRANT UPDATE ON plantio TO PUBLIC", "Tabela plantio: PUBLIC tem a permissão UPDATE"},
        {"ALTER FUNCTION estacao_atual() RESET search_path", "Função estacao_atual: a definição"},
        {"GRANT EXECUTE ON FUNCTION vincular_maquina(varchar, varchar) TO PUBLIC",
         "Função vincular_maquina: deve ser executável pelas estações e não por PUBLIC"},
        {"GRANT CONNECT ON DATABASE %1 TO PUBLIC", "Banco de dados: PUBLIC tem CONNECT"},
    };
    PgConnection admin(m_url);
    for (const auto& [damage, named] : damages) {
        admin.Exec(QString::fromLatin1(damage).replace(u"%1"_s, PgCluster::DatabaseOf(m_url)));
        const AdminRun checked = RunAdmin({"servidor", "criar", m_url});
        EXPECT_EQ(checked.ExitCode, 1) << damage;
        EXPECT_TRUE(checked.Err.contains(QString::fromUtf8(named))) << checked.Err.toStdString();
        EXPECT_FALSE(checked.Out.contains(u"pronto"_s)) << damage;
        EXPECT_EQ(RunAdmin({"servidor", "criar", m_url, "--reparar"}).ExitCode, 0) << damage;
        EXPECT_EQ(RunAdmin({"servidor", "criar", m_url}).ExitCode, 0) << damage;
    }
    // The second version let a station close its own conflicts.
    admin.Exec(u"UPDATE esquema_versao SET versao = 2"_s);
    admin.Exec(u"DROP FUNCTION resolver_conflitos(varchar)"_s);
    admin.Exec(u"CREATE POLICY resolver ON conflito FOR UPDATE USING (true)"_s);
    const AdminRun second = RunAdmin({"servidor", "criar", m_url});
    EXPECT_TRUE(second.Out.contains(u"Esquema atualizado da versão 2 para a 3."_s));
    EXPECT_EQ(ServerCount(u"SELECT count(*) FROM pg_policies WHERE policyname = 'resolver'"_s), 0);
    // The first version's schema, with its open PUBLIC, is upgraded by its migration.
    admin.Exec(u"DROP TABLE esquema_versao"_s);
    admin.Exec(
        u"GRANT CONNECT, TEMPORARY ON DATABASE %1 TO PUBLIC"_s.arg(PgCluster::DatabaseOf(m_url)));
    const AdminRun upgraded = RunAdmin({"servidor", "criar", m_url});
    EXPECT_EQ(upgraded.ExitCode, 0);
    EXPECT_TRUE(upgraded.Out.contains(u"Esquema atualizado da versão 1 para a 3."_s));
}

TEST_F(ServerTest, StatusCountsARefusedRowOnceItsConflictEndsWhenAcceptedAndAComputerIsOneStations)
{
    const QString path = Prepare(u"PLANTIO1"_s, u"PC1"_s);
    {
        auto connection = OpenStation(path);
        Plant(connection.get(), 301, 1); // a plant the server does not know yet
        Plant(connection.get(), 1, 2);
    }
    for (int run = 0; run < 5; ++run)
        EXPECT_EQ(Transmit(path, u"tressalin_plantio1"_s).ExitCode, 1);
    const auto status = [&](const QString& station) {
        for (const QString& line : RunAdmin({"servidor", "status", m_url}).Out.split(u'\n'))
            if (line.startsWith(station + u' '))
                return line.section(u"última transmissão "_s, 1).section(u' ', 2);
        return QString();
    };
    EXPECT_EQ(status(u"PLANTIO1"_s),
              u"(1 enviado(s), 0 novo(s), 0 já presente(s), 1 recusado(s)); 1 registro(s) "
              "recebido(s), 1 registro(s) distinto(s) recusado(s), 1 conflito(s) em aberto."_s);
    PgConnection(m_url).Exec(u"INSERT INTO planta VALUES ($1::bigint, 1, 1)"_s,
                             {QString::number(kPlant + 301)});
    EXPECT_EQ(Transmit(path, u"tressalin_plantio1"_s).ExitCode, 0);
    EXPECT_EQ(status(u"PLANTIO1"_s),
              u"(1 enviado(s), 1 novo(s), 0 já presente(s), 0 recusado(s)); 2 registro(s) "
              "recebido(s), 1 registro(s) distinto(s) recusado(s), 0 conflito(s) em aberto."_s);

    // A clash stays open until the data manager marks it; a station on PLANTIO1's computer is
    // refused before it sends anything.
    const QString other = Prepare(u"PLANTIO2"_s, u"PC1"_s);
    Plant(OpenStation(other).get(), 1, 3);
    EXPECT_TRUE(Transmit(other).Err.contains(u"O computador PC1 já é o da estação PLANTIO1"_s));
    Execute(OpenStation(other).get(), u"UPDATE Configuracao SET MAQUINA = 'PC2'"_s);
    EXPECT_EQ(Transmit(other, u"tressalin_plantio2"_s).ExitCode, 1);
    const QString listed = RunAdmin({"servidor", "conflito", "listar", m_url}).Out;
    ASSERT_TRUE(listed.contains(u": PLANTIO2, plantio (a planta já foi plantada"_s))
        << listed.toStdString();
    const QString id = listed.section(u':', 0, 0);
    EXPECT_EQ(RunAdmin({"servidor", "conflito", "resolver", m_url, id}).ExitCode, 0);
    EXPECT_TRUE(status(u"PLANTIO2"_s).endsWith(u"0 conflito(s) em aberto."_s));
    EXPECT_EQ(RunAdmin({"servidor", "conflito", "resolver", m_url, id}).ExitCode, 1);
}

TEST_F(ServerTest, AValueThatDoesNotFitItsServerColumnIsRefusedBeforeAnythingIsSent)
{
    const QString path = Prepare(u"PLANTIO1"_s, u"PC1"_s);
    Plant(OpenStation(path).get(), 1, 1);
    const std::pair<const char*, const char*> edits[] = {
        {"ID_USER = 'dois'", "Tabela Plantio, registro NC_PLANTIO=200000000001, NCC=789100000001, "
                             "coluna ID_USER: o valor \"dois\" não é um número inteiro"},
        {"ID_USER = 2.5", "coluna ID_USER: o valor \"2.5\" não é um número inteiro"},
        {"ID_USER = 3000000000", "coluna ID_USER: o valor 3000000000 não cabe"},
    };
    for (const auto& [edit, named] : edits) {
        Execute(OpenStation(path).get(), u"UPDATE Plantio SET %1"_s.arg(QLatin1String(edit)));
        const AdminRun run = Transmit(path);
        EXPECT_EQ(run.ExitCode, 1) << edit;
        EXPECT_TRUE(run.Err.contains(QString::fromUtf8(named))) << run.Err.toStdString();
        Execute(OpenStation(path).get(), u"UPDATE Plantio SET ID_USER = 2"_s);
    }
    EXPECT_EQ(ServerCount(u"SELECT count(*) FROM plantio"_s), 0);
    EXPECT_EQ(Transmit(path).ExitCode, 0); // put right, it goes
}

TEST_F(ServerTest, TwoStationsWhoseRowsCrossOnBothKeysNeverShowADeadlockAndStoreEachRowOnce)
{
    constexpr int kRows = 300;
    PgConnection(m_url).Exec(u"INSERT INTO planta SELECT $1::bigint + g, 1, 1 FROM "
                             "generate_series(1001, $2::integer) g"_s,
                             {QString::number(kPlant), QString::number(1000 + 20 * kRows)});
    const QString paths[] = {Prepare(u"PLANTIO1"_s, u"PC1"_s), Prepare(u"PLANTIO2"_s, u"PC2"_s)};
    for (int round = 0; round < 20; ++round) {
        // In the server's insert order the first takes the plants upwards, the second downwards,
        // so they meet holding the plant the other needs next.
        for (int t = 0; t < 2; ++t) {
            auto connection = OpenStation(paths[t]);
            connection->BeginTrans();
            for (int i = 0; i < kRows; ++i)
                Plant(connection.get(), 1001 + round * kRows + (t ? kRows - 1 - i : i),
                      (2 * round + t) * kRows + i + 1);
            connection->CommitTrans();
        }
        // Held back until both wait to insert, then let go at once.
        PgConnection gate(m_url);
        gate.Exec(u"BEGIN"_s);
        gate.Exec(u"LOCK TABLE plantio IN SHARE MODE"_s);
        QProcess tools[2];
        for (int t = 0; t < 2; ++t)
            tools[t].start(QStringLiteral(TRESSALIN_ADMIN_PATH),
                           {"transmitir", paths[t], "--servidor", m_url});
        while (gate.Exec(u"SELECT count(*) FROM pg_locks WHERE NOT granted"_s).Int(0, 0) < 2)
            ASSERT_TRUE(tools[0].state() != QProcess::NotRunning &&
                        tools[1].state() != QProcess::NotRunning);
        gate.Exec(u"COMMIT"_s);
        for (QProcess& tool : tools) {
            ASSERT_TRUE(tool.waitForFinished(60000));
            const QString err = QString::fromUtf8(tool.readAllStandardError());
            EXPECT_FALSE(err.contains(u"deadlock"_s)) << err.left(300).toStdString();
        }
    }
    // Each plant went to one station; both files mark exactly what the server holds.
    EXPECT_EQ(ServerCount(u"SELECT count(*) FROM plantio"_s), 20 * kRows);
    int marked = 0;
    for (const QString& path : paths)
        marked += Count(OpenStation(path).get(),
                        u"SELECT count(*) FROM Plantio WHERE ORIGEM_PLANTIO IS NOT NULL"_s);
    EXPECT_EQ(marked, 20 * kRows);
}

TEST_F(ServerTest, ATransmissionCutAfterItsInsertHoldsNoOtherStationBack)
{
    const QString paths[] = {Prepare(u"PLANTIO1"_s, u"PC1"_s), Prepare(u"PLANTIO2"_s, u"PC2"_s)};
    for (int t = 0; t < 2; ++t) // the same plants, so the second waits on the first's keys
        for (int plant = 1; plant <= 50; ++plant)
            Plant(OpenStation(paths[t]).get(), plant, t * 50 + plant);
    // The first is held after its insert, on the log of transmissions.
    PgConnection gate(m_url);
    gate.Exec(u"BEGIN"_s);
    gate.Exec(u"LOCK TABLE transmissao IN EXCLUSIVE MODE"_s);
    const auto waiting = [&gate](const char* lock) {
        return gate.Exec(u"SELECT pid FROM pg_locks WHERE NOT granted AND locktype = $1"_s,
                         {QString::fromLatin1(lock)});
    };
    QProcess tools[2];
    tools[0].start(QStringLiteral(TRESSALIN_ADMIN_PATH),
                   {"transmitir", paths[0], "--servidor", m_url});
    ASSERT_TRUE(tools[0].waitForStarted());
    while (waiting("relation").Rows() == 0)
        ASSERT_EQ(tools[0].state(), QProcess::Running);
    const QString cut = waiting("relation").Text(0, 0);
    tools[1].start(QStringLiteral(TRESSALIN_ADMIN_PATH),
                   {"transmitir", paths[1], "--servidor", m_url});
    ASSERT_TRUE(tools[1].waitForStarted());
    while (waiting("transactionid").Rows() == 0)
        ASSERT_EQ(tools[1].state(), QProcess::Running);
    gate.Exec(u"SELECT pg_terminate_backend($1::integer)"_s, {cut});
    gate.Exec(u"COMMIT"_s);
    // The second is stored whole, long before its lock timeout; the first sent nothing.
    for (QProcess& tool : tools)
        ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tools[0].exitCode(), 1);
    EXPECT_EQ(tools[1].exitCode(), 0) << tools[1].readAllStandardError().toStdString();
    EXPECT_EQ(ServerPlantings(u"PLANTIO2"_s).size(), 50u);
    EXPECT_TRUE(ServerPlantings().empty());
    ExpectConsistent(paths[0]);
}

TEST_F(ServerTest, KilledAtAnyMomentWhileTheStationRecordsNothingIsLostDuplicatedOrWronglyMarked)
{
    const QString path = Prepare(u"PLANTIO1"_s, u"PC1"_s);
    std::atomic<bool> stop = false;
    std::atomic<int> recorded = 0;
    std::thread recorder([&] {
        auto connection = OpenStation(path);
        for (int plant = 1; plant <= 300 && !stop; ++plant) {
            Plant(connection.get(), plant, plant);
            ++recorded;
        }
    });
    std::mt19937 random(std::random_device{}());
    for (int kill = 0; kill < 20; ++kill) {
        QProcess tool;
        tool.start(QStringLiteral(TRESSALIN_ADMIN_PATH), {"transmitir", path, "--servidor", m_url});
        ASSERT_TRUE(tool.waitForStarted());
        // A random moment: before connecting, while the server stores, while the file is marked.
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 60000));
        ::kill(pid_t(tool.processId()), SIGKILL);
        tool.waitForFinished();
        ExpectConsistent(path);
    }
    stop = true;
    recorder.join();
    ASSERT_EQ(Transmit(path).ExitCode, 0);
    ExpectConsistent(path);
    const auto local = LocalPlantings(path);
    EXPECT_EQ(int(local.size()), recorded.load());
    EXPECT_EQ(ServerPlantings().size(), local.size());
    for (const auto& [code, row] : local)
        EXPECT_TRUE(row.endsWith(u"|PC1"_s)) << code;
}

TEST_F(ServerTest, AServerStoppedMidTransmissionLeavesTheFileUnmarkedAndTheNextRunSendsAll)
{
    const QString path = Prepare(u"PLANTIO1"_s, u"PC1"_s);
    {
        // Plants the server does not know are refused, not lost: enough rows to stop it midway.
        PgConnection(m_url).Exec(
            u"INSERT INTO planta SELECT $1::bigint + g, 1, 1 FROM generate_series(1001, 60000) g"_s,
            {QString::number(kPlant)});
        auto connection = OpenStation(path);
        connection->BeginTrans();
        for (int plant = 1001; plant <= 60000; ++plant)
            Plant(connection.get(), plant, plant);
        connection->CommitTrans();
    }
    QProcess tool;
    tool.start(QStringLiteral(TRESSALIN_ADMIN_PATH), {"transmitir", path, "--servidor", m_url});
    ASSERT_TRUE(tool.waitForStarted());
    PgConnection watcher(PgCluster::Instance().Url(PgCluster::DatabaseOf(m_url), u"tressalin"_s));
    while (watcher
               .Exec(u"SELECT 1 FROM pg_stat_activity WHERE query LIKE '%recebendo%' AND pid <> "
                     "pg_backend_pid()"_s)
               .Rows() == 0)
        ASSERT_EQ(tool.state(), QProcess::Running) << "it ended before the server could stop";
    PgCluster::Instance().Stop();
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(tool.readAllStandardError()).contains(u"servidor"_s));
    for (const auto& [code, row] : LocalPlantings(path))
        ASSERT_TRUE(row.endsWith(u'|')) << code;
    PgCluster::Instance().Start();
    EXPECT_TRUE(ServerPlantings().empty());
    ASSERT_EQ(Transmit(path).ExitCode, 0);
    EXPECT_EQ(ServerPlantings().size(), 59000u);
    ExpectConsistent(path);
}

// Labels of what the whole lab holds: its plants, a station's free planting codes, its plates.
TEST_F(ServerTest, LabelsComeFromTheServerWithAStationsCodesAndRange)
{
    const auto labels = [&](const QString& name, const QStringList& what) {
        const QString zpl = m_dir.filePath(name + u".zpl"_s);
        QStringList args{"etiquetas", "--servidor", m_url, "--saida", zpl, "--etiqueta", "50x25"};
        const AdminRun run = RunAdmin(args + what);
        return run.ExitCode == 0 ? int(QString::fromUtf8(FileBytes(zpl)).count(u"^XA"_s)) : -1;
    };
    EXPECT_EQ(labels(u"plantas"_s, {"--plantas"}), ServerCount(u"SELECT count(*) FROM planta"_s));
    EXPECT_EQ(labels(u"placas"_s, {"--placas"}), ServerCount(u"SELECT count(*) FROM placa"_s));
    PgConnection(m_url).Exec(u"UPDATE estacao SET rela_inicial = $1::bigint, rela_final = "
                             "$1::bigint + 9 WHERE nome = 'PLANTIO1'"_s,
                             {QString::number(kPlanting)});
    const QString path = Prepare(u"PLANTIO1"_s, u"PC1"_s);
    Plant(OpenStation(path).get(), 1, 3);
    ASSERT_EQ(Transmit(path).ExitCode, 0);
    EXPECT_EQ(labels(u"livres"_s, {"--plantios", "--livres", "--estacao", "PLANTIO1"}), 9);
    EXPECT_EQ(labels(u"sem_faixa"_s, {"--plantios"}), -1); // no station, no range
    EXPECT_FALSE(QFile::exists(m_dir.filePath(u"sem_faixa.zpl"_s)));
}

TEST_F(ServerTest, ImportToTheServerIsAllOrNothingAndAcceptsAnUnchangedRowAgain)
{
    const QString csv = m_dir.filePath(u"planta.csv"_s);
    const auto import = [&](const QByteArray& text) {
        WriteFile(csv, text);
        return RunAdmin({"servidor", "import", m_url, "Planta", csv});
    };
    // Label codes carry their check digit; the demo's plant 1 is there unchanged.
    EXPECT_EQ(import("NCC;NC;REP\n7891000000014;5000;1\n7891000009994;1;2\n").ExitCode, 0);
    const AdminRun changed = import("NCC;NC;REP\n7891000009987;1;1\n7891000000014;5001;1\n");
    EXPECT_EQ(changed.ExitCode, 1);
    EXPECT_TRUE(changed.Err.contains(u"Linha 3"_s)) << changed.Err.toStdString();
    EXPECT_EQ(ServerCount(u"SELECT count(*) FROM planta"_s), 301);
}

} // namespace

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
        ASSERT_EQ(RunAdmin({"servidor", "demo", m_url}).ExitCode, 0);
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

    auto Transmit(const QString& db) { return RunAdmin({"transmitir", db, "--servidor", m_url}); }
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
    // Creating the schema again checks it and keeps the data.
    EXPECT_EQ(RunAdmin({"servidor", "criar", m_url}).ExitCode, 0);
    EXPECT_EQ(ServerPlantings().size(), 5u);

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
    EXPECT_TRUE(status.contains(u"PLANTIO1 (plantio, lote DEMO, computador PC1): última "
                                "transmissão 20"_s))
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
    // Sent again, the conflict is refused again but recorded once.
    EXPECT_EQ(Transmit(second).ExitCode, 1);
    EXPECT_EQ(ServerCount(u"SELECT count(*) FROM conflito WHERE estacao = 'PLANTIO2'"_s), 1);

    // The second station's role writes only under its own name, and never changes received rows.
    PgConnection other(
        PgCluster::Instance().Url(PgCluster::DatabaseOf(m_url), u"tressalin_plantio2"_s));
    const QString insert =
        u"INSERT INTO plantio (id_slote, nc_plantio, ncc, id_user, data_plantio, "
        "estacao) VALUES (1, $1::bigint, $2::bigint, 1, '2024-01-01 00:00:00', $3)"_s;
    for (const char* sql : {"UPDATE plantio SET id_user = 9", "DELETE FROM plantio",
                            "UPDATE estacao SET maquina = 'X'", "DELETE FROM conflito",
                            "INSERT INTO planta VALUES (1, 1, 1)"})
        EXPECT_THROW(other.Exec(QString::fromLatin1(sql)), PgError) << sql;
    EXPECT_THROW(other.Exec(insert, {u"9"_s, QString::number(kPlant + 9), u"PLANTIO1"_s}), PgError);
    EXPECT_NO_THROW(other.Exec(insert, {u"10"_s, QString::number(kPlant + 10), u"PLANTIO2"_s}));
    EXPECT_EQ(ServerPlantings().size(), 1u);
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

#include "pgcluster.h"

#include "admintool.h"
#include "pgconnection.h"
#include "plantiosql.h"
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

// The lab server: stations prepared from it, their work transmitted to it exactly once.

namespace {

constexpr qint64 kPlant = Q_INT64_C(789100000000);    // demo plants: kPlant + 1 .. + 300
constexpr qint64 kPlanting = Q_INT64_C(200000000000); // free planting codes

/** NC_PLANTIO -> "NCC|ORIGEM" of a station file's plantings. */
std::map<qint64, QString> LocalPlantings(const QString& path)
{
    auto connection = OpenStation(path);
    auto query = NewQuery(connection.get());
    query->SetSQL(QStringLiteral("SELECT NC_PLANTIO, NCC, ORIGEM_PLANTIO FROM Plantio"));
    query->Open();
    std::map<qint64, QString> rows;
    for (; !query->Eof(); query->Next())
        rows[qint64(query->Fields(0).Value().toDouble())] =
            QString::number(qint64(query->Fields(1).Value().toDouble())) + QLatin1Char('|') +
            query->Fields(2).Value().toString();
    return rows;
}

/** NC_PLANTIO -> NCC of what the server received from a station. */
std::map<qint64, qint64> ServerPlantings(const QString& url, const QString& station)
{
    PgConnection server(url);
    const PgResult result = server.Exec(
        QStringLiteral("SELECT nc_plantio, ncc FROM plantio WHERE estacao = $1"), {station});
    std::map<qint64, qint64> rows;
    for (int r = 0; r < result.Rows(); ++r)
        rows[result.Int(r, 0)] = result.Int(r, 1);
    return rows;
}

class ServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_url = PgCluster::Instance().NewDatabase();
        const AdminRun demo = RunAdmin({QStringLiteral("servidor"), QStringLiteral("demo"), m_url});
        ASSERT_EQ(demo.ExitCode, 0) << demo.Err.toStdString();
    }

    /** A station file prepared from the server and bound to its computer. */
    QString Prepare(const QString& station, const QString& maquina)
    {
        const QString path = m_dir.filePath(station + QStringLiteral(".db"));
        const AdminRun run = RunAdmin({QStringLiteral("preparar"), m_url, station, path});
        EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        const AdminRun verify = RunAdmin({QStringLiteral("verify"), path});
        EXPECT_EQ(verify.ExitCode, 0) << verify.Err.toStdString();
        Execute(OpenStation(path).get(),
                QStringLiteral("UPDATE Configuracao SET MAQUINA = '%1'").arg(maquina));
        return path;
    }

    /** Plants as the planting screen does: plant kPlant + plant, code kPlanting + code. */
    static void Plant(TXConnection* connection, int plant, qint64 code)
    {
        auto command = NewCommand(connection);
        command->SetCommandText(kPlantioInsertSQL);
        command->ParamByName(QStringLiteral("id_slote")).SetInteger(1);
        command->ParamByName(QStringLiteral("nc_plantio")).SetFloat(double(kPlanting + code));
        command->ParamByName(QStringLiteral("ncc")).SetFloat(double(kPlant + plant));
        command->ParamByName(QStringLiteral("id_user")).SetInteger(2);
        command->ParamByName(QStringLiteral("data_plantio"))
            .SetString(QStringLiteral("2024-05-06 07:08:09"));
        command->Execute();
    }

    AdminRun Transmit(const QString& path)
    {
        return RunAdmin({QStringLiteral("transmitir"), path, QStringLiteral("--servidor"), m_url});
    }

    /** Marked rows are on the server as sent; the server holds nothing the file lacks. */
    void ExpectConsistent(const QString& path, const QString& station, const QString& maquina)
    {
        const auto local = LocalPlantings(path);
        const auto server = ServerPlantings(m_url, station);
        for (const auto& [code, row] : local) {
            if (row.section(QLatin1Char('|'), 1).isEmpty())
                continue;
            EXPECT_EQ(row.section(QLatin1Char('|'), 1), maquina);
            ASSERT_TRUE(server.count(code)) << "marked but not on the server: " << code;
            EXPECT_EQ(server.at(code), row.section(QLatin1Char('|'), 0, 0).toLongLong());
        }
        for (const auto& [code, ncc] : server)
            ASSERT_TRUE(local.count(code)) << "on the server but not in the file: " << code;
    }

    QTemporaryDir m_dir;
    QString m_url;
};

TEST_F(ServerTest, PlantingsReachACollectionStationAndItsWellsTheServer)
{
    const QString plantio = Prepare(QStringLiteral("PLANTIO1"), QStringLiteral("PC1"));
    const QString coleta = Prepare(QStringLiteral("COLETA1"), QStringLiteral("PC3"));
    {
        auto connection = OpenStation(plantio);
        for (int i = 1; i <= 5; ++i)
            Plant(connection.get(), i, i);
    }
    const AdminRun sent = Transmit(plantio);
    ASSERT_EQ(sent.ExitCode, 0) << sent.Err.toStdString();
    EXPECT_EQ(ServerPlantings(m_url, QStringLiteral("PLANTIO1")).size(), 5u);
    ExpectConsistent(plantio, QStringLiteral("PLANTIO1"), QStringLiteral("PC1"));
    for (const auto& [code, row] : LocalPlantings(plantio))
        EXPECT_TRUE(row.endsWith(QLatin1String("|PC1"))) << code;

    ASSERT_EQ(RunAdmin({QStringLiteral("atualizar"), m_url, coleta}).ExitCode, 0);
    {
        auto connection = OpenStation(coleta);
        CollectWell(connection.get(), 2, 1, kPlanting + 3, 2,
                    QStringLiteral("2024-05-07 08:00:00"));
        EXPECT_EQ(LocalPlantings(coleta).size(), 5u); // the collection checks codes against these
    }
    ASSERT_EQ(Transmit(coleta).ExitCode, 0);
    PgConnection server(m_url);
    EXPECT_EQ(server
                  .Exec(QStringLiteral("SELECT string_agg(poco || '|' || nc_plantio, ',') FROM "
                                       "placa_poco WHERE estacao = 'COLETA1'"))
                  .Text(0, 0),
              QStringLiteral("A1|%1").arg(kPlanting + 3));
    // The other collection station sees that well as another computer's.
    const QString other = Prepare(QStringLiteral("COLETA2"), QStringLiteral("PC4"));
    EXPECT_EQ(Count(OpenStation(other).get(),
                    QStringLiteral("SELECT count(*) FROM Placa_Poco WHERE ID_PLACA = 2 AND "
                                   "POCO = 'A1' AND ORIGEM_COLETA = 'PC3'")),
              1);
    // Creating the schema again checks it and keeps the data.
    EXPECT_EQ(RunAdmin({QStringLiteral("servidor"), QStringLiteral("criar"), m_url}).ExitCode, 0);
    EXPECT_EQ(ServerPlantings(m_url, QStringLiteral("PLANTIO1")).size(), 5u);
}

TEST_F(ServerTest, APlantTakenByOneStationIsRefusedToAnotherWhoseRoleCannotChangeTheFirstsRows)
{
    const QString first = Prepare(QStringLiteral("PLANTIO1"), QStringLiteral("PC1"));
    const QString second = Prepare(QStringLiteral("PLANTIO2"), QStringLiteral("PC2"));
    Plant(OpenStation(first).get(), 7, 1);
    {
        auto connection = OpenStation(second);
        Plant(connection.get(), 7, 2);
        Plant(connection.get(), 8, 3);
    }
    ASSERT_EQ(Transmit(first).ExitCode, 0);
    const AdminRun refused = Transmit(second);
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_TRUE(refused.Err.contains(QStringLiteral("PLANTIO1"))) << refused.Err.toStdString();
    const auto local = LocalPlantings(second);
    EXPECT_EQ(local.at(kPlanting + 2), QStringLiteral("%1|").arg(kPlant + 7));
    EXPECT_EQ(local.at(kPlanting + 3), QStringLiteral("%1|PC2").arg(kPlant + 8));
    // Sent again, the conflict is refused again but recorded once.
    EXPECT_EQ(Transmit(second).ExitCode, 1);
    PgConnection server(m_url);
    EXPECT_EQ(
        server.Exec(QStringLiteral("SELECT count(*) FROM conflito WHERE estacao = 'PLANTIO2'"))
            .Int(0, 0),
        1);

    // The second station's role writes only under its own name, and never changes received rows.
    const QString database = PgCluster::DatabaseOf(m_url);
    PgConnection other(PgCluster::Instance().Url(database, QStringLiteral("tressalin_plantio2")));
    const QString insert = QStringLiteral(
        "INSERT INTO plantio (id_slote, nc_plantio, ncc, id_user, data_plantio, estacao)"
        " VALUES (1, $1::bigint, $2::bigint, 1, '2024-01-01 00:00:00', $3)");
    const QStringList forbidden = {
        QStringLiteral("UPDATE plantio SET id_user = 9"), QStringLiteral("DELETE FROM plantio"),
        QStringLiteral("UPDATE estacao SET maquina = 'X'"), QStringLiteral("DELETE FROM conflito"),
        QStringLiteral("INSERT INTO planta VALUES (1, 1, 1)")};
    for (const QString& sql : forbidden)
        EXPECT_THROW(other.Exec(sql), PgError) << sql.toStdString();
    EXPECT_THROW(other.Exec(insert, {QStringLiteral("9"), QString::number(kPlant + 9),
                                     QStringLiteral("PLANTIO1")}),
                 PgError);
    EXPECT_NO_THROW(other.Exec(
        insert, {QStringLiteral("10"), QString::number(kPlant + 10), QStringLiteral("PLANTIO2")}));
    EXPECT_EQ(ServerPlantings(m_url, QStringLiteral("PLANTIO1")).size(), 1u);
}

TEST_F(ServerTest, KilledAtAnyMomentWhileTheStationRecordsNothingIsLostDuplicatedOrWronglyMarked)
{
    const QString path = Prepare(QStringLiteral("PLANTIO1"), QStringLiteral("PC1"));
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
        tool.start(QStringLiteral(TRESSALIN_ADMIN_PATH),
                   {QStringLiteral("transmitir"), path, QStringLiteral("--servidor"), m_url});
        ASSERT_TRUE(tool.waitForStarted());
        // A random moment: before connecting, while the server stores, while the file is marked.
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 60000));
        ::kill(pid_t(tool.processId()), SIGKILL);
        tool.waitForFinished();
        ExpectConsistent(path, QStringLiteral("PLANTIO1"), QStringLiteral("PC1"));
    }
    stop = true;
    recorder.join();
    const AdminRun last = Transmit(path);
    ASSERT_EQ(last.ExitCode, 0) << last.Err.toStdString();
    ExpectConsistent(path, QStringLiteral("PLANTIO1"), QStringLiteral("PC1"));
    const auto local = LocalPlantings(path);
    EXPECT_EQ(int(local.size()), recorded.load());
    EXPECT_EQ(ServerPlantings(m_url, QStringLiteral("PLANTIO1")).size(), local.size());
    for (const auto& [code, row] : local)
        EXPECT_TRUE(row.endsWith(QLatin1String("|PC1"))) << code;
}

TEST_F(ServerTest, AServerStoppedMidTransmissionLeavesTheFileUnmarkedAndTheNextRunSendsAll)
{
    const QString path = Prepare(QStringLiteral("PLANTIO1"), QStringLiteral("PC1"));
    {
        // Plants the server does not know are refused, not lost: enough rows to stop it midway.
        PgConnection server(m_url);
        server.Exec(QStringLiteral("INSERT INTO planta SELECT $1::bigint + g, 1, 1"
                                   " FROM generate_series(1001, 60000) g"),
                    {QString::number(kPlant)});
        auto connection = OpenStation(path);
        connection->BeginTrans();
        for (int plant = 1001; plant <= 60000; ++plant)
            Plant(connection.get(), plant, plant);
        connection->CommitTrans();
    }
    QProcess tool;
    tool.start(QStringLiteral(TRESSALIN_ADMIN_PATH),
               {QStringLiteral("transmitir"), path, QStringLiteral("--servidor"), m_url});
    ASSERT_TRUE(tool.waitForStarted());
    PgConnection watcher(
        PgCluster::Instance().Url(PgCluster::DatabaseOf(m_url), QStringLiteral("tressalin")));
    while (watcher
               .Exec(QStringLiteral("SELECT 1 FROM pg_stat_activity WHERE query LIKE"
                                    " '%recebendo%' AND pid <> pg_backend_pid()"))
               .Rows() == 0) {
        ASSERT_EQ(tool.state(), QProcess::Running) << "the transmission ended before the server"
                                                      " could be stopped";
    }
    PgCluster::Instance().Stop();
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(
        QString::fromUtf8(tool.readAllStandardError()).contains(QStringLiteral("servidor")));
    for (const auto& [code, row] : LocalPlantings(path))
        ASSERT_TRUE(row.endsWith(QLatin1Char('|'))) << code;
    PgCluster::Instance().Start();
    EXPECT_TRUE(ServerPlantings(m_url, QStringLiteral("PLANTIO1")).empty());
    ASSERT_EQ(Transmit(path).ExitCode, 0);
    EXPECT_EQ(ServerPlantings(m_url, QStringLiteral("PLANTIO1")).size(), 59000u);
    ExpectConsistent(path, QStringLiteral("PLANTIO1"), QStringLiteral("PC1"));
}

TEST_F(ServerTest, ImportToTheServerIsAllOrNothingAndAcceptsAnUnchangedRowAgain)
{
    const QString csv = m_dir.filePath(QStringLiteral("planta.csv"));
    const auto import = [&](const QByteArray& text) {
        WriteFile(csv, text);
        return RunAdmin({QStringLiteral("servidor"), QStringLiteral("import"), m_url,
                         QStringLiteral("Planta"), csv});
    };
    // Label codes carry their check digit; the demo's plant 1 is there unchanged.
    EXPECT_EQ(import("NCC;NC;REP\n7891000000014;5000;1\n7891000009994;1;2\n").ExitCode, 0);
    const AdminRun changed = import("NCC;NC;REP\n7891000009987;1;1\n7891000000014;5001;1\n");
    EXPECT_EQ(changed.ExitCode, 1);
    EXPECT_TRUE(changed.Err.contains(QStringLiteral("Linha 3"))) << changed.Err.toStdString();
    PgConnection server(m_url);
    EXPECT_EQ(server.Exec(QStringLiteral("SELECT count(*) FROM planta")).Int(0, 0), 301);
}

} // namespace

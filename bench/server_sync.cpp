// Lab server at scale: one station transmitting 100,000 plantings, twenty stations
// transmitting at once, and preparing a station with 100,000 plants, against a
// private PostgreSQL cluster.
#include "data/txconnection.h"
#include "data/txquery.h"
#include "data/txtransaction.h"
#include "pgcluster.h"
#include "pgconnection.h"
#include "serversync.h"
#include "stationbuilder.h"
#include "stationregistry.h"

#include "benchsupport.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kPlants = 100'000; // plants of the lab preparing and the single station use
constexpr int kStations = 20;
constexpr int kStationRows = 10'000;
constexpr qint64 kFirstPlant = 500'000'000'000;
constexpr qint64 kFirstCode = 600'000'000'000;
const QString kDate = QStringLiteral("2024-05-06 07:08:09");

QString StationName(int station)
{
    return QStringLiteral("BANCADA%1").arg(station + 1, 2, 10, QLatin1Char('0'));
}

/** A demo lab with `plants` plants; registered bench stations BANCADA01.. when asked. */
QString NewLab(int plants, int stations)
{
    const QString url = PgCluster::Instance().NewDatabase();
    FillDemoServer(url);
    PgConnection server(url);
    server.Exec(QStringLiteral("INSERT INTO planta SELECT $1::bigint + g, g, 1 FROM "
                               "generate_series(1, $2::integer) g"),
                {QString::number(kFirstPlant), QString::number(plants)});
    for (int s = 0; s < stations; ++s) {
        RegisteredStation station;
        station.Nome = StationName(s);
        station.Lote = QStringLiteral("DEMO");
        AddStation(server, station);
    }
    server.Exec(QStringLiteral("VACUUM ANALYZE"));
    return url;
}

/** A copy of a template database, so every run starts from the same server. */
QString CloneLab(const QString& url)
{
    static int clones = 0;
    const QString name = QStringLiteral("copia%1").arg(++clones);
    PgConnection(PgCluster::Instance().Url(QStringLiteral("postgres"), QStringLiteral("tressalin")))
        .Exec(
            QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(name, PgCluster::DatabaseOf(url)));
    return PgCluster::Instance().Url(name, QStringLiteral("tressalin"));
}

/** Drops a copy, so the server never works on the copies of earlier runs meanwhile. */
void DropLab(const QString& url)
{
    PgConnection(PgCluster::Instance().Url(QStringLiteral("postgres"), QStringLiteral("tressalin")))
        .Exec(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(PgCluster::DatabaseOf(url)));
}

/** Binds the file to its station and computer and records `rows` plantings from number `first` on.
 */
void Plant(const QString& path, const QString& maquina, int stationId, int first, int rows)
{
    auto connection = OpenStation(path);
    TXTransaction transaction(connection.get());
    auto config = NewCommand(connection.get());
    config->SetCommandText(
        QStringLiteral("UPDATE Configuracao SET ID_TRESSALIN = :id, MAQUINA = :m"));
    config->ParamByName(QStringLiteral("id")).SetInteger(stationId);
    config->ParamByName(QStringLiteral("m")).SetString(maquina);
    config->Execute();
    auto insert = NewCommand(connection.get());
    insert->SetCommandText(
        QStringLiteral("INSERT INTO Plantio (ID_SLOTE, NC_PLANTIO, NCC, ID_USER, DATA_PLANTIO)"
                       " VALUES (:id_slote, :nc_plantio, :ncc, :id_user, :data_plantio)"));
    for (int i = first; i < first + rows; ++i) {
        insert->ParamByName(QStringLiteral("id_slote")).SetInteger(1 + i % 4);
        insert->ParamByName(QStringLiteral("nc_plantio")).SetFloat(double(kFirstCode + i));
        insert->ParamByName(QStringLiteral("ncc")).SetFloat(double(kFirstPlant + 1 + i));
        insert->ParamByName(QStringLiteral("id_user")).SetInteger(2);
        insert->ParamByName(QStringLiteral("data_plantio")).SetString(kDate);
        insert->Execute();
    }
    transaction.Commit();
}

/** Empty when every row of the station is on the server once and marked in the file; else why not.
 */
std::string ExactlyOnce(const QString& url, const QString& path, const QString& station, int rows)
{
    PgConnection server(url);
    const PgResult counts = server.Exec(
        QStringLiteral(
            "SELECT count(*), count(DISTINCT nc_plantio) FROM plantio WHERE estacao = $1"),
        {station});
    auto connection = OpenStation(path);
    auto query = NewQuery(connection.get());
    query->SetSQL(QStringLiteral("SELECT COUNT(*) FROM Plantio WHERE ORIGEM_PLANTIO IS NULL"));
    query->Open();
    const int unmarked = query->Fields(0).Value().toInt();
    if (counts.Int(0, 0) != rows || counts.Int(0, 1) != rows || unmarked != 0)
        return QStringLiteral("%1: %2 rows on the server (%3 distinct) of %4, %5 unmarked")
            .arg(station)
            .arg(counts.Int(0, 0))
            .arg(counts.Int(0, 1))
            .arg(rows)
            .arg(unmarked)
            .toStdString();
    return {};
}

// One lab of 100,000 plants and a station file with 100,000 untransmitted plantings.
class OneStation
{
public:
    static OneStation& Instance()
    {
        static OneStation lab;
        return lab;
    }
    QString Url;
    QString File;
    QTemporaryDir Dir;

private:
    OneStation()
    {
        Url = NewLab(kPlants, 1);
        File = Dir.filePath(QStringLiteral("modelo.db"));
        PrepareStation(Url, StationName(0), File);
        PgConnection server(Url);
        Plant(File, QStringLiteral("PC01"), FindStation(server, StationName(0))->Id, 0, kPlants);
    }
};

// Twenty stations of one lab, 10,000 untransmitted plantings each, all different plants.
class TwentyStations
{
public:
    static TwentyStations& Instance()
    {
        static TwentyStations lab;
        return lab;
    }
    QString Url;
    QStringList Files;
    QTemporaryDir Dir;

private:
    TwentyStations()
    {
        Url = NewLab(kStations * kStationRows, kStations);
        // Prepared once; the others differ from it only in their station and computer.
        const QString first = Dir.filePath(QStringLiteral("modelo.db"));
        PrepareStation(Url, StationName(0), first);
        PgConnection server(Url);
        for (int s = 0; s < kStations; ++s) {
            const QString file = Dir.filePath(StationName(s) + QStringLiteral(".db"));
            QFile::copy(first, file);
            Plant(file, QStringLiteral("PC%1").arg(s + 1), FindStation(server, StationName(s))->Id,
                  s * kStationRows, kStationRows);
            Files << file;
        }
    }
};

/** CPU seconds of this process (who = RUSAGE_SELF) or of its finished children. */
double CpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/** The fields of /proc/PID/stat from the third on (state, ppid, ...); empty when it is gone. */
std::vector<std::string> ProcStat(const QString& pid)
{
    std::ifstream file(QStringLiteral("/proc/%1/stat").arg(pid).toStdString());
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    std::vector<std::string> fields;
    if (text.rfind(')') == std::string::npos)
        return fields;
    std::istringstream rest(text.substr(text.rfind(')') + 2));
    for (std::string field; rest >> field;)
        fields.push_back(field);
    return fields;
}

/**
 * CPU seconds the whole server has used so far: the postmaster, its running
 * processes and those it has reaped. The machine is shared, so wall times
 * carry the other users' load; CPU times do not.
 */
double ServerCpuSeconds(const QString& url)
{
    const QString postmaster = QString::fromStdString(
        ProcStat(PgConnection(url).Exec(QStringLiteral("SELECT pg_backend_pid()")).Text(0, 0))[1]);
    for (;;) {
        const std::vector<std::string> own = ProcStat(postmaster);
        // utime, stime, cutime, cstime are fields 14-17.
        qint64 ticks =
            std::stoll(own[11]) + std::stoll(own[12]) + std::stoll(own[13]) + std::stoll(own[14]);
        for (const QString& pid :
             QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            bool number = false;
            pid.toLongLong(&number);
            if (!number)
                continue;
            const std::vector<std::string> child = ProcStat(pid);
            if (child.size() > 12 && QString::fromStdString(child[1]) == postmaster)
                ticks += std::stoll(child[11]) + std::stoll(child[12]);
        }
        // A process reaped meanwhile moved its time; count again.
        if (ProcStat(postmaster)[13] == own[13])
            return double(ticks) / double(::sysconf(_SC_CLK_TCK));
    }
}

void SetCounters(benchmark::State& state, double rows, double seconds, double stationCpu,
                 double serverCpu)
{
    state.counters["rows_per_s"] = rows / seconds;
    state.counters["station_cpu_s"] = stationCpu;
    state.counters["server_cpu_s"] = serverCpu;
    double load = 0;
    std::ifstream("/proc/loadavg") >> load;
    state.counters["load"] = load;
}

void BM_TransmitOneStation(benchmark::State& state)
{
    OneStation& lab = OneStation::Instance();
    QTemporaryDir work;
    int run = 0;
    for (auto _ : state) {
        const QString url = CloneLab(lab.Url);
        const QString file = work.filePath(QStringLiteral("estacao%1.db").arg(++run));
        QFile::copy(lab.File, file);
        const double serverBefore = ServerCpuSeconds(url);
        const double cpuBefore = CpuSeconds(RUSAGE_SELF);
        QElapsedTimer clock;
        clock.start();
        const ServerTransmission sent = TransmitToServer(file, url);
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        SetCounters(state, kPlants, seconds, CpuSeconds(RUSAGE_SELF) - cpuBefore,
                    ServerCpuSeconds(url) - serverBefore);
        if (sent.Marked != kPlants) {
            state.SkipWithError("not every planting was marked");
            break;
        }
        if (const std::string wrong = ExactlyOnce(url, file, StationName(0), kPlants);
            !wrong.empty()) {
            state.SkipWithError(wrong.c_str());
            break;
        }
        QFile::remove(file);
        DropLab(url);
    }
}
BENCHMARK(BM_TransmitOneStation)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3);

// Every station as its own tressalin-admin process, all started together.
void BM_TransmitTwentyStations(benchmark::State& state)
{
    TwentyStations& lab = TwentyStations::Instance();
    QTemporaryDir work;
    int run = 0;
    for (auto _ : state) {
        const QString url = CloneLab(lab.Url);
        ++run;
        QStringList files;
        for (int s = 0; s < kStations; ++s) {
            files << work.filePath(QStringLiteral("%1-%2.db").arg(StationName(s)).arg(run));
            QFile::copy(lab.Files[s], files.last());
        }
        std::vector<std::unique_ptr<QProcess>> tools;
        const double serverBefore = ServerCpuSeconds(url);
        const double cpuBefore = CpuSeconds(RUSAGE_CHILDREN);
        QElapsedTimer clock;
        clock.start();
        for (const QString& file : files) {
            tools.push_back(std::make_unique<QProcess>());
            tools.back()->start(
                QStringLiteral(TRESSALIN_ADMIN_PATH),
                {QStringLiteral("transmitir"), file, QStringLiteral("--servidor"), url});
        }
        std::string failed;
        for (auto& tool : tools) {
            if (!tool->waitForFinished(600000) || tool->exitCode() != 0)
                failed = QString::fromUtf8(tool->readAllStandardError()).toStdString();
        }
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        SetCounters(state, kStations * kStationRows, seconds,
                    CpuSeconds(RUSAGE_CHILDREN) - cpuBefore, ServerCpuSeconds(url) - serverBefore);
        for (int s = 0; s < kStations && failed.empty(); ++s)
            failed = ExactlyOnce(url, files[s], StationName(s), kStationRows);
        if (!failed.empty()) {
            state.SkipWithError(failed.c_str());
            break;
        }
        for (const QString& file : files)
            QFile::remove(file);
        DropLab(url);
    }
}
BENCHMARK(BM_TransmitTwentyStations)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3);

void BM_PrepareStation(benchmark::State& state)
{
    OneStation& lab = OneStation::Instance();
    QTemporaryDir work;
    int run = 0;
    for (auto _ : state) {
        const QString file = work.filePath(QStringLiteral("preparada%1.db").arg(++run));
        const double serverBefore = ServerCpuSeconds(lab.Url);
        const double cpuBefore = CpuSeconds(RUSAGE_SELF);
        QElapsedTimer clock;
        clock.start();
        const QList<TableCount> counts = PrepareStation(lab.Url, StationName(0), file);
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        int plants = 0;
        for (const TableCount& count : counts)
            plants += count.Table == QLatin1String("Planta") ? count.Rows : 0;
        SetCounters(state, plants, seconds, CpuSeconds(RUSAGE_SELF) - cpuBefore,
                    ServerCpuSeconds(lab.Url) - serverBefore);
        if (plants < kPlants) {
            state.SkipWithError("the station lacks plants");
            break;
        }
        QFile::remove(file);
    }
}
BENCHMARK(BM_PrepareStation)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}

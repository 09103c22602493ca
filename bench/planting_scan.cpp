// Planting station at scale: one full scan cycle through the real screen, and
// the bare durable insert that bounds it from below.
#include "appschema.h"
#include "connectionfile.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "eancode.h"
#include "stationbuilder.h"
#include "tappconfig.h"
#include "tdm.h"
#include "tflogin.h"
#include "tfmain.h"
#include "tfplantio_cad.h"
#include "txcombobox.h"
#include "txedit.h"
#include "xmessages.h"

#include "benchsupport.h"
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

constexpr int kLotes = 2'000;
constexpr int kPlantings = 1'000'000;
constexpr int kPlants = 1'000'000;
constexpr qint64 kFirstPlant = 100'000'000'000;
constexpr qint64 kFirstPlantedNcc = 110'000'000'000; // earlier harvests, not in Planta
constexpr qint64 kFirstNcp = 200'000'000'000;
constexpr qint64 kFirstFreshNcp = 201'000'000'000;
constexpr qint64 kFirstFloorNcp = 202'000'000'000;
constexpr qint64 kFirstShownNcp = 203'000'000'000;
const QString kComputer = QStringLiteral("BENCH");
const QString kDate = QStringLiteral("2024-05-06 07:08:09");

// The station file, built once per run in one transaction.
class PlantingStation
{
public:
    static PlantingStation& Instance()
    {
        static PlantingStation station;
        return station;
    }
    QString DbPath() const { return m_dir.filePath(QStringLiteral("estacao.db")); }
    QString ProgramPath() const { return m_dir.filePath(QStringLiteral("tressalin")); }
    int OperatorId = 0;

private:
    PlantingStation()
    {
        CreateStation(DbPath(), StationOptions{});
        auto conn = OpenStation(DbPath());
        conn->BeginTrans();
        OperatorId = AddUser(conn.get(), QStringLiteral("OPER"), QStringLiteral("Operador"),
                             QStringLiteral("1234"));
        for (int i = 0; i < kLotes; ++i)
            InsertLote(conn.get(), i + 1, QStringLiteral("LOTE %1").arg(i + 1), 500);
        for (int i = 0; i < kPlants; ++i)
            InsertPlanta(conn.get(), kFirstPlant + i, 1000 + i, i % 4 + 1);
        for (int i = 0; i < kPlantings; ++i)
            InsertPlantio(conn.get(),
                          {i % kLotes + 1, kFirstNcp + i, kFirstPlantedNcc + i, OperatorId, kDate,
                           (i % 2) ? QStringLiteral("MAQ02") : QString()});
        conn->CommitTrans();
        WriteConnectionFile(ConnectionFilePathFor(ProgramPath()), BuildConnectionFile(DbPath()));
        // The OS would otherwise still be writing the new file back while the
        // first benchmark runs, and slow its commits down.
        ::sync();
    }

    QTemporaryDir m_dir;
};

// Gives a sub-batch `rows` more plantings of plants in Planta, so the grid
// shows that many: its own 500 are of earlier harvests, which the grid's join
// with Planta leaves out. The plants are taken from the end of Planta, away
// from those the scans use.
void AddShownPlantings(PlantingStation& station, int idSlote, int rows)
{
    static qint64 next = 0;
    auto conn = OpenStation(station.DbPath());
    conn->BeginTrans();
    for (int i = 0; i < rows; ++i, ++next)
        InsertPlantio(conn.get(), {idSlote, kFirstShownNcp + next, kFirstPlant + kPlants - 1 - next,
                                   station.OperatorId, kDate, QString()});
    conn->CommitTrans();
}

void Scan(TXEdit* edit, const QString& code)
{
    QTest::keyClicks(edit, code);
    QTest::keyClick(edit, Qt::Key_Return);
}

void BM_PlantingScanCycle(benchmark::State& state)
{
    PlantingStation& station = PlantingStation::Instance();
    // Each repetition scans into its own sub-batch, which shows range(0)
    // plantings when chosen: the grid grows from there by one row per scan.
    static int repetition = 0;
    const int loteIndex = kLotes / 2 + repetition++;
    AddShownPlantings(station, loteIndex + 1, int(state.range(0)));
    BoxCounter presenter; // any box means a scan was refused
    SetComputerNameSource([] { return kComputer; });
    {
        TDM dataModule;
        DM = &dataModule;
        DM->SetProgramPath(station.ProgramPath());
        auto mainForm = std::make_unique<TFMain>();
        mainForm->show();
        if (!QTest::qWaitFor([&mainForm] { return mainForm->Started(); }, 10000))
            state.SkipWithError("the main window did not start");
        AnswerLogin(QStringLiteral("OPER"), QStringLiteral("1234"));
        auto* screen = OpenChildForm<TFPlantio_Cad>();
        if (!screen || mainForm->AppConfig->OperatorId < 1)
            state.SkipWithError("the planting screen did not open logged in");
        QApplication::setActiveWindow(mainForm.get());
        if (!QTest::qWaitForWindowActive(mainForm.get()))
            state.SkipWithError("the main window did not become active");
        screen->lote->setCurrentIndex(loteIndex);
        emit screen->lote->activated(loteIndex);
        if (screen->QGrid->RecordCount() != state.range(0))
            state.SkipWithError("the grid does not show the sub-batch's plantings");
        screen->NCC_LIDO->setFocus();

        static qint64 next = 0; // fresh codes across repetitions
        std::vector<double> ms;
        QElapsedTimer clock;
        for (auto _ : state) {
            const qint64 k = next++;
            const QString ncc = EanCode(kFirstPlant + k, BarcodeType::Ean13);
            const QString ncp = EanCode(kFirstFreshNcp + k, BarcodeType::Ean13);
            clock.start();
            Scan(screen->NCC_LIDO, ncc);
            Scan(screen->NCP_LIDO, ncp);
            ms.push_back(double(clock.nsecsElapsed()) / 1e6);
            if (presenter.Count != 0) {
                state.SkipWithError("a scan was refused");
                break;
            }
        }
        ReportLatencies(state, ms);
        CloseChildForm(screen);
        mainForm.reset();
        DM = nullptr;
    }
    SetComputerNameSource({});
}
BENCHMARK(BM_PlantingScanCycle)
    ->ArgName("rows")
    ->Arg(500)
    ->Arg(2'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(500)
    ->Repetitions(3);

// One start: from a new main window to a connected one with the file
// verified (Started); answers the milliseconds, or -1 when it failed.
double StartOnce(PlantingStation& station, const BoxCounter& presenter)
{
    QElapsedTimer clock;
    clock.start();
    TDM dataModule;
    DM = &dataModule;
    DM->SetProgramPath(station.ProgramPath());
    double ms = -1;
    {
        TFMain mainForm;
        mainForm.show();
        QDeadlineTimer deadline(10000);
        while (!mainForm.Started() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (mainForm.Started() && DM->Conn->Connected() && presenter.Count == 0)
            ms = double(clock.nsecsElapsed()) / 1e6;
    }
    DM = nullptr;
    return ms;
}

// Drops the station file's pages from the OS cache, so the next start reads
// it from the disk.
void EvictFromPageCache(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

void RunStartUps(benchmark::State& state, bool coldFile)
{
    PlantingStation& station = PlantingStation::Instance();
    BoxCounter presenter; // any box means the start failed
    SetComputerNameSource([] { return kComputer; });
    std::vector<double> ms;
    for (auto _ : state) {
        if (coldFile) {
            state.PauseTiming();
            EvictFromPageCache(station.DbPath());
            state.ResumeTiming();
        }
        const double one = StartOnce(station, presenter);
        if (one < 0)
            state.SkipWithError("the main window did not start connected without a box");
        ms.push_back(one);
    }
    ReportLatencies(state, ms);
    SetComputerNameSource({});
}

// Start-up on the million-planting file, already in the OS cache.
void BM_StartUp(benchmark::State& state)
{
    RunStartUps(state, false);
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);

// The same with the file's pages dropped from the OS cache before each start.
void BM_StartUpColdFile(benchmark::State& state)
{
    RunStartUps(state, true);
}
BENCHMARK(BM_StartUpColdFile)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);

void BM_DurableInsertFloor(benchmark::State& state)
{
    PlantingStation& station = PlantingStation::Instance();
    auto conn = OpenStation(station.DbPath());
    auto insert = NewCommand(conn.get());
    insert->SetCommandText(
        QStringLiteral("INSERT INTO Plantio (id_slote, nc_plantio, ncc, id_user, data_plantio) "
                       "VALUES (:id_slote, :nc_plantio, :ncc, :id_user, :data_plantio)"));
    static qint64 next = 0;
    std::vector<double> ms;
    QElapsedTimer clock;
    for (auto _ : state) {
        const qint64 k = next++;
        clock.start();
        insert->ParamByName(QStringLiteral("id_slote")).SetInteger(1);
        insert->ParamByName(QStringLiteral("nc_plantio")).SetFloat(double(kFirstFloorNcp + k));
        insert->ParamByName(QStringLiteral("ncc")).SetFloat(double(kFirstPlantedNcc + k));
        insert->ParamByName(QStringLiteral("id_user")).SetInteger(station.OperatorId);
        insert->ParamByName(QStringLiteral("data_plantio")).SetString(kDate);
        insert->Execute();
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    ReportLatencies(state, ms);
}
BENCHMARK(BM_DurableInsertFloor)->Unit(benchmark::kMillisecond)->Iterations(500)->Repetitions(3);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}

// The "Plantio Cadastrado" report on a station with 1,000,000 plantings: opening the screen
// (the start choice), "Atualizar" on the first choice (every planting), and the export of
// 100,000 of its rows. Targets: report shown <= 2 s; export <= 3 s and <= 300 MB peak RSS.
#include "connectionfile.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "stationbuilder.h"
#include "data/txtransaction.h"
#include "tappconfig.h"
#include "tdm.h"
#include "tfcons_plantiocad.h"
#include "tfmain.h"
#include "txdbgrid.h"
#include "txradiogroup.h"
#include "xfiledialogs.h"
#include "xmessages.h"

#include "benchsupport.h"
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int kPlantings = 1000000;
constexpr int kPerLote = 250;
constexpr int kExportLotes = 400; // 400 x 250 = 100,000 rows

double CurrentRssMegabytes()
{
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * 4096.0 / (1024.0 * 1024.0);
}

QString LoteName(int lote)
{
    return QStringLiteral("L%1").arg(lote, 4, 10, QLatin1Char('0'));
}

// One transaction, as the station tool provisions; every tenth planting transmitted.
void BuildStation(const QString& path)
{
    CreateStation(path, StationOptions{});
    auto connection = OpenStation(path);
    TXTransaction transaction(connection.get());
    const int user = AddUser(connection.get(), QStringLiteral("ANA"), QStringLiteral("Ana Souza"),
                             QStringLiteral("123"));
    for (int lote = 1; lote <= kPlantings / kPerLote; ++lote)
        InsertLote(connection.get(), lote, LoteName(lote), kPerLote);
    for (int i = 0; i < kPlantings; ++i) {
        PlantioRow row;
        row.IdSlote = i / kPerLote + 1;
        row.NcPlantio = 789000000000LL + i;
        row.Ncc = 500000000LL + (i * 7919LL) % kPlantings;
        row.IdUser = user;
        row.DataPlantio = QStringLiteral("2024-03-%1 10:%2:00")
                              .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                              .arg(i % 60, 2, 10, QLatin1Char('0'));
        if (i % 10 == 0)
            row.Origem = QStringLiteral("CENTRAL");
        InsertPlantio(connection.get(), row);
    }
    transaction.Commit();
}

// The client connected to the station, as after a start with a good connection file.
struct Client
{
    QTemporaryDir Dir;
    BoxCounter Presenter;
    std::unique_ptr<TDM> DataModule;
    std::unique_ptr<TFMain> Main;
    double BuildSeconds = 0;

    Client()
    {
        const QString db = Dir.filePath(QStringLiteral("estacao.db"));
        const QString program = Dir.filePath(QStringLiteral("tressalin"));
        QElapsedTimer timer;
        timer.start();
        BuildStation(db);
        BuildSeconds = timer.elapsed() / 1000.0;
        WriteConnectionFile(ConnectionFilePathFor(program), BuildConnectionFile(db));
        DataModule = std::make_unique<TDM>();
        DM = DataModule.get();
        DM->SetProgramPath(program);
        Main = std::make_unique<TFMain>();
        Main->show();
        const QDeadlineTimer deadline(10000);
        while (!Main->Started() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    ~Client()
    {
        Main.reset();
        DM = nullptr;
        DataModule.reset();
    }
};

// Dies before the application object does (see main).
std::unique_ptr<Client> g_client;

Client& TheClient()
{
    if (!g_client)
        g_client = std::make_unique<Client>();
    return *g_client;
}

void CloseReport(TFCons_PlantioCad* screen)
{
    CloseChildForm(screen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_OpenPlantioCadastrado(benchmark::State& state)
{
    Client& client = TheClient();
    if (!client.Main->AppConfig->Loaded) {
        state.SkipWithError("station not loaded");
        return;
    }
    int rows = 0;
    for (auto _ : state) {
        auto* screen = OpenChildForm<TFCons_PlantioCad>();
        QCoreApplication::processEvents(); // painted
        rows = screen->Q->RecordCount();
        state.PauseTiming();
        CloseReport(screen);
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    state.counters["build_station_s"] = client.BuildSeconds;
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
}
BENCHMARK(BM_OpenPlantioCadastrado)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_AtualizarFirstChoice(benchmark::State& state)
{
    TheClient();
    auto* screen = OpenChildForm<TFCons_PlantioCad>();
    screen->RGFiltro->Button(0)->click();
    for (auto _ : state) {
        screen->BConfirm->click();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = screen->Q->RecordCount();
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
    CloseReport(screen);
}
BENCHMARK(BM_AtualizarFirstChoice)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Export100kRows(benchmark::State& state)
{
    Client& client = TheClient();
    auto* screen = OpenChildForm<TFCons_PlantioCad>();
    screen->RGFiltro->Button(0)->click();
    screen->BConfirm->click();
    // The first 400 sub-batches: 100,000 rows of the report.
    screen->Q->SetFilter(QStringLiteral("SUB_LOTE <= '") + LoteName(kExportLotes) +
                         QStringLiteral("'"));
    screen->Q->SetFiltered(true);
    screen->GCons->Refresh();
    const int rows = screen->GCons->Model()->rowCount();
    int run = 0;
    SetFileDialogHandler([&](const TXFileDialogRequest&) {
        return client.Dir.filePath(QStringLiteral("relatorio%1.xlsx").arg(run++));
    });
    const double before = CurrentRssMegabytes();
    for (auto _ : state) {
        screen->BExportar->click();
        if (client.Presenter.Errors)
            state.SkipWithError("export failed");
    }
    SetFileDialogHandler({});
    state.counters["rows"] = rows;
    state.counters["rss_before_MB"] = before;
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
    CloseReport(screen);
}
BENCHMARK(BM_Export100kRows)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, [] { g_client.reset(); });
}

// Collection station at scale: one collection scan cycle and loading a plate
// through the real collection screen.
#include "appschema.h"
#include "connectionfile.h"
#include "data/txconnection.h"
#include "eancode.h"
#include "stationbuilder.h"
#include "tappconfig.h"
#include "tdm.h"
#include "tfcoleta_cad.h"
#include "tflogin.h"
#include "tfmain.h"
#include "tplaca.h"
#include "xmessages.h"

#include "benchsupport.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPlates = 10'000;
constexpr int kSampleWells = 94; // 8 x 12, two control wells
constexpr int kPlantings = 200'000;
constexpr qint64 kFirstNc = 200'000'000'000;
const QString kComputer = QStringLiteral("BENCH");
const QString kDate = QStringLiteral("2024-05-06 07:08:09");

QString PlateCode(int idPlaca)
{
    return QStringLiteral("PL%1").arg(idPlaca, 5, 10, QLatin1Char('0'));
}

// The station file, built once per run in one transaction.
class CollectionStation
{
public:
    static CollectionStation& Instance()
    {
        static CollectionStation station;
        return station;
    }
    QString DbPath() const { return m_dir.filePath(QStringLiteral("estacao.db")); }
    QString ProgramPath() const { return m_dir.filePath(QStringLiteral("tressalin")); }
    int NextPlate = 1; // plates not yet started
    qint64 NextNc = 0; // plantings not yet collected

private:
    CollectionStation()
    {
        StationOptions options;
        options.Operation = StationOperation::Coleta;
        CreateStation(DbPath(), options);
        auto conn = OpenStation(DbPath());
        conn->BeginTrans();
        const int operatorId = AddUser(conn.get(), QStringLiteral("OPER"),
                                       QStringLiteral("Operador"), QStringLiteral("1234"));
        for (int i = 1; i <= kPlates; ++i)
            InsertPlaca(conn.get(), i, i, PlateCode(i));
        for (int i = 0; i < kPlantings; ++i)
            InsertPlantio(conn.get(), {i % 100 + 1, kFirstNc + i, 100'000'000'000 + i, operatorId,
                                       kDate, QString()});
        conn->CommitTrans();
        WriteConnectionFile(ConnectionFilePathFor(ProgramPath()), BuildConnectionFile(DbPath()));
    }

    QTemporaryDir m_dir;
};

void Scan(QLineEdit* edit, const QString& code)
{
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, code);
    QTest::keyClick(edit, Qt::Key_Return);
}

// The main window with the collection screen open and logged in.
class Shell
{
public:
    explicit Shell(benchmark::State& state)
    {
        SetComputerNameSource([] { return kComputer; });
        DM = &m_dataModule;
        DM->SetProgramPath(CollectionStation::Instance().ProgramPath());
        m_mainForm = std::make_unique<TFMain>();
        m_mainForm->show();
        if (!QTest::qWaitFor([this] { return m_mainForm->Started(); }, 10000))
            state.SkipWithError("the main window did not start");
        AnswerLogin(QStringLiteral("OPER"), QStringLiteral("1234"));
        Screen = OpenChildForm<TFColeta_Cad>();
        QCoreApplication::processEvents();
        m_mainForm->activateWindow();
        if (!QTest::qWaitForWindowActive(m_mainForm.get()) || !Screen ||
            m_mainForm->AppConfig->OperatorId < 1)
            state.SkipWithError("the collection screen did not open logged in");
    }
    ~Shell()
    {
        m_mainForm.reset();
        DM = nullptr;
        SetComputerNameSource({});
    }

    bool LoadPlate(int idPlaca)
    {
        Scan(Screen->PLACA_LIDO, PlateCode(idPlaca));
        return Screen->Placa().IdPlaca == idPlaca && Presenter.Count == 0;
    }

    // Leaving the empty NC field for the plate field alerts that the NC is
    // missing, and the last well of a plate says the plate is complete: both
    // belong to a normal run.
    BoxCounter Presenter{{QStringLiteral("NC Plantio deve ser informado."),
                          QStringLiteral("A Placa já foi totalmente coletado.")}};
    TFColeta_Cad* Screen = nullptr;

private:
    TDM m_dataModule;
    std::unique_ptr<TFMain> m_mainForm;
};

void BM_CollectionScanCycle(benchmark::State& state)
{
    CollectionStation& station = CollectionStation::Instance();
    Shell shell(state);
    int left = 0;
    std::vector<double> ms;
    QElapsedTimer clock;
    for (auto _ : state) {
        if (left == 0) { // a new plate when the last one is full, outside the measurement
            if (!shell.LoadPlate(station.NextPlate++)) {
                state.SkipWithError(("a plate did not load: " + shell.Presenter.First).c_str());
                break;
            }
            left = kSampleWells;
        }
        const QString code = EanCode(kFirstNc + station.NextNc++, BarcodeType::Ean13);
        clock.start();
        Scan(shell.Screen->NCP_LIDO, code);
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
        --left;
        if (shell.Presenter.Count != 0) {
            state.SkipWithError(("a scan was refused: " + shell.Presenter.First).c_str());
            break;
        }
    }
    ReportLatencies(state, ms);
}
BENCHMARK(BM_CollectionScanCycle)->Unit(benchmark::kMillisecond)->Iterations(500)->Repetitions(3);

void BM_LoadPlate(benchmark::State& state)
{
    CollectionStation& station = CollectionStation::Instance();
    Shell shell(state);
    std::vector<double> ms;
    QElapsedTimer clock;
    for (auto _ : state) {
        const int idPlaca = station.NextPlate++;
        clock.start();
        const bool loaded = shell.LoadPlate(idPlaca);
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (!loaded) {
            state.SkipWithError(("a plate did not load: " + shell.Presenter.First).c_str());
            break;
        }
    }
    ReportLatencies(state, ms);
}
BENCHMARK(BM_LoadPlate)->Unit(benchmark::kMillisecond)->Iterations(200)->Repetitions(3);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}

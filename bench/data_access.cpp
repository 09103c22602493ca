// Data-access layer: opening a large static cursor, and a prepared point query.
#include "data/txconnection.h"
#include "data/txquery.h"
#include "data/xstationfile.h"

#include "benchsupport.h"
#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

constexpr int kRows = 1'000'000;
const QString kPassword = QStringLiteral("7k4M9R5");

// One station file with kRows rows of 7 mixed columns, built once per run.
class BigStation
{
public:
    static BigStation& Instance()
    {
        static BigStation station;
        return station;
    }
    TXConnection& Conn() { return m_conn; }

private:
    BigStation()
    {
        const QString path = m_dir.filePath(QStringLiteral("big.db"));
        CreateStationFile(path, kPassword);
        m_conn.SetConnectionString(
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;"
                           "Persist Security Info=False;Jet OLEDB:Database Password=%2")
                .arg(path, kPassword));
        m_conn.Open();
        Fill();
    }

    void Fill()
    {
        TXCommand ddl(&m_conn);
        ddl.SetCommandText(
            QStringLiteral("CREATE TABLE Amostra (ID LONG NOT NULL, %1, %2, NCC DOUBLE NOT NULL, "
                           "REP LONG NOT NULL, PESO DOUBLE, %3, "
                           "CONSTRAINT PK_Amostra PRIMARY KEY (ID))")
                .arg(TextColumnDecl(QStringLiteral("NOME"), 30, true),
                     TextColumnDecl(QStringLiteral("CODIGO"), 20, true),
                     TextColumnDecl(QStringLiteral("ORIGEM"), 20, false)));
        ddl.Execute();

        TXCommand insert(&m_conn);
        insert.SetCommandText(
            QStringLiteral("INSERT INTO Amostra (ID, NOME, CODIGO, NCC, REP, PESO, ORIGEM) "
                           "VALUES (:id, :nome, :codigo, :ncc, :rep, :peso, :origem)"));
        m_conn.BeginTrans();
        for (int i = 0; i < kRows; ++i) {
            insert.ParamByName(QStringLiteral("id")).SetInteger(i);
            insert.ParamByName(QStringLiteral("nome"))
                .SetString(QStringLiteral("Linhagem %1").arg(i % 5000));
            insert.ParamByName(QStringLiteral("codigo")).SetString(QStringLiteral("C%1").arg(i));
            insert.ParamByName(QStringLiteral("ncc")).SetFloat(123456789012.0 + i);
            insert.ParamByName(QStringLiteral("rep")).SetInteger(i % 4);
            insert.ParamByName(QStringLiteral("peso")).SetFloat(i * 0.25);
            if (i % 3)
                insert.ParamByName(QStringLiteral("origem")).SetString(QStringLiteral("CENTRAL"));
            else
                insert.ParamByName(QStringLiteral("origem")).SetNull(TXParamType::String);
            insert.Execute();
        }
        m_conn.CommitTrans();
    }

    QTemporaryDir m_dir;
    TXConnection m_conn;
};

void BM_OpenMillionRows(benchmark::State& state)
{
    TXConnection& conn = BigStation::Instance().Conn();
    auto query = NewQuery(&conn);
    query->SetSQL(QStringLiteral("SELECT ID, NOME, CODIGO, NCC, REP, PESO, ORIGEM FROM Amostra"));
    for (auto _ : state) {
        query->Open();
        qint64 sum = 0;
        const TXField id = query->FieldByName(QStringLiteral("ID"));
        for (query->First(); !query->Eof(); query->Next())
            sum += id.AsLargeInt();
        benchmark::DoNotOptimize(sum);
        if (query->RecordCount() != kRows)
            state.SkipWithError("wrong record count");
        query->Close();
    }
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
}
BENCHMARK(BM_OpenMillionRows)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

void BM_PointQuery(benchmark::State& state)
{
    TXConnection& conn = BigStation::Instance().Conn();
    auto query = NewQuery(&conn);
    query->SetSQL(QStringLiteral("SELECT NOME, NCC, PESO FROM Amostra "
                                 "WHERE (ID = :id) AND (CODIGO = :codigo)"));
    int i = 0;
    for (auto _ : state) {
        const int id = (i++ * 7919) % kRows;
        query->ParamByName(QStringLiteral("id")).SetInteger(id);
        query->ParamByName(QStringLiteral("codigo")).SetString(QStringLiteral("C%1").arg(id));
        query->Open();
        benchmark::DoNotOptimize(query->FieldByName(QStringLiteral("NCC")).AsFloat());
        if (query->RecordCount() != 1)
            state.SkipWithError("point query found no row");
        query->Close();
    }
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
}
BENCHMARK(BM_PointQuery)->Unit(benchmark::kMicrosecond)->Repetitions(5);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}

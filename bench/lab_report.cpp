// The lab report at scale: 1,000,000 plantings and 10,000 plates of 96 wells on a private
// PostgreSQL cluster, ten stations with two operators each over thirty days. Times the
// report read and each of its outputs, and the page's size.
#include "labreport.h"
#include "labreportoutput.h"
#include "pgcluster.h"
#include "pgconnection.h"

#include "benchsupport.h"
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const char* const kNow = "2024-06-30 18:00:00";

const char* const kFillSql[] = {
    "INSERT INTO usua SELECT g, 'Operador ' || g, 'OP' || g, 'x' FROM generate_series(1, 20) g",
    "INSERT INTO estacao (nome, operacao, lote, papel, cb_ncc, cb_nc_plantio)"
    " SELECT 'BANCADA' || lpad(g::text, 2, '0'), CASE WHEN g > 5 THEN 1 ELSE 0 END,"
    " 'LOTE' || (g % 2), 'r_bancada' || g, 1, 1 FROM generate_series(1, 10) g",
    "INSERT INTO lote SELECT g, 'SUB-LOTE ' || g, 10000, 'LOTE' || (g % 2)"
    " FROM generate_series(1, 100) g",
    // Plantings g = 1..1,000,000: station and operator by block, one every few seconds of a day.
    "INSERT INTO plantio SELECT g % 100 + 1, g, 5000000 + g, (g / 50000) % 20 + 1,"
    " to_char(timestamp '2024-06-01 07:00:00' + (g % 30) * interval '1 day'"
    "  + (g / 30 % 36000) * interval '1 second', 'YYYY-MM-DD HH24:MI:SS'), 'PC',"
    " 'BANCADA' || lpad(((g / 50000) % 5 + 1)::text, 2, '0') FROM generate_series(1, 1000000) g",
    "INSERT INTO placa SELECT g, g, 'PLACA' || lpad(g::text, 5, '0'), 8, 12, 'LOTE' || (g % 2)"
    " FROM generate_series(1, 10000) g",
    "INSERT INTO placa_poco (id_placa, placa, poco, linha, coluna, seq_coleta, amostra,"
    " status_poco) SELECT p, p, chr(64 + (s - 1) % 8 + 1) || ((s - 1) / 8 + 1), (s - 1) % 8 + 1,"
    " (s - 1) / 8 + 1, s, CASE WHEN s > 94 THEN 'C' ELSE 'T' END, 0"
    " FROM generate_series(1, 10000) p, generate_series(1, 96) s",
    // Nine plates in ten collected whole, by the five collection stations.
    "INSERT INTO placa_poco SELECT id_placa, placa, poco, linha, coluna, seq_coleta, amostra, 1,"
    " id_placa * 100 + seq_coleta, 11 + id_placa % 10, to_char(timestamp '2024-06-01 08:00:00'"
    "  + (id_placa % 30) * interval '1 day' + seq_coleta * interval '20 second',"
    "  'YYYY-MM-DD HH24:MI:SS'), 'PC', 'BANCADA' || lpad((6 + id_placa % 5)::text, 2, '0'), now()"
    " FROM placa_poco WHERE amostra = 'T' AND id_placa % 10 <> 0",
    "INSERT INTO transmissao (estacao, inicio, fim, enviados, aceitos, ja_presentes, recusados)"
    " SELECT nome, timestamp '2024-06-30 06:00:00' - id * interval '5 hour',"
    " timestamp '2024-06-30 06:00:00' - id * interval '5 hour', 1, 1, 0, 0 FROM estacao",
    "VACUUM ANALYZE",
};

QString BigLab()
{
    static const QString url = [] {
        const QString created = PgCluster::Instance().NewDatabase();
        PgConnection lab(created);
        lab.Exec(QStringLiteral("SET client_min_messages = warning"));
        QProcess::execute(QStringLiteral(TRESSALIN_ADMIN_PATH),
                          {QStringLiteral("servidor"), QStringLiteral("criar"), created});
        for (const char* sql : kFillSql)
            lab.Exec(QString::fromLatin1(sql));
        return created;
    }();
    return url;
}

enum Output { Text, Xlsx, Html };

void BM_LabReport(benchmark::State& state)
{
    const auto output = Output(state.range(0));
    PgConnection lab(BigLab());
    QTemporaryDir dir;
    const QString path =
        dir.filePath(output == Xlsx ? QStringLiteral("r.xlsx") : QStringLiteral("r.html"));
    qint64 bytes = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const LabReport report = ReadLabReport(lab, QString::fromLatin1(kNow));
        if (output == Text)
            bytes = LabReportText(report).toUtf8().size();
        else if (output == Xlsx)
            WriteLabReportXlsx(report, path);
        else
            WriteLabReportHtml(report, path);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (output != Text)
            bytes = QFileInfo(path).size();
        if (report.Placas.size() != 10000)
            state.SkipWithError("the report lacks plates");
    }
    state.counters["output_MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_LabReport)
    ->ArgName("saida_texto0_xlsx1_html2")
    ->Arg(Text)
    ->Arg(Xlsx)
    ->Arg(Html)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}

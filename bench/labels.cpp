// 10,000 EAN-13 plant labels (two text lines each) on A4 sheets of 5 x 13, written to a new
// PDF as "tressalin-admin etiquetas" does. Target: <= 5 s and <= 20 MB.
#include "tlabels.h"
#include "xean.h"

#include "benchsupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kLabels = 10000;

TLabelJob PlantLabels()
{
    TLabelJob job;
    for (int i = 0; i < kLabels; ++i) {
        const QString digits = QString::number(Q_INT64_C(789100000001) + i);
        job.Labels.push_back(
            {TSymbology::Ean13,
             digits + QString::number(EanCheckDigit(digits)),
             {QStringLiteral("NC %1").arg(5000 + i / 3), QStringLiteral("REP %1").arg(i % 3 + 1)}});
    }
    return job;
}

void BM_TenThousandEan13LabelsToPdf(benchmark::State& state)
{
    const TLabelJob job = PlantLabels();
    const TLabelSheet& sheet = *FindLabelSheet(QStringLiteral("a4-5x13"));
    QTemporaryDir dir;
    int run = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        const QString path = dir.filePath(QStringLiteral("etiquetas%1.pdf").arg(++run));
        ExportLabels(path, sheet, 203, job);
        bytes = QFile(path).size();
    }
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
    state.counters["file_MB"] = double(bytes) / (1024.0 * 1024.0);
    state.counters["pages"] = double((kLabels + sheet.PerPage() - 1) / sheet.PerPage());
}
BENCHMARK(BM_TenThousandEan13LabelsToPdf)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}

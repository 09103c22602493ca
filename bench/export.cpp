// Spreadsheet export of a 100,000-row, 7-column report: through TXXLS alone, and the whole
// grid export from a query on a station file. Target: <= 3 s and <= 300 MB peak RSS.
#include "data/txconnection.h"
#include "data/txquery.h"
#include "data/xstationfile.h"
#include "gridexport.h"
#include "txdbgrid.h"
#include "txxls.h"
#include "xmessages.h"

#include "benchsupport.h"
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 7;

// One report row as the planting report has it: texts, big codes, a date text, a status.
QVariant CellValue(int row, int column)
{
    switch (column) {
    case 0:
        return QStringLiteral("SL-%1").arg(row / 250, 4, 10, QLatin1Char('0'));
    case 1:
        return double(789000000000LL + row);
    case 2:
        return double(500000 + row);
    case 3:
        return QStringLiteral("2024-03-%1 10:%2:00")
            .arg(row % 28 + 1, 2, 10, QLatin1Char('0'))
            .arg(row % 60, 2, 10, QLatin1Char('0'));
    case 4:
        return QStringLiteral("op%1").arg(row % 12);
    case 5:
        return QStringLiteral("Operador Número %1").arg(row % 12);
    }
    return row % 3 ? QStringLiteral("A Transmitir") : QStringLiteral("Transmitido");
}

void BM_XLSExport(benchmark::State& state)
{
    QTemporaryDir dir;
    int run = 0;
    for (auto _ : state) {
        TXXLS xls;
        xls.SetNewFile(true);
        xls.SetFileName(dir.filePath(QStringLiteral("export%1.xlsx").arg(run++)));
        if (!xls.Open())
            state.SkipWithError("Open failed");
        for (int column = 1; column <= kColumns; ++column)
            xls.SetCell(column, 1, QStringLiteral("Coluna %1").arg(column));
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column)
                xls.SetCell(column + 1, row + 2, CellValue(row, column));
        }
        const QString header = QStringLiteral("A1:") + TXXLS::CellName(1, kColumns);
        const QString table = QStringLiteral("A1:") + TXXLS::CellName(kRows + 1, kColumns);
        xls.SetColor(header, 0x808080);
        xls.AutoFit(header);
        xls.SetAlignment(table, TXXLS::xlCenter);
        xls.SetBorders(table, TXXLS::xlContinuous);
        if (!xls.Save())
            state.SkipWithError(xls.LastErrorMessage().toUtf8().constData());
        xls.Close();
    }
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
}
BENCHMARK(BM_XLSExport)->Unit(benchmark::kMillisecond)->Iterations(3);

// A station file with a 100,000-row report table.
void FillStation(TXConnection& conn)
{
    TXCommand command(&conn);
    command.SetCommandText(QStringLiteral(
        "CREATE TABLE Rel (SUB_LOTE TEXT(20), NCC DOUBLE, NC_PLANTIO DOUBLE, DATA_PLANTIO "
        "TEXT(20), CODIGO TEXT(15), NOME TEXT(60), STATUS TEXT(20))"));
    command.Execute();
    conn.BeginTrans();
    command.SetCommandText(QStringLiteral("INSERT INTO Rel VALUES (:a, :b, :c, :d, :e, :f, :g)"));
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const QVariant value = CellValue(row, column);
            TXParameter& parameter = command.ParamByName(QString(QChar(u'a' + column)));
            if (value.typeId() == QMetaType::Double)
                parameter.SetFloat(value.toDouble());
            else
                parameter.SetString(value.toString());
        }
        command.Execute();
    }
    conn.CommitTrans();
}

void BM_GridExport(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    CreateStationFile(path, QStringLiteral("senha"));
    TXConnection conn;
    conn.SetConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                             path + QStringLiteral(";Jet OLEDB:Database Password=senha"));
    conn.Open();
    FillStation(conn);
    TXQuery query(&conn);
    query.SetSQL(QStringLiteral("SELECT * FROM Rel"));
    query.Open();
    TXDBGrid grid;
    grid.SetQuery(&query);
    QList<TXGridColumn> columns;
    for (const QString& field : query.FieldNames())
        columns.append({field, field, 100, Qt::AlignLeft | Qt::AlignVCenter});
    grid.SetColumns(columns);
    BoxCounter presenter;

    int run = 0;
    for (auto _ : state) {
        TXXLS xls;
        const QString target = dir.filePath(QStringLiteral("grid%1.xlsx").arg(run++));
        if (!ExportQueryGridToXLS(target, &grid, &xls) || presenter.Errors)
            state.SkipWithError("export failed");
    }
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
}
BENCHMARK(BM_GridExport)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}

// The scanning loop of a planting station, for the kill test: opens a station
// file through the data layer and records one planting per "scan" with the
// planting screen's own statement and parameter types, printing each key once
// its commit has returned. Runs until killed or COUNT plantings are recorded.
// Usage: robustness_scanloop STATION FIRST_NC_PLANTIO COUNT

#include "data/txconnection.h"
#include "data/txquery.h"
#include "plantiosql.h"
#include "stationbuilder.h"
#include "tfmain.h"
#include "xexception.h"

#include <cstdio>

namespace {

constexpr int kLote = 1;
constexpr int kOperator = 1;
// Keeps NCC apart from NC Plantio, as two scanned codes are.
constexpr qint64 kNccOffset = 500'000'000;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("Uso: robustness_scanloop ESTACAO PRIMEIRO_NC_PLANTIO QUANTIDADE\n", stderr);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const qint64 first = QByteArray(argv[2]).toLongLong();
    const qint64 count = QByteArray(argv[3]).toLongLong();
    try {
        auto connection = OpenStation(path);
        TXCommand QAtu(connection.get());
        for (qint64 ncPlantio = first; ncPlantio < first + count; ++ncPlantio) {
            QAtu.SetCommandText(kPlantioInsertSQL);
            QAtu.ParamByName(QStringLiteral("id_slote")).SetInteger(kLote);
            QAtu.ParamByName(QStringLiteral("nc_plantio")).SetLargeInt(ncPlantio);
            QAtu.ParamByName(QStringLiteral("ncc")).SetLargeInt(ncPlantio + kNccOffset);
            QAtu.ParamByName(QStringLiteral("id_user")).SetInteger(kOperator);
            QAtu.ParamByName(QStringLiteral("data_plantio")).SetString(NowAsText());
            QAtu.Execute();
            // Flushed line by line: one write() per key, so the pipe never holds half a key.
            std::printf("%lld\n", static_cast<long long>(ncPlantio));
            std::fflush(stdout);
        }
    } catch (const XException& error) {
        std::fprintf(stderr, "%s\n", error.Message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

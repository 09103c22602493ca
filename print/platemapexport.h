#pragma once

#include "tplatemap.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TXWorkbook;

/** The forms a plate map is exported in. */
enum class TPlateMapFormat { Xlsx, Csv, Pdf, Brapi };

/** "xlsx", "csv", "pdf", "brapi" (letter case ignored); false for anything else. */
bool ParsePlateMapFormat(const QString& text, TPlateMapFormat* format);
/** The usual file extension of a format, dot included (".json" for BrAPI). */
QString PlateMapExtension(TPlateMapFormat format);

/** The sample types a BrAPI vendor submission accepts. */
inline const QStringList kBrapiSampleTypes = {QStringLiteral("DNA"), QStringLiteral("RNA"),
                                              QStringLiteral("Tissue")};

/** What the exports write besides the plates. */
struct TPlateMapExportOptions
{
    QString ClientId;                              // BrAPI clientId
    QString SampleType = QStringLiteral("Tissue"); // one of kBrapiSampleTypes
    QDateTime Printed;                             // the date on the printed page
};

/** Called after each plate is written: plates done so far and how many in all. */
using TPlateMapProgress = std::function<void(int done, int total)>;

/**
 * One sheet per plate, named after its code (made valid and unique), laid out
 * as the plate with a header of code, station and collection times. Sample
 * codes are whole numbers, controls marked and filled red, collected wells
 * green, free wells white.
 */
std::unique_ptr<TXWorkbook> PlateMapWorkbook(const std::vector<TPlateMap>& plates,
                                             const TPlateMapProgress& progress = {});

/** UTF-8, ";"-separated, a header row, then one line per well in collection order. */
QByteArray PlateMapCsv(const std::vector<TPlateMap>& plates,
                       const TPlateMapProgress& progress = {});

/**
 * Why a plate cannot go in a BrAPI vendor submission (not 8 x 12, or nothing
 * collected); empty when it can.
 */
QString BrapiRefusal(const TPlateMap& plate);

/**
 * A BrAPI v2 vendor plate submission request body: the collected sample wells
 * of each plate; control and empty wells are left out. Raises XException with
 * the refusal of the first plate that cannot be sent, or for an unknown
 * sample type.
 */
QByteArray PlateMapBrapi(const std::vector<TPlateMap>& plates,
                         const TPlateMapExportOptions& options,
                         const TPlateMapProgress& progress = {});

/**
 * Writes a new file at path: write fills a temporary file beside it, which is
 * flushed and moved into place only while the name is still free. Never
 * replaces a file; on any failure nothing is left at path. Raises XException
 * ("O arquivo ... já existe." when the name was taken).
 */
void WriteNewFile(const QString& path, const std::function<void(const QString& temporary)>& write);

/**
 * Exports the plates in a format (sheet, CSV, BrAPI, PDF) into a new file,
 * with WriteNewFile. Raises XException on refusal or failure.
 */
void ExportPlateMaps(TPlateMapFormat format, const std::vector<TPlateMap>& plates,
                     const QString& path, const TPlateMapExportOptions& options,
                     const TPlateMapProgress& progress = {});

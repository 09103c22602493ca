#pragma once

#include "platemapexport.h"

/**
 * Prints the plates into a PDF at path with libharu (the file is written
 * directly; ExportPlateMaps makes a new file that never replaces one): A4
 * landscape, one page per plate, with the plate code as text and as a barcode
 * (EAN-13 or Code 128), the station, the print date, the counts and the plate
 * drawn with each well's sample code. Raises XException when there is no
 * plate or the file cannot be written.
 */
void WritePlateMapPdf(const QString& path, const std::vector<TPlateMap>& plates,
                      const TPlateMapExportOptions& options,
                      const TPlateMapProgress& progress = {});

#pragma once

#include <QString>
#include <optional>

class QIODevice;

/**
 * Stands in for the central server's pickup. Writes the rows not yet
 * transmitted as CSV (csvtext.h, header row first) to out and marks them
 * transmitted, in one transaction: the plantings without ORIGEM_PLANTIO of a
 * planting station, or the collected wells without ORIGEM_COLETA of a
 * collection station, get origem. An empty origem means the station's MAQUINA,
 * or this computer's name while the file is not bound yet. The output is
 * written before the commit, so a failed commit may repeat rows next time but
 * never loses one. Raises XException; returns the number of rows.
 */
int TransmitStation(const QString& databasePath, const std::optional<QString>& origem,
                    QIODevice* out);

#pragma once

#include "pgconnection.h"
#include "stationregistry.h"

#include <QList>
#include <vector>
#include <QString>
#include <QStringList>

/** The rows of one station table the server gives a station, in the station's column order. */
struct StationTableData
{
    QString Table;       // the station's table name ("Lote", "Placa_Poco", ...)
    QStringList Columns; // the station's column names
    PgResult Rows;
};

/**
 * What a station file holds from the server, read in one consistent snapshot:
 * the users and plants; for a planting station the sub-batches of its batch;
 * for a collection station its batch's sub-batches, the plantings received for
 * them, its batch's plates and their wells as the server knows them (a well
 * another station collected carries that station's origin). Raises PgError.
 */
std::vector<StationTableData> ReadStationData(PgConnection& connection, const RegisteredStation& station);

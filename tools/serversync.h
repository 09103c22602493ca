#pragma once

#include "eancode.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

/** How a master table from CSV goes to the server: batch for sub-batches and plates, code types. */
struct ServerImportOptions
{
    QString Lote; // required for Lote and Placa
    BarcodeType CbNcc = BarcodeType::Ean13;
    BarcodeType CbNcPlantio = BarcodeType::Ean13;
};

/** What a server import did. */
struct ServerImportResult
{
    int Inserted = 0;
    int Unchanged = 0;
};

/**
 * Loads a CSV file of sub-batches, plants, plates, wells or users into the
 * server with the station import's rules and messages (all or nothing; label
 * codes with their check digit accepted). A row the server already holds
 * unchanged is not an error. Raises XException.
 */
ServerImportResult ImportCsvToServer(const QString& url, const QString& table,
                                     const QString& csvPath, const ServerImportOptions& options);

/** One table of a preparation or an update, and how many rows it gained. */
struct TableCount
{
    QString Table;
    int Rows = 0;
};

/**
 * Writes a new station file for a registered station from the server: its
 * configuration (bound to the station's computer when the server knows it)
 * and the master data of ReadStationData. Never overwrites; on failure no file
 * is left. Raises XException.
 */
QList<TableCount> PrepareStation(const QString& url, const QString& estacao, const QString& path);

/**
 * Brings a station file prepared from the server up to date in one local
 * transaction: adds the rows it lacks and fills the empty wells another station
 * collected; never changes what the station recorded itself. Raises XException.
 */
QList<TableCount> UpdateStation(const QString& url, const QString& path);

/** A row the server refused, as the station sent it and as the server holds it. */
struct TransmitConflict
{
    QString StationValues;
    QString ServerValues;
    QString Reason;
};

/** What a transmission to the server did. */
struct ServerTransmission
{
    QString Estacao;
    int Sent = 0;
    int Inserted = 0;
    int AlreadyPresent = 0;
    int Marked = 0;
    int Archives = 0;
    QList<TransmitConflict> Conflicts;
};

/**
 * Sends the station's untransmitted plantings or collected wells and its
 * deletion archives to the server in one server transaction; once the server
 * committed, marks exactly the rows it accepted (origin = the file's MAQUINA)
 * in one local transaction that touches only rows still untransmitted and
 * unchanged. Raises XException; the file is then unchanged.
 */
ServerTransmission TransmitToServer(const QString& path, const QString& url);

/** The demo lab: batch, stations and their operation, for the summary printed. */
struct DemoServer
{
    QStringList Lines;
};

/**
 * Creates the central schema if needed and fills it with a demo lab: one
 * batch with four sub-batches, 300 plants, four plates, the demo users, and
 * two planting and two collection stations. Raises XException.
 */
DemoServer FillDemoServer(const QString& url);

#pragma once

#include "stationbuilder.h"

#include <QList>
#include <QString>

class TXConnection;

/** One scannable code of the demo: its kind ("planta", "plantio", "placa"), the code, a note. */
struct DemoCode
{
    QString Kind;
    QString Code;
    QString Note;
};

/** Codes of one kind and state, under a title. */
struct DemoCodeSection
{
    QString Title;
    QList<DemoCode> Codes;
};

/** A demo user and his plain password. */
struct DemoUser
{
    QString Codigo;
    QString Nome;
    QString Senha;
};

/** The users every demo station has: ADMIN / 1234 and OPERADOR / 4321. */
const QList<DemoUser>& DemoUsers();

/**
 * The demo settings: EAN-13 codes unless told otherwise, a planting range covering the demo, the
 * shipped alert sound.
 */
StationOptions DemoStationOptions(StationOperation operation, BarcodeType ncc = BarcodeType::Ean13,
                                  BarcodeType ncPlantio = BarcodeType::Ean13);

/**
 * Fills an empty station file with demo data for its operation and returns
 * its scannable codes. Planting: four sub-batches, 300 plants, 60 plantings
 * transmitted and 40 not. Collection: 400 plantings, four 96-well plates with
 * two control wells each; plate 1 collected and transmitted, plate 2 partly
 * collected, plates 3 and 4 empty. Codes follow the file's barcode types.
 * Raises XException on a database error; the caller owns the transaction.
 */
QList<DemoCodeSection> AddDemoData(TXConnection* connection);

/** The code list file written next to a demo file: "<name>-codigos.txt". */
QString DemoCodesPath(const QString& databasePath);

/** The text of the code list: a heading with the users, then one section per kind. */
QString DemoCodesText(const QString& databasePath, StationOperation operation,
                      const QList<DemoCodeSection>& sections);

/**
 * Creates a demo station file and its code list. Refuses when either file
 * exists; on failure neither is left behind. Raises XException.
 */
void CreateDemoStation(const QString& path, const StationOptions& options);

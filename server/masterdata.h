#pragma once

#include "pgconnection.h"

#include <QList>
#include <QString>
#include <QStringList>

/** Checked master rows for one server table (lote, planta, usua, placa, placa_poco). */
struct MasterRows
{
    QString Table;
    QStringList Columns; // server column names
    QList<QList<PgValue>> Rows;
    QList<int> Lines; // the CSV line of each row, for messages
};

/** What storing master rows did. */
struct MasterStoreResult
{
    int Inserted = 0;
    int Unchanged = 0; // already there with the same values
};

/**
 * Stores master rows all or nothing, in one transaction. A row whose key the
 * server already holds with the same values is left as it is (a password
 * counts as the same when it unscrambles to the same text); with other values
 * it is refused with "Linha N: ..." and nothing is stored. Raises XException.
 */
MasterStoreResult StoreMasterRows(PgConnection& connection, const MasterRows& rows);

/** The ids of the plates the server holds (for the wells' reference check). */
QList<qint64> ServerPlateIds(PgConnection& connection);

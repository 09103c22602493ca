#pragma once

#include "pgconnection.h"

#include <QList>
#include <QString>
#include <QStringList>

/** What a station transmits: its plantings or its collected wells. */
enum class ReceivedTable { Plantio, PlacaPoco };

/** The columns of a transmitted row, in the order ReceiveBatch::Rows gives them. */
QStringList ReceivedColumns(ReceivedTable table);

/** The columns of a deletion archive row (the station's *_Exc table), in order. */
QStringList ArchiveColumns(ReceivedTable table);

/**
 * The SQL expression that prints a transmitted row's values, "id_slote=1, nc_plantio=123, ...",
 * as conflito keeps them and a data manager compares them; alias names the row.
 */
QString DescribedRow(ReceivedTable table, const QString& alias);

/** One transmission: the station, its computer (the origin written) and its rows. */
struct ReceiveBatch
{
    QString Estacao;
    QString Maquina;
    ReceivedTable Table = ReceivedTable::Plantio;
    QList<QList<PgValue>> Rows;
    QList<QList<PgValue>> Archives;
};

/** A row the server refused: both sides' values and why. */
struct RefusedRow
{
    int Index = 0; // into ReceiveBatch::Rows
    QString StationValues;
    QString ServerValues;
    QString Reason;
};

/** What the server holds after the transmission committed. */
struct ReceiveResult
{
    QList<int> Accepted; // indexes into Rows the server now holds, from this station, as sent
    int Inserted = 0;
    int AlreadyPresent = 0;
    QList<RefusedRow> Refused; // also kept in conflito
};

/**
 * Stores a transmission in one server transaction: rows the server lacks are
 * inserted under the station's name with origem = Maquina, a row it already
 * holds from this station with the same values counts as accepted, and a row
 * that clashes with other data is refused and recorded in conflito. Deletion
 * archives are stored once each. The computer is registered for the station
 * on its first transmission, and must match afterwards. One row of transmissao
 * records the counts. Raises PgError or XException; then nothing was stored.
 */
ReceiveResult ReceiveRows(PgConnection& connection, const ReceiveBatch& batch);

#pragma once

#include "data/txconnection.h"

#include <QPointer>
#include <QString>

// Statements and text builders of the planting screen; none of them needs a window.

/** The sub-batch list. */
inline const QString kLotesSQL =
    QStringLiteral("SELECT id_slote, nome, qte_tratamento   FROM Lote ORDER BY id_slote ");

/** The plantings of one sub-batch ("pl" is Plantio, "p" Planta); see PlantioGridSQL. */
inline const QString kPlantioGridSelectSQL = QStringLiteral(
    "SELECT pl.id_slote, pl.data_plantio, pl.ncc, p.nc, p.rep, pl.nc_plantio, pl.origem_plantio"
    "   FROM Plantio pl INNER JOIN Planta p     ON ( pl.ncc = p.ncc ) ");

/**
 * The grid's row of one planting of a sub-batch (:slote integer; :nc_plantio,
 * :ncc its key), read only while no planting of the sub-batch is newer: then
 * it goes at the top of the grid (newest first) without re-reading the others.
 * Both conditions are index lookups, whatever the size of the sub-batch.
 */
inline const QString kPlantioGridNewestRowSQL =
    kPlantioGridSelectSQL +
    QStringLiteral(" WHERE (pl.id_slote = :slote) AND (pl.nc_plantio = :nc_plantio) AND "
                   "(pl.ncc = :ncc) AND NOT EXISTS (SELECT 1 FROM Plantio n WHERE "
                   "(n.id_slote = pl.id_slote) AND (n.data_plantio > pl.data_plantio)) ");

/**
 * Target count and plantings of one sub-batch (:slote integer). The sub-batch
 * is selected in WHERE, not HAVING after a RIGHT JOIN over every sub-batch:
 * same single row, but an index range of one sub-batch's plantings instead of
 * grouping the whole table on every scan.
 */
inline const QString kLoteFaltandoSQL = QStringLiteral(
    "SELECT slt.id_slote, slt.qte_tratamento, count(1) as qte_plantado, p.id_slote as "
    "slote_plantio   FROM Lote slt LEFT JOIN Plantio p        ON ( p.id_slote = slt.id_slote) "
    " WHERE (slt.id_slote = :slote)  GROUP BY slt.id_slote, slt.qte_tratamento, p.id_slote ");

/**
 * The remaining-count panel's figure for one sub-batch: its target minus its
 * plantings (kLoteFaltandoSQL). Counting walks all the sub-batch's plantings,
 * so the figure is kept and each planting this connection adds takes one off
 * it; it is counted again for another sub-batch or connection, or when
 * anything else changed the file (TXConnection::ChangeStamp).
 */
class LoteFaltando
{
public:
    /** 0 for no such sub-batch; the target for one without plantings. Raises XException. */
    int Remaining(TXConnection* connection, int loteId);
    /** Called after an inclusion into loteId: when it was the connection's one change since
     *  Remaining, the kept figure drops by one, else the next Remaining counts again. */
    void Planted(TXConnection* connection, int loteId);

private:
    QPointer<TXConnection> m_connection; // null: nothing kept
    int m_loteId = -1;
    TXChangeStamp m_stamp;
    int m_remaining = 0;
};

/** The plant and its planting, if any (:ncc float). */
inline const QString kValidNccSQL = QStringLiteral(
    "SELECT d.ncc, d.nc, d.rep, pl.id_slote, pl.nc_plantio, pl.data_plantio, pl.origem_plantio,"
    "         lt.nome as sublote   FROM (Planta d LEFT OUTER JOIN Plantio pl     ON ( d.ncc = "
    "pl.ncc ))                              LEFT OUTER JOIN Lote lt     ON ( pl.id_slote = "
    "lt.id_slote )  WHERE (d.ncc = :ncc) ");

/** A planting already made with an NC Plantio (:ncp float). */
inline const QString kValidNcpSQL = QStringLiteral(
    "SELECT p.ncc, p.origem_plantio, d.nc, d.rep, p.origem_plantio, p.data_plantio    FROM "
    "Plantio p left outer join Planta d     ON ( p.ncc = d.ncc)  WHERE (p.nc_plantio = :ncp) ");

/**
 * An inclusion; origem_plantio stays null (not transmitted). The row is written
 * only while no planting holds the NC Plantio and the plant is not planted, so
 * a code stored by another writer since the checks makes it write nothing.
 */
inline const QString kPlantioInsertSQL = QStringLiteral(
    "INSERT INTO Plantio ( id_slote, nc_plantio, ncc, id_user, data_plantio )  SELECT "
    ":id_slote, :nc_plantio, :ncc, :id_user, :data_plantio "
    " WHERE NOT EXISTS (SELECT 1 FROM Plantio p WHERE (p.nc_plantio = :nc_plantio)) "
    "   AND NOT EXISTS (SELECT 1 FROM Plantio p WHERE (p.ncc = :ncc) AND (p.nc_plantio > 0))");

/**
 * Removes the one planting the archive copy describes, and only while it is
 * still not transmitted (:ncc, :nc_plantio float; :id_slote integer;
 * :data_plantio string).
 */
inline const QString kPlantioDeleteSQL =
    QStringLiteral("DELETE FROM Plantio WHERE (ncc = :ncc)    AND (origem_plantio is null)"
                   "    AND (id_slote = :id_slote)    AND (nc_plantio = :nc_plantio)"
                   "    AND (data_plantio = :data_plantio)");

/** The text between single quotes, inner quotes doubled, as SQL assembled as text needs it. */
QString QuotedSQLText(const QString& text);

/** A list item of the sub-batch choice: the id with at least two digits, " - ", the name. */
QString LoteItemText(int id, const QString& nome);
/** The id before the first "-" of a list item; -1 when the text there is not a number. */
int LoteIdFromItem(const QString& item);

/** The grid statement for a sub-batch (-1: none, so no rows), with an optional extra condition. */
QString PlantioGridSQL(int loteId, const QString& filter);

/** The row of a planting to archive, as the grid shows it. */
struct PlantioKey
{
    int IdSlote = 0;
    double NcPlantio = 0;
    double Ncc = 0;
    QString DataPlantio;
};

/**
 * Copies the planting into Plantio_Exc with the authorising user and the time,
 * provided it is still not transmitted; numbers are written in general form,
 * texts quoted.
 */
QString PlantioCopyExcSQL(const PlantioKey& row, int authorizerId, const QString& now);

/** Where a planting was made: its origin when set and not this machine, else " Nesse computador.".
 */
QString MachineText(const QString& origem, const QString& maquina);

/** The question asked before a deletion. */
QString PlantioDeleteQuestion(double ncc, double nc, double rep, double ncPlantio);

/**
 * Appends " (pl.<column> = <code without check digit>) " to filter (after " AND "
 * when filter is not empty) for a code that passes the barcode check of
 * codeType. An empty code (blanks trimmed) adds nothing. A rejected code
 * answers false with the text to alert in rejection.
 */
bool AddFiltro(const QString& code, const QString& column, const QString& codeType, QString& filter,
               QString& rejection);

/**
 * The grid filter from the two code fields: the NC Plantio condition, then,
 * only when the NC Plantio code was not rejected, the NCC condition. rejection
 * is the first refusal's text (the screen alerts it), empty when none.
 */
QString BuildFiltro(const QString& ncpText, const QString& ncpType, const QString& nccText,
                    const QString& nccType, QString& rejection);

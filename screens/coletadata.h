#pragma once

#include <QString>

class TPlaca;
class TXCommand;
class TXConnection;
class TXQuery;

// Statements of the collection screen. Jet dialect; parameters typed by the callers.

/** The plate and its "T" wells grouped by state and origin; :codigo_placa, :amostra (strings). */
inline const QString kLoadPlacaSQL = QStringLiteral(
    "SELECT p.id_placa, p.codigo, p.tlinha, p.tcoluna,         IIF( (pc.nc_plantio is null), 0, "
    "pc.status_poco) AS status,        pc.origem_coleta, Count(1) as Qte_Poco   FROM Placa p LEFT "
    "OUTER JOIN Placa_Poco pc     ON ( p.id_placa = pc.id_placa )  WHERE (p.codigo = "
    ":codigo_placa)    AND (pc.amostra = :amostra) GROUP BY p.id_placa, p.codigo, p.tlinha, "
    "p.tcoluna, IIF( (pc.nc_plantio is null), 0, pc.status_poco), pc.origem_coleta  ORDER BY "
    "pc.origem_coleta");

/** The wells of a plate in collection order; :id_placa (integer). */
inline const QString kLoadPlacaPocoSQL = QStringLiteral(
    "SELECT pc.poco, pc.linha, pc.coluna, pc.seq_coleta AS seq, pc.amostra,         "
    "pc.nc_plantio, pc.origem_coleta   FROM Placa_Poco pc  WHERE (pc.id_placa = :id_placa)  "
    "ORDER BY pc.seq_coleta ");

/** The planting of an NC Plantio and the well holding it, if any; :ncp (float). */
inline const QString kColetaNcpSQL = QStringLiteral(
    "SELECT p.ncc, pc.data_coleta, pc.poco, pc.origem_coleta, plc.codigo    FROM (Plantio p "
    "LEFT OUTER JOIN Placa_Poco pc            ON ( p.nc_plantio = pc.nc_plantio))          LEFT "
    "OUTER JOIN Placa plc            ON (pc.id_placa = plc.id_placa )  WHERE (p.nc_plantio = "
    ":ncp) ");

/**
 * Fills one well. Only a well still empty is filled, and only while no well
 * holds the planting: a well filled, or the planting collected, by another
 * writer since the checks makes the statement change no row.
 */
inline const QString kGravarColetaSQL = QStringLiteral(
    "UPDATE Placa_Poco SET  nc_plantio =:nc_plantio, user_coleta = :user_coleta, data_coleta = "
    ":data_coleta, status_poco = :status_poco  WHERE (id_placa = :id_placa)    AND (poco = :poco) "
    " AND (nc_plantio Is Null)  AND NOT EXISTS (SELECT 1 FROM Placa_Poco outro"
    "  WHERE (outro.nc_plantio = :nc_plantio))");

/** Frees the wells of a plate; :id_placa (integer), plus :poco (string) with kPocoFilter. */
inline const QString kResetPocoSQL = QStringLiteral(
    "UPDATE Placa_Poco   SET status_poco=0,        nc_plantio=null,        user_coleta=null,    "
    "    data_coleta=null  WHERE (id_placa = :id_placa) ");
inline const QString kPocoFilter = QStringLiteral(" AND (poco = :poco)");

/** The wells a deletion may touch: collected and not yet transmitted. */
inline const QString kDeletableFilter = QStringLiteral(
    " AND (nc_plantio IS NOT NULL) AND ((origem_coleta Is Null) OR (origem_coleta = ''))");

/** A transmitted well of a plate, with kPocoFilter for one well; :id_placa, :poco. */
inline const QString kTransmittedSQL = QStringLiteral(
    "SELECT poco, origem_coleta   FROM Placa_Poco  WHERE (id_placa = :id_placa)    AND "
    "(origem_coleta Is Not Null) AND (origem_coleta <> '')");

/** Text between single quotes with every inner single quote doubled. */
QString QuotedStr(const QString& text);

/** The collected wells of a plate, newest first. */
QString GridSQL(int idPlaca);

/** What a collection deletion undoes: a whole plate, or one well named by its label. */
enum class TExclusaoKind { Placa, Poco };

/**
 * The archive copy of a deletion: every collected, untransmitted well of the
 * plate, or (kind Poco) only the well labelled poco, an empty label included,
 * with the authorising user and the time.
 */
QString CopyRegExcSQL(int deleteAuthorizerId, const QString& now, int idPlaca, TExclusaoKind kind,
                      const QString& poco = QString());

/**
 * The computer recorded on a plate's wells: starts with maquina and takes
 * every non-empty origem_coleta that differs from it, walking the rows of
 * kLoadPlacaSQL from the first; the last one wins. Leaves the query on its end.
 */
QString GetMaquinaColeta(TXQuery& rows, const QString& maquina);

/**
 * Replaces the plate's wells by those of IdPlaca, in collection order. A well
 * counts as collected when its nc_plantio reads as a number other than 0.
 * Raises XException on a database error (the wells read until then stay).
 */
void ReadPlacaPocos(TXConnection* connection, TPlaca& placa);

/** What a collection deletion did. */
enum class TExclusaoResult {
    Done,             // archived and freed together
    PlacaTransmitida, // a well of the plate was transmitted: nothing done
    PocoTransmitido,  // the well was transmitted: nothing done
    CopyFailed,       // the archive copy failed: nothing done
    ResetFailed       // freeing the wells failed: the copy was undone as well
};

struct TExclusaoOutcome
{
    TExclusaoResult Result = TExclusaoResult::Done;
    QString Error; // the database's message for the failed steps
    int Copied = 0;
    int Freed = 0;
};

/**
 * Undoes the collection of a plate or of the well labelled poco, in one
 * transaction: checks again that nothing concerned was transmitted, copies
 * the collected wells into Placa_Poco_Exc and frees exactly those wells with
 * reset (the screen's command, its text and parameters replaced). Either both
 * statements take effect or neither. Shows nothing.
 */
TExclusaoOutcome ExcluirColeta(TXConnection* connection, TXCommand& reset, int idPlaca,
                               TExclusaoKind kind, const QString& poco, int deleteAuthorizerId,
                               const QString& now);

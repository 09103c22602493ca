#pragma once

#include <QString>
#include <QStringList>

class TXConnection;

/** The tables import accepts: Lote, Planta, Plantio, Placa, Placa_Poco, Usua. */
QStringList ImportableTables();

/**
 * Imports CSV text (see csvtext.h) into a table: the first record names the
 * columns (any order and letter case; every NOT NULL column must be there), each
 * further record is one row. An empty field is null. Numbers are written in
 * decimal without thousands separators ("," or "." before decimals). For Usua,
 * CODIGO and SENHA are trimmed and upper-cased as the login dialog types them,
 * and SENHA, given in plain text, is stored scrambled.
 *
 * All or nothing: every record is checked before anything is written, and the
 * rows are inserted in one transaction. Raises XException with a Portuguese
 * message naming the line (and the column) of the first bad record; the file is
 * then unchanged. Returns the number of rows imported.
 */
int ImportCsv(TXConnection* connection, const QString& table, const QString& csvText);

/** Reads a UTF-8 CSV file and imports it as ImportCsv does. */
int ImportCsvFile(const QString& databasePath, const QString& table, const QString& csvPath);

#pragma once

#include "stationrules.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

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

/** One checked CSV record: its line and its values in the order of the header's columns. */
struct ImportRow
{
    int Line = 0;
    QList<QVariant> Values; // null QVariant = NULL
};

/** The checked records of a CSV text and the columns its header names. */
struct ImportRows
{
    const StationTable* Table = nullptr;
    QList<const StationColumn*> Columns;
    QList<ImportRow> Rows;
};

/** The first reference of a row (values by upper-case column name) that does not exist. */
using ImportReferenceCheck = std::function<std::optional<ColumnProblem>(
    const StationTable&, const QHash<QString, QVariant>&)>;

/**
 * Reads and checks CSV text for a table as ImportCsv does, writing nothing:
 * the rules decide codes and the operation, references the rows named.
 * Raises XException naming the line (and column) of the first bad record.
 */
ImportRows ReadImportCsv(const StationRules& rules, const QString& table, const QString& csvText,
                         const ImportReferenceCheck& references);

/** The text of a UTF-8 CSV file. Raises XException when it cannot be read or is not UTF-8. */
QString ReadCsvFileText(const QString& csvPath);

/** Reads a UTF-8 CSV file and imports it as ImportCsv does. */
int ImportCsvFile(const QString& databasePath, const QString& table, const QString& csvPath);

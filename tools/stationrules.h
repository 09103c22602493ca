#pragma once

#include "stationbuilder.h"
#include "stationschema.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>
#include <optional>

class TXConnection;

/** What a station file's configuration decides about the values it may hold. */
struct StationRules
{
    StationOperation Operation = StationOperation::Plantio;
    // Empty when the stored index names no type: the client then checks no code of that kind.
    std::optional<BarcodeType> NccType;
    std::optional<BarcodeType> NcPlantioType;

    /** The barcode type of a code column (NCC or NC_PLANTIO); empty for any other column. */
    std::optional<BarcodeType> CodeType(const StationColumn& column) const;
};

/** Reads the rules from the Configuracao row. Raises XException when there is none. */
StationRules ReadStationRules(TXConnection* connection);

/** Largest whole number a floating-point column holds exactly (2^53). */
inline constexpr qint64 kMaxExactWhole = Q_INT64_C(9007199254740992);

/**
 * Reads a code as a lab writes it: digits only, no separators. With a barcode
 * type, the full code (check digit included) has its check digit verified and
 * removed, and the bare number (one digit shorter) is taken as it is; any other
 * length is refused. Without a type, any whole number up to 2^53. On failure,
 * false and a Portuguese message naming the value and what was expected.
 */
bool ParseCodeText(const QString& text, std::optional<BarcodeType> type, qint64* number,
                   QString* error);

/**
 * A column value as a CSV field gives it (trimmed, not empty), checked by
 * CheckStationValue too. Empty message and the value to store, or the message.
 */
QVariant ParseStationValue(const StationRules& rules, const StationTable& table,
                           const StationColumn& column, const QString& text, QString* error);

/**
 * What the station needs of a stored value: required values present, code
 * columns whole numbers that fit their barcode type, counts not negative,
 * dates as "yyyy-mm-dd hh:mm:ss", texts within their size and without control
 * characters. Empty when the value is fine, otherwise the reason in Portuguese.
 */
QString CheckStationValue(const StationRules& rules, const StationTable& table,
                          const StationColumn& column, const QVariant& value);

/** Whether a table's rows belong in a file of the operation (plates only on collection). */
QString CheckTableForOperation(const StationTable& table, StationOperation operation);

/** A column and what is wrong with it. */
struct ColumnProblem
{
    QString Column;
    QString Message;
};

/**
 * The rows a planting or a well names: sub-batch, plant and user of a
 * planting, the plate of a well. Read from the file once.
 */
class StationReferences
{
public:
    explicit StationReferences(TXConnection* connection);

    /** The first reference of the row (values by upper-case column name) that does not exist. */
    std::optional<ColumnProblem> Check(const StationTable& table,
                                       const QHash<QString, QVariant>& row);

private:
    const QSet<qint64>& Keys(const QString& table, const QString& column);

    TXConnection* m_connection;
    QHash<QString, QSet<qint64>> m_keys;
};

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/** The separator of the tool's CSV files (spreadsheets set to pt-BR use it, "," being decimal). */
inline constexpr char16_t kCsvSeparator = u';';

/** One record of a CSV text and the 1-based line it starts on. */
struct CsvRecord
{
    int Line = 0;
    QStringList Fields;
};

/**
 * Splits CSV text into records: fields separated by ";", records by LF or
 * CR LF, fields in double quotes may hold separators, line breaks and ""
 * for a quote. Empty lines are skipped. Raises XException naming the line of a
 * malformed quoted field.
 */
QList<CsvRecord> ParseCsv(const QString& text);

/** A field as written to CSV: quoted when it holds a separator, quote or line break. */
QString CsvField(const QString& value);

/** One record (fields joined by the separator) with a trailing CR LF. */
QString CsvLine(const QStringList& fields);

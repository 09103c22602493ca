#include "csvtext.h"

#include "xexception.h"

namespace {

const QChar kQuote = QLatin1Char('"');

[[noreturn]] void Malformed(int line)
{
    throw XException(QStringLiteral("Linha %1: campo entre aspas mal formado.").arg(line));
}

} // namespace

QList<CsvRecord> ParseCsv(const QString& text)
{
    QList<CsvRecord> records;
    CsvRecord record;
    QString field;
    bool recordStarted = false; // the record has a character, even a separator
    bool fieldStarted = false;  // the current field has a character or was quoted
    int line = 1;
    const qsizetype n = text.size();
    auto isLineEnd = [&](qsizetype at) {
        return text.at(at) == QLatin1Char('\n') ||
               (text.at(at) == QLatin1Char('\r') && at + 1 < n &&
                text.at(at + 1) == QLatin1Char('\n'));
    };
    qsizetype i = 0;
    while (i < n) {
        if (!recordStarted) {
            record.Line = line;
            recordStarted = true;
        }
        const QChar c = text.at(i);
        if (c == kQuote && !fieldStarted) {
            const int startLine = line;
            fieldStarted = true;
            for (++i;; ++i) {
                if (i >= n)
                    Malformed(startLine);
                if (text.at(i) == kQuote) {
                    if (i + 1 < n && text.at(i + 1) == kQuote) {
                        field += kQuote;
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (text.at(i) == QLatin1Char('\n'))
                    ++line;
                field += text.at(i);
            }
            // After the closing quote only a separator or the end of the record may follow.
            if (i < n && text.at(i) != kCsvSeparator && !isLineEnd(i))
                Malformed(startLine);
            continue;
        }
        if (c == kCsvSeparator) {
            record.Fields << field;
            field.clear();
            fieldStarted = false;
            ++i;
            continue;
        }
        if (isLineEnd(i)) {
            i += c == QLatin1Char('\r') ? 2 : 1;
            // A line with nothing on it is no record.
            if (fieldStarted || !record.Fields.isEmpty()) {
                record.Fields << field;
                records << record;
            }
            record = CsvRecord();
            field.clear();
            recordStarted = fieldStarted = false;
            ++line;
            continue;
        }
        if (c == kQuote)
            Malformed(line);
        field += c;
        fieldStarted = true;
        ++i;
    }
    if (fieldStarted || !record.Fields.isEmpty()) {
        record.Fields << field;
        records << record;
    }
    return records;
}

QString CsvField(const QString& value)
{
    const bool quote = value.contains(kCsvSeparator) || value.contains(kQuote) ||
                       value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
    if (!quote)
        return value;
    QString escaped = value;
    escaped.replace(kQuote, QStringLiteral("\"\""));
    return kQuote + escaped + kQuote;
}

QString CsvLine(const QStringList& fields)
{
    QStringList escaped;
    for (const QString& field : fields)
        escaped << CsvField(field);
    return escaped.join(kCsvSeparator) + QStringLiteral("\r\n");
}

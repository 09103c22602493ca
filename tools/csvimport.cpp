#include "csvimport.h"

#include "csvtext.h"
#include "stationbuilder.h"
#include "stationschema.h"
#include "data/txtransaction.h"

#include "data/txconnection.h"
#include "data/txquery.h"
#include "xexception.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QVariant>
#include <limits>

namespace {

struct ImportRow
{
    int Line = 0;
    QList<QVariant> Values; // null QVariant = NULL, in the order of the header's columns
};

[[noreturn]] void Fail(int line, const QString& column, const QString& message)
{
    if (column.isEmpty())
        throw XException(QStringLiteral("Linha %1: %2").arg(line).arg(message));
    throw XException(QStringLiteral("Linha %1, coluna %2: %3").arg(line).arg(column, message));
}

const StationTable& ImportTable(const QString& name)
{
    for (const QString& allowed : ImportableTables()) {
        if (allowed.compare(name, Qt::CaseInsensitive) == 0)
            return *FindStationTable(allowed);
    }
    throw XException(QStringLiteral("A tabela %1 não pode ser importada. Tabelas aceitas: %2.")
                         .arg(name, ImportableTables().join(QStringLiteral(", "))));
}

QList<const StationColumn*> ReadHeader(const StationTable& table, const CsvRecord& header)
{
    QList<const StationColumn*> columns;
    for (const QString& field : header.Fields) {
        const QString name = field.trimmed();
        const StationColumn* column = table.FindColumn(name);
        if (!column) {
            Fail(header.Line, QString(),
                 QStringLiteral("a tabela %1 não tem a coluna \"%2\".").arg(table.Name, name));
        }
        if (columns.contains(column))
            Fail(header.Line, QString(),
                 QStringLiteral("a coluna %1 aparece duas vezes.").arg(column->Name));
        columns << column;
    }
    for (const StationColumn& column : table.Columns) {
        if (!column.Nullable && !columns.contains(&column)) {
            Fail(header.Line, QString(),
                 QStringLiteral("falta a coluna obrigatória %1.").arg(column.Name));
        }
    }
    return columns;
}

QVariant ParseLong(const QString& text, int line, const QString& column)
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?\\d+$"));
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!pattern.match(text).hasMatch() || !ok || value < std::numeric_limits<qint32>::min() ||
        value > std::numeric_limits<qint32>::max()) {
        Fail(line, column, QStringLiteral("\"%1\" não é um número inteiro válido.").arg(text));
    }
    return QVariant(int(value));
}

QVariant ParseDouble(const QString& text, int line, const QString& column)
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?\\d+([.,]\\d+)?$"));
    if (!pattern.match(text).hasMatch())
        Fail(line, column, QStringLiteral("\"%1\" não é um número válido.").arg(text));
    QString normalized = text;
    normalized.replace(QLatin1Char(','), QLatin1Char('.'));
    return QVariant(normalized.toDouble());
}

QVariant ParseValue(const StationTable& table, const StationColumn& column, const QString& raw,
                    int line)
{
    const bool usua = table.Name == QLatin1String("Usua");
    const bool loginColumn =
        usua && (column.Name == QLatin1String("CODIGO") || column.Name == QLatin1String("SENHA"));
    const QString text = loginColumn ? LoginText(raw) : raw;
    if (text.trimmed().isEmpty()) {
        if (!column.Nullable)
            Fail(line, column.Name, QStringLiteral("valor obrigatório não informado."));
        return QVariant();
    }
    switch (column.Type) {
    case StationColumnType::Long:
        return ParseLong(text.trimmed(), line, column.Name);
    case StationColumnType::Double:
        return ParseDouble(text.trimmed(), line, column.Name);
    case StationColumnType::Text:
        break;
    }
    if (usua && column.Name == QLatin1String("SENHA")) {
        try {
            return QVariant(ScramblePassword(text));
        } catch (const XException& error) {
            Fail(line, column.Name, error.Message());
        }
    }
    if (text.size() > column.Size) {
        Fail(line, column.Name,
             QStringLiteral("o texto tem %1 caracteres; o máximo é %2.")
                 .arg(text.size())
                 .arg(column.Size));
    }
    return QVariant(text);
}

QString InsertSQL(const StationTable& table, const QList<const StationColumn*>& columns)
{
    QStringList names;
    QStringList parameters;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        names << columns[i]->Name;
        parameters << QStringLiteral(":v%1").arg(i);
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(table.Name, names.join(QStringLiteral(", ")), parameters.join(QStringLiteral(", ")));
}

void SetParameter(TXParameter& parameter, const StationColumn& column, const QVariant& value)
{
    const TXParamType type = column.Type == StationColumnType::Text   ? TXParamType::String
                             : column.Type == StationColumnType::Long ? TXParamType::Integer
                                                                      : TXParamType::Float;
    if (value.isNull())
        parameter.SetNull(type);
    else if (type == TXParamType::String)
        parameter.SetString(value.toString());
    else if (type == TXParamType::Integer)
        parameter.SetInteger(value.toInt());
    else
        parameter.SetFloat(value.toDouble());
}

} // namespace

QStringList ImportableTables()
{
    return {QStringLiteral("Lote"),  QStringLiteral("Planta"),     QStringLiteral("Plantio"),
            QStringLiteral("Placa"), QStringLiteral("Placa_Poco"), QStringLiteral("Usua")};
}

int ImportCsv(TXConnection* connection, const QString& tableName, const QString& csvText)
{
    const StationTable& table = ImportTable(tableName);
    const QList<CsvRecord> records = ParseCsv(csvText);
    if (records.isEmpty())
        throw XException(QStringLiteral("O arquivo CSV está vazio; falta a linha de cabeçalho."));
    const QList<const StationColumn*> columns = ReadHeader(table, records.first());

    // Check every record before the first write, so a bad one leaves the file untouched.
    QList<ImportRow> rows;
    for (qsizetype r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        if (record.Fields.size() != columns.size()) {
            Fail(record.Line, QString(),
                 QStringLiteral("esperadas %1 colunas, encontradas %2.")
                     .arg(columns.size())
                     .arg(record.Fields.size()));
        }
        ImportRow row{record.Line, {}};
        for (qsizetype c = 0; c < columns.size(); ++c)
            row.Values << ParseValue(table, *columns[c], record.Fields[c], record.Line);
        rows << row;
    }

    TXTransaction transaction(connection);
    auto command = NewCommand(connection);
    command->SetCommandText(InsertSQL(table, columns));
    for (const ImportRow& row : rows) {
        for (qsizetype c = 0; c < columns.size(); ++c)
            SetParameter(command->ParamByName(QStringLiteral("v%1").arg(c)), *columns[c],
                         row.Values[c]);
        try {
            command->Execute();
        } catch (const XException& error) {
            Fail(row.Line, QString(),
                 QStringLiteral("o banco de dados recusou o registro: %1").arg(error.Message()));
        }
    }
    transaction.Commit();
    return int(rows.size());
}

int ImportCsvFile(const QString& databasePath, const QString& table, const QString& csvPath)
{
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly)) {
        throw XException(QStringLiteral("Não foi possível ler o arquivo %1: %2")
                             .arg(csvPath, file.errorString()));
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(file.readAll());
    if (decoder.hasError())
        throw XException(QStringLiteral("O arquivo %1 não está codificado em UTF-8.").arg(csvPath));
    auto connection = OpenStation(databasePath);
    return ImportCsv(connection.get(), table, text);
}

#include "csvimport.h"

#include "csvtext.h"
#include "data/txtransaction.h"
#include "stationbuilder.h"
#include "stationrules.h"
#include "stationschema.h"

#include "data/txconnection.h"
#include "data/txquery.h"
#include "xexception.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QVariant>
#include <limits>

namespace {

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

QString ColumnList(const StationTable& table)
{
    QStringList names;
    for (const StationColumn& column : table.Columns)
        names << column.Name;
    return names.join(kCsvSeparator);
}

// A spreadsheet saved with another separator, or with empty columns at the end, shows here.
QString SeparatorHint(const StationTable& table)
{
    return QStringLiteral(" Os campos são separados por \";\" (ponto e vírgula); as colunas da"
                          " tabela %1 são: %2")
        .arg(table.Name, ColumnList(table));
}

bool LooksMisseparated(const QStringList& fields)
{
    for (const QString& field : fields) {
        if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('\t')) ||
            field.trimmed().isEmpty())
            return true;
    }
    return false;
}

QList<const StationColumn*> ReadHeader(const StationTable& table, const CsvRecord& header)
{
    QList<const StationColumn*> columns;
    for (const QString& field : header.Fields) {
        const QString name = field.trimmed();
        const StationColumn* column = table.FindColumn(name);
        if (!column) {
            Fail(header.Line, QString(),
                 QStringLiteral("a tabela %1 não tem a coluna \"%2\".").arg(table.Name, name) +
                     SeparatorHint(table));
        }
        if (columns.contains(column))
            Fail(header.Line, QString(),
                 QStringLiteral("a coluna %1 aparece duas vezes.").arg(column->Name));
        columns << column;
    }
    for (const StationColumn& column : table.Columns) {
        if (!column.Nullable && !columns.contains(&column)) {
            Fail(header.Line, QString(),
                 QStringLiteral("falta a coluna obrigatória %1.").arg(column.Name) +
                     SeparatorHint(table));
        }
    }
    return columns;
}

QVariant ParseValue(const StationRules& rules, const StationTable& table,
                    const StationColumn& column, const QString& raw, int line)
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
    QString error;
    const QVariant value =
        ParseStationValue(rules, table, column,
                          column.Type == StationColumnType::Text ? text : text.trimmed(), &error);
    if (!error.isEmpty())
        Fail(line, column.Name, error);
    if (usua && column.Name == QLatin1String("SENHA")) {
        try {
            return QVariant(ScramblePassword(text));
        } catch (const XException& error) {
            Fail(line, column.Name, error.Message());
        }
    }
    return value;
}

// "UNIQUE constraint failed: Planta.NCC" names the key; say it with the row's values.
QString UniqueKeyText(const StationTable& table, const QList<const StationColumn*>& columns,
                      const QList<QVariant>& values, const QString& engineMessage)
{
    static const QRegularExpression unique(QStringLiteral("UNIQUE constraint failed: (.*)$"));
    const QRegularExpressionMatch match = unique.match(engineMessage);
    if (!match.hasMatch())
        return {};
    QStringList parts;
    for (const QString& qualified : match.captured(1).split(QStringLiteral(", "))) {
        const QString name = qualified.section(QLatin1Char('.'), -1);
        QString shown = QStringLiteral("?");
        for (qsizetype c = 0; c < columns.size(); ++c) {
            if (columns[c]->Name.compare(name, Qt::CaseInsensitive) == 0) {
                const QVariant& value = values[c];
                shown = value.typeId() == QMetaType::Double
                            ? QString::number(qint64(value.toDouble()))
                            : value.toString();
            }
        }
        parts << QStringLiteral("%1 = %2").arg(name, shown);
    }
    return QStringLiteral("a tabela %1 já tem um registro com %2 (valor repetido em chave"
                          " única).")
        .arg(table.Name, parts.join(QStringLiteral(", ")));
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

ImportRows ReadImportCsv(const StationRules& rules, const QString& tableName,
                         const QString& csvText, const ImportReferenceCheck& references)
{
    const StationTable& table = ImportTable(tableName);
    const QString wrongStation = CheckTableForOperation(table, rules.Operation);
    if (!wrongStation.isEmpty())
        throw XException(
            QStringLiteral("A tabela %1 não pode ser importada: %2").arg(table.Name, wrongStation));
    const QList<CsvRecord> records = ParseCsv(csvText);
    if (records.isEmpty())
        throw XException(QStringLiteral("O arquivo CSV está vazio; falta a linha de cabeçalho."));
    const QList<const StationColumn*> columns = ReadHeader(table, records.first());

    QList<ImportRow> rows;
    for (qsizetype r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        if (record.Fields.size() != columns.size()) {
            Fail(record.Line, QString(),
                 QStringLiteral("esperadas %1 colunas, encontradas %2.")
                         .arg(columns.size())
                         .arg(record.Fields.size()) +
                     (LooksMisseparated(record.Fields) ? SeparatorHint(table) : QString()));
        }
        ImportRow row{record.Line, {}};
        QHash<QString, QVariant> named;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            row.Values << ParseValue(rules, table, *columns[c], record.Fields[c], record.Line);
            named.insert(columns[c]->Name, row.Values.last());
        }
        if (const auto problem = references(table, named))
            Fail(record.Line, problem->Column, problem->Message);
        rows << row;
    }
    return {&table, columns, rows};
}

int ImportCsv(TXConnection* connection, const QString& tableName, const QString& csvText)
{
    // Check every record before the first write, so a bad one leaves the file untouched.
    StationReferences stationReferences(connection);
    const auto [tablePointer, columns, rows] = ReadImportCsv(
        ReadStationRules(connection), tableName, csvText,
        [&stationReferences](const StationTable& table, const QHash<QString, QVariant>& row) {
            return stationReferences.Check(table, row);
        });
    const StationTable& table = *tablePointer;

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
            const QString key = UniqueKeyText(table, columns, row.Values, error.Message());
            Fail(
                row.Line, QString(),
                key.isEmpty()
                    ? QStringLiteral("o banco de dados recusou o registro: %1").arg(error.Message())
                    : key);
        }
    }
    transaction.Commit();
    return int(rows.size());
}

QString ReadCsvFileText(const QString& csvPath)
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
    return text;
}

int ImportCsvFile(const QString& databasePath, const QString& table, const QString& csvPath)
{
    const QString text = ReadCsvFileText(csvPath);
    RequireWritableStation(databasePath);
    auto connection = OpenStation(databasePath);
    return ImportCsv(connection.get(), table, text);
}

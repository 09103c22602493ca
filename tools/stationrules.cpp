#include "stationrules.h"

#include "data/txconnection.h"
#include "data/txquery.h"
#include "xean.h"
#include "xexception.h"

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace {

const QString kSelectRulesSQL =
    QStringLiteral("SELECT info_db, cb_ncc, cb_nc_plantio   FROM Configuracao ORDER BY id");

std::optional<BarcodeType> ConfiguredType(int index)
{
    if (index == int(BarcodeType::Ean8))
        return BarcodeType::Ean8;
    if (index == int(BarcodeType::Ean13))
        return BarcodeType::Ean13;
    return std::nullopt;
}

bool IsDateColumn(const StationColumn& column)
{
    return column.Name.startsWith(QLatin1String("DATA_"));
}

// Sizes, positions and quantities; a negative one makes no sense to the screens.
bool IsCountColumn(const StationColumn& column)
{
    static const QStringList counts = {QStringLiteral("QTE_TRATAMENTO"), QStringLiteral("REP"),
                                       QStringLiteral("TLINHA"),         QStringLiteral("TCOLUNA"),
                                       QStringLiteral("LINHA"),          QStringLiteral("COLUNA"),
                                       QStringLiteral("SEQ_COLETA"),     QStringLiteral("PLACA")};
    return counts.contains(column.Name);
}

QString NoSeparatorHint(const QString& text)
{
    return QStringLiteral("\"%1\" não é um número inteiro: escreva só os algarismos, sem separador"
                          " de milhar nem casas decimais.")
        .arg(text);
}

QString CheckWhole(const StationRules& rules, const StationColumn& column, double number)
{
    if (!std::isfinite(number) || number != std::floor(number))
        return QStringLiteral("%1 não é um número inteiro.").arg(number, 0, 'g', 17);
    if (number < 0)
        return QStringLiteral("%1 é negativo; códigos não são negativos.").arg(number, 0, 'f', 0);
    if (number > double(kMaxExactWhole))
        return QStringLiteral("%1 está fora do intervalo (máximo %2).")
            .arg(number, 0, 'f', 0)
            .arg(kMaxExactWhole);
    const std::optional<BarcodeType> type = rules.CodeType(column);
    if (type && number > double(MaxBarcodeNumber(*type))) {
        return QStringLiteral("%1 tem mais de %2 dígitos e não cabe em um código %3.")
            .arg(qint64(number))
            .arg(BarcodeLength(*type) - 1)
            .arg(BarcodeTypeName(*type));
    }
    return {};
}

QString CheckText(const StationColumn& column, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).category() == QChar::Other_Control) {
            return QStringLiteral("o texto tem um caractere de controle (U+%1) na posição %2.")
                .arg(text.at(i).unicode(), 4, 16, QLatin1Char('0'))
                .arg(i + 1);
        }
    }
    if (text.size() > column.Size) {
        return QStringLiteral("o texto tem %1 caracteres; o máximo é %2.")
            .arg(text.size())
            .arg(column.Size);
    }
    if (IsDateColumn(column)) {
        static const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
        if (text.size() != format.size() || !QDateTime::fromString(text, format).isValid()) {
            return QStringLiteral("\"%1\" não é uma data no formato aaaa-mm-dd hh:mm:ss.")
                .arg(text);
        }
    }
    return {};
}

QString ParseLongText(const QString& text, QVariant* value)
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?\\d+$"));
    static const QRegularExpression separated(QStringLiteral("^\\d{1,3}([.,]\\d{3})+$"));
    if (separated.match(text).hasMatch())
        return NoSeparatorHint(text);
    if (!pattern.match(text).hasMatch())
        return QStringLiteral("\"%1\" não é um número inteiro válido.").arg(text);
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<qint32>::min() ||
        number > std::numeric_limits<qint32>::max()) {
        return QStringLiteral("%1 está fora do intervalo (de %2 a %3).")
            .arg(text)
            .arg(std::numeric_limits<qint32>::min())
            .arg(std::numeric_limits<qint32>::max());
    }
    *value = QVariant(int(number));
    return {};
}

} // namespace

std::optional<BarcodeType> StationRules::CodeType(const StationColumn& column) const
{
    if (column.Name == QLatin1String("NCC"))
        return NccType;
    if (column.Name == QLatin1String("NC_PLANTIO"))
        return NcPlantioType;
    return std::nullopt;
}

StationRules ReadStationRules(TXConnection* connection)
{
    auto query = NewQuery(connection);
    query->SetSQL(kSelectRulesSQL);
    query->Open();
    if (query->Eof())
        throw XException(QStringLiteral("O banco de dados não tem a linha de configuração."));
    StationRules rules;
    rules.Operation = query->FieldByName(QStringLiteral("info_db")).AsInteger() == 1
                          ? StationOperation::Coleta
                          : StationOperation::Plantio;
    rules.NccType = ConfiguredType(query->FieldByName(QStringLiteral("cb_ncc")).AsInteger());
    rules.NcPlantioType =
        ConfiguredType(query->FieldByName(QStringLiteral("cb_nc_plantio")).AsInteger());
    return rules;
}

bool ParseCodeText(const QString& text, std::optional<BarcodeType> type, qint64* number,
                   QString* error)
{
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    static const QRegularExpression separated(QStringLiteral("^[+-]?\\d+([.,]\\d+)+$"));
    if (!digits.match(text).hasMatch()) {
        *error = separated.match(text).hasMatch()
                     ? NoSeparatorHint(text)
                     : QStringLiteral("\"%1\" não é um código: use só algarismos.").arg(text);
        return false;
    }
    if (!type) {
        bool ok = false;
        const qint64 value = text.toLongLong(&ok);
        if (!ok || value > kMaxExactWhole) {
            *error = QStringLiteral("%1 está fora do intervalo (máximo %2).")
                         .arg(text)
                         .arg(kMaxExactWhole);
            return false;
        }
        *number = value;
        return true;
    }
    const int length = BarcodeLength(*type);
    if (text.size() == length) {
        const QString bare = text.left(length - 1);
        const int expected = EanCheckDigit(bare);
        if (text.at(length - 1).digitValue() != expected) {
            *error = QStringLiteral("\"%1\": o dígito verificador %2 não confere; para um código"
                                    " %3 o esperado é %4.")
                         .arg(text)
                         .arg(text.at(length - 1))
                         .arg(BarcodeTypeName(*type))
                         .arg(expected);
            return false;
        }
        *number = bare.toLongLong();
        return true;
    }
    if (text.size() == length - 1) {
        *number = text.toLongLong();
        return true;
    }
    *error = QStringLiteral("\"%1\" tem %2 dígito(s); um código %3 tem %4 dígitos com o dígito"
                            " verificador ou %5 sem ele (com os zeros à esquerda).")
                 .arg(text)
                 .arg(text.size())
                 .arg(BarcodeTypeName(*type))
                 .arg(length)
                 .arg(length - 1);
    return false;
}

QVariant ParseStationValue(const StationRules& rules, const StationTable& table,
                           const StationColumn& column, const QString& text, QString* error)
{
    QVariant value;
    switch (column.Type) {
    case StationColumnType::Long:
        *error = ParseLongText(text, &value);
        break;
    case StationColumnType::Double: {
        qint64 number = 0;
        if (ParseCodeText(text, rules.CodeType(column), &number, error))
            value = QVariant(double(number));
        break;
    }
    case StationColumnType::Text:
        value = QVariant(text);
        break;
    }
    if (error->isEmpty())
        *error = CheckStationValue(rules, table, column, value);
    return error->isEmpty() ? value : QVariant();
}

QString CheckStationValue(const StationRules& rules, const StationTable& table,
                          const StationColumn& column, const QVariant& value)
{
    Q_UNUSED(table);
    if (value.isNull())
        return column.Nullable ? QString() : QStringLiteral("valor obrigatório não informado.");
    switch (column.Type) {
    case StationColumnType::Text:
        return CheckText(column, value.toString());
    case StationColumnType::Long: {
        bool ok = false;
        const qint64 number = value.toLongLong(&ok);
        if (!ok || value.typeId() == QMetaType::QString)
            return QStringLiteral("\"%1\" não é um número inteiro válido.").arg(value.toString());
        if (number < std::numeric_limits<qint32>::min() ||
            number > std::numeric_limits<qint32>::max())
            return QStringLiteral("%1 está fora do intervalo (de %2 a %3).")
                .arg(number)
                .arg(std::numeric_limits<qint32>::min())
                .arg(std::numeric_limits<qint32>::max());
        if (number < 0 && IsCountColumn(column))
            return QStringLiteral("%1 é negativo; a coluna não aceita negativos.").arg(number);
        return {};
    }
    case StationColumnType::Double: {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok || value.typeId() == QMetaType::QString)
            return QStringLiteral("\"%1\" não é um número.").arg(value.toString());
        return CheckWhole(rules, column, number);
    }
    }
    return {};
}

QString CheckTableForOperation(const StationTable& table, StationOperation operation)
{
    const bool plates = table.Name.startsWith(QLatin1String("Placa"));
    if (plates && operation != StationOperation::Coleta) {
        return QStringLiteral("placas e poços só existem em estações de coleta; este banco é de"
                              " uma estação de plantio.");
    }
    return {};
}

StationReferences::StationReferences(TXConnection* connection) : m_connection(connection) {}

const QSet<qint64>& StationReferences::Keys(const QString& table, const QString& column)
{
    const QString key = table + QLatin1Char('.') + column;
    auto found = m_keys.find(key);
    if (found != m_keys.end())
        return *found;
    QSet<qint64> keys;
    auto query = NewQuery(m_connection);
    query->SetSQL(QStringLiteral("SELECT %1 FROM %2").arg(column, table));
    query->Open();
    for (; !query->Eof(); query->Next())
        keys.insert(qint64(query->Fields(0).AsFloat()));
    return *m_keys.insert(key, keys);
}

std::optional<ColumnProblem> StationReferences::Check(const StationTable& table,
                                                      const QHash<QString, QVariant>& row)
{
    struct Reference
    {
        const char* Column;
        const char* Table;
        const char* Key;
        const char* What;
    };
    static const QList<Reference> plantio = {{"ID_SLOTE", "Lote", "ID_SLOTE", "o sub-lote"},
                                             {"NCC", "Planta", "NCC", "a planta"},
                                             {"ID_USER", "Usua", "ID_USER", "o usuário"}};
    static const QList<Reference> poco = {{"ID_PLACA", "Placa", "ID_PLACA", "a placa"}};
    const QList<Reference>* references = table.Name == QLatin1String("Plantio")      ? &plantio
                                         : table.Name == QLatin1String("Placa_Poco") ? &poco
                                                                                     : nullptr;
    if (!references)
        return std::nullopt;
    for (const Reference& reference : *references) {
        const QString column = QString::fromLatin1(reference.Column);
        const QVariant value = row.value(column);
        if (value.isNull())
            continue;
        const qint64 number = qint64(value.toDouble());
        if (!Keys(QString::fromLatin1(reference.Table), QString::fromLatin1(reference.Key))
                 .contains(number)) {
            return ColumnProblem{column, QStringLiteral("%1 %2 não existe na tabela %3.")
                                             .arg(QString::fromUtf8(reference.What))
                                             .arg(number)
                                             .arg(QString::fromLatin1(reference.Table))};
        }
    }
    return std::nullopt;
}

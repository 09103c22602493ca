#include "transmission.h"

#include "csvtext.h"
#include "data/txtransaction.h"
#include "stationbuilder.h"

#include "data/txconnection.h"
#include "data/txquery.h"
#include "xexception.h"

#include <QFileDevice>
#include <QIODevice>
#include <QVariant>
#include <cmath>

namespace {

struct Pickup
{
    QString Columns; // selected and written, in this order
    QString Table;
    QString Pending; // condition of the rows not yet transmitted
    QString Order;
    QString OriginColumn;
};

const Pickup kPlantioPickup = {
    QStringLiteral("ID_SLOTE, NC_PLANTIO, NCC, ID_USER, DATA_PLANTIO"), QStringLiteral("Plantio"),
    QStringLiteral("(ORIGEM_PLANTIO IS NULL)"), QStringLiteral("DATA_PLANTIO, NC_PLANTIO"),
    QStringLiteral("ORIGEM_PLANTIO")};

const Pickup kColetaPickup = {
    QStringLiteral("ID_PLACA, PLACA, POCO, LINHA, COLUNA, SEQ_COLETA, AMOSTRA, STATUS_POCO,"
                   " NC_PLANTIO, USER_COLETA, DATA_COLETA"),
    QStringLiteral("Placa_Poco"),
    QStringLiteral("(NC_PLANTIO IS NOT NULL) AND (ORIGEM_COLETA IS NULL)"),
    QStringLiteral("ID_PLACA, SEQ_COLETA"), QStringLiteral("ORIGEM_COLETA")};

QString CsvValue(const QVariant& value)
{
    if (value.isNull())
        return {};
    // Codes are whole numbers stored as floats; write them without exponent or decimals.
    if (value.typeId() == QMetaType::Double) {
        const double number = value.toDouble();
        if (number == std::floor(number) && std::fabs(number) < 1e15)
            return QString::number(qint64(number));
        return QString::number(number, 'g', 15);
    }
    return value.toString();
}

QString ResolveOrigin(const StationConfig& config, const std::optional<QString>& requested)
{
    if (requested && requested->trimmed().isEmpty())
        throw XException(QStringLiteral("A origem informada em --origem está vazia."));
    // The computer preparing the file is not the station; its name would mark the rows wrongly.
    const QString origem = requested ? requested->trimmed() : config.Maquina.trimmed();
    if (origem.isEmpty()) {
        throw XException(QStringLiteral("O banco de dados ainda não está vinculado a um computador;"
                                        " informe a origem com --origem NOME (o computador da"
                                        " estação)."));
    }
    if (origem.size() > 20)
        throw XException(QStringLiteral("A origem deve ter no máximo 20 caracteres."));
    return origem;
}

} // namespace

int TransmitStation(const QString& databasePath, const std::optional<QString>& origem,
                    QIODevice* out)
{
    RequireWritableStation(databasePath);
    auto connection = OpenStation(databasePath);
    const StationConfig config = ReadStationConfig(connection.get());
    const QString origin = ResolveOrigin(config, origem);
    const Pickup& pickup =
        config.Operation == StationOperation::Coleta ? kColetaPickup : kPlantioPickup;

    TXTransaction transaction(connection.get());
    auto query = NewQuery(connection.get());
    query->SetSQL(QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4")
                      .arg(pickup.Columns, pickup.Table, pickup.Pending, pickup.Order));
    query->Open();
    QStringList header = query->FieldNames();
    header << pickup.OriginColumn;
    QString csv = CsvLine(header);
    const int rows = query->RecordCount();
    for (; !query->Eof(); query->Next()) {
        QStringList fields;
        for (int c = 0; c < query->FieldCount(); ++c)
            fields << CsvValue(query->Fields(c).Value());
        fields << origin;
        csv += CsvLine(fields);
    }
    query->Close();

    auto command = NewCommand(connection.get());
    command->SetCommandText(QStringLiteral("UPDATE %1 SET %2 = :origem WHERE %3")
                                .arg(pickup.Table, pickup.OriginColumn, pickup.Pending));
    command->ParamByName(QStringLiteral("origem")).SetString(origin);
    if (command->Execute() != rows)
        throw XException(
            QStringLiteral("Os dados mudaram durante a transmissão; nada foi marcado."));

    const QByteArray bytes = csv.toUtf8();
    auto* file = qobject_cast<QFileDevice*>(out);
    if (out->write(bytes) != bytes.size() || (file && !file->flush()))
        throw XException(QStringLiteral("Não foi possível escrever os dados transmitidos."));
    transaction.Commit();
    return rows;
}

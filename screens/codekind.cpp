#include "codekind.h"

#include "codevalidation.h"
#include "data/txquery.h"
#include "tappconfig.h"
#include "tdm.h"

namespace {

const QString kPlantExistsSQL = QStringLiteral("SELECT 1 FROM Planta WHERE ncc = :n");
const QString kPlantingExistsSQL = QStringLiteral("SELECT 1 FROM Plantio WHERE nc_plantio = :n");
const QString kPlateExistsSQL = QStringLiteral("SELECT 1 FROM Placa WHERE codigo = :codigo");

QString Article(TCodeKind kind)
{
    switch (kind) {
    case TCodeKind::Ncc:
        return QStringLiteral("um NCC");
    case TCodeKind::NcPlantio:
        return QStringLiteral("um NC Plantio");
    case TCodeKind::Placa:
        break;
    }
    return QStringLiteral("uma Placa");
}

QString Object(TCodeKind kind)
{
    switch (kind) {
    case TCodeKind::Ncc:
        return QStringLiteral("o NCC");
    case TCodeKind::NcPlantio:
        return QStringLiteral("o NC Plantio");
    case TCodeKind::Placa:
        break;
    }
    return QStringLiteral("a Placa");
}

bool NumberExists(TXConnection* connection, const QString& sql, qint64 number)
{
    std::unique_ptr<TXQuery> query = NewQuery(connection);
    query->SetSQL(sql);
    query->ParamByName(QStringLiteral("n")).SetFloat(double(number));
    query->Open();
    return !query->Eof();
}

bool IsNcPlantio(TXConnection* connection, const TAppConfig& config, const QString& code)
{
    QString typeName;
    config.NcPlantioBarcodeType(typeName);
    const std::optional<qint64> number = NumberAs(code, typeName);
    if (!number)
        return false;
    const double lo = config.rela_inicial;
    const double hi = config.rela_final;
    const bool ranged = lo > 0 || hi > 0;
    const bool inRange = (lo <= 0 || *number >= lo) && (hi <= 0 || *number <= hi);
    return (ranged && inRange) || NumberExists(connection, kPlantingExistsSQL, *number);
}

bool IsNcc(TXConnection* connection, const TAppConfig& config, const QString& code)
{
    QString typeName;
    config.NccBarcodeType(typeName);
    const std::optional<qint64> number = NumberAs(code, typeName);
    return number && NumberExists(connection, kPlantExistsSQL, *number);
}

bool IsPlaca(TXConnection* connection, const QString& code)
{
    std::unique_ptr<TXQuery> query = NewQuery(connection);
    query->SetSQL(kPlateExistsSQL);
    query->ParamByName(QStringLiteral("codigo")).SetString(code.trimmed());
    query->Open();
    return !query->Eof();
}

} // namespace

std::optional<qint64> NumberAs(const QString& code, const QString& typeName, QString* message)
{
    QString failure;
    qint64 number = 0;
    if (!ValidateBarcode(code, typeName, failure) || !CodeNumber(code, number)) {
        if (message)
            *message = failure.isEmpty() ? kCodeNotNumeric : failure;
        return std::nullopt;
    }
    return number;
}

const QString kNccReadTwiceText =
    QStringLiteral("Este código é o NCC que acabou de ser lido, leia o NC Plantio.");

QString WrongKindText(TCodeKind found, TCodeKind expected)
{
    return QStringLiteral("Este código é ") + Article(found) + QStringLiteral(", leia ") +
           Object(expected) + QStringLiteral(".");
}

std::optional<TCodeKind> IdentifyOtherKind(TXConnection* connection, const TAppConfig& config,
                                           const QString& code, TCodeKind expected)
{
    if (code.trimmed().isEmpty())
        return std::nullopt;
    if (expected != TCodeKind::NcPlantio && IsNcPlantio(connection, config, code))
        return TCodeKind::NcPlantio;
    if (expected != TCodeKind::Ncc && IsNcc(connection, config, code))
        return TCodeKind::Ncc;
    if (expected != TCodeKind::Placa && IsPlaca(connection, code))
        return TCodeKind::Placa;
    return std::nullopt;
}

QString WrongKindNote(TXConnection* connection, const TAppConfig& config, const QString& code,
                      TCodeKind expected)
{
    try {
        const std::optional<TCodeKind> found =
            IdentifyOtherKind(connection, config, code, expected);
        return found ? QStringLiteral("\r\n") + WrongKindText(*found, expected) : QString();
    } catch (const std::exception&) {
        // Only a hint: the refusal itself stands without it.
        return QString();
    }
}

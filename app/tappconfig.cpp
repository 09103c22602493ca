#include "tappconfig.h"

#include "appschema.h"
#include "codevalidation.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "tfmain.h"
#include "txmediaplayer.h"
#include "xexception.h"
#include "xformat.h"

#include <QFile>

TAppConfig::~TAppConfig()
{
    Connection = nullptr;
    if (MPlayer)
        MPlayer->Close();
    MPlayer = nullptr;
}

bool TAppConfig::LoadConfig()
{
    if (!Connection)
        throw XException(QStringLiteral("Defina a Conexão antes de ler a configuração."));
    std::unique_ptr<TXQuery> query = NewQuery(Connection);
    query->SetSQL(ConfigSelectSQL());
    query->Open();
    if (query->RecordCount() == 0)
        throw XException(QStringLiteral("Erro ao carregar a configuração.\r\n"
                                        "Entre em contato com o Administrador."));
    cb_ncc = query->FieldByName(QStringLiteral("cb_ncc")).AsInteger();
    cb_nc_plantio = query->FieldByName(QStringLiteral("cb_nc_plantio")).AsInteger();
    info_db = query->FieldByName(QStringLiteral("info_db")).AsInteger();
    rela_inicial = query->FieldByName(QStringLiteral("rela_inicial")).AsFloat();
    rela_final = query->FieldByName(QStringLiteral("rela_final")).AsFloat();
    maquina = query->FieldByName(QStringLiteral("maquina")).AsString();
    descricao_lote = query->FieldByName(QStringLiteral("descricao_lote")).AsString();
    const QString sound = query->FieldByName(QStringLiteral("alert_sound")).AsString();
    // A sound that has gone missing keeps the previous one rather than silencing the alert.
    if (MPlayer && !sound.isEmpty() && QFile::exists(sound))
        MPlayer->SetFileName(sound);
    query->Close();
    return true;
}

void TAppConfig::SetLoaded(bool value)
{
    if (value)
        Loaded = LoadConfig();
    else
        Loaded = false;
}

void TAppConfig::ResetOperation()
{
    info_db = -1;
}

void TAppConfig::SetOperator(qint32 id, const QString& name)
{
    OperatorId = id;
    OperatorName = name;
}

QString TAppConfig::OperationName() const
{
    switch (info_db) {
    case 0:
        return QStringLiteral("Plantio");
    case 1:
        return QStringLiteral("Coleta");
    default:
        return {};
    }
}

QString TAppConfig::MainTitle() const
{
    return QStringLiteral("Tressalin - V. ") + ProgramVersion + QStringLiteral(" / DB. ") +
           DatabaseVersion + QStringLiteral("  -  ") + OperationName() +
           QStringLiteral("  - Lote: ") + descricao_lote;
}

void TAppConfig::NccBarcodeType(QString& name) const
{
    BarcodeTypeName(cb_ncc, name);
}

void TAppConfig::NcPlantioBarcodeType(QString& name) const
{
    BarcodeTypeName(cb_nc_plantio, name);
}

bool TAppConfig::CheckNcPlantioRange(double value) const
{
    const QString message = NcPlantioRangeMessage(value);
    if (message.isEmpty())
        return true;
    ShowAlert(message);
    return false;
}

QString TAppConfig::NcPlantioRangeMessage(double value) const
{
    const double lo = rela_inicial;
    const double hi = rela_final;
    if (!((lo > 0 && value < lo) || (hi > 0 && value > hi)))
        return QString();
    const QString pattern = QStringLiteral("###,###,###,##0");
    QString limits;
    if (lo == 0)
        limits =
            QStringLiteral(" ser menor que [") + FormatFloat(pattern, hi) + QStringLiteral("].");
    else if (hi == 0)
        limits =
            QStringLiteral(" ser maior que [") + FormatFloat(pattern, lo) + QStringLiteral("].");
    else
        limits = QStringLiteral(" estar entre [") + FormatFloat(pattern, lo) +
                 QStringLiteral("] e [") + FormatFloat(pattern, hi) + QStringLiteral("].");
    return QStringLiteral(" NC [") + FormatFloat(pattern, value) +
           QStringLiteral("] fora da faixa válida. \r\n O Valor do NC Plantio deve ") + limits;
}

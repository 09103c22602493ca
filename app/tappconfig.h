#pragma once

#include "data/txconnection.h"
#include "xobject.h"

#include <QPointer>
#include <QString>

class TXMediaPlayer;

/** The program's own version, shown in the title and by --version. */
inline const QString kProgramVersion = QStringLiteral("01.006");

/**
 * The station's settings (the Configuracao row) in memory, plus the shared
 * state of the running client: who is logged in, who authorised the last
 * deletion, the version texts. One instance, owned by the main window.
 */
class TAppConfig : public TXObject
{
public:
    TAppConfig() = default;
    /** Closes the media player when one is referenced. */
    ~TAppConfig() override;

    TAppConfig(const TAppConfig&) = delete;
    TAppConfig& operator=(const TAppConfig&) = delete;

    bool Loaded = false;
    QPointer<TXConnection> Connection; // not owned
    qint32 cb_ncc = 0;                 // 0 EAN-8, 1 EAN-13
    qint32 cb_nc_plantio = 0;
    double rela_inicial = 0;          // 0 or less: no lower limit
    double rela_final = 0;            // 0 or less: no upper limit
    TXMediaPlayer* MPlayer = nullptr; // not owned
    QString maquina;
    qint32 info_db = 0; // 0 planting, 1 collection, -1 after a disconnect
    QString DatabaseVersion;
    QString descricao_lote;
    qint32 OperatorId = -1;
    QString OperatorName;
    qint32 DeleteAuthorizerId = -1;
    QString ProgramVersion;

    /**
     * Reads the Configuracao row from Connection and returns true. An alert
     * sound naming an existing file becomes the player's file name; otherwise
     * the player keeps its file. Raises XException without a connection
     * ("Defina a Conexão antes de ler a configuração.") or without a row.
     */
    bool LoadConfig();
    /** True: Loaded = LoadConfig() (an error leaves Loaded as it was and passes on). False: Loaded
     * = false. */
    void SetLoaded(bool value);
    /** No operation: info_db = -1. */
    void ResetOperation();
    void SetOperator(qint32 id, const QString& name);

    /** BarcodeTypeName of cb_ncc / cb_nc_plantio: name is left unchanged for other indexes. */
    void NccBarcodeType(QString& name) const;
    void NcPlantioBarcodeType(QString& name) const;
    /**
     * True when value lies within rela_inicial..rela_final (a limit of 0 or
     * less is no limit); otherwise alerts the operator (ShowAlert) and answers false.
     */
    bool CheckNcPlantioRange(double value) const;
    /** The alert CheckNcPlantioRange shows for value; empty when value is in the range. */
    QString NcPlantioRangeMessage(double value) const;

    /** "Plantio" for info_db 0, "Coleta" for 1, empty otherwise. */
    QString OperationName() const;
    /** The main window's title. */
    QString MainTitle() const;
};

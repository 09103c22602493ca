#pragma once

#include "tfbcad.h"

class QComboBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class TXCommand;
class TXNumEdit;

/**
 * The configuration screen: shows the station's settings and saves the
 * editable ones (barcode types, alert sound); the new settings take effect at
 * once through a reload of the configuration record.
 */
class TFAppConfig : public TFBCad
{
    Q_OBJECT
public:
    explicit TFAppConfig(QWidget* parent = nullptr);
    ~TFAppConfig() override;

    QFrame* PConfig = nullptr;
    QGroupBox* GBCBarra = nullptr;
    QComboBox* cb_ncc = nullptr;
    QComboBox* cb_nc_plantio = nullptr;
    QGroupBox* GBAlertSound = nullptr;
    QLineEdit* alert_sound = nullptr;
    QToolButton* BLoadFile = nullptr;
    QGroupBox* GBNC = nullptr;
    TXNumEdit* rela_inicial = nullptr;
    TXNumEdit* rela_final = nullptr;
    QGroupBox* gbp = nullptr;
    QLineEdit* maquina = nullptr;
    QLineEdit* descricao_lote = nullptr;
    QLineEdit* info_db = nullptr;
    TXCommand* QAtu = nullptr; // owned

    /** Shows the configuration row read again from the database. */
    void FillControls();
    /** True when the configuration statement returns no row. */
    bool ConfigIsEmpty();
    /** Inserts or updates the editable fields; on error shows the box and answers false. */
    bool SaveConfig();

    bool ValidateField(QWidget* control) override;

    void BLoadFileClick();
    void BConfirmClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    bool m_shown = false;
};

/** The sound-file dialog's filter and default extension. */
inline const QString kSoundFileFilter =
    QStringLiteral("Arquivo de Audio (*.wav)|*.wav|Todos Arquivos (*.*)|*.*");
inline const QString kSoundFileExt = QStringLiteral("*.wav");

#pragma once

#include "platemapexport.h"
#include "tfbcad.h"
#include "tplatemap.h"

#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class TPlaca;
class TXRadioGroup;

/**
 * "Mapa da Placa", a read-only consultation of collection stations: a plate
 * code scanned into PLACA_LIDO shows the plate in the collection screen's
 * painted grid, each collected well with its sample code, and the plate's
 * counts. The buttons export the plate shown, or every plate with a collected
 * well, as a sheet, CSV, a printable PDF or a BrAPI vendor submission, into a
 * new file. Never writes the station file.
 *
 * Opening without a loaded configuration shows "Banco de dados não
 * Conectado." and closes the screen. Database errors while reading are not
 * caught: they reach the application's default error display.
 */
class TFCons_MapaPlaca : public TFBCad
{
    Q_OBJECT
public:
    explicit TFCons_MapaPlaca(QWidget* parent = nullptr);
    ~TFCons_MapaPlaca() override;

    QLineEdit* PLACA_LIDO = nullptr;
    QLabel* LContagem = nullptr;
    QLabel* LInfo = nullptr;
    QTableWidget* SG = nullptr;
    TXRadioGroup* RGExportar = nullptr;
    QLineEdit* CLIENTE = nullptr;
    QComboBox* TIPO_AMOSTRA = nullptr;
    QToolButton* BPlanilha = nullptr;
    QToolButton* BCSV = nullptr;
    QToolButton* BPDF = nullptr;
    QToolButton* BBrAPI = nullptr;

    /**
     * Reads and shows the plate with that code. An empty or unknown code alerts
     * the operator and leaves an empty plate; false then.
     */
    bool ShowPlaca(const QString& code);
    /** The plate shown; IdPlaca -1 when none. */
    const TPlateMap& Placa() const { return m_map; }
    /** Asks for a new file and exports the plates RGExportar chooses into it. */
    void Exportar(TPlateMapFormat format);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void RefreshPlaca();
    std::vector<TPlateMap> PlatesToExport();

    TPlateMap m_map;
    std::unique_ptr<TPlaca> m_placa; // what the painted grid draws
    bool m_shownOnce = false;
};

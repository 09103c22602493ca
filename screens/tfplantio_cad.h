#pragma once

#include "plantiosql.h"
#include "tfbcad.h"

class QGroupBox;
class QKeyEvent;
class QLabel;
class QToolButton;
class TXComboBox;
class TXCommand;
class TXDBGrid;
class TXEdit;
class TXQuery;
class TXRadioGroup;
class TScanFeedback;
struct PlantioKey;

/**
 * The planting screen: inside a chosen sub-batch the operator scans a plant
 * code (NCC) and a planting code (NC Plantio), and each accepted pair becomes a
 * Plantio row. The operation switch also offers the deletion of a planting not
 * yet transmitted and a filter of the grid. Opening asks for a login; closing
 * logs the operator out.
 */
class TFPlantio_Cad : public TFBCad
{
    Q_OBJECT
public:
    explicit TFPlantio_Cad(QWidget* parent = nullptr);
    ~TFPlantio_Cad() override;

    QGroupBox* GBUsuario = nullptr;
    TXEdit* USUA = nullptr;
    TXRadioGroup* RGOper = nullptr;
    QToolButton* BSetOper = nullptr;
    QGroupBox* GBLote = nullptr;
    TXComboBox* lote = nullptr;
    QLabel* PN_Lote_Falta = nullptr;
    QGroupBox* GBEnvelope = nullptr;
    QLabel* LNCC_Lido = nullptr;
    TXEdit* NCC_LIDO = nullptr;
    QLabel* Label11 = nullptr;
    TXEdit* nc_rep = nullptr;
    QLabel* LNCP_Lido = nullptr;
    TXEdit* NCP_LIDO = nullptr;
    TXDBGrid* GCad = nullptr;
    QLabel* LReg = nullptr;
    TXQuery* QGrid = nullptr;  // owned
    TXCommand* QAtu = nullptr; // owned

    /** Inclusion (1): validates and writes; deletion (4) and filter (5) act on the grid. */
    void BConfirmClick();
    /** Toggles between choosing an operation and applying the chosen one. */
    void BSetOperClick();
    /** The operator chose a sub-batch: grid and remaining count of that sub-batch. */
    void loteChange();

    /** Inclusion mode only: checks lote, NCC_LIDO or NCP_LIDO; alerts and refocuses on refusal. */
    bool ValidateField(QWidget* control) override;
    /** True when the plant exists and is not planted; shows "NC - Rep" in nc_rep. Alerts otherwise.
     */
    bool Valid_NCC(qint64 ncc);
    /**
     * True when the number is in the configured range and not yet used. Alerts
     * otherwise; a database error alerts and counts as a refusal.
     */
    bool Valid_NCP(qint64 ncp);
    /**
     * 1 inclusion, 4 deletion of the grid's current row, 5 filter. Reports
     * failures itself and answers true, but for an inclusion that wrote nothing
     * because one of its codes was stored meanwhile (not alerted here).
     */
    bool Gravar(int mode);
    /** Archives the planting if still not transmitted; copied is the number of rows archived.
     *  False with the database error's text in error (the caller alerts it once the
     *  transaction is over). */
    bool Copy_Reg_Exc(const PlantioKey& row, int& copied, QString& error);

    void LoadLotes();
    /** The chosen sub-batch's id; -1 when none is chosen. */
    int SelectedLoteId() const;
    /** Opens the grid query, or re-runs it when open, then ShowRegistros. */
    void ReopenGrid();
    void ShowRegistros();
    /** Shows and returns the plants still to plant in the sub-batch: 0 with none chosen, -1 on a
     * database error (alerted; the panel then shows "0"). */
    int Update_Lote_Faltando();
    void ClearLidos();
    void ClearLote();
    void SetLidoCaptions(bool filter);

    /** The status line and the focus banner. */
    TScanFeedback* Feedback() const { return m_feedback; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void FormShow();
    void EditKeyDown(TXEdit* edit);
    void EditExit(TXEdit* edit);
    void AfterGravar();
    void IncluirPlantio();
    void ExcluirPlantio();
    void DeletePlantio();
    void FiltrarPlantio();
    /** Opens QGrid with the statement it holds and shows its rows. */
    void OpenGrid();
    /** After an inclusion: the planting just written at the top of the grid, read by its key;
     *  when it cannot be read so, the grid is reopened whole. */
    void ShowInsertedPlantio();
    /** Selects the box's text and gives it the focus without validating the box it leaves. */
    void Refocus(TXEdit* edit);
    bool ValidateCode(TXEdit* edit);
    /** The refusal's alert with, when the code is of another kind, a line that says which. */
    void RefuseCode(const QString& message, const QString& code, bool isNcc);
    /** Moves the focus as the screen's own step: no field check runs for the box it leaves. */
    void MoveFocus(QWidget* widget);
    /** A key in the sub-batch list: a scan there is refused, Enter goes on to the NCC. */
    bool LoteKey(QKeyEvent* event);
    /** Deletion: the grid row the code fields name, made current; false (alerted) when none. */
    bool SelectScannedRow();

    LoteFaltando m_faltando;
    bool m_opened = false;
    bool m_closing = false;
    bool m_refocusing = false;
    TScanFeedback* m_feedback = nullptr;
    bool m_loteNavigating = false;
    QString m_loteTyped; // characters typed into the sub-batch list since its last Enter
};

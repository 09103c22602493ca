#pragma once

#include "tfbcad.h"

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class TPlaca;
class TXCommand;
class TXDBGrid;
class TXQuery;
class TXRadioGroup;
class TScanFeedback;

/**
 * The collection screen: the operator scans a plate code and then the NC
 * Plantio codes of the plantings sampled; each accepted code fills the next
 * free well of the plate in its collection order. The same screen undoes the
 * collection of a whole plate or of its last collected well, archiving what it
 * frees. Opening asks for a login; closing logs the operator out.
 */
class TFColeta_Cad : public TFBCad
{
    Q_OBJECT
public:
    /** Values of OperationMode. */
    static constexpr quint8 kInclusao = 1;
    static constexpr quint8 kExclusao = 4;

    explicit TFColeta_Cad(QWidget* parent = nullptr);
    ~TFColeta_Cad() override;

    QGroupBox* GBUsuario = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* USUA = nullptr;
    TXRadioGroup* RGOper = nullptr; // "Inclusão", "Exclusão - Placa", "Exclusão - Poço"
    QGroupBox* GBEnvelope = nullptr;
    QLabel* LPLACA_Lido = nullptr;
    QLineEdit* PLACA_LIDO = nullptr;
    QLabel* LNCP_Lido = nullptr;
    QLineEdit* NCP_LIDO = nullptr;
    QGroupBox* GBPoco = nullptr;
    QLabel* PN_Poco_Falta = nullptr;
    TXDBGrid* GCad = nullptr;
    QTableWidget* SG = nullptr;
    QLabel* LReg = nullptr;
    QToolButton* BSetOper = nullptr;
    TXQuery* QGrid = nullptr;  // owned
    TXCommand* QAtu = nullptr; // owned

    /** The loaded plate; IdPlaca -1 when none. */
    TPlaca& Placa() const { return *m_placa; }

    /** The selected item of RGOper (0 inclusion, 1 whole plate, 2 last well); -1 for none. */
    int RGOperIndex() const;
    void SetRGOperIndex(int index);

    /** Toggles between choosing an operation and applying the selected one. */
    void BSetOperClick();
    /** Validates the scan fields and writes the current operation. */
    void BConfirmClick();

    /**
     * Checks PLACA_LIDO (loading the plate when its code changed) or, in
     * inclusion, NCP_LIDO. Alerts on refusal; in inclusion a refused field
     * takes the focus back with its text selected. True when valid.
     */
    bool ValidateField(QWidget* control) override;
    /** Looks a plate up and loads it; alerts and answers false when it is not usable. */
    bool LoadPlaca(const QString& code);
    /**
     * True when the NC Plantio is in range, planted, not yet collected and the
     * plate has a free well. Alerts otherwise; a database error also counts as
     * a refusal.
     */
    bool Valid_NCP(qint64 nc);
    /** Writes the current operation; alerts and answers false on failure. */
    bool Gravar(quint8 mode);
    void AfterGravar();
    /** Reloads the wells from the database and redraws the plate, the count and the list. */
    void RefreshPlaca();
    /** Reads the plate's wells and fills SG; alerts and answers false on a database error. */
    bool LoadPlacaPoco();
    void ReopenGrid();
    /** Shows the number of wells still to collect and returns it. */
    int ShowPocosFalta();
    void ClearLidos();
    void SetPlacaCaption(bool deleting);

    /** The status line and the focus banner. */
    TScanFeedback* Feedback() const { return m_feedback; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void FormShow();
    bool EditKeyDown(QLineEdit* edit, int key);
    void EditExit(QLineEdit* edit);
    void UpdateLReg();
    /** The refusals of a deletion on the loaded plate: transmitted data, nothing collected. */
    bool DeletionAllowed();
    bool GravarInclusao();
    /** The well update changed no row: reloads the plate and says why. */
    void NothingWritten(const QString& label, qint64 nc);
    bool GravarExclusao();
    /** "Exclusão - Poço" with an NC Plantio scanned: it must be the last collected well's. */
    bool ScannedIsLastWell();
    /** Moves the focus as the screen's own step: no field check runs for the box it leaves. */
    void MoveFocus(QWidget* widget);
    /** The alert of a refused code, with a line naming its kind when it is another one. */
    void RefuseCode(const QString& message, const QString& code, int expectedKind);

    std::unique_ptr<TPlaca> m_placa;
    int m_appliedItem = 0; // the RGOper item in force
    bool m_shown = false;
    bool m_closing = false;
    QLineEdit* m_focusedEdit = nullptr; // the scan field that last received the focus
    TScanFeedback* m_feedback = nullptr;
    bool m_movingFocus = false; // the screen moves the focus itself: no field check
};

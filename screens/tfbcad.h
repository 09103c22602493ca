#pragma once

#include <QStringList>
#include <QWidget>

class QToolButton;
class TXCommand;
class TXDBGrid;
class TXXLS;

/**
 * Base of every data screen: an MDI child with a fixed frame, the buttons
 * "Confirmar" and "Fechar" at the bottom right, the shared entry state and the
 * routines for input controls named after table columns. Controls are found by
 * object name without regard to case; only plain edits, numeric edits and
 * combo boxes take part, any other control is skipped.
 */
class TFBCad : public QWidget
{
    Q_OBJECT
public:
    /** clientWidth x clientHeight is the fixed size of the screen's client area. */
    TFBCad(int clientWidth, int clientHeight, QWidget* parent = nullptr);

    QToolButton* BConfirm = nullptr;
    QToolButton* BClose = nullptr;

    quint8 OperationMode = 0;
    bool Confirming = false;
    QStringList FieldNames;

    /** The per-field check the entry screens override; the base accepts every control. */
    virtual bool ValidateField(QWidget* control);
    /** Checks the listed controls in order; false at the first refusal (the rest unchecked). */
    bool ValidateFields();
    /**
     * Appends the SQL fragments of the listed controls to columns and values
     * (the caller passes them empty): "a, c" / ":a, :c" in insert mode,
     * "a =:a, b = null , c =:c" in update mode (values untouched).
     */
    void BuildFieldLists(QString& columns, QString& values, bool insertMode);
    /** Sets the command's parameters named after the listed controls that have a value. */
    void SetFieldParameters(TXCommand* command);

    /** The control with that object name, compared without regard to case; null when none. */
    QWidget* FindFieldControl(const QString& name) const;

    /**
     * Exports the grid's columns and rows into a new workbook saved under
     * fileName with xls; reports success or failure in a box itself. False
     * when the export could not start or failed (see ExportQueryGridToXLS).
     */
    bool ExportGridToXLS(const QString& fileName, TXDBGrid* grid, TXXLS* xls);

    /** Closes the screen, which frees it. */
    void BCloseClick();

protected:
    /** The base show behaviour: to the top edge of the main window's client area. */
    void FormShow();
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    /** Tab, Backtab and the screens' Enter cycle through the screen's own controls. */
    bool focusNextPrevChild(bool next) override;

private:
    void PlaceButtons();
};

/** The input kinds the base routines recognise. */
enum class TFieldKind { None, Edit, NumEdit, XComboBox, ComboBox };
TFieldKind FieldKindOf(const QWidget* control);
/** Whether a recognised control holds a value for the SQL routines. */
bool FieldHasValue(const QWidget* control);

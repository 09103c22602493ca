#pragma once

#include "data/txquery.h"
#include "tfbcad.h"
#include "txquerymodel.h"

#include <QList>
#include <QString>
#include <QStringList>

class QLabel;
class TXDBGrid;
class TXRadioGroup;
class TXXLS;

/** What one report screen shows: its texts, its statements and its grid columns. */
struct TReportDefinition
{
    QString Caption;
    QString FilterCaption;
    QStringList FilterItems;
    int FilterColumns = 1;
    /** Main statement: Select + the condition text of the choice + Order. */
    QString Select;
    QString Order;
    /** The condition text of the second choice (only what is still to transmit). */
    QString Condition;
    QList<TXGridColumn> Columns;
    /** Statement of the third choice, the deleted records; empty when the report has none. */
    QString DeletedSelect;
    QList<TXGridColumn> DeletedColumns;
};

/**
 * The report screens: a choice of rows (RGFiltro, the second item chosen at
 * start), a grid over the report query, the row count, "Atualizar" (the
 * relabelled BConfirm: green while the grid matches the choice, red after the
 * choice changed) and the export of the grid to a new .xlsx file.
 *
 * Showing the screen loads the report, or, without a loaded configuration,
 * shows "Banco de dados não Conectado." and closes it. Database errors while
 * loading are not caught: they reach the application's default error display.
 */
class TFCons_Base : public TFBCad
{
    Q_OBJECT
public:
    TXRadioGroup* RGFiltro = nullptr;
    TXDBGrid* GCons = nullptr;
    TXQuery* Q = nullptr;
    QLabel* LRegistro = nullptr;
    QToolButton* BExportar = nullptr;
    TXXLS* XLS = nullptr;

    /** Reloads the report for the current choice. Raises on database errors. */
    void BConfirmClick();
    /** Marks the grid stale (red "Atualizar") without reloading it. */
    void RGFiltroClick();
    /** Asks for a new file and exports the grid into it; an existing file is refused. */
    void BExportarClick();

    /** The condition text of the current choice; empty unless the second item is chosen. */
    QString WhereFiltro() const;
    /** True while "Atualizar" is red (the grid does not match the choice). */
    bool Stale() const { return m_stale; }

    /** The save dialog's file types and default extension. */
    static const QString kExportFilter;
    static const QString kExportExtension;

protected:
    explicit TFCons_Base(TReportDefinition definition, QWidget* parent = nullptr);
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LoadMain();
    void LoadExcluidos();
    void LoadStatement(const QString& sql, const QList<TXGridColumn>& columns);
    void ShowRegistros();
    void SetAtualizarColor(bool current);
    void PlaceControls();

    const TReportDefinition m_definition;
    bool m_stale = false;
    bool m_loadedOnce = false;
};

/** Appends a grid column bound to the field: centred title, cell alignment and width in pixels. */
void AddGridColumn(TXDBGrid* grid, const QString& fieldName, const QString& title,
                   Qt::Alignment alignment, int width);

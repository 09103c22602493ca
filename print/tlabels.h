#pragma once

#include "tbarcode.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

/** A sheet of labels, in millimetres: labels in a grid from the top left corner. */
struct TLabelSheet
{
    QString Name; // the preset's name; empty for a custom grid
    double PageWidth = 210, PageHeight = 297;
    double MarginTop = 0, MarginLeft = 0;
    double LabelWidth = 0, LabelHeight = 0;
    double GapX = 0, GapY = 0;
    int Columns = 0, Rows = 0;

    int PerPage() const { return Columns * Rows; }
};

/** The common label sheets on A4 and US Letter, named paper-COLUMNSxROWS. */
const std::vector<TLabelSheet>& LabelSheetPresets();
/** The preset of that name (letter case ignored); null when there is none. */
const TLabelSheet* FindLabelSheet(const QString& name);
/**
 * A custom grid: as many columns and rows as fit the page within the margins
 * (the right and bottom ones as the left and top). Raises XException when no
 * label fits.
 */
TLabelSheet CustomLabelSheet(double pageWidth, double pageHeight, double marginTop,
                             double marginLeft, double labelWidth, double labelHeight, double gapX,
                             double gapY);

/** Where a label goes: its page (0-based) and its top left corner on it. */
struct TLabelPlace
{
    int Page = 0;
    double X = 0, Y = 0;
};
/** The place of the slot-th label (0-based), row by row from the sheet's first label. */
TLabelPlace LabelPlace(const TLabelSheet& sheet, int slot);

/** One label: the code (the barcode's only content) and up to two lines for people. */
struct TLabel
{
    TSymbology Symbology = TSymbology::Code128;
    QString Code;
    QStringList Lines;
};

/** What to print: the labels, each copies times in a row, from the start-th place (1-based). */
struct TLabelJob
{
    std::vector<TLabel> Labels;
    int Copies = 1;
    int Start = 1;
};

/** Called as labels are laid out: labels done so far and how many in all. */
using TLabelProgress = std::function<void(int done, int total)>;

/**
 * Draws the job on sheets as a PDF at path. Raises XException when a label's
 * code does not suit its symbology or its barcode would not fit the label at
 * a scannable size (the module at least MinimumModuleMm, quiet zones clear,
 * bars at least 5 mm high); the message names the smallest label it needs.
 */
void WriteLabelsPdf(const QString& path, const TLabelSheet& sheet, const TLabelJob& job,
                    const TLabelProgress& progress = {});

/**
 * The job as ZPL II for a thermal printer at dpi (203 or 300) and a label of
 * that size: one ^XA...^XZ format per label with ^PQ for its copies, the bars
 * drawn by the printer's own barcode command (^BE, ^B8, ^BC, ^BX, ^BQ) with a
 * whole number of dots per module. Raises XException on a refusal.
 */
QByteArray LabelsZpl(const TLabelJob& job, double labelWidth, double labelHeight, int dpi,
                     const TLabelProgress& progress = {});

/**
 * Writes the job to a new file at path (never replacing one): ZPL when path
 * ends in ".zpl" (sizes from sheet's label, at dpi), PDF otherwise. Nothing is
 * left at path on a refusal.
 */
void ExportLabels(const QString& path, const TLabelSheet& sheet, int dpi, const TLabelJob& job,
                  const TLabelProgress& progress = {});

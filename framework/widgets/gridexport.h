#pragma once

#include <QString>

class TXDBGrid;
class TXXLS;

/**
 * Exports a data grid into a new workbook saved under fileName with xls (its
 * NewFile and FileName are set here): a header row with the column titles in
 * the grid's column order, one row per record of the grid's query with the
 * typed values, the header filled grey and auto-fitted, the whole table
 * centred and bordered. Shows "Arquivo <fileName> exportado com sucesso." once
 * saved; any failure after the start, the save included, shows the export
 * error box and writes nothing under fileName. xls is closed in every case.
 * False when xls could not start or the export failed. Long exports show a
 * progress dialog and keep the windows painted; a close of the grid's screen
 * or main window asked meanwhile is carried out once the export is over.
 */
bool ExportQueryGridToXLS(const QString& fileName, TXDBGrid* grid, TXXLS* xls);

#pragma once

#include <QHash>
#include <QStringList>
#include <QVariant>

/** An .xlsx file read back the way a spreadsheet program would, independently of the workbook
 * model under test: sheet names, one sheet's cells with their values and formats, column widths. */
struct XlsxCell
{
    QVariant Value;    // double for numbers, QString for texts, bool for booleans, null when empty
    int FillRgb = -1;  // solid fill colour as 0xRRGGBB, -1 when none
    QString Alignment; // horizontal alignment, empty for general
    QStringList Borders;  // styles of the sides that have one: left, right, top, bottom
    QString NumberFormat; // format code ("0"), empty for general
};

struct XlsxContent
{
    bool Ok = false; // false when the file or its sheet cannot be read
    QStringList SheetNames;
    QHash<QString, XlsxCell> Cells;  // by reference, "A1"
    QHash<int, double> ColumnWidths; // 1-based column
    int MaxRow = 0;
    int MaxColumn = 0;

    XlsxCell At(const QString& ref) const { return Cells.value(ref); }
};

/** The cells are those of the 1-based sheet (the file's sheet<N>.xml). */
XlsxContent ReadXlsx(const QString& path, int sheet = 1);

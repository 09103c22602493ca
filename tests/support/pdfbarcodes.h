#pragma once

#include <QString>
#include <QStringList>

/**
 * Every barcode on every page of the PDF, as "SYMBOLOGY:data" the way a
 * scanner would read a print: each page rendered at 300 dpi by pdftoppm
 * (poppler-utils), then read by zbarimg (zbar-tools). Sorted, one entry per
 * symbol found. Empty with a failed test when a tool is missing or fails.
 */
QStringList PdfBarcodes(const QString& pdf);

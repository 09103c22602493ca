#pragma once

#include <QString>

/** The symbologies the plate label uses. */
enum class TBarcodeKind { None, Ean13, Code128 };

/** A barcode as modules, left to right: '1' a dark module, '0' a light one. */
struct TBarcode
{
    TBarcodeKind Kind = TBarcodeKind::None;
    QString Modules;
};

/**
 * The barcode of a plate code: EAN-13 for 13 digits whose check digit holds,
 * Code 128 (code set B) for any other printable ASCII text, None otherwise
 * (an empty code or characters Code 128 B cannot carry). Quiet zones are left
 * to the drawing.
 */
TBarcode EncodeBarcode(const QString& code);

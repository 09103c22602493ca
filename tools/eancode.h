#pragma once

#include "xean.h"

#include <QString>

/** Barcode types as Configuracao stores them (CB_NCC, CB_NC_PLANTIO). */
enum class BarcodeType { Ean8 = 0, Ean13 = 1 };

/** "EAN-8" or "EAN-13". */
QString BarcodeTypeName(BarcodeType type);

/** Parses "EAN-8" / "EAN-13" (letter case and the dash ignored); false for anything else. */
bool ParseBarcodeType(const QString& text, BarcodeType* type);

/** Number of digits of a full code, check digit included: 8 or 13. */
int BarcodeLength(BarcodeType type);

/** Largest number a code of the type can carry (the digits before the check digit). */
qint64 MaxBarcodeNumber(BarcodeType type);

/**
 * The scannable code of a stored number: the number zero-padded to the type's
 * length minus one, then its check digit. Raises XException when the number is
 * negative or too large for the type.
 */
QString EanCode(qint64 number, BarcodeType type);

#pragma once

#include "xean.h"

#include <QString>

/** Barcode type names by configured index: 0 "EAN-8", 1 "EAN-13". */
inline const QString kEan8 = QStringLiteral("EAN-8");
inline const QString kEan13 = QStringLiteral("EAN-13");

/** Sets name for index 0 or 1; any other index leaves name unchanged. */
void BarcodeTypeName(int index, QString& name);

/**
 * Checks a scanned code against a barcode type name. "EAN-8" and "EAN-13"
 * (exact) run their check; any other name passes. message is emptied first and
 * holds the one failure text when the answer is false. Shows nothing.
 */
bool ValidateBarcode(const QString& code, const QString& typeName, QString& message);

/** Length (trimmed), digits (as entered), then check digit; the first failure wins. */
bool ValidateEAN8(const QString& code, QString& message);
bool ValidateEAN13(const QString& code, QString& message);

/** Alert for a code whose digits are not all numbers (also when no barcode type is configured). */
inline const QString kCodeNotNumeric = QStringLiteral("Código deve conter somente números.");

/**
 * The number a scanned code stands for: the code without blanks at its ends
 * and without its check digit (the last character). False when what remains
 * is not a decimal number (a one-character code included).
 */
bool CodeNumber(const QString& code, qint64& number);

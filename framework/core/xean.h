#pragma once

#include <QString>

/**
 * The GS1 check digit (EAN-8, EAN-13) of the digits before it: weight 3 on the
 * digit next to the check digit, alternating with 1 to the left. Every
 * character must be a digit.
 */
int EanCheckDigit(const QString& digitsWithoutCheck);

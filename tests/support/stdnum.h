#pragma once

#include <QStringList>

/**
 * The check digit of each prefix (7 or 12 digits) as python-stdnum's EAN module computes it,
 * an implementation written independently of this project. Fails the current test and returns
 * an empty list when python3 or the module is missing.
 */
QStringList StdnumCheckDigits(const QStringList& prefixes);

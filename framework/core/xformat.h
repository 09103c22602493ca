#pragma once

#include <QChar>
#include <QString>
#include <array>

/** The regional settings of the station (Brazilian Portuguese). */
struct TXFormatSettings
{
    int CurrencyFormat = 0; // symbol before the amount, no blank
    int NegCurrFormat = 0;  // negative amount in parentheses
    QChar ThousandSeparator;
    QChar DecimalSeparator;
    int CurrencyDecimals = 2;
    QChar DateSeparator;
    QChar TimeSeparator;
    QChar ListSeparator; // not set: QChar(0)
    QString CurrencyString;
    QString ShortDateFormat;
    QString LongDateFormat;
    QString TimeAMString;
    QString TimePMString;
    QString ShortTimeFormat;
    QString LongTimeFormat;
    std::array<QString, 12> ShortMonthNames;
    std::array<QString, 12> LongMonthNames;
    std::array<QString, 7> ShortDayNames; // Sunday first
    std::array<QString, 7> LongDayNames;  // Sunday first
    int TwoDigitYearCenturyWindow = 50;
};

/** The pt-BR settings, filled once; they never change the process-wide locale. */
const TXFormatSettings& XFormatSettings();

/**
 * Formats a number with a Delphi-style pattern: up to three sections "positive;negative;zero",
 * '0' (forced digit) and '#' (optional digit) placeholders, ',' anywhere in the integer part for
 * thousands grouping, the first '.' for the decimal point, quoted or other characters as literal
 * text. Halves round away from zero. A value that rounds to zero uses the zero section (or the
 * first) without a sign; a negative value with no negative section gets a leading '-'. An empty
 * pattern gives the general form with up to 15 significant digits.
 */
QString FormatFloat(const QString& pattern, double value,
                    const TXFormatSettings& fs = XFormatSettings());

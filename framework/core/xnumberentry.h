#pragma once

#include <QChar>
#include <QString>
#include <optional>

/** Kind of number a numeric edit accepts. */
enum class TNumberEditType { integervalue, longintvalue, floatingpointvalue, wordvalue };

/** The display format a kind starts with: "0;-0" for the whole kinds, ",0.00;(,0.00)" else. */
QString DefaultDisplayFormat(TNumberEditType kind);

/**
 * Reads a number from an edit's text. The text is negative when it holds "-" or
 * "(" anywhere; only digits and decimalSeparator count, everything else
 * (grouping, signs, parentheses, blanks) is dropped. Nothing kept (an empty
 * text, "-") reads as 0. Returns nullopt when the kept characters are no
 * number (a separator alone, two separators) or the number is not finite.
 */
std::optional<double> ParseNumberText(const QString& text, QChar decimalSeparator);

/** What the edit looks like before a typed character is applied. */
struct TNumberEditState
{
    QString Text;
    int SelStart = 0; // caret position when nothing is selected
    int SelLength = 0;
};

/**
 * The key filter of a numeric edit: true when the typed character key may go on
 * to the edit. Accepts Backspace (8), Delete (127), digits, "-" (not for
 * wordvalue, only at the first position) and, for floatingpointvalue, one
 * decimalSeparator; a digit is refused in front of a leading "-" or when the
 * resulting text leaves the kind's range (16-bit signed, 32-bit signed, 0..65535).
 */
bool NumberKeyAccepted(TNumberEditType kind, QChar key, const TNumberEditState& state,
                       QChar decimalSeparator);

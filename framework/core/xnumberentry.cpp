#include "xnumberentry.h"

#include <cmath>
#include <limits>

namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// An optional "-" and at least one digit, nothing else; nullopt also when the
// number is too long for any kind (the caller's range check refuses it then).
std::optional<qint64> WholeNumber(const QString& text)
{
    const bool negative = text.startsWith(QLatin1Char('-'));
    const qsizetype first = negative ? 1 : 0;
    if (text.size() == first)
        return std::nullopt;
    qint64 value = 0;
    for (qsizetype i = first; i < text.size(); ++i) {
        if (!IsAsciiDigit(text[i]))
            return std::nullopt;
        value = value * 10 + (text[i].unicode() - '0');
        if (value > std::numeric_limits<qint32>::max() + qint64(1))
            return std::nullopt;
    }
    return negative ? -value : value;
}

bool InRange(TNumberEditType kind, const QString& text)
{
    const std::optional<qint64> value = WholeNumber(text);
    switch (kind) {
    case TNumberEditType::integervalue:
        return value && *value >= -32768 && *value <= 32767;
    case TNumberEditType::longintvalue: {
        const qsizetype digits = text.size() - (text.startsWith(QLatin1Char('-')) ? 1 : 0);
        return value && digits <= 10 && *value >= std::numeric_limits<qint32>::min() &&
               *value <= std::numeric_limits<qint32>::max();
    }
    case TNumberEditType::wordvalue:
        // The text may hold a "-" that was pasted or shown for a negative Value.
        return value && *value >= 0 && *value <= 65535;
    case TNumberEditType::floatingpointvalue:
        break;
    }
    return true;
}

} // namespace

QString DefaultDisplayFormat(TNumberEditType kind)
{
    return kind == TNumberEditType::floatingpointvalue ? QStringLiteral(",0.00;(,0.00)")
                                                       : QStringLiteral("0;-0");
}

std::optional<double> ParseNumberText(const QString& text, QChar decimalSeparator)
{
    bool negative = false;
    bool hasDigit = false;
    int separators = 0;
    QString kept;
    for (const QChar c : text) {
        if (c == QLatin1Char('-') || c == QLatin1Char('(')) {
            negative = true;
        } else if (IsAsciiDigit(c)) {
            kept.append(c);
            hasDigit = true;
        } else if (c == decimalSeparator) {
            kept.append(QLatin1Char('.'));
            ++separators;
        }
    }
    if (separators > 1)
        return std::nullopt;
    // Only a text with nothing kept reads as 0; a lone separator is no number.
    if (kept.isEmpty())
        return 0.0;
    if (!hasDigit)
        return std::nullopt;
    bool ok = false;
    const double value = kept.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    // No negative zero: "-0" reads as plain 0.
    return negative && value != 0 ? -value : value;
}

bool NumberKeyAccepted(TNumberEditType kind, QChar key, const TNumberEditState& state,
                       QChar decimalSeparator)
{
    if (key == QChar(8) || key == QChar(127))
        return true;
    const QString& text = state.Text;
    const QString selected = text.mid(state.SelStart, state.SelLength);
    if (key == QLatin1Char('-'))
        return kind != TNumberEditType::wordvalue && state.SelStart == 0;
    if (key == decimalSeparator && kind == TNumberEditType::floatingpointvalue)
        return !text.contains(decimalSeparator) ||
               (state.SelLength > 0 && selected.contains(decimalSeparator));
    if (!IsAsciiDigit(key))
        return false;
    // No digit in front of the sign.
    if (state.SelStart == 0 && !selected.contains(QLatin1Char('-')) &&
        text.startsWith(QLatin1Char('-')))
        return false;
    const QString result =
        text.left(state.SelStart) + key + text.mid(state.SelStart + state.SelLength);
    return InRange(kind, result);
}

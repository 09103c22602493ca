// The numeric edit's parser and key filter on any text, for every kind, key
// and selection.
#include "fuzzcheck.h"
#include "xnumberentry.h"

#include <cmath>
#include <cstdint>
#include <tuple>

namespace {

// Each kind with its range; the floating-point kind has none.
constexpr std::tuple<TNumberEditType, double, double> kKinds[] = {
    {TNumberEditType::integervalue, -32768, 32767},
    {TNumberEditType::longintvalue, -2147483648.0, 2147483647.0},
    {TNumberEditType::floatingpointvalue, -HUGE_VAL, HUGE_VAL},
    {TNumberEditType::wordvalue, 0, 65535}};

void CheckParse(const QString& text, QChar separator)
{
    const std::optional<double> value = ParseNumberText(text, separator);
    if (text.count(separator) > 1) {
        FuzzCheck(!value, "two separators are no number");
        return;
    }
    if (!value)
        return; // too many digits for a double
    FuzzCheck(std::isfinite(*value) && !(*value == 0 && std::signbit(*value)), "finite, no -0");
    const bool negative = text.contains(u'-') || text.contains(u'(');
    FuzzCheck(negative ? *value <= 0 : *value >= 0, "sign");
}

void CheckKey(int kindIndex, QChar key, const TNumberEditState& state, QChar separator)
{
    const auto [kind, low, high] = kKinds[kindIndex];
    if (!NumberKeyAccepted(kind, key, state, separator))
        return;
    const QString& text = state.Text;
    const QString result =
        text.left(state.SelStart) + key + text.mid(state.SelStart + state.SelLength);
    if (key == separator && kind == TNumberEditType::floatingpointvalue &&
        text.count(separator) <= 1)
        FuzzCheck(result.count(separator) == 1, "one decimal separator");
    if (kind == TNumberEditType::floatingpointvalue || key < u'0' || key > u'9')
        return;
    const std::optional<double> value = ParseNumberText(result, separator);
    FuzzCheck(value && *value >= low && *value <= high, "an accepted digit keeps the range");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The parser reads all the bytes as text.
    const QString all = QString::fromUtf8(FuzzBytes(data, size));
    for (const QChar separator : {u',', u'.'})
        CheckParse(all, separator);
    if (size < 4)
        return 0;

    // The key filter: kind and separator, key, selection start and length, then the edit's text.
    const QChar separator = data[0] & 4 ? u'.' : u',';
    const QChar key = data[1] == 0xFF ? QChar(0x0663) : QChar(data[1]); // 0xFF: a non-ASCII digit
    const QString text = QString::fromUtf8(FuzzBytes(data + 4, size - 4));
    const int start = data[2] % (text.size() + 1);
    const int length = data[3] % (text.size() - start + 1);
    CheckKey(data[0] % 4, key, {text, start, length}, separator);
    return 0;
}

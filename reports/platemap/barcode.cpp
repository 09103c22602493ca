#include "barcode.h"

#include "xean.h"

#include <algorithm>

namespace {

// Bar and space widths of the Code 128 symbols 0..105; the stop symbol has a final bar.
const char* const kCode128[] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232"};
const char kCode128Stop[] = "2331112";
constexpr int kStartB = 104;

void AppendWidths(QString& modules, const char* widths)
{
    bool dark = true;
    for (const char* w = widths; *w; ++w, dark = !dark)
        modules += QString(*w - '0', dark ? QLatin1Char('1') : QLatin1Char('0'));
}

// EAN left-hand odd (L) digits; the right-hand (R) set is their complement and the
// even (G) set the reverse of R.
const char* const kEanL[] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                             "0110001", "0101111", "0111011", "0110111", "0001011"};
// Which of the left six digits use G, chosen by the first digit.
const char* const kEanParity[] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                  "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};

QString EanR(int digit)
{
    QString r = QString::fromLatin1(kEanL[digit]);
    for (QChar& c : r)
        c = c == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');
    return r;
}

QString Ean13(const QString& code)
{
    const int first = code[0].digitValue();
    QString modules = QStringLiteral("101");
    for (int i = 1; i <= 6; ++i) {
        const int digit = code[i].digitValue();
        if (kEanParity[first][i - 1] == 'L') {
            modules += QString::fromLatin1(kEanL[digit]);
        } else {
            QString g = EanR(digit);
            std::reverse(g.begin(), g.end());
            modules += g;
        }
    }
    modules += QStringLiteral("01010");
    for (int i = 7; i <= 12; ++i)
        modules += EanR(code[i].digitValue());
    return modules + QStringLiteral("101");
}

bool IsEan13(const QString& code)
{
    if (code.size() != 13)
        return false;
    for (const QChar c : code) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return EanCheckDigit(code.left(12)) == code[12].digitValue();
}

} // namespace

TBarcode EncodeBarcode(const QString& code)
{
    if (IsEan13(code))
        return {TBarcodeKind::Ean13, Ean13(code)};
    if (code.isEmpty())
        return {};
    QString modules;
    AppendWidths(modules, kCode128[kStartB]);
    int checksum = kStartB;
    int position = 1;
    for (const QChar c : code) {
        if (c.unicode() < 32 || c.unicode() > 126)
            return {};
        const int value = c.unicode() - 32;
        AppendWidths(modules, kCode128[value]);
        checksum += value * position++;
    }
    AppendWidths(modules, kCode128[checksum % 103]);
    AppendWidths(modules, kCode128Stop);
    return {TBarcodeKind::Code128, modules};
}

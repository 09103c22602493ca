#include "xformat.h"

#include <QList>
#include <QStringView>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

TXFormatSettings BuildBrazilianSettings()
{
    TXFormatSettings fs;
    fs.CurrencyFormat = 0;
    fs.NegCurrFormat = 0;
    fs.ThousandSeparator = QLatin1Char('.');
    fs.DecimalSeparator = QLatin1Char(',');
    fs.CurrencyDecimals = 2;
    fs.DateSeparator = QLatin1Char('/');
    fs.TimeSeparator = QLatin1Char(':');
    fs.ListSeparator = QChar(0);
    fs.CurrencyString = QStringLiteral("R$");
    fs.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    fs.LongDateFormat = QStringLiteral("dd\" de \"mmmm\" de \"yyyy");
    fs.TimeAMString = QStringLiteral("am");
    fs.TimePMString = QStringLiteral("pm");
    fs.ShortTimeFormat = QStringLiteral("hh:nn");
    fs.LongTimeFormat = QStringLiteral("hh:nn:ss");
    fs.ShortMonthNames = {QStringLiteral("jan"), QStringLiteral("fev"), QStringLiteral("mar"),
                          QStringLiteral("abr"), QStringLiteral("mai"), QStringLiteral("jun"),
                          QStringLiteral("jul"), QStringLiteral("ago"), QStringLiteral("set"),
                          QStringLiteral("out"), QStringLiteral("nov"), QStringLiteral("dez")};
    fs.LongMonthNames = {
        QStringLiteral("janeiro"), QStringLiteral("fevereiro"), QStringLiteral("março"),
        QStringLiteral("abril"),   QStringLiteral("maio"),      QStringLiteral("junho"),
        QStringLiteral("julho"),   QStringLiteral("agosto"),    QStringLiteral("setembro"),
        QStringLiteral("outubro"), QStringLiteral("novembro"),  QStringLiteral("dezembro")};
    fs.ShortDayNames = {QStringLiteral("dom"), QStringLiteral("seg"), QStringLiteral("ter"),
                        QStringLiteral("qua"), QStringLiteral("qui"), QStringLiteral("sex"),
                        QStringLiteral("sab")};
    fs.LongDayNames = {QStringLiteral("domingo"),      QStringLiteral("segunda-feira"),
                       QStringLiteral("terça-feira"),  QStringLiteral("quarta-feira"),
                       QStringLiteral("quinta-feira"), QStringLiteral("sexta-feira"),
                       QStringLiteral("sábado")};
    fs.TwoDigitYearCenturyWindow = 50;
    return fs;
}

// One section of a pattern, split into what the renderer needs.
struct TSection
{
    enum class TokenKind { IntDigit, FracDigit, Point, Literal };
    struct Token
    {
        TokenKind Kind;
        QString Text; // literal text only
    };
    QList<Token> Tokens;
    int IntCount = 0;  // integer placeholders
    int MinInt = 0;    // forced integer digits (from the first '0' on)
    int FracCount = 0; // decimal placeholders
    int MinFrac = 0;   // forced decimals (up to the last '0')
    bool HasPoint = false;
    bool Thousands = false;
};

TSection ParseSection(QStringView text)
{
    TSection s;
    int firstIntZero = -1;
    auto literal = [&s](QStringView piece) {
        if (!s.Tokens.isEmpty() && s.Tokens.last().Kind == TSection::TokenKind::Literal)
            s.Tokens.last().Text += piece;
        else
            s.Tokens.append({TSection::TokenKind::Literal, piece.toString()});
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            qsizetype end = text.indexOf(c, i + 1);
            if (end < 0)
                end = text.size();
            literal(text.mid(i + 1, end - i - 1));
            i = end;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            const bool zero = c == QLatin1Char('0');
            if (s.HasPoint) {
                ++s.FracCount;
                if (zero)
                    s.MinFrac = s.FracCount;
                s.Tokens.append({TSection::TokenKind::FracDigit, {}});
            } else {
                if (zero && firstIntZero < 0)
                    firstIntZero = s.IntCount;
                ++s.IntCount;
                s.Tokens.append({TSection::TokenKind::IntDigit, {}});
            }
        } else if (c == QLatin1Char('.') && !s.HasPoint) {
            s.HasPoint = true;
            s.Tokens.append({TSection::TokenKind::Point, {}});
        } else if (c == QLatin1Char(',')) {
            s.Thousands = true;
        } else {
            literal(text.mid(i, 1));
        }
    }
    if (firstIntZero >= 0)
        s.MinInt = s.IntCount - firstIntZero;
    return s;
}

// |value| rounded to `decimals` places, half away from zero, as digit strings. A double carries
// 15 significant digits; rounding from those keeps 1.005 at 1.01 as the operator reads it.
struct TDigits
{
    QString Int;  // no leading zeros; empty for zero
    QString Frac; // exactly `decimals` digits
    bool IsZero() const { return Int.isEmpty() && Frac.count(QLatin1Char('0')) == Frac.size(); }
};

TDigits RoundToDigits(double absValue, int decimals)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", absValue);
    QByteArray mantissa(buf, 1);
    mantissa.append(buf + 2, 14);
    const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
    const int keep = exponent + 1 + decimals; // significant digits up to the last decimal

    QByteArray kept;
    if (keep >= 0) {
        kept = mantissa.left(keep);
        if (kept.size() < keep)
            kept.append(keep - kept.size(), '0');
        if (keep < mantissa.size() && mantissa[keep] >= '5') {
            qsizetype i = kept.size() - 1;
            for (; i >= 0 && kept[i] == '9'; --i)
                kept[i] = '0';
            if (i >= 0)
                kept[i] = char(kept[i] + 1);
            else
                kept.prepend('1');
        }
    }
    if (kept.size() < decimals)
        kept.prepend(QByteArray(decimals - kept.size(), '0'));

    TDigits d;
    d.Int = QString::fromLatin1(kept.left(kept.size() - decimals));
    d.Frac = QString::fromLatin1(kept.right(decimals));
    while (d.Int.startsWith(QLatin1Char('0')))
        d.Int.remove(0, 1);
    return d;
}

QString RenderSection(const TSection& s, const TDigits& d, const TXFormatSettings& fs)
{
    QString intDigits = d.Int;
    if (intDigits.size() < s.MinInt)
        intDigits.prepend(QString(s.MinInt - intDigits.size(), QLatin1Char('0')));
    QString frac = d.Frac;
    while (frac.size() > s.MinFrac && frac.endsWith(QLatin1Char('0')))
        frac.chop(1);

    QString out;
    auto putIntDigit = [&](qsizetype idx) {
        out += intDigits[idx];
        const qsizetype remaining = intDigits.size() - 1 - idx;
        if (s.Thousands && remaining > 0 && remaining % 3 == 0)
            out += fs.ThousandSeparator;
    };
    // Digits beyond the placeholders all go out at the first placeholder.
    const qsizetype excess = intDigits.size() - s.IntCount;
    int intIndex = 0;
    int fracIndex = 0;
    for (const TSection::Token& token : s.Tokens) {
        switch (token.Kind) {
        case TSection::TokenKind::Literal:
            out += token.Text;
            break;
        case TSection::TokenKind::IntDigit: {
            if (intIndex == 0)
                for (qsizetype i = 0; i < excess; ++i)
                    putIntDigit(i);
            const qsizetype idx = intIndex + excess;
            if (idx >= 0)
                putIntDigit(idx);
            ++intIndex;
            break;
        }
        case TSection::TokenKind::Point:
            if (s.IntCount == 0)
                for (qsizetype i = 0; i < intDigits.size(); ++i)
                    putIntDigit(i);
            if (!frac.isEmpty())
                out += fs.DecimalSeparator;
            break;
        case TSection::TokenKind::FracDigit:
            if (fracIndex < frac.size())
                out += frac[fracIndex];
            ++fracIndex;
            break;
        }
    }
    return out;
}

QString GeneralForm(double value, const TXFormatSettings& fs)
{
    QString text = QString::number(value, 'g', 15).toUpper();
    text.replace(QLatin1Char('.'), fs.DecimalSeparator);
    return text;
}

// Sections split at ';' outside quoted text.
QList<QStringView> SplitSections(QStringView pattern)
{
    QList<QStringView> sections;
    qsizetype start = 0;
    QChar quote;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            sections.append(pattern.mid(start, i - start));
            start = i + 1;
        }
    }
    sections.append(pattern.mid(start));
    return sections;
}

} // namespace

const TXFormatSettings& XFormatSettings()
{
    static const TXFormatSettings settings = BuildBrazilianSettings();
    return settings;
}

QString FormatFloat(const QString& pattern, double value, const TXFormatSettings& fs)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");

    const QList<QStringView> sections = SplitSections(pattern);
    auto sectionAt = [&sections](int index) {
        return index < sections.size() && !sections[index].isEmpty() ? sections[index]
                                                                     : sections[0];
    };
    const bool negative = value < 0;
    QStringView chosen = value == 0 ? sectionAt(2) : negative ? sectionAt(1) : sections[0];
    bool minus = negative && (sections.size() < 2 || sections[1].isEmpty());

    if (chosen.isEmpty())
        return GeneralForm(value, fs);
    TSection section = ParseSection(chosen);
    TDigits digits = RoundToDigits(std::fabs(value), section.FracCount);
    if (digits.IsZero() && value != 0) {
        // Rounded away to nothing: shown as zero, never as "-0".
        minus = false;
        chosen = sectionAt(2);
        if (chosen.isEmpty())
            return GeneralForm(0, fs);
        section = ParseSection(chosen);
        digits = RoundToDigits(0, section.FracCount);
    }
    const QString text = RenderSection(section, digits, fs);
    return minus ? QLatin1Char('-') + text : text;
}

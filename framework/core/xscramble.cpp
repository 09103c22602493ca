#include "xscramble.h"

#include "xpackbuffer.h"

#include <random>

namespace {

// Completes keys shorter than four bytes.
constexpr char kKeyFiller[] = "Tr$5";
constexpr int kDigitsAround = 7;
constexpr int kMaxRun = 220;
constexpr unsigned char kLowLimit = 34;

std::mt19937& Generator()
{
    thread_local std::mt19937 generator{std::random_device{}()};
    return generator;
}

int RandomBelow(int limit)
{
    return std::uniform_int_distribution<int>(0, limit - 1)(Generator());
}

// The salt's three digits; a damaged salt outside 100..999 still gives three.
QByteArray SaltDigits(int salt)
{
    return QByteArray::number(salt).rightJustified(3, '0').left(3);
}

QByteArray EffectiveKey(QByteArray key, const QByteArray& digits)
{
    if (key.size() < 4)
        key.append(kKeyFiller + key.size(), 4 - key.size());
    QByteArray effective;
    for (int i = 0; i < 3; ++i) {
        effective += key[i];
        effective += digits[i];
    }
    return effective + key.mid(3);
}

// Positions are 1-based: even positions add the key byte, odd ones subtract it.
QByteArray Cipher(QByteArray bytes, const QByteArray& key, bool scramble)
{
    for (qsizetype idx = 0; idx < bytes.size(); ++idx) {
        const auto i = static_cast<unsigned char>(idx + 1);
        const auto k = static_cast<unsigned char>(key[idx % key.size()]);
        const auto b = static_cast<unsigned char>(bytes[idx]);
        const bool even = (idx + 1) % 2 == 0;
        const unsigned int result =
            scramble ? (even ? b + k + i : b - k + i) : (even ? b - i - k : b - i + k);
        bytes[idx] = char(result & 0xFF);
    }
    return bytes;
}

char RandomDigit()
{
    return char('0' + RandomBelow(10));
}

} // namespace

QByteArray EscapePrintable(const QByteArray& bytes)
{
    auto low = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]) < kLowLimit; };
    QByteArray out;
    out.reserve(bytes.size() * 2);
    const qsizetype length = bytes.size();
    qsizetype i = 0;
    while (i < length) {
        const char b = bytes[i];
        if (!low(i)) {
            out += b;
            ++i;
        } else if (i + 1 < length && low(i + 1) && i + 1 < length - 2) {
            qsizetype end = i;
            while (end < length && end - i < kMaxRun && low(end))
                ++end;
            out += ' ';
            out += char(32 + (end - i));
            for (; i < end; ++i)
                out += char(bytes[i] + 65);
        } else {
            out += '!';
            out += char(b + 65);
            ++i;
        }
    }
    return out;
}

QByteArray UnescapePrintable(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    const qsizetype length = text.size();
    qsizetype i = 0;
    while (i < length) {
        const char c = text[i++];
        if (c == ' ') {
            if (i >= length)
                break;
            // A damaged count reads as many bytes as are left, or none.
            const int count = static_cast<unsigned char>(text[i++]) - 32;
            for (int n = 0; n < count && i < length; ++n)
                out += char(text[i++] - 65);
        } else if (c == '!') {
            if (i < length)
                out += char(text[i++] - 65);
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray ScrambleText(const QByteArray& text, const QByteArray& key)
{
    int salt = 0;
    while (salt < 100)
        salt = RandomBelow(1000);
    TPackBuffer buffer;
    PackInitWrite(buffer);
    PackPutWord(buffer, quint16(salt));

    QByteArray body = text;
    for (int n = 0; n < kDigitsAround; ++n) {
        body.prepend(RandomDigit());
        body.append(RandomDigit());
    }
    PackPutString(buffer, Cipher(body, EffectiveKey(key, SaltDigits(salt)), true));
    PackFinish(buffer);
    return EscapePrintable(buffer.Data);
}

QByteArray UnscrambleText(const QByteArray& scrambled, const QByteArray& key)
{
    TPackBuffer buffer;
    PackInitRead(buffer, UnescapePrintable(scrambled));
    if (buffer.Capacity < 15)
        return {};
    const int salt = PackGetWord(buffer);
    const QByteArray body = PackGetString(buffer);
    if (body.size() < 2 * kDigitsAround)
        return {};
    return Cipher(body, EffectiveKey(key, SaltDigits(salt)), false)
        .mid(kDigitsAround, body.size() - 2 * kDigitsAround);
}

QString ScrambleText(const QString& text, const QString& key)
{
    return FromWindows1252(ScrambleText(ToWindows1252(text), ToWindows1252(key)));
}

QString UnscrambleText(const QString& scrambled, const QString& key)
{
    return FromWindows1252(UnscrambleText(ToWindows1252(scrambled), ToWindows1252(key)));
}

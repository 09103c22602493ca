// Unscrambling of stored texts (passwords, the connection file), and the
// scrambling round trip on any text and key.
#include "fuzzcheck.h"
#include "xexception.h"
#include "xscramble.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    for (const QByteArray& key : {QByteArray(kUserPasswordKey), QByteArray(kConnectionFileKey)}) {
        try {
            UnscrambleText(input, key);
        } catch (const XException&) {
            // a stored length beyond the bytes present
        }
    }
    FuzzCheck(UnescapePrintable(EscapePrintable(input)) == input, "escaping round trip");
    if (size == 0)
        return 0;

    // The first byte gives the key's length, the rest after the key is the text.
    const qsizetype keyLength = std::min<qsizetype>(data[0] % 16, input.size() - 1);
    const QByteArray key = input.mid(1, keyLength);
    const QByteArray text = input.mid(1 + keyLength);
    const QByteArray scrambled = ScrambleText(text, key);
    FuzzCheck(!scrambled.isEmpty() && std::all_of(scrambled.begin(), scrambled.end(),
                                                  [](char b) { return uchar(b) >= 32; }),
              "scrambled bytes printable");
    FuzzCheck(UnscrambleText(scrambled, key) == text, "scrambling round trip");
    FuzzCheck(UnscrambleText(scrambled, key + 'x').size() == text.size(),
              "a wrong key gives the right length");
    return 0;
}

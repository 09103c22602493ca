#pragma once

#include "xcodepage.h"

#include <QByteArray>
#include <QString>

/**
 * Keyed scrambling of short texts into printable characters: obfuscation, not cryptography.
 * A random salt and random digits around the text make every output different.
 */

/** A key of the application's own data; usable as bytes, as text (Windows-1252) or by calling. */
struct TScrambleKey
{
    const char* Bytes;
    int Size;

    QByteArray operator()() const { return QByteArray(Bytes, Size); }
    operator QByteArray() const { return QByteArray(Bytes, Size); }
    operator QString() const { return FromWindows1252(QByteArray(Bytes, Size)); }
};

/** Key of the passwords stored in Usua.SENHA. */
inline constexpr TScrambleKey kUserPasswordKey{"\x62\x76\x24\x4C\xF5\x77\x33", 7};
/** Key of the connection file. */
inline constexpr TScrambleKey kConnectionFileKey{"mRT$KoPa", 8};

/** The scrambled bytes; never empty and without any byte below 32. */
QByteArray ScrambleText(const QByteArray& text, const QByteArray& key);
/**
 * The text back. Input too short to hold a text gives an empty result; a wrong key gives garbage
 * of the right length. Raises XException "GetS error - bigger than pack" when the stored length
 * does not fit the bytes present.
 */
QByteArray UnscrambleText(const QByteArray& scrambled, const QByteArray& key);

/** The same on texts held as Windows-1252 decodings (stored passwords); keys too. */
QString ScrambleText(const QString& text, const QString& key);
QString UnscrambleText(const QString& scrambled, const QString& key);

/**
 * The printable escaping of scrambled output: bytes below 34 become "!" plus one letter, or a
 * blank, a count and letters for runs of up to 220 such bytes.
 */
QByteArray EscapePrintable(const QByteArray& bytes);
/** Undoes EscapePrintable; a damaged text gives garbage, never reads past its end. */
QByteArray UnescapePrintable(const QByteArray& text);

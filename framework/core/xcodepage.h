#pragma once

#include <QByteArray>
#include <QString>

/**
 * Windows-1252 text. The five bytes the code page leaves undefined (81 8D 8F 90 9D) stand for
 * U+0081, U+008D, U+008F, U+0090, U+009D, as Windows maps them, so every byte string survives a
 * round trip through QString.
 */

/** Characters outside the code page become '?'. */
QByteArray ToWindows1252(const QString& text);
/** True when every character of text has a byte of its own in the code page (none becomes '?'). */
bool IsWindows1252Text(const QString& text);
/** Every byte decodes to one character. */
QString FromWindows1252(const QByteArray& bytes);

#pragma once

#include <QByteArray>
#include <QtGlobal>

/**
 * Integers (little-endian) and length-prefixed byte strings packed into one byte string.
 * Position is 1-based. Capacity is the usable length of Data.
 */
struct TPackBuffer
{
    QByteArray Data;
    qint32 Capacity = 0;
    qint32 Position = 1;
};

/** Starts writing: 1000 bytes of room, Position 1. */
void PackInitWrite(TPackBuffer& buffer);
/** Appends a 2-byte word. */
void PackPutWord(TPackBuffer& buffer, quint16 value);
/** Appends a signed 32-bit integer. */
void PackPutInt32(TPackBuffer& buffer, qint32 value);
/** Appends a 4-byte length followed by the bytes, no terminator. */
void PackPutString(TPackBuffer& buffer, const QByteArray& text);
/** Ends writing: Data and Capacity are cut to the bytes written. */
void PackFinish(TPackBuffer& buffer);

/** Starts reading the given bytes from the first. */
void PackInitRead(TPackBuffer& buffer, const QByteArray& bytes);
/**
 * The readers raise XException "GetS error - bigger than pack" when the value would reach past
 * the end of the buffer, and PackGetString also when the stored length is negative.
 */
quint16 PackGetWord(TPackBuffer& buffer);
qint32 PackGetInt32(TPackBuffer& buffer);
QByteArray PackGetString(TPackBuffer& buffer);

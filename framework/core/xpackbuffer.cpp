#include "xpackbuffer.h"

#include "xexception.h"

#include <QtEndian>
#include <algorithm>
#include <limits>

namespace {

const QString kBiggerThanPack = QStringLiteral("GetS error - bigger than pack");

// Grows by half the old capacity on top of what is needed, so a run of puts stays linear.
void MakeRoom(TPackBuffer& buffer, qint64 count)
{
    const qint64 capacity = buffer.Capacity;
    if (capacity < qint64(buffer.Position) + count) {
        const qint64 grown = capacity + count + capacity / 2;
        if (grown > std::numeric_limits<qint32>::max())
            throw XException(QStringLiteral("Pack buffer too large"));
        buffer.Capacity = qint32(grown);
    }
    if (buffer.Data.size() < buffer.Capacity)
        buffer.Data.resize(buffer.Capacity);
}

void Put(TPackBuffer& buffer, const char* bytes, qint64 count)
{
    MakeRoom(buffer, count);
    std::copy_n(bytes, count, buffer.Data.data() + buffer.Position - 1);
    buffer.Position += qint32(count);
}

// Where the next `count` bytes start, after checking they lie inside the buffer.
const char* Take(TPackBuffer& buffer, qint64 count)
{
    const qint64 end = std::min<qint64>(buffer.Capacity, buffer.Data.size());
    if (buffer.Position < 1 || count < 0 || count > end - buffer.Position + 1)
        throw XException(kBiggerThanPack);
    const char* start = buffer.Data.constData() + buffer.Position - 1;
    buffer.Position += qint32(count);
    return start;
}

} // namespace

void PackInitWrite(TPackBuffer& buffer)
{
    buffer.Data = QByteArray(1000, '\0');
    buffer.Capacity = 1000;
    buffer.Position = 1;
}

void PackPutWord(TPackBuffer& buffer, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    Put(buffer, bytes, 2);
}

void PackPutInt32(TPackBuffer& buffer, qint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    Put(buffer, bytes, 4);
}

void PackPutString(TPackBuffer& buffer, const QByteArray& text)
{
    if (text.size() > std::numeric_limits<qint32>::max())
        throw XException(QStringLiteral("Pack buffer too large"));
    PackPutInt32(buffer, qint32(text.size()));
    Put(buffer, text.constData(), text.size());
}

void PackFinish(TPackBuffer& buffer)
{
    buffer.Capacity = buffer.Position - 1;
    buffer.Data.resize(buffer.Capacity);
}

void PackInitRead(TPackBuffer& buffer, const QByteArray& bytes)
{
    buffer.Data = bytes;
    buffer.Capacity = qint32(std::min<qsizetype>(bytes.size(), std::numeric_limits<qint32>::max()));
    buffer.Position = 1;
}

quint16 PackGetWord(TPackBuffer& buffer)
{
    return qFromLittleEndian<quint16>(Take(buffer, 2));
}

qint32 PackGetInt32(TPackBuffer& buffer)
{
    return qFromLittleEndian<qint32>(Take(buffer, 4));
}

QByteArray PackGetString(TPackBuffer& buffer)
{
    const qint32 length = PackGetInt32(buffer);
    const char* start = Take(buffer, length);
    return QByteArray(start, length);
}

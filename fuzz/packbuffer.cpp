// The pack buffer readers on any bytes, in any order of reads.
#include "fuzzcheck.h"
#include "xexception.h"
#include "xpackbuffer.h"

#include <QtEndian>
#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte gives how many reads follow (one byte each), the rest is the buffer.
    const size_t reads = std::min<size_t>(data[0] % 16, size - 1);
    const QByteArray bytes = FuzzBytes(data + 1 + reads, size - 1 - reads);

    TPackBuffer buffer;
    PackInitRead(buffer, bytes);
    // What was read, written again, must give the bytes consumed.
    TPackBuffer copy;
    PackInitWrite(copy);
    for (size_t n = 0; n < reads; ++n) {
        const qint64 left = qint64(buffer.Capacity) - buffer.Position + 1;
        const int kind = data[1 + n] % 3;
        try {
            if (kind == 0) {
                PackPutWord(copy, PackGetWord(buffer));
            } else if (kind == 1) {
                PackPutInt32(copy, PackGetInt32(buffer));
            } else {
                const QByteArray text = PackGetString(buffer);
                PackPutString(copy, text);
            }
        } catch (const XException& e) {
            FuzzCheck(e.Message() == QStringLiteral("GetS error - bigger than pack"), "message");
            bool pastEnd = kind == 0 ? left < 2 : left < 4;
            if (kind == 2 && !pastEnd) {
                const qint32 length =
                    qFromLittleEndian<qint32>(bytes.constData() + (buffer.Position - 1 - 4));
                pastEnd = length < 0 || length > left - 4;
            }
            FuzzCheck(pastEnd, "raised only when the value reaches past the end");
            break;
        }
        FuzzCheck(buffer.Position >= 1 && buffer.Position <= buffer.Capacity + 1,
                  "position inside the buffer");
    }
    PackFinish(copy);
    const qint64 consumed = qint64(buffer.Position) - 1;
    // A string whose length fitted but not its bytes leaves the position after the length.
    FuzzCheck(copy.Data == bytes.left(copy.Data.size()) && copy.Data.size() <= consumed &&
                  consumed - copy.Data.size() <= 4,
              "rewritten values give the bytes read");
    return 0;
}

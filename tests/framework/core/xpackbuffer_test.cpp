#include "xexception.h"
#include "xpackbuffer.h"

#include <gtest/gtest.h>

namespace {

// Runs every reader over the buffer until one raises; returns the message (empty if none).
QString ReadAll(const QByteArray& bytes)
{
    TPackBuffer buffer;
    PackInitRead(buffer, bytes);
    try {
        for (int step = 0;; ++step) {
            switch (step % 3) {
            case 0:
                PackGetString(buffer);
                break;
            case 1:
                PackGetWord(buffer);
                break;
            default:
                PackGetInt32(buffer);
            }
        }
    } catch (const XException& e) {
        return e.Message();
    }
}

} // namespace

TEST(PackBuffer, RoundTripAcrossGrowth)
{
    TPackBuffer out;
    PackInitWrite(out);
    const QByteArray big(2500, 'x');
    PackPutWord(out, 0xBEEF);
    PackPutInt32(out, -123456789);
    PackPutString(out, big);
    PackPutString(out, QByteArray());
    PackPutString(out, QByteArrayLiteral("fim"));
    PackFinish(out);
    EXPECT_EQ(out.Data.size(), 2 + 4 + 4 + 2500 + 4 + 4 + 3);
    EXPECT_EQ(out.Capacity, out.Data.size());
    EXPECT_EQ(out.Data.left(6), QByteArray::fromHex("efbeeb32a4f8"));

    TPackBuffer in;
    PackInitRead(in, out.Data);
    EXPECT_EQ(PackGetWord(in), 0xBEEF);
    EXPECT_EQ(PackGetInt32(in), -123456789);
    EXPECT_EQ(PackGetString(in), big);
    EXPECT_EQ(PackGetString(in), QByteArray());
    EXPECT_EQ(PackGetString(in), QByteArrayLiteral("fim"));
    EXPECT_EQ(in.Position, in.Capacity + 1);
}

TEST(PackBuffer, ReadsPastTheEndRaise)
{
    const QString bigger = QStringLiteral("GetS error - bigger than pack");
    struct Case
    {
        const char* hex;
        const char* what;
    };
    const Case cases[] = {
        {"", "nothing"},
        {"05", "one byte"},
        {"050000", "three-byte length"},
        {"05000000616263", "length beyond the bytes"},
        {"ffffffff61", "negative length"},
        {"00000080", "most negative length"},
        {"ffffff7f", "huge length"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadAll(QByteArray::fromHex(c.hex)), bigger) << c.what;

    TPackBuffer buffer;
    PackInitRead(buffer, QByteArray::fromHex("010203"));
    EXPECT_EQ(PackGetWord(buffer), 0x0201);
    EXPECT_THROW(PackGetWord(buffer), XException);
    EXPECT_THROW(PackGetInt32(buffer), XException);
}

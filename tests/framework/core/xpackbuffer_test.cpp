#include "xexception.h"
#include "xpackbuffer.h"

#include <gtest/gtest.h>

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

// Any bytes are fuzzed; these are the ways a stored length can overrun.
TEST(PackBuffer, ReadsPastTheEndRaise)
{
    for (const char* hex : {"", "050000", "05000000616263", "ffffffff61", "00000080"}) {
        TPackBuffer buffer;
        PackInitRead(buffer, QByteArray::fromHex(hex));
        try {
            PackGetString(buffer);
            ADD_FAILURE() << hex;
        } catch (const XException& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("GetS error - bigger than pack")) << hex;
        }
    }
    TPackBuffer buffer;
    PackInitRead(buffer, QByteArray::fromHex("010203"));
    EXPECT_EQ(PackGetWord(buffer), 0x0201);
    EXPECT_THROW(PackGetWord(buffer), XException);
    EXPECT_THROW(PackGetInt32(buffer), XException);
}

#include "eancode.h"
#include "xexception.h"

#include <QList>
#include <gtest/gtest.h>

TEST(EanCode, AppendsTheGs1CheckDigit)
{
    struct Case
    {
        qint64 Number;
        BarcodeType Type;
        QString Code;
    };
    const QList<Case> cases = {
        {400638133393, BarcodeType::Ean13, "4006381333931"},
        {1234567, BarcodeType::Ean8, "12345670"},
        {7, BarcodeType::Ean8, "00000079"},
        {0, BarcodeType::Ean13, "0000000000000"},
        {789100000001, BarcodeType::Ean13, "7891000000014"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EanCode(c.Number, c.Type), c.Code) << c.Number;
    EXPECT_THROW(EanCode(12345678, BarcodeType::Ean8), XException);
    EXPECT_THROW(EanCode(-1, BarcodeType::Ean13), XException);

    BarcodeType type = BarcodeType::Ean13;
    EXPECT_TRUE(ParseBarcodeType(QStringLiteral("ean8"), &type));
    EXPECT_EQ(type, BarcodeType::Ean8);
    EXPECT_FALSE(ParseBarcodeType(QStringLiteral("EAN-9"), &type));
}

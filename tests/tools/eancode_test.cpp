#include "eancode.h"
#include "stationrules.h"
#include "stdnum.h"
#include "xexception.h"

#include <QList>
#include <QRandomGenerator>
#include <gtest/gtest.h>

TEST(EanCode, AppendsTheGs1CheckDigit)
{
    const QList<std::tuple<qint64, BarcodeType, QString>> cases = {
        {400638133393, BarcodeType::Ean13, "4006381333931"},
        {1234567, BarcodeType::Ean8, "12345670"},
        {7, BarcodeType::Ean8, "00000079"},
        {0, BarcodeType::Ean13, "0000000000000"},
        {789100000001, BarcodeType::Ean13, "7891000000014"},
    };
    for (const auto& [number, type, code] : cases)
        EXPECT_EQ(EanCode(number, type), code) << number;
    EXPECT_THROW(EanCode(12345678, BarcodeType::Ean8), XException);
    EXPECT_THROW(EanCode(-1, BarcodeType::Ean13), XException);

    BarcodeType type = BarcodeType::Ean13;
    EXPECT_TRUE(ParseBarcodeType(QStringLiteral("ean8"), &type));
    EXPECT_EQ(type, BarcodeType::Ean8);
    EXPECT_FALSE(ParseBarcodeType(QStringLiteral("EAN-9"), &type));
}

// Label codes read by import and --faixa, against python-stdnum's EAN module (independent of us).
TEST(EanCode, LabelCodesAgreeWithAnIndependentLibrary)
{
    QStringList prefixes;
    QRandomGenerator random(20261207);
    for (int i = 0; i < 200; ++i)
        prefixes << QString::number(random.bounded(i % 2 ? Q_INT64_C(1000000000000) : 10000000))
                        .rightJustified(i % 2 ? 12 : 7, QLatin1Char('0'));
    const QStringList digits = StdnumCheckDigits(prefixes);
    ASSERT_FALSE(digits.isEmpty());
    for (qsizetype i = 0; i < prefixes.size(); ++i) {
        const std::optional<BarcodeType> type =
            prefixes[i].size() == 7 ? BarcodeType::Ean8 : BarcodeType::Ean13;
        qint64 number = -1;
        QString error;
        EXPECT_TRUE(ParseCodeText(prefixes[i] + digits[i], type, &number, &error))
            << error.toStdString();
        EXPECT_EQ(number, prefixes[i].toLongLong());
        const QString wrong = prefixes[i] + QString::number((digits[i].toInt() + 1 + i % 9) % 10);
        EXPECT_FALSE(ParseCodeText(wrong, type, &number, &error)) << wrong.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("o esperado é ") + digits[i]));
    }
}

#include "codevalidation.h"
#include "stdnum.h"

#include <QRandomGenerator>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// The check digits against python-stdnum's EAN module, an implementation
// written independently of this project.
TEST(CodeValidation, CheckDigitsAgreeWithAnIndependentLibrary)
{
    QStringList prefixes;
    QRandomGenerator random(20261206);
    for (int i = 0; i < 300; ++i) {
        const int length = i % 2 == 0 ? 7 : 12;
        QString prefix;
        for (int d = 0; d < length; ++d)
            prefix += QChar(u'0' + random.bounded(10));
        prefixes << prefix;
    }
    const QStringList digits = StdnumCheckDigits(prefixes);
    ASSERT_FALSE(digits.isEmpty());
    for (int i = 0; i < prefixes.size(); ++i) {
        const QString code = prefixes[i] + digits[i];
        QString message;
        EXPECT_EQ(EanCheckDigit(prefixes[i]), digits[i].toInt()) << code.toStdString();
        const bool valid =
            code.size() == 8 ? ValidateEAN8(code, message) : ValidateEAN13(code, message);
        EXPECT_TRUE(valid) << code.toStdString() << " " << message.toStdString();
        // Any other check digit is refused.
        const QString wrong = prefixes[i] + QString::number((digits[i].toInt() + 1 + i % 9) % 10);
        EXPECT_FALSE(wrong.size() == 8 ? ValidateEAN8(wrong, message)
                                       : ValidateEAN13(wrong, message));
    }
}

} // namespace

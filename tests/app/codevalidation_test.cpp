#include "codevalidation.h"
#include "scriptedpresenter.h"
#include "stdnum.h"
#include "tappconfig.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

TEST(CodeValidation, BarcodeCasesGiveTheirMessages)
{
    // Code, barcode type, message (none: accepted).
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"12345670", "EAN-8", ""},
        {"12345678", "EAN-8", "Dígito Verificador não confere (8)."},
        {"1234567", "EAN-8", "Código deve conter exatos 8 dígitos."},
        {"1234567A", "EAN-8", "Código deve conter somente números."},
        {" 12345670", "EAN-8", "Código deve conter somente números."},
        {"12345670 ", "EAN-8", ""},
        {"  ", "EAN-8", "Código deve conter exatos 8 dígitos."},
        {"4006381333931", "EAN-13", ""},
        {"4006381333932", "EAN-13", "Dígito Verificador EAN13 não confere (2)."},
        {"400638133393", "EAN-13", "Código deve conter exatos 13 dígitos."},
        {"40063813339x1", "EAN-13", "Código deve conter somente números."},
        // Any other type name accepts anything.
        {"qualquer", "", ""},
        {"12345678", "ean-8", ""},
    };
    for (const auto& [code, type, expected] : cases) {
        QString message = QStringLiteral("stale");
        const bool ok = ValidateBarcode(QString::fromUtf8(code), QString::fromUtf8(type), message);
        EXPECT_EQ(ok, !*expected) << code << " " << type;
        EXPECT_EQ(message, QString::fromUtf8(expected)) << code << " " << type;
    }
}

// The check digits against python-stdnum's EAN module, an implementation
// written independently of this project.
TEST(CodeValidation, CheckDigitsAgreeWithAnIndependentLibrary)
{
    QStringList prefixes;
    QRandomGenerator random(20261206);
    for (int i = 0; i < 300; ++i) {
        QString prefix;
        for (int d = 0; d < (i % 2 == 0 ? 7 : 12); ++d)
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

TEST(CodeValidation, NumberIsTheCodeWithoutItsCheckDigit)
{
    // -1: refused.
    const std::pair<const char*, qint64> cases[] = {
        {"1234567890128", 123456789012},
        {"00123", 12},
        {"12345670 ", 1234567}, // the blank the EAN check lets through
        {"1", -1},
        {"1) OR (1=1", -1},
        {"-12345", -1}}; // a sign is no digit, though the number would read
    for (const auto& [code, expected] : cases) {
        qint64 number = -1;
        EXPECT_EQ(CodeNumber(QString::fromUtf8(code), number), expected != -1) << code;
        EXPECT_EQ(expected == -1 ? -1 : number, expected) << code;
    }
}

TEST(CodeValidation, PlantingRangeAlertsWithItsMessage)
{
    // Lower and upper bound, value, alert (none: in range).
    const std::tuple<double, double, double, const char*> cases[] = {
        {0, 0, 123456789, ""},
        {5, 10, 5, ""},
        {5, 10, 10, ""},
        {5, 10, 10.5,
         " NC [11] fora da faixa válida. \r\n O Valor do NC Plantio deve  estar entre [5] e [10]."},
        {500, 0, 499,
         " NC [499] fora da faixa válida. \r\n O Valor do NC Plantio deve  ser maior que [500]."},
        {0, 1000000, 1234567,
         " NC [1.234.567] fora da faixa válida. \r\n O Valor do NC Plantio deve  ser menor que "
         "[1.000.000]."},
        {-3, 0, -50, ""},
    };
    for (const auto& [lo, hi, value, expected] : cases) {
        ScriptedPresenter presenter;
        TAppConfig config;
        config.rela_inicial = lo;
        config.rela_final = hi;
        const QString alert = QString::fromUtf8(expected);
        EXPECT_EQ(config.CheckNcPlantioRange(value), alert.isEmpty()) << value;
        EXPECT_EQ(presenter.Texts(), alert.isEmpty() ? QStringList() : QStringList{alert}) << value;
    }
}

} // namespace

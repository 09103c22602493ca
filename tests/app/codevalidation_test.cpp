#include "codevalidation.h"
#include "scriptedpresenter.h"
#include "tappconfig.h"

#include <gtest/gtest.h>

namespace {

struct BarcodeCase
{
    const char* code;
    const char* type;
    bool ok;
    const char* message;
};

const BarcodeCase kCases[] = {
    {"12345670", "EAN-8", true, ""},
    {"12345678", "EAN-8", false, "Dígito Verificador não confere (8)."},
    {"1234567", "EAN-8", false, "Código deve conter exatos 8 dígitos."},
    {"1234567A", "EAN-8", false, "Código deve conter somente números."},
    {" 12345670", "EAN-8", false, "Código deve conter somente números."},
    {"12345670 ", "EAN-8", true, ""},
    {"  ", "EAN-8", false, "Código deve conter exatos 8 dígitos."},
    {"4006381333931", "EAN-13", true, ""},
    {"4006381333932", "EAN-13", false, "Dígito Verificador EAN13 não confere (2)."},
    {"400638133393", "EAN-13", false, "Código deve conter exatos 13 dígitos."},
    {"40063813339x1", "EAN-13", false, "Código deve conter somente números."},
    // Any other type name accepts anything.
    {"qualquer", "", true, ""},
    {"12345678", "ean-8", true, ""},
};

TEST(CodeValidation, BarcodeCasesGiveTheirMessages)
{
    for (const auto& c : kCases) {
        QString message = QStringLiteral("stale");
        const bool ok =
            ValidateBarcode(QString::fromUtf8(c.code), QString::fromUtf8(c.type), message);
        EXPECT_EQ(ok, c.ok) << c.code << " " << c.type;
        EXPECT_EQ(message, QString::fromUtf8(c.message)) << c.code << " " << c.type;
    }
}

TEST(CodeValidation, NumberIsTheCodeWithoutItsCheckDigit)
{
    const struct
    {
        const char* code;
        bool ok;
        qint64 number;
    } cases[] = {{"1234567890128", true, 123456789012},
                 {"00123", true, 12},
                 {"12345670 ", true, 1234567}, // the blank the EAN check lets through
                 {"1", false, 0},
                 {"", false, 0},
                 {"12A4", false, 0},
                 {"1) OR (1=1", false, 0}};
    for (const auto& c : cases) {
        qint64 number = -1;
        EXPECT_EQ(CodeNumber(QString::fromUtf8(c.code), number), c.ok) << c.code;
        if (c.ok) {
            EXPECT_EQ(number, c.number) << c.code;
        }
    }
}

struct RangeCase
{
    double lo, hi, value;
    const char* alert; // empty: in range
};

const RangeCase kRangeCases[] = {
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

TEST(CodeValidation, PlantingRangeAlertsWithItsMessage)
{
    for (const auto& c : kRangeCases) {
        ScriptedPresenter presenter;
        TAppConfig config;
        config.rela_inicial = c.lo;
        config.rela_final = c.hi;
        const QString alert = QString::fromUtf8(c.alert);
        EXPECT_EQ(config.CheckNcPlantioRange(c.value), alert.isEmpty()) << c.value;
        EXPECT_EQ(presenter.Texts(), alert.isEmpty() ? QStringList() : QStringList{alert})
            << c.value;
    }
}

} // namespace

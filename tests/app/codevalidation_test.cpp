#include "codevalidation.h"

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
    {"7891234567895", "EAN-13", true, ""},
    // Letters fail before the check digit is looked at.
    {"A2345678", "EAN-8", false, "Código deve conter somente números."},
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

TEST(CodeValidation, BarcodeTypeNameLeavesUnknownIndexesAlone)
{
    QString name;
    BarcodeTypeName(0, name);
    EXPECT_EQ(name, QStringLiteral("EAN-8"));
    BarcodeTypeName(1, name);
    EXPECT_EQ(name, QStringLiteral("EAN-13"));
    name = QStringLiteral("x");
    BarcodeTypeName(2, name);
    BarcodeTypeName(-1, name);
    EXPECT_EQ(name, QStringLiteral("x"));
}

TEST(CodeValidation, EveryComputedCheckDigitValidates)
{
    // Walk many prefixes: the computed digit must be the only one accepted.
    for (int n = 0; n < 2000; ++n) {
        const QString prefix8 = QString::number(1000000 + n * 4111 % 9000000).left(7);
        const QString prefix13 = QString::number(100000000000LL + n * 7919LL).left(12);
        for (const auto& [prefix, length] : {std::pair{prefix8, 8}, std::pair{prefix13, 13}}) {
            const int check = EanCheckDigit(prefix);
            for (int d = 0; d <= 9; ++d) {
                QString message;
                const QString code = prefix + QString::number(d);
                const bool ok = length == 8 ? ValidateEAN8(code, message)
                                            : ValidateEAN13(code, message);
                EXPECT_EQ(ok, d == check) << code.toStdString();
            }
        }
    }
}

} // namespace

#include "scriptedpresenter.h"
#include "tappconfig.h"

namespace {

struct RangeCase
{
    double lo, hi, value;
    const char* alert; // empty: in range
};

const RangeCase kRangeCases[] = {
    {0, 0, 123456789, ""},
    {5, 10, 5, ""},
    {5, 10, 10, ""},
    {5, 10, 10.5, " NC [11] fora da faixa válida. \r\n O Valor do NC Plantio deve  estar entre [5] e [10]."},
    {500, 0, 499, " NC [499] fora da faixa válida. \r\n O Valor do NC Plantio deve  ser maior que [500]."},
    {0, 1000000, 1234567, " NC [1.234.567] fora da faixa válida. \r\n O Valor do NC Plantio deve  ser menor que [1.000.000]."},
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

TEST(CodeValidation, BarcodeTypesComeFromTheConfiguration)
{
    TAppConfig config;
    config.cb_ncc = 1;
    config.cb_nc_plantio = 2;
    QString ncc, ncPlantio;
    config.NccBarcodeType(ncc);
    config.NcPlantioBarcodeType(ncPlantio);
    EXPECT_EQ(ncc, QStringLiteral("EAN-13"));
    EXPECT_EQ(ncPlantio, QString());
    QString message;
    EXPECT_TRUE(ValidateBarcode(QStringLiteral("sem checagem"), ncPlantio, message));
}

} // namespace

#include "plantiosql.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(PlantioSql, SubBatchItemsAndTheirIds)
{
    const std::pair<const char*, int> cases[] = {
        {"01 - LOTE UM", 1}, {"07 - A-B - C", 7}, {"123 - x", 123}, {" 5 -", 5},
        {"LOTE", -1},        {"- 3", -1},         {"", -1}};
    for (const auto& [item, id] : cases)
        EXPECT_EQ(LoteIdFromItem(QString::fromUtf8(item)), id) << item;
}

TEST(PlantioSql, DeletionQuestion)
{
    EXPECT_EQ(
        PlantioDeleteQuestion(123456789012, 5001, 2, 200000000001),
        QStringLiteral("Confirma a exclusão da seguinte informação? \r\n NCC: 123456789012\r\n"
                       " NC: 5001\r\n Rep: 2\r\n NC_Plantio: 200000000001"));
    EXPECT_EQ(MachineText(u"MAQ02"_s, u"MAQ01"_s), u"MAQ02"_s);
    EXPECT_EQ(MachineText(u"MAQ01"_s, u"MAQ01"_s), u" Nesse computador."_s);
    EXPECT_EQ(MachineText(QString(), u"MAQ01"_s), u" Nesse computador."_s);
}

TEST(PlantioSql, FilterConditions)
{
    const QString ean13 = u"EAN-13"_s;
    const QString ean8 = u"EAN-8"_s;
    // NC Plantio and its type, NCC and its type, the filter, the alert.
    using Case = std::tuple<const char*, QString, const char*, QString, const char*, const char*>;
    const Case cases[] = {
        {"", ean13, " ", ean13, "", nullptr},
        {" 2000000000015 ", ean13, "", ean13, " (pl.NC_PLANTIO = 200000000001) ", nullptr},
        {"", ean13, "12345670", ean8, " (pl.NCC = 1234567) ", nullptr},
        {"2000000000015", ean13, "12345670", ean8,
         " (pl.NC_PLANTIO = 200000000001)  AND  (pl.NCC = 1234567) ", nullptr},
        // A rejected NC Plantio keeps the NCC condition out as well.
        {"2000000000016", ean13, "12345670", ean8, "", "Dígito Verificador EAN13 não confere (6)."},
        // Typed without its check digit: the length check refuses it.
        {"200000000001", ean13, "", ean13, "", "Código deve conter exatos 13 dígitos."},
        {"", ean13, "12345678", ean8, "", "Dígito Verificador não confere (8)."},
        // No barcode type configured: still only numbers reach the statement.
        {"9) OR (1=1", QString(), "", ean13, "", "Código deve conter somente números."},
    };
    for (const auto& [ncp, ncpType, ncc, nccType, filter, alert] : cases) {
        QString rejection;
        EXPECT_EQ(BuildFiltro(QString::fromUtf8(ncp), ncpType, QString::fromUtf8(ncc), nccType,
                              rejection),
                  QString::fromUtf8(filter))
            << ncp << " / " << ncc;
        EXPECT_EQ(rejection, QString::fromUtf8(alert)) << ncp << " / " << ncc;
    }
}

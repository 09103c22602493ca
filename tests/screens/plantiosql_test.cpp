#include "data/txquery.h"
#include "plantiosql.h"
#include "teststation.h"

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

TEST(PlantioSql, RemainingCountIsKeptAcrossOwnPlantingsAndCountedAfterAnyOtherChange)
{
    TestStation station;
    station.CreatePlantingTables();
    station.Exec(u"INSERT INTO Lote VALUES (1, 'UM', 5), (2, 'DOIS', 3)"_s);
    const std::unique_ptr<TXConnection> other = station.OpenAnother();
    int next = 1;
    const auto plant = [&next](TXConnection& by, int lote) {
        auto insert = NewCommand(&by);
        insert->SetCommandText(
            u"INSERT INTO Plantio VALUES (%1, %2, %2, 1, '2024-01-01', NULL)"_s.arg(lote).arg(
                next++));
        insert->Execute();
    };
    // Each step: plantings in sub-batch 1 by the other connection, then by the kept one, maybe
    // telling of an inclusion there, a planting in sub-batch 2, then the figure of a sub-batch.
    const std::tuple<const char*, int, int, bool, bool, int, int> steps[] = {
        {"none planted: the target", 0, 0, false, false, 1, 5},
        {"own planting, told", 0, 1, true, false, 1, 4},
        {"own planting, not told", 0, 1, false, false, 1, 3},
        {"two own plantings, told once", 0, 2, true, false, 1, 1},
        {"another connection's, told", 1, 0, true, false, 1, 0},
        {"another's and own, told", 1, 1, true, false, 1, -2},
        {"told of none, then one elsewhere", 0, 0, true, true, 1, -2},
        {"another sub-batch", 0, 0, false, false, 2, 2},
        {"told while another sub-batch is kept", 0, 1, true, false, 1, -3},
        {"no such sub-batch", 0, 0, false, false, 9, 0},
    };
    LoteFaltando faltando;
    for (const auto& [what, others, own, told, elsewhere, lote, remaining] : steps) {
        for (int i = 0; i < others; ++i)
            plant(*other, 1);
        for (int i = 0; i < own; ++i)
            plant(station.Conn(), 1);
        if (told)
            faltando.Planted(&station.Conn(), 1);
        if (elsewhere)
            plant(station.Conn(), 2);
        EXPECT_EQ(faltando.Remaining(&station.Conn(), lote), remaining) << what;
    }
}

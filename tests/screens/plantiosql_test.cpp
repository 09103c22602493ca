#include "data/txconnection.h"
#include "data/txquery.h"
#include "plantiosql.h"
#include "scriptedpresenter.h"
#include "teststation.h"

#include <gtest/gtest.h>

TEST(PlantioSql, SubBatchItemsAndTheirIds)
{
    EXPECT_EQ(LoteItemText(1, QStringLiteral("LOTE UM")), QStringLiteral("01 - LOTE UM"));
    EXPECT_EQ(LoteItemText(123, QStringLiteral("A-B")), QStringLiteral("123 - A-B"));
    const struct
    {
        const char* item;
        int id;
    } cases[] = {{"01 - LOTE UM", 1}, {"07 - A-B - C", 7}, {"123 - x", 123}, {" 5 -", 5},
                 {"LOTE", -1},        {"- 3", -1},         {"", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(LoteIdFromItem(QString::fromUtf8(c.item)), c.id) << c.item;
}

TEST(PlantioSql, DeletionQuestion)
{
    EXPECT_EQ(
        PlantioDeleteQuestion(123456789012, 5001, 2, 200000000001),
        QStringLiteral("Confirma a exclusão da seguinte informação? \r\n NCC: 123456789012\r\n"
                       " NC: 5001\r\n Rep: 2\r\n NC_Plantio: 200000000001"));
    EXPECT_EQ(MachineText(QStringLiteral("MAQ02"), QStringLiteral("MAQ01")),
              QStringLiteral("MAQ02"));
    EXPECT_EQ(MachineText(QStringLiteral("MAQ01"), QStringLiteral("MAQ01")),
              QStringLiteral(" Nesse computador."));
    EXPECT_EQ(MachineText(QString(), QStringLiteral("MAQ01")),
              QStringLiteral(" Nesse computador."));
}

TEST(PlantioSql, FilterConditions)
{
    const QString ean13 = QStringLiteral("EAN-13");
    const QString ean8 = QStringLiteral("EAN-8");
    const struct
    {
        const char* ncp;
        QString ncpType;
        const char* ncc;
        QString nccType;
        const char* filter;
        const char* alert;
    } cases[] = {
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
    for (const auto& c : cases) {
        QString rejection;
        EXPECT_EQ(BuildFiltro(QString::fromUtf8(c.ncp), c.ncpType, QString::fromUtf8(c.ncc),
                              c.nccType, rejection),
                  QString::fromUtf8(c.filter))
            << c.ncp << " / " << c.ncc;
        EXPECT_EQ(rejection, QString::fromUtf8(c.alert)) << c.ncp << " / " << c.ncc;
    }
}

namespace {

// The remaining-count statement as first written: the sub-batch chosen with
// HAVING after grouping every sub-batch. Kept here as the reference result.
const QString kLoteFaltandoHavingSQL = QStringLiteral(
    "SELECT slt.id_slote, slt.qte_tratamento, count(1) as qte_plantado, p.id_slote as "
    "slote_plantio   FROM Plantio p RIGHT JOIN Lote slt        ON ( p.id_slote = slt.id_slote) "
    " GROUP BY slt.id_slote, slt.qte_tratamento, p.id_slote  HAVING (slt.id_slote = :slote) ");

QStringList RowsOf(TXConnection& conn, const QString& sql, int slote)
{
    std::unique_ptr<TXQuery> query = NewQuery(&conn);
    query->SetSQL(sql);
    query->ParamByName(QStringLiteral("slote")).SetInteger(slote);
    query->Open();
    QStringList rows;
    for (; !query->Eof(); query->Next()) {
        QStringList values;
        for (const QString& name : query->FieldNames())
            values << name + QLatin1Char('=') + query->FieldByName(name).AsString();
        rows << values.join(QLatin1Char(' '));
    }
    return rows;
}

} // namespace

TEST(PlantioSql, RemainingCountStatementMatchesTheGroupedForm)
{
    TestStation station;
    station.CreatePlantingTables();
    station.Exec(QStringLiteral("INSERT INTO Lote VALUES (1, 'VAZIO', 3), (2, 'METADE', 4), "
                                "(3, 'EXCESSO', 1)"));
    // Sub-batch 2 half planted, 3 over-planted, 9 has plantings but no Lote row.
    station.Exec(QStringLiteral(
        "INSERT INTO Plantio (id_slote, nc_plantio, ncc, id_user, data_plantio) VALUES "
        "(2, 10, 100, 1, 'a'), (2, 11, 101, 1, 'b'), (3, 12, 102, 1, 'c'), (3, 13, 103, 1, 'd'), "
        "(3, 14, 104, 1, 'e'), (9, 15, 105, 1, 'f')"));
    for (int slote : {-1, 1, 2, 3, 4, 9}) {
        const QStringList expected = RowsOf(station.Conn(), kLoteFaltandoHavingSQL, slote);
        EXPECT_EQ(RowsOf(station.Conn(), kLoteFaltandoSQL, slote), expected) << slote;
        EXPECT_EQ(expected.size(), slote >= 1 && slote <= 3 ? 1 : 0) << slote;
    }
    EXPECT_EQ(
        RowsOf(station.Conn(), kLoteFaltandoSQL, 2),
        QStringList{QStringLiteral("ID_SLOTE=2 QTE_TRATAMENTO=4 qte_plantado=2 slote_plantio=2")});
}

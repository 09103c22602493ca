#include "data/txconnection.h"
#include "data/txquery.h"
#include "data/xstationfile.h"
#include "teststation.h"
#include "xexception.h"

#include <gtest/gtest.h>
#include <tuple>

TEST(DataSchema, DefinitionsMapJetTypesAndKeepTheKeyConstraintName)
{
    TestStation station;
    station.Exec(QStringLiteral("CREATE TABLE Tipos (%1, L LONG NOT NULL, D DOUBLE, C COUNTER, "
                                "M MEMO, Y YESNO, DT DATETIME NOT NULL, S SHORT, CU CURRENCY, "
                                "B LONGBINARY, V VARCHAR(10), T TEXT, I INTEGER, X JUNK)")
                     .arg(TextColumnDecl(QStringLiteral("Nome"), 40, true)));
    using T = TXFieldType;
    const std::tuple<QString, TXFieldType, int, bool> expected[] = {
        {QStringLiteral("Nome"), T::String, 40, true}, {QStringLiteral("L"), T::Integer, 0, true},
        {QStringLiteral("D"), T::Float, 0, false},     {QStringLiteral("C"), T::AutoInc, 0, false},
        {QStringLiteral("M"), T::Memo, 0, false},      {QStringLiteral("Y"), T::Boolean, 0, false},
        {QStringLiteral("DT"), T::DateTime, 0, true},  {QStringLiteral("S"), T::SmallInt, 0, false},
        {QStringLiteral("CU"), T::Currency, 0, false}, {QStringLiteral("B"), T::Blob, 0, false},
        {QStringLiteral("V"), T::String, 10, false},   {QStringLiteral("T"), T::String, 255, false},
        {QStringLiteral("I"), T::Integer, 0, false},   {QStringLiteral("X"), T::Unknown, 0, false},
    };
    const TXTableDefs defs = station.Conn().TableDefinitions(QStringLiteral("TIPOS"));
    ASSERT_EQ(defs.Columns.size(), std::size(expected));
    for (qsizetype i = 0; i < defs.Columns.size(); ++i) {
        const TXColumnDef& got = defs.Columns[i];
        EXPECT_EQ(std::tie(got.Name, got.DataType, got.Size, got.Required), expected[i]) << i;
    }
    EXPECT_TRUE(defs.Indexes.isEmpty());

    // Index definitions keep the key constraint's name.
    station.CreatePlantingTables();
    station.Exec(
        QStringLiteral("CREATE UNIQUE INDEX IX_Plantio_Data ON Plantio (DATA_PLANTIO, NCC)"));
    station.Exec(QStringLiteral("CREATE INDEX IX_Plantio_Lote ON Plantio (ID_SLOTE)"));
    station.Exec(QStringLiteral("CREATE TABLE Sem (A LONG PRIMARY KEY, B LONG, "
                                "CONSTRAINT UQ_Sem_B UNIQUE (B))"));

    const std::pair<const char*, QList<TXIndexDef>> cases[] = {
        {"Plantio",
         {{QStringLiteral("PK_Plantio"), QStringLiteral("NC_PLANTIO;NCC"), true, true},
          {QStringLiteral("IX_Plantio_Data"), QStringLiteral("DATA_PLANTIO;NCC"), false, true},
          {QStringLiteral("IX_Plantio_Lote"), QStringLiteral("ID_SLOTE"), false, false}}},
        {"Sem",
         {{QStringLiteral("PrimaryKey"), QStringLiteral("A"), true, true},
          {QStringLiteral("UQ_Sem_B"), QStringLiteral("B"), false, true}}},
    };
    const auto key = [](const TXIndexDef& d) {
        return std::tie(d.Name, d.Fields, d.Primary, d.Unique);
    };
    for (const auto& [table, indexes] : cases) {
        const TXTableDefs defs = station.Conn().TableDefinitions(QString::fromUtf8(table));
        ASSERT_EQ(defs.Indexes.size(), indexes.size()) << table;
        for (qsizetype i = 0; i < defs.Indexes.size(); ++i)
            EXPECT_TRUE(key(defs.Indexes[i]) == key(indexes[i])) << table << " " << i;
    }
    EXPECT_THROW(station.Conn().TableDefinitions(QStringLiteral("Placa")), XException);
}

#include "data/txconnection.h"
#include "data/txquery.h"
#include "data/xstationfile.h"
#include "teststation.h"
#include "xexception.h"

#include <gtest/gtest.h>

TEST(DataSchema, DefinitionsMapJetTypesAndKeepTheKeyConstraintName)
{
    TestStation station;
    station.Exec(QStringLiteral("CREATE TABLE Tipos (%1, L LONG NOT NULL, D DOUBLE, C COUNTER, "
                                "M MEMO, Y YESNO, DT DATETIME NOT NULL, S SHORT, CU CURRENCY, "
                                "B LONGBINARY, V VARCHAR(10), T TEXT, I INTEGER, X JUNK)")
                     .arg(TextColumnDecl(QStringLiteral("Nome"), 40, true)));
    const struct
    {
        const char* name;
        TXFieldType type;
        int size;
        bool required;
    } expected[] = {
        {"Nome", TXFieldType::String, 40, true}, {"L", TXFieldType::Integer, 0, true},
        {"D", TXFieldType::Float, 0, false},     {"C", TXFieldType::AutoInc, 0, false},
        {"M", TXFieldType::Memo, 0, false},      {"Y", TXFieldType::Boolean, 0, false},
        {"DT", TXFieldType::DateTime, 0, true},  {"S", TXFieldType::SmallInt, 0, false},
        {"CU", TXFieldType::Currency, 0, false}, {"B", TXFieldType::Blob, 0, false},
        {"V", TXFieldType::String, 10, false},   {"T", TXFieldType::String, 255, false},
        {"I", TXFieldType::Integer, 0, false},   {"X", TXFieldType::Unknown, 0, false},
    };
    const TXTableDefs defs = station.Conn().TableDefinitions(QStringLiteral("TIPOS"));
    ASSERT_EQ(defs.Columns.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const TXColumnDef& got = defs.Columns[qsizetype(i)];
        const auto& want = expected[i];
        EXPECT_TRUE(got.Name == QString::fromUtf8(want.name) && got.DataType == want.type &&
                    got.Size == want.size && got.Required == want.required)
            << want.name;
    }
    EXPECT_TRUE(defs.Indexes.isEmpty());

    // Index definitions keep the key constraint's name.
    station.CreatePlantingTables();
    station.Exec(
        QStringLiteral("CREATE UNIQUE INDEX IX_Plantio_Data ON Plantio (DATA_PLANTIO, NCC)"));
    station.Exec(QStringLiteral("CREATE INDEX IX_Plantio_Lote ON Plantio (ID_SLOTE)"));
    station.Exec(QStringLiteral("CREATE TABLE Sem (A LONG PRIMARY KEY, B LONG, "
                                "CONSTRAINT UQ_Sem_B UNIQUE (B))"));

    const struct
    {
        const char* table;
        QList<TXIndexDef> indexes;
    } cases[] = {
        {"Plantio",
         {{QStringLiteral("PK_Plantio"), QStringLiteral("NC_PLANTIO;NCC"), true, true},
          {QStringLiteral("IX_Plantio_Data"), QStringLiteral("DATA_PLANTIO;NCC"), false, true},
          {QStringLiteral("IX_Plantio_Lote"), QStringLiteral("ID_SLOTE"), false, false}}},
        {"Lote", {{QStringLiteral("PK_Lote"), QStringLiteral("ID_SLOTE"), true, true}}},
        {"Sem",
         {{QStringLiteral("PrimaryKey"), QStringLiteral("A"), true, true},
          {QStringLiteral("UQ_Sem_B"), QStringLiteral("B"), false, true}}},
    };
    for (const auto& c : cases) {
        const TXTableDefs defs = station.Conn().TableDefinitions(QString::fromUtf8(c.table));
        ASSERT_EQ(defs.Indexes.size(), c.indexes.size()) << c.table;
        for (qsizetype i = 0; i < defs.Indexes.size(); ++i) {
            const TXIndexDef& got = defs.Indexes[i];
            const TXIndexDef& want = c.indexes[i];
            EXPECT_TRUE(got.Name == want.Name && got.Fields == want.Fields &&
                        got.Primary == want.Primary && got.Unique == want.Unique)
                << c.table << " " << qPrintable(got.Name);
        }
    }
    EXPECT_THROW(station.Conn().TableDefinitions(QStringLiteral("Placa")), XException);
}

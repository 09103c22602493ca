#include "admintool.h"

#include "csvtext.h"
#include "stationbuilder.h"

TEST_F(AdminToolTest, TransmitHandsOverPendingPlantingsOnceAndMarksThem)
{
    const QString db = Path(QStringLiteral("plantio.db"));
    ASSERT_EQ(RunAdmin({"demo", db, "--operacao", "plantio"}).ExitCode, 0);

    // Not bound to a station's computer yet: the origin must be told, and not be empty.
    for (const QStringList& options : {QStringList{}, QStringList{"--origem", " "}}) {
        const AdminRun refused = RunAdmin(QStringList{"transmitir", db} + options);
        EXPECT_EQ(refused.ExitCode, 1);
        EXPECT_TRUE(refused.Err.contains(QStringLiteral("--origem"))) << refused.Err.toStdString();
        EXPECT_TRUE(refused.Out.isEmpty());
    }
    AdminRun run = RunAdmin({"transmitir", db, "--origem", "CENTRAL"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QList<CsvRecord> records = ParseCsv(run.Out);
    ASSERT_EQ(records.size(), 1 + 40);
    for (qsizetype i = 1; i < records.size(); ++i) {
        const QStringList& fields = records[i].Fields;
        EXPECT_EQ(fields[0], QStringLiteral("2"));
        EXPECT_EQ(fields[1], QString::number(Q_INT64_C(200000000060) + i)); // whole, no exponent
        EXPECT_EQ(fields[5], QStringLiteral("CENTRAL"));
    }
    EXPECT_EQ(Count(OpenStation(db).get(),
                    "SELECT count(*) FROM Plantio WHERE origem_plantio = 'CENTRAL'"),
              40);
    const QString sent = run.Out;

    run = RunAdmin({"transmitir", db, "--origem", "CENTRAL"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(ParseCsv(run.Out).size(), 1); // header only: nothing is sent twice

    // What a planting station sends is what a collection station imports.
    const QString coleta = Path(QStringLiteral("coleta.db"));
    ASSERT_EQ(RunAdmin({"create", coleta, "--operacao", "coleta"}).ExitCode, 0);
    {
        // The plantings name sub-batch 2, their plants and users 1 and 2.
        auto connection = OpenStation(coleta);
        InsertLote(connection.get(), 2, QStringLiteral("LOTE"), 40);
        for (qsizetype i = 1; i < records.size(); ++i)
            InsertPlanta(connection.get(), records[i].Fields[2].toLongLong(), 1, 1);
        for (const QString& code : {QStringLiteral("A"), QStringLiteral("B")})
            AddUser(connection.get(), code, code, QStringLiteral("1"));
    }
    const QString csv = Path(QStringLiteral("plantios.csv"));
    WriteFile(csv, sent.toUtf8());
    run = RunAdmin({"import", coleta, "Plantio", csv});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(CountRows(OpenStation(coleta).get(), QStringLiteral("Plantio")), 40);
}

TEST_F(AdminToolTest, TransmitHandsOverCollectedWellsWithTheStationsMachine)
{
    const QString db = Path(QStringLiteral("coleta.db"));
    ASSERT_EQ(RunAdmin({"demo", db, "--operacao", "coleta"}).ExitCode, 0);
    Execute(OpenStation(db).get(), QStringLiteral("UPDATE Configuracao SET maquina = 'ESTACAO7'"));

    AdminRun run = RunAdmin({"transmitir", db});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    QList<CsvRecord> records = ParseCsv(run.Out);
    ASSERT_EQ(records.size(), 1 + 30);
    const QStringList header = records.first().Fields;
    const qsizetype poco = header.indexOf(QStringLiteral("POCO"));
    ASSERT_GE(poco, 0);
    EXPECT_EQ(records[1].Fields[poco], QStringLiteral("A1"));
    EXPECT_EQ(records[9].Fields[poco], QStringLiteral("A2"));
    EXPECT_EQ(records[1].Fields.last(), QStringLiteral("ESTACAO7"));

    {
        auto connection = OpenStation(db);
        auto* c = connection.get();
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Placa_Poco WHERE origem_coleta = 'ESTACAO7'"), 30);
        // The next collection is picked up on its own.
        CollectWell(c, 3, 1, Q_INT64_C(200000000200), 2, QStringLiteral("2024-03-06 10:00:00"));
    }
    run = RunAdmin({"transmitir", db, "--origem", "OUTRA"});
    records = ParseCsv(run.Out);
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[1].Fields.last(), QStringLiteral("OUTRA"));

    run = RunAdmin({"transmitir", db, "--origem", "ORIGEM COM MAIS DE 20 CARACTERES"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Out.isEmpty());
}

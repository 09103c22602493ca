#include "admintool.h"

#include "appschema.h"
#include "stationbuilder.h"

TEST_F(AdminToolTest, VerifyReportsTheClientsChecksWithoutBindingTheFile)
{
    const QString here = LocalComputerName().trimmed().toUpper();
    // SQL run on a new file before verifying (empty: none), exit code, part of the output.
    const QList<std::tuple<QString, int, QString>> cases = {
        {"", 0, "Ainda não vinculado"},
        {"UPDATE Configuracao SET maquina = '" + here + "'", 0, "Vinculado ao computador " + here},
        {"UPDATE Configuracao SET maquina = 'OUTRO-PC'", 1,
         "O Banco de dados já foi utilizado no computador [OUTRO-PC]."},
        {"ALTER TABLE Lote DROP COLUMN QTE_TRATAMENTO", 1, "QTE_TRATAMENTO"},
        // What import refuses, in a file filled by other means.
        {"INSERT INTO Lote VALUES (9, 'A', -1)", 1,
         "Tabela Lote, registro ID_SLOTE 9, coluna QTE_TRATAMENTO: -1 é negativo"},
        {"INSERT INTO Planta VALUES (7000000000001, 1.5, 1)", 1,
         "coluna NCC: 7000000000001 tem mais de 12 dígitos"},
        {"INSERT INTO Plantio VALUES (1, 5, 6, 1, '2024-03-01 10:00:00', NULL)", 1,
         "Tabela Plantio, registro NC_PLANTIO 5, NCC 6, coluna ID_SLOTE: o sub-lote 1 não existe"},
        {"INSERT INTO Placa VALUES (1, 1, 'P1', 8, 12)", 1,
         "Tabela Placa: placas e poços só existem em estações de coleta"},
    };
    int n = 0;
    for (const auto& [change, exitCode, message] : cases) {
        const QString db = Path(QStringLiteral("v%1.db").arg(++n));
        ASSERT_EQ(RunAdmin({"create", db, "--operacao", "plantio"}).ExitCode, 0);
        if (!change.isEmpty())
            Execute(OpenStation(db).get(), change);
        const QByteArray before = FileBytes(db);
        const AdminRun run = RunAdmin({"verify", db});
        EXPECT_EQ(run.ExitCode, exitCode) << change.toStdString() << run.Err.toStdString();
        EXPECT_TRUE((run.Out + run.Err).contains(message)) << (run.Out + run.Err).toStdString();
        EXPECT_TRUE(FileBytes(db) == before) << change.toStdString();
    }

    const QString other = Path(QStringLiteral("outro.db"));
    WriteFile(other, "not a database");
    AdminRun run = RunAdmin({"verify", other});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("não é um banco de dados de estação")));

    // A sound SQLite file of another program (another application id in its header).
    QByteArray bytes = FileBytes(Path(QStringLiteral("v1.db")));
    bytes.replace(68, 4, QByteArray(4, '\0'));
    WriteFile(other, bytes);
    run = RunAdmin({"verify", other});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("SQLite de outro programa")))
        << run.Err.toStdString();
}

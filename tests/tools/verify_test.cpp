#include "admintool.h"

#include "appschema.h"
#include "stationbuilder.h"

TEST_F(AdminToolTest, VerifyReportsTheClientsChecksWithoutBindingTheFile)
{
    const QString here = LocalComputerName().trimmed().toUpper();
    struct Case
    {
        QString Change; // SQL run on a new file before verifying; empty: none
        int ExitCode;
        QString Message;
    };
    const QList<Case> cases = {
        {"", 0, "Ainda não vinculado"},
        {"UPDATE Configuracao SET maquina = '" + here + "'", 0, "Vinculado ao computador " + here},
        {"UPDATE Configuracao SET maquina = 'OUTRO-PC'", 1,
         "O Banco de dados já foi utilizado no computador [OUTRO-PC]."},
        {"ALTER TABLE Lote DROP COLUMN QTE_TRATAMENTO", 1, "QTE_TRATAMENTO"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString db = Path(QStringLiteral("v%1.db").arg(++n));
        ASSERT_EQ(RunAdmin({"create", db, "--operacao", "plantio"}).ExitCode, 0);
        if (!c.Change.isEmpty())
            Execute(OpenStation(db).get(), c.Change);
        const QByteArray before = FileBytes(db);
        const AdminRun run = RunAdmin({"verify", db});
        EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Change.toStdString() << run.Err.toStdString();
        EXPECT_TRUE((run.Out + run.Err).contains(c.Message))
            << c.Change.toStdString() << ": " << (run.Out + run.Err).toStdString();
        EXPECT_TRUE(FileBytes(db) == before) << c.Change.toStdString();
    }

    const QString other = Path(QStringLiteral("outro.db"));
    WriteFile(other, "not a database");
    const AdminRun run = RunAdmin({"verify", other});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("Verificação falhou")));
}

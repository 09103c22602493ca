#include "admintool.h"

#include "connectionfile.h"

#include <QFileInfo>

TEST_F(AdminToolTest, ConnectionSetWritesTheFileTheClientReadsAndShowReadsItBack)
{
    const QString program = Path(QStringLiteral("tressalin"));
    const QString first = Path(QStringLiteral("primeiro.db"));
    const QString second = Path(QStringLiteral("segundo.db"));
    ASSERT_EQ(RunAdmin({"create", first, "--operacao", "plantio"}).ExitCode, 0);
    ASSERT_EQ(RunAdmin({"create", second, "--operacao", "coleta"}).ExitCode, 0);
    const QString dat = ConnectionFilePathFor(program);
    ASSERT_EQ(dat, Path(QStringLiteral("tressalin.dat"))); // the folder is writable

    AdminRun run = RunAdmin({"conexao", "show", program});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("não encontrado")));

    run = RunAdmin({"conexao", "set", program, first});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QByteArray firstContent = FileBytes(dat);
    EXPECT_EQ(ReadConnectionPayload(firstContent), std::optional<QString>(first));

    run = RunAdmin({"conexao", "set", program, second});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(ReadConnectionPayload(FileBytes(dat)), std::optional<QString>(second));
    EXPECT_EQ(FileBytes(BackupFilePathFor(dat)), firstContent);

    run = RunAdmin({"conexao", "show", program});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(run.Out.contains(QStringLiteral("Banco de dados: ") + second));

    // Neither a missing file nor one that is no station file is written.
    const QByteArray current = FileBytes(dat);
    WriteFile(Path(QStringLiteral("texto.db")), "texto");
    for (const QString& bad :
         {Path(QStringLiteral("nao-existe.db")), Path(QStringLiteral("texto.db"))}) {
        run = RunAdmin({"conexao", "set", program, bad});
        EXPECT_EQ(run.ExitCode, 1) << bad.toStdString();
        EXPECT_EQ(FileBytes(dat), current);
    }

    WriteFile(dat, "!!danificado");
    run = RunAdmin({"conexao", "show", program});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("tressalin.dat")));
}

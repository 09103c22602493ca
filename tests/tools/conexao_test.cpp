#include "admintool.h"

#include "connectionfile.h"
#include "stationbuilder.h"

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

    // A folder for a file, a missing program folder, a file the station would refuse.
    Execute(OpenStation(first).get(),
            QStringLiteral("UPDATE Configuracao SET maquina = 'OUTRO-PC'"));
    const QList<QPair<QStringList, QString>> refused = {
        {{Path(QStringLiteral("nao-existe/tressalin")), second}, "não existe"},
        {{Path(QStringLiteral("tressalin/")), second}, "termina em \"/\""},
        {{program, first}, "OUTRO-PC"},
    };
    for (const auto& [args, message] : refused) {
        run = RunAdmin(QStringList{"conexao", "set"} + args);
        EXPECT_EQ(run.ExitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.Err.contains(message)) << run.Err.toStdString();
        EXPECT_EQ(FileBytes(dat), current);
    }
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("tressalin/.dat"))));
    run = RunAdmin({"conexao", "set", program, first, "--forcar"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(ReadConnectionPayload(FileBytes(dat)), std::optional<QString>(first));

    WriteFile(dat, "!!danificado");
    run = RunAdmin({"conexao", "show", program});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("tressalin.dat")));
}

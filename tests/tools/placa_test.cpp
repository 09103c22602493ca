#include "admintool.h"

TEST_F(AdminToolTest, PlacaMapaExportsIntoANewFileOnly)
{
    const QString db = Path(QStringLiteral("coleta.db"));
    ASSERT_EQ(RunAdmin({"demo", db, "--operacao", "coleta"}).ExitCode, 0);
    struct Case
    {
        QStringList Options;
        int ExitCode;
        const char* Err; // part of the error output
        bool Written;
    };
    const Case cases[] = {
        {{"--coletadas", "--formato", "csv"}, 0, "", true},
        {{"--coletadas", "--formato", "csv"}, 1, "já existe", true}, // the file stays as it was
        {{"--placa", "XX", "--formato", "csv"}, 1, "[XX] não está cadastrado", false},
        {{"--coletadas", "--formato", "pdf"}, 1, "Mapa da Placa", false},
        {{"--coletadas", "--placa", "XX", "--formato", "csv"}, 2, "--coletadas", false},
        {{"--coletadas", "--formato", "brapi", "--tipo-amostra", "sangue"}, 2, "DNA", false},
    };
    QByteArray first;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.Options.join(u' ').toStdString());
        const QString out = Path(test.Options.join(u'_') + QStringLiteral(".out"));
        const QString target = test.Written ? Path(QStringLiteral("mapa.csv")) : out;
        const AdminRun run =
            RunAdmin(QStringList{"placa", "mapa", db, "--saida", target} + test.Options);
        EXPECT_EQ(run.ExitCode, test.ExitCode) << run.Err.toStdString();
        EXPECT_TRUE(run.Err.contains(QString::fromUtf8(test.Err))) << run.Err.toStdString();
        EXPECT_EQ(QFile::exists(target), test.Written);
        if (test.Written && first.isEmpty())
            first = FileBytes(target);
    }
    // Two demo plates hold collected wells: a header and a line per well of each.
    EXPECT_EQ(first.count("\r\n"), 1 + 2 * 96);
    EXPECT_EQ(FileBytes(Path(QStringLiteral("mapa.csv"))), first);
}

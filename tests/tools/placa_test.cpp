#include "admintool.h"
#include "pdfbarcodes.h"

TEST_F(AdminToolTest, PlacaMapaExportsIntoANewFileOnly)
{
    const QString db = Path(QStringLiteral("coleta.db"));
    ASSERT_EQ(RunAdmin({"demo", db, "--operacao", "coleta"}).ExitCode, 0);
    // Options, exit code, part of the error output, whether mapa.csv is (still) there.
    const std::tuple<QStringList, int, const char*, bool> cases[] = {
        {{"--coletadas", "--formato", "csv"}, 0, "", true},
        {{"--coletadas", "--formato", "csv"}, 1, "já existe", true}, // the file stays as it was
        {{"--placa", "XX", "--formato", "csv"}, 1, "[XX] não está cadastrado", false},
        {{"--coletadas", "--placa", "XX", "--formato", "csv"}, 2, "--coletadas", false},
        {{"--coletadas", "--formato", "brapi", "--tipo-amostra", "sangue"}, 2, "DNA", false},
    };
    QByteArray first;
    for (const auto& [options, exitCode, err, written] : cases) {
        SCOPED_TRACE(options.join(u' ').toStdString());
        const QString target = written ? Path(QStringLiteral("mapa.csv"))
                                       : Path(options.join(u'_') + QStringLiteral(".out"));
        const AdminRun run =
            RunAdmin(QStringList{"placa", "mapa", db, "--saida", target} + options);
        EXPECT_EQ(run.ExitCode, exitCode) << run.Err.toStdString();
        EXPECT_TRUE(run.Err.contains(QString::fromUtf8(err))) << run.Err.toStdString();
        EXPECT_EQ(QFile::exists(target), written);
        if (written && first.isEmpty())
            first = FileBytes(target);
    }
    // Two demo plates hold collected wells: a header and a line per well of each.
    EXPECT_EQ(first.count("\r\n"), 1 + 2 * 96);
    EXPECT_EQ(FileBytes(Path(QStringLiteral("mapa.csv"))), first);
}

// Made headless, the PDF holds each plate's barcode, which reads back as the plate's code.
TEST_F(AdminToolTest, PlacaMapaPdfCarriesThePlateBarcode)
{
    const QString db = Path(QStringLiteral("coleta.db"));
    const QString pdf = Path(QStringLiteral("mapa.pdf"));
    ASSERT_EQ(RunAdmin({"demo", db, "--operacao", "coleta"}).ExitCode, 0);
    const AdminRun run =
        RunAdmin({"placa", "mapa", db, "--coletadas", "--formato", "pdf", "--saida", pdf});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(PdfBarcodes(pdf), QStringList({"EAN-13:3000000000014", "EAN-13:3000000000021"}));
}
